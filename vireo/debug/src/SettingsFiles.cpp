// Formats of the diagnostics' settings files, and the store that reads and writes them.
#include "vireo/debug/src/SettingsFiles.h"

#include <atomic>
#include <cstdint>
#include <list>

#include "vireo/filesupport/Dir.h"
#include "vireo/filesupport/File.h"
#include "vireo/filesupport/PlatformByteStream.h"
#include "vireo/utility/FileUtils.h"

namespace vireo {
namespace debug {
namespace impl {
namespace {

typedef utility::UTF8String UTF8String;

UTF8String Key(char const* text) {
  return UTF8String(reinterpret_cast<unsigned char const*>(text));
}

// Reads from `pos` up to the delimiter into `out` and steps over the delimiter. False, with
// nothing taken, when the data ends first.
bool ReadField(UTF8String const& bytes, std::size_t& pos, unsigned char delimiter,
               UTF8String& out) {
  std::size_t const end = bytes.find(delimiter, pos);
  if (end == UTF8String::npos) return false;
  out.assign(bytes, pos, end - pos);
  pos = end + 1;
  return true;
}

void DropTrailingCR(UTF8String& field) {
  if (!field.empty() && field.back() == '\r') field.pop_back();
}

void AppendNumber(UTF8String& out, long value) {
  unsigned char digits[24];
  int n = 0;
  // Through unsigned so that the most negative value has a magnitude too.
  unsigned long magnitude = value < 0 ? 0UL - static_cast<unsigned long>(value)
                                      : static_cast<unsigned long>(value);
  do {
    digits[n++] = static_cast<unsigned char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) out.push_back('-');
  while (n > 0) out.push_back(digits[--n]);
}

// The files in the preferences directory, written through the text-mode writer.
class PreferencesStore : public SettingsStore {
 public:
  bool Read(char const* fileName, UTF8String& bytes) override {
    filesupport::File const file(filesupport::Dir::PrefDir(), utility::AsciiToUTF16(fileName));
    if (!file.Exists()) return false;
    filesupport::IPlatformByteStream in(file);
    UTF8String content(static_cast<std::size_t>(in.Length()), '\0');
    if (!content.empty()) in.ReadBlock(&content[0], static_cast<unsigned long>(content.size()));
    bytes.swap(content);
    return true;
  }
  void Write(char const* fileName, UTF8String const& text) override {
    filesupport::File const file(filesupport::Dir::PrefDir(), utility::AsciiToUTF16(fileName));
    utility::FileUtils::SimpleWriteStringToFile(file.FullPath(), text);
  }
};

std::atomic<SettingsStore*> gStore{nullptr};

}  // namespace

char const kTraceDatabaseFileName[] = "Trace Database.txt";
char const kDebugDatabaseFileName[] = "Debug Database.txt";

long ParseSettingsNumber(UTF8String const& text) {
  std::size_t i = 0;
  auto space = [](unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
  while (i < text.size() && space(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // The values are stored in 32 bits; longer numbers stop at the nearest bound.
  std::int64_t const limit = negative ? -static_cast<std::int64_t>(INT32_MIN) : INT32_MAX;
  std::int64_t magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > limit) magnitude = limit;
  }
  return static_cast<long>(negative ? -magnitude : magnitude);
}

void ParseTraceDatabase(UTF8String const& bytes, proplist::PropList& database) {
  UTF8String const enabledKey = Key("Enabled"), volumeKey = Key("Volume");
  std::size_t pos = 0;
  UTF8String name, enabled, volume;
  while (ReadField(bytes, pos, '\t', name) && ReadField(bytes, pos, '\t', enabled) &&
         ReadField(bytes, pos, '\n', volume)) {
    DropTrailingCR(volume);
    proplist::PropList* setting = database.NewSubList(name);
    setting->SetValue(enabledKey, ParseSettingsNumber(enabled) == 1);
    setting->SetValue(volumeKey, ParseSettingsNumber(volume));
  }
}

UTF8String FormatTraceDatabase(proplist::PropList const& database) {
  UTF8String const enabledKey = Key("Enabled"), volumeKey = Key("Volume");
  std::list<UTF8String> names;
  database.GetPropertyNames(names);
  UTF8String text;
  for (UTF8String const& name : names) {
    proplist::PropList const* setting = database.GetSubList(name);
    if (!setting) continue;
    bool enabled = true;
    long volume = 5;
    setting->GetValue(enabledKey, enabled);
    setting->GetValue(volumeKey, volume);
    text += name;
    text += '\t';
    text += enabled ? '1' : '0';
    text += '\t';
    AppendNumber(text, volume);
    text += '\n';
  }
  return text;
}

void ParseDebugDatabase(UTF8String const& bytes, proplist::PropList& database) {
  std::size_t pos = 0;
  UTF8String name, value;
  while (ReadField(bytes, pos, '\t', name) && ReadField(bytes, pos, '\n', value)) {
    DropTrailingCR(value);
    database.SetValue(name, value);
  }
}

UTF8String FormatDebugDatabase(proplist::PropList const& database) {
  std::list<UTF8String> names;
  database.GetPropertyNames(names);
  UTF8String text, value;
  for (UTF8String const& name : names) {
    if (!database.GetValue(name, value)) continue;
    text += name;
    text += '\t';
    text += value;
    text += '\n';
  }
  return text;
}

SettingsStore::~SettingsStore() = default;

void SetSettingsStore(SettingsStore* store) { gStore.store(store, std::memory_order_release); }

SettingsStore& GetSettingsStore() {
  static PreferencesStore preferences;
  SettingsStore* store = gStore.load(std::memory_order_acquire);
  return store ? *store : preferences;
}

}  // namespace impl
}  // namespace debug
}  // namespace vireo
