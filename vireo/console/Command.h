// The developer console's commands: each is an object created on its first use from a factory
// registered by name, and writes its output as UTF-16 text to the stream it is given.
#ifndef VIREO_CONSOLE_COMMAND_H
#define VIREO_CONSOLE_COMMAND_H

#include "vireo/Export.h"
#include "vireo/utility/TextStreams.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace console {

// Base of every console command. A client command derives from it, implements Execute and
// registers a factory with CommandRegistry::RegisterCommand.
class VIREO_API Command {
 public:
  Command(utility::UTF16String const& name, utility::UTF16String const& help);
  Command(Command const&) = delete;
  Command& operator=(Command const&) = delete;
  virtual ~Command();

  // Runs the command on its arguments (already trimmed of surrounding spaces and tabs).
  // Exceptions pass to the caller of ExecuteCommand.
  virtual void Execute(utility::UTF16String const& arguments, UTF16OutputStream& out) = 0;

  utility::UTF16String const& GetName() const { return name_; }
  utility::UTF16String const& GetHelp() const { return help_; }

 private:
  utility::UTF16String name_;
  utility::UTF16String help_;
};

}  // namespace console
}  // namespace vireo

#endif
