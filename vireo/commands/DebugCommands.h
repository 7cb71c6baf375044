// Console commands on the debug database: debug.get, debug.list, debug.set, debug.clear.
#ifndef VIREO_COMMANDS_DEBUGCOMMANDS_H
#define VIREO_COMMANDS_DEBUGCOMMANDS_H

#include "vireo/Export.h"
#include "vireo/console/Command.h"

namespace vireo {
namespace commands {
namespace debug {

// "debug.get <variable path>": writes "<path> = <value>"; an unknown variable is added with
// an empty value.
class VIREO_API Get : public console::Command {
 public:
  using Command::Command;
  void Execute(utility::UTF16String const& arguments, UTF16OutputStream& out) override;
};

// "debug.list": a title line, then "<name> = <value>" for every variable.
class VIREO_API List : public console::Command {
 public:
  using Command::Command;
  void Execute(utility::UTF16String const& arguments, UTF16OutputStream& out) override;
};

// "debug.set <variable path> = <value>": stores the value and rewrites the database file.
// The value ends at a second "="; both parts are trimmed of spaces and tabs. No output.
class VIREO_API Set : public console::Command {
 public:
  using Command::Command;
  void Execute(utility::UTF16String const& arguments, UTF16OutputStream& out) override;
};

// "debug.clear": a title line, then every variable is removed (the file keeps its contents
// until the next debug.set).
class VIREO_API Clear : public console::Command {
 public:
  using Command::Command;
  void Execute(utility::UTF16String const& arguments, UTF16OutputStream& out) override;
};

}  // namespace debug
}  // namespace commands
}  // namespace vireo

#endif
