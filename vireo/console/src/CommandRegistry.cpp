// The process-wide command registry, the line interpreter and the command list.
#include "vireo/console/CommandRegistry.h"

#include <map>
#include <memory>

#include "vireo/console/src/ConsoleText.h"
#include "vireo/utility/CaseMapping.h"

namespace vireo {
namespace console {
namespace {

using utility::UTF16String;

struct Entry {
  UTF16String name;
  UTF16String help;
  CommandFactory factory;
  std::unique_ptr<Command> instance;
};

// Keyed by the lower-cased name: lexicographic order on it is the listing order, and a name
// that is a prefix of another sorts first.
typedef std::map<UTF16String, Entry> Registry;

// Never destroyed: commands may be unregistered by other static objects' destructors.
Registry& TheRegistry() {
  static Registry* registry = new Registry;
  return *registry;
}

UTF16String KeyOf(UTF16String const& name) { return utility::LowerCase(name); }

}  // namespace

void CommandRegistry::RegisterCommand(UTF16String const& name, UTF16String const& help,
                                      CommandFactory factory) {
  if (!factory) return;
  Entry& entry = TheRegistry()[KeyOf(name)];
  entry.name = name;
  entry.help = help;
  entry.factory = factory;
  entry.instance.reset();
}

Command* CommandRegistry::UnregisterCommand(UTF16String const& name) {
  Registry& registry = TheRegistry();
  Registry::iterator const found = registry.find(KeyOf(name));
  if (found == registry.end() || !found->second.instance) return nullptr;
  Command* const instance = found->second.instance.release();
  registry.erase(found);
  return instance;
}

bool ExecuteCommand(UTF16String const& line, UTF16OutputStream& out) {
  // The whole line is trimmed first, so that leading blanks do not make an empty name.
  UTF16String const trimmed = impl::TrimBlanks(line);
  std::size_t const space = trimmed.find(u' ');
  UTF16String const name = impl::TrimBlanks(trimmed.substr(0, space));
  UTF16String const arguments =
      space == UTF16String::npos ? UTF16String() : impl::TrimBlanks(trimmed.substr(space + 1));
  if (name.empty()) return false;

  Registry& registry = TheRegistry();
  Registry::iterator const found = registry.find(KeyOf(name));
  if (found == registry.end()) return false;
  Entry& entry = found->second;
  if (!entry.instance) {
    entry.instance.reset(entry.factory(entry.name, entry.help));
    if (!entry.instance) return false;
  }
  entry.instance->Execute(arguments, out);
  return true;
}

void ListCommands(UTF16OutputStream& out) {
  static char16_t const kTitle[] = u"Currently installed commands.";
  impl::WriteLine(out, kTitle);
  impl::WriteLine(out, UTF16String(sizeof kTitle / sizeof kTitle[0] - 1, u'-'));
  for (Registry::value_type const& item : TheRegistry()) impl::WriteLine(out, item.second.help);
  impl::EndLine(out);
}

}  // namespace console
}  // namespace vireo
