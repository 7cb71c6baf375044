// The console's built-in commands: four on the debug database, five on trace volumes and four
// that show the library's view of the file system.
#ifndef VIREO_CONSOLE_CONSOLE_H
#define VIREO_CONSOLE_CONSOLE_H

#include "vireo/Export.h"

namespace vireo {
namespace console {

// Registers the built-in commands with the command registry, in this order: debug.get,
// debug.list, debug.set, debug.clear, trace.set, trace.get, trace.getcategories,
// trace.set.master, trace.get.master, filesupport.listdirs, filesupport.listvols,
// filesupport.file, filesupport.dir. Calling it again replaces them.
VIREO_API void Initialize();

// Unregisters the built-in commands and deletes those that ran; one that never ran stays
// registered, as CommandRegistry::UnregisterCommand leaves it.
VIREO_API void Terminate();

}  // namespace console
}  // namespace vireo

#endif
