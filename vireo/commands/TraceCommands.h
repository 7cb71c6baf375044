// Console commands on trace volumes: trace.set, trace.get, trace.getcategories,
// trace.set.master, trace.get.master. Arguments are separated by spaces; a volume that does
// not begin with a whole number counts as 0.
#ifndef VIREO_COMMANDS_TRACECOMMANDS_H
#define VIREO_COMMANDS_TRACECOMMANDS_H

#include "vireo/Export.h"
#include "vireo/console/Command.h"

namespace vireo {
namespace commands {
namespace trace {

// "trace.set <category> <volume>": sets the category's volume; with the category alone it
// reports the volume as trace.get does and changes nothing.
class VIREO_API Set : public console::Command {
 public:
  using Command::Command;
  void Execute(utility::UTF16String const& arguments, UTF16OutputStream& out) override;
};

// "trace.get <category>": reports the category's volume (an unknown category is created with
// the default settings).
class VIREO_API Get : public console::Command {
 public:
  using Command::Command;
  void Execute(utility::UTF16String const& arguments, UTF16OutputStream& out) override;
};

// "trace.getcategories": a title line, then every category of the trace database, "Master"
// included.
class VIREO_API GetCategories : public console::Command {
 public:
  using Command::Command;
  void Execute(utility::UTF16String const& arguments, UTF16OutputStream& out) override;
};

// "trace.set.master <volume>": sets the master volume, the ceiling of every category.
class VIREO_API SetMaster : public console::Command {
 public:
  using Command::Command;
  void Execute(utility::UTF16String const& arguments, UTF16OutputStream& out) override;
};

// "trace.get.master": reports the master volume.
class VIREO_API GetMaster : public console::Command {
 public:
  using Command::Command;
  void Execute(utility::UTF16String const& arguments, UTF16OutputStream& out) override;
};

}  // namespace trace
}  // namespace commands
}  // namespace vireo

#endif
