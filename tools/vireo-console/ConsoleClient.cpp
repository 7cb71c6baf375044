// The console program's error manager, localizer and output buffer.
#include "tools/vireo-console/ConsoleClient.h"

#include <cstring>
#include <sstream>

#include "vireo/config/Localizer.h"
#include "vireo/filesupport/FileExceptions.h"
#include "vireo/utility/StringUtils.h"

namespace vireo {
namespace tools {
namespace {

utility::UTF16String ValueText(config::ReplacementValue const& value) {
  std::ostringstream text;
  switch (value.kind) {
    case config::kSigned: text << value.signedValue; break;
    case config::kUnsigned: text << value.unsignedValue; break;
    case config::kDouble: text << value.doubleValue; break;
    case config::kString: return value.stringValue;
    case config::kNone: break;
  }
  return utility::AsciiToUTF16(text.str().c_str());
}

}  // namespace

utility::UTF16String FormatRaisedError(char const* key, config::ReplacementValue const* values) {
  utility::UTF16String const message = config::LocalizeOrDefault(key);
  utility::UTF16String text;
  for (std::size_t i = 0; i < message.size(); ++i) {
    if (message[i] == u'^' && i + 1 < message.size() && message[i + 1] >= u'1' &&
        message[i + 1] <= u'4') {
      text += ValueText(values[message[i + 1] - u'1']);
      ++i;
    } else {
      text += message[i];
    }
  }
  return text;
}

utility::UTF16String FormatException(std::exception const& error) {
  char const* const what = error.what();
  if (std::strncmp(what, "$$$/", 4) != 0) return utility::AsciiToUTF16(what);
  utility::UTF16String path, newName;
  if (auto const* e = dynamic_cast<filesupport::file_exception const*>(&error)) {
    path = e->GetFile().FullPath();
    if (auto const* rename = dynamic_cast<filesupport::rename_file const*>(&error))
      newName = rename->GetNewName();
  } else if (auto const* e = dynamic_cast<filesupport::dir_exception const*>(&error)) {
    path = e->GetDir().FullPath();
    if (auto const* rename = dynamic_cast<filesupport::rename_dir const*>(&error))
      newName = rename->GetNewName();
  }
  utility::UTF16String const none;
  return utility::ReplaceInString(config::LocalizeOrDefault(what), path, newName, none, none,
                                  none, none, none, none, none, none);
}

void PrintingErrorManager::ReportError(config::ErrorLevel level, char const* key, unsigned long,
                                       long, bool, config::ReplacementValue const& v1,
                                       config::ReplacementValue const& v2,
                                       config::ReplacementValue const& v3,
                                       config::ReplacementValue const& v4) const {
  ++reported_;
  config::ReplacementValue const values[4] = {v1, v2, v3, v4};
  utility::UTF8String const text = utility::UTF16to8(FormatRaisedError(key, values));
  out_ << (level == config::kErrorLevelFatal ? "fatal error: " : "error: ")
       << std::string(text.begin(), text.end()) << std::endl;
}

utility::UTF16String DefaultTextLocalizer::GetLocalizedString(char const* key) {
  char const* const equals = key ? std::strchr(key, '=') : nullptr;
  if (!equals) return utility::UTF16String();
  utility::UTF8String const text(reinterpret_cast<unsigned char const*>(equals + 1));
  return utility::UTF8to16(text);
}

NarrowOutputBuffer::~NarrowOutputBuffer() {
  sync();
  if (!pending_.empty()) out_ << '\r' << std::flush;  // a lone CR held back by sync
}

NarrowOutputBuffer::int_type NarrowOutputBuffer::overflow(int_type unit) {
  if (!traits_type::eq_int_type(unit, traits_type::eof()))
    pending_.push_back(traits_type::to_char_type(unit));
  return traits_type::not_eof(unit);
}

int NarrowOutputBuffer::sync() {
  utility::UTF16String text;
  text.swap(pending_);
  // A CR at the very end may be the first half of a line end still to come.
  if (!text.empty() && text.back() == u'\r') {
    text.pop_back();
    pending_.push_back(u'\r');
  }
  utility::UTF16String lf;
  lf.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')) lf += text[i];
  utility::UTF8String const bytes = utility::UTF16to8(lf);
  out_.write(reinterpret_cast<char const*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out_.flush();
  return out_ ? 0 : -1;
}

}  // namespace tools
}  // namespace vireo
