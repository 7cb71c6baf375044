// The trace-volume commands.
#include "vireo/commands/TraceCommands.h"

#include <cstdint>
#include <list>
#include <vector>

#include "vireo/console/src/ConsoleText.h"
#include "vireo/debug/Trace.h"
#include "vireo/utility/Numbers.h"

namespace vireo {
namespace commands {
namespace trace {
namespace {

using utility::UTF16String;

// The words of the arguments; runs of spaces and tabs separate them.
std::vector<UTF16String> Words(UTF16String const& arguments) {
  std::vector<UTF16String> words;
  std::size_t at = 0;
  while (at < arguments.size()) {
    while (at < arguments.size() && console::impl::IsBlank(arguments[at])) ++at;
    std::size_t end = at;
    while (end < arguments.size() && !console::impl::IsBlank(arguments[end])) ++end;
    if (end > at) words.push_back(arguments.substr(at, end - at));
    at = end;
  }
  return words;
}

// The whole number the text begins with ("12abc" is 12), 0 when it begins with none; held to
// the 32 bits a volume has.
long Volume(UTF16String const& text) {
  std::size_t at = 0;
  bool negative = false;
  if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) negative = text[at++] == u'-';
  long long value = 0;
  for (; at < text.size() && text[at] >= u'0' && text[at] <= u'9'; ++at) {
    value = value * 10 + (text[at] - u'0');
    if (value > INT32_MAX) value = static_cast<long long>(INT32_MAX) + 1;  // saturate early
  }
  if (negative) value = -value;
  if (value > INT32_MAX) value = INT32_MAX;
  if (value < INT32_MIN) value = INT32_MIN;
  return static_cast<long>(value);
}

UTF16String Word(std::vector<UTF16String> const& words, std::size_t index) {
  return index < words.size() ? words[index] : UTF16String();
}

void ReportVolume(UTF16String const& category, UTF16OutputStream& out) {
  long const volume = ::vireo::debug::GetTraceVolume(utility::UTF16to8(category));
  out << u"trace volume for category " << category << u" is " << utility::NumberToString(volume)
      << u".";
  console::impl::EndLine(out);
}

}  // namespace

void Set::Execute(UTF16String const& arguments, UTF16OutputStream& out) {
  std::vector<UTF16String> const words = Words(arguments);
  UTF16String const category = Word(words, 0);
  if (words.size() < 2) {
    ReportVolume(category, out);
    return;
  }
  long const volume = Volume(words[1]);
  ::vireo::debug::SetTraceVolume(utility::UTF16to8(category), volume);
  out << u"trace category " << category << u" set to volume " << utility::NumberToString(volume)
      << u".";
  console::impl::EndLine(out);
}

void Get::Execute(UTF16String const& arguments, UTF16OutputStream& out) {
  ReportVolume(Word(Words(arguments), 0), out);
}

void GetCategories::Execute(UTF16String const&, UTF16OutputStream& out) {
  console::impl::WriteLine(out, u"Trace Categories:");
  std::list<utility::UTF8String> names;
  ::vireo::debug::GetTraceCategories(names);
  for (utility::UTF8String const& name : names) console::impl::WriteLine(out, utility::UTF8to16(name));
}

void SetMaster::Execute(UTF16String const& arguments, UTF16OutputStream& out) {
  long const volume = Volume(Word(Words(arguments), 0));
  ::vireo::debug::SetMasterTraceVolume(volume);
  out << u"Master trace volume set to " << utility::NumberToString(volume) << u".";
  console::impl::EndLine(out);
}

void GetMaster::Execute(UTF16String const&, UTF16OutputStream& out) {
  out << u"Master trace volume is " << utility::NumberToString(::vireo::debug::GetMasterTraceVolume())
      << u".";
  console::impl::EndLine(out);
}

}  // namespace trace
}  // namespace commands
}  // namespace vireo
