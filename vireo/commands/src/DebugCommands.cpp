// The debug-database commands.
#include "vireo/commands/DebugCommands.h"

#include <list>

#include "vireo/console/src/ConsoleText.h"
#include "vireo/debug/DebugDatabase.h"

namespace vireo {
namespace commands {
namespace debug {
namespace {

using utility::UTF16String;
using utility::UTF8String;

::vireo::debug::DebugDatabase& Database() { return ::vireo::debug::DebugDatabase::Instance(); }

void WriteEntry(UTF16OutputStream& out, UTF16String const& name, UTF8String const& value) {
  out << name << u" = " << utility::UTF8to16(value);
  console::impl::EndLine(out);
}

}  // namespace

void Get::Execute(UTF16String const& arguments, UTF16OutputStream& out) {
  UTF8String const value = Database().GetEntry(utility::UTF16to8(arguments), UTF8String());
  WriteEntry(out, arguments, value);
}

void List::Execute(UTF16String const&, UTF16OutputStream& out) {
  console::impl::WriteLine(out, u"Listing contents of debug database!");
  std::list<UTF8String> names;
  Database().GetDebugKeys(names);
  for (UTF8String const& name : names)
    WriteEntry(out, utility::UTF8to16(name), Database().GetEntry(name, UTF8String()));
}

void Set::Execute(UTF16String const& arguments, UTF16OutputStream& out) {
  (void)out;
  std::size_t const equals = arguments.find(u'=');
  UTF16String const path = console::impl::TrimBlanks(arguments.substr(0, equals));
  UTF16String value;
  if (equals != UTF16String::npos) {
    std::size_t const end = arguments.find(u'=', equals + 1);
    value = console::impl::TrimBlanks(
        arguments.substr(equals + 1, end == UTF16String::npos ? end : end - equals - 1));
  }
  Database().SetEntry(utility::UTF16to8(path), utility::UTF16to8(value));
}

void Clear::Execute(UTF16String const&, UTF16OutputStream& out) {
  console::impl::WriteLine(out, u"Clearing contents of debug database!");
  Database().Clear();
}

}  // namespace debug
}  // namespace commands
}  // namespace vireo
