// Registration of the built-in commands, with their names and help texts.
#include "vireo/console/Console.h"

#include "vireo/commands/DebugCommands.h"
#include "vireo/commands/FileSupportCommands.h"
#include "vireo/commands/TraceCommands.h"
#include "vireo/console/CommandRegistry.h"

namespace vireo {
namespace console {
namespace {

template <class T>
Command* Make(utility::UTF16String const& name, utility::UTF16String const& help) {
  return new T(name, help);
}

struct BuiltIn {
  char const* name;
  char const* help;
  CommandFactory factory;
};

BuiltIn const kBuiltIns[] = {
    {"debug.get",
     "debug.get <variable path> - Gets the value of the debug variable from the debug database.",
     Make<commands::debug::Get>},
    {"debug.list", "debug.list - displays the entire contents of the debug database.",
     Make<commands::debug::List>},
    {"debug.set",
     "debug.set <variable path> = <value> - Sets the value of the debug variable in the debug "
     "database.",
     Make<commands::debug::Set>},
    {"debug.clear", "debug.clear - clears the contents of the debug database.",
     Make<commands::debug::Clear>},
    {"trace.set", "trace.set <category> <volume> - Sets the volume of this trace category.",
     Make<commands::trace::Set>},
    {"trace.get", "trace.get <category> - Gets the volume of this trace category.",
     Make<commands::trace::Get>},
    {"trace.getcategories", "trace.getcategories - Lists all catagories that have been traced.",
     Make<commands::trace::GetCategories>},
    {"trace.set.master",
     "trace.set.master <volume> - Sets the master trace volume. This is the highest volume that "
     "will be traced.",
     Make<commands::trace::SetMaster>},
    {"trace.get.master",
     "trace.get.master - Gets the master trace volume. This is the highest volume that will be "
     "traced.",
     Make<commands::trace::GetMaster>},
    {"filesupport.listdirs", "filesupport.listdirs - list the special directoriees.",
     Make<commands::filesupport::ListDirs>},
    {"filesupport.listvols", "filesupport.listvols - list the mounted volumes.",
     Make<commands::filesupport::ListVols>},
    {"filesupport.file",
     "filesupport.file <file path> - given a file name, echos the path and indicates if the "
     "file exists",
     Make<commands::filesupport::FileExists>},
    {"filesupport.dir",
     "filesupport.dir <file path> - given a path, echos the path and indicates if the "
     "directory exists",
     Make<commands::filesupport::DirExists>},
};

}  // namespace

void Initialize() {
  for (BuiltIn const& command : kBuiltIns) {
    CommandRegistry::RegisterCommand(utility::AsciiToUTF16(command.name),
                                     utility::AsciiToUTF16(command.help), command.factory);
  }
}

void Terminate() {
  for (BuiltIn const& command : kBuiltIns)
    delete CommandRegistry::UnregisterCommand(utility::AsciiToUTF16(command.name));
}

}  // namespace console
}  // namespace vireo
