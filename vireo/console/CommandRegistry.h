// The console's command registry and interpreter. One registry per process, created on first
// use; names are looked up and listed ignoring case. Not synchronised: register, execute and
// unregister from one thread (the console's).
#ifndef VIREO_CONSOLE_COMMANDREGISTRY_H
#define VIREO_CONSOLE_COMMANDREGISTRY_H

#include "vireo/Export.h"
#include "vireo/console/Command.h"
#include "vireo/utility/TextStreams.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace console {

// Makes the command registered under a name, given that name and its help text.
typedef Command* (*CommandFactory)(utility::UTF16String const& name,
                                   utility::UTF16String const& help);

class VIREO_API CommandRegistry {
 public:
  CommandRegistry() = delete;

  // Adds a command; it is made by the factory the first time it runs. A name registered
  // before (in any case) is replaced, and the instance its old factory made is deleted.
  // A null factory registers nothing.
  static void RegisterCommand(utility::UTF16String const& name, utility::UTF16String const& help,
                              CommandFactory factory);

  // Removes a command that has run and hands its instance to the caller, who deletes it.
  // A command that never ran stays registered (and listed), and the answer is null; so is
  // the answer for an unknown name.
  static Command* UnregisterCommand(utility::UTF16String const& name);
};

// Runs one command line: the name is the text before the first space, the arguments what
// follows it, both trimmed of spaces and tabs. True when a command ran; an empty line or an
// unknown name runs nothing and writes nothing.
VIREO_API bool ExecuteCommand(utility::UTF16String const& line, UTF16OutputStream& out);

// Writes a title, a rule and the help text of every registered command, in name order.
VIREO_API void ListCommands(UTF16OutputStream& out);

}  // namespace console
}  // namespace vireo

#endif
