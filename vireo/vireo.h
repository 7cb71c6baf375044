// Umbrella header: every public header of the vireo library.
#ifndef VIREO_VIREO_H
#define VIREO_VIREO_H

#include "vireo/Export.h"

#include "vireo/platform/AlignedHeap.h"
#include "vireo/platform/Atomics.h"
#include "vireo/platform/Checksum.h"
#include "vireo/platform/DebugOutput.h"
#include "vireo/platform/Debugger.h"
#include "vireo/platform/Dialog.h"
#include "vireo/platform/Files.h"
#include "vireo/platform/Locale.h"
#include "vireo/platform/Process.h"
#include "vireo/platform/LineReader.h"
#include "vireo/platform/Time.h"
#include "vireo/platform/SList.h"
#include "vireo/platform/Sax.h"
#include "vireo/platform/SpecialFolders.h"
#include "vireo/platform/Types.h"
#include "vireo/platform/Uuid.h"

#include "vireo/utility/Allocator.h"
#include "vireo/utility/AllocatorManager.h"
#include "vireo/utility/Calculator.h"
#include "vireo/utility/CaseMapping.h"
#include "vireo/utility/FileUtils.h"
#include "vireo/utility/Flags.h"
#include "vireo/utility/Guid.h"
#include "vireo/utility/Locale.h"
#include "vireo/utility/Numbers.h"
#include "vireo/utility/RefCountedObject.h"
#include "vireo/utility/SmallBlockAllocator.h"
#include "vireo/utility/StreamBuffers.h"
#include "vireo/utility/StringUtils.h"
#include "vireo/utility/TextStreams.h"
#include "vireo/utility/UTF16String.h"

#include "vireo/config/ClientIdentity.h"
#include "vireo/config/Errors.h"
#include "vireo/config/Localizer.h"

#include "vireo/threads/Barrier.h"
#include "vireo/threads/RecursiveMutex.h"
#include "vireo/threads/Thread.h"
#include "vireo/threads/ThreadUtils.h"

#include "vireo/geom/Matrix.h"
#include "vireo/geom/PlatformConversions.h"
#include "vireo/geom/Point.h"
#include "vireo/geom/Rect.h"

#include "vireo/arrange/Arrangeable.h"
#include "vireo/arrange/ArrangeableGroup.h"
#include "vireo/arrange/Arrangement.h"
#include "vireo/arrange/DynamicGroup.h"
#include "vireo/arrange/GroupArrangement.h"
#include "vireo/arrange/Single.h"

// filesupport
#include "vireo/filesupport/BufferedByteStream.h"
#include "vireo/filesupport/ByteStream.h"
#include "vireo/filesupport/ByteStreamExceptions.h"
#include "vireo/filesupport/CRCByteStream.h"
#include "vireo/filesupport/Dir.h"
#include "vireo/filesupport/File.h"
#include "vireo/filesupport/FileExceptions.h"
#include "vireo/filesupport/FileHelper.h"
#include "vireo/filesupport/MemoryByteStreams.h"
#include "vireo/filesupport/PlatformByteStream.h"
#include "vireo/filesupport/RecursiveFileIterator.h"
#include "vireo/filesupport/RelativePaths.h"
#include "vireo/filesupport/RLEByteStream.h"
#include "vireo/filesupport/Shortcuts.h"
#include "vireo/filesupport/SpecialDirs.h"
#include "vireo/filesupport/StdByteStream.h"

#include "vireo/xml/MSXMLParseHandler.h"
#include "vireo/xml/XMLParser.h"
#include "vireo/xml/XMLUtils.h"

#include "vireo/proplist/PropList.h"
#include "vireo/proplist/PropListGeometry.h"
#include "vireo/proplist/PropListXML.h"
#include "vireo/proplist/PropListXMLHandler.h"

#include "vireo/debug/Debug.h"
#include "vireo/debug/DebugDatabase.h"
#include "vireo/debug/Trace.h"

// console
#include "vireo/console/Command.h"
#include "vireo/console/CommandRegistry.h"
#include "vireo/console/Console.h"
#include "vireo/console/ConsoleLogFile.h"

// commands
#include "vireo/commands/DebugCommands.h"
#include "vireo/commands/FileSupportCommands.h"
#include "vireo/commands/TraceCommands.h"

#endif
