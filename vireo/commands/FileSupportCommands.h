// Console commands that show the library's view of the file system: filesupport.listdirs,
// filesupport.listvols, filesupport.file, filesupport.dir. They only look: nothing is
// created, renamed or deleted, and file-system failures are reported, never thrown.
#ifndef VIREO_COMMANDS_FILESUPPORTCOMMANDS_H
#define VIREO_COMMANDS_FILESUPPORTCOMMANDS_H

#include "vireo/Export.h"
#include "vireo/console/Command.h"

namespace vireo {
namespace commands {
namespace filesupport {

// "filesupport.listdirs": one line per special directory, its label and its full path.
class VIREO_API ListDirs : public console::Command {
 public:
  using Command::Command;
  void Execute(utility::UTF16String const& arguments, UTF16OutputStream& out) override;
};

// "filesupport.listvols": a title line, then the full path of every mounted volume.
class VIREO_API ListVols : public console::Command {
 public:
  using Command::Command;
  void Execute(utility::UTF16String const& arguments, UTF16OutputStream& out) override;
};

// "filesupport.file <file path>": the full path, whether the file exists and, if it does,
// its times, name, title and extension.
class VIREO_API FileExists : public console::Command {
 public:
  using Command::Command;
  void Execute(utility::UTF16String const& arguments, UTF16OutputStream& out) override;
};

// "filesupport.dir <path>": the full path, whether the directory exists and, if it does, its
// name, its parent (and whether that exists) and its times.
class VIREO_API DirExists : public console::Command {
 public:
  using Command::Command;
  void Execute(utility::UTF16String const& arguments, UTF16OutputStream& out) override;
};

}  // namespace filesupport
}  // namespace commands
}  // namespace vireo

#endif
