// The reader of documents in the writer's exact form. It runs twice over the text: first
// only to check the form (so that nothing changes when the document is of another form),
// then to set the values. Both runs are the same code, `kApply` telling them apart.
#include "vireo/proplist/src/CanonicalReader.h"

#include <cstdint>
#include <cstring>
#include <list>
#include <vector>

#include "vireo/platform/Sax.h"
#include "vireo/proplist/src/Numbers.h"
#include "vireo/proplist/src/ReadErrors.h"

namespace vireo {
namespace proplist {
namespace impl {

using utility::UTF16String;
using utility::UTF8String;

namespace {

typedef unsigned char Byte;

// A run of character data: [begin, end) of the document, entity references still in it.
struct Text {
  Byte const* begin;
  Byte const* end;
  bool hasEntity;
};

// Value kinds, by their element.
enum Kind { kUString, kString, kBool, kUInt16, kUInt32, kInt32, kInt64, kUInt64, kFloat, kDouble };

struct ValueForm {
  char const* open;  // the opening tag, or the whole empty element for booleans
  char const* close;
  char const* typeTag;  // the empty tag naming it as an array's element type
  Kind kind;
};

ValueForm const kForms[] = {
    {"<ustring>", "</ustring>\n", "<ustring/>", kUString},
    {"<string>", "</string>\n", "<string/>", kString},
    {"<int type='unsigned' size='16'>", "</int>\n", "<int type='unsigned' size='16'/>", kUInt16},
    {"<int type='unsigned' size='32'>", "</int>\n", "<int type='unsigned' size='32'/>", kUInt32},
    {"<int type='signed' size='32'>", "</int>\n", "<int type='signed' size='32'/>", kInt32},
    {"<int type='signed' size='64'>", "</int>\n", "<int type='signed' size='64'/>", kInt64},
    {"<int type='unsigned' size='64'>", "</int>\n", "<int type='unsigned' size='64'/>", kUInt64},
    {"<float>", "</float>\n", "<float/>", kFloat},
    {"<double>", "</double>\n", "<double/>", kDouble},
};

// Longer runs are for the general reader, which refuses them the same way every time.
constexpr std::size_t kMaxTextRun = platform::kSaxDefaultMaxTextRun;

void AppendDecoded(Text const& text, UTF8String& out) {
  if (!text.hasEntity) {
    out.append(text.begin, text.end);
    return;
  }
  for (Byte const* p = text.begin; p != text.end;) {
    if (*p != '&') {
      Byte const* run = p;
      while (p != text.end && *p != '&') ++p;
      out.append(run, p);
      continue;
    }
    // Checked when the text was scanned: one of the five references.
    switch (p[1]) {
      case 'l': out.push_back('<'); p += 4; break;
      case 'g': out.push_back('>'); p += 4; break;
      case 'q': out.push_back('"'); p += 6; break;
      default:
        if (p[2] == 'm') {
          out.push_back('&');
          p += 5;
        } else {
          out.push_back('\'');
          p += 6;
        }
    }
  }
}

template <bool kApply>
class Reader {
 public:
  Reader(Byte const* data, std::size_t size, PropList& list)
      : p_(data), end_(data + size), root_(list) {}

  bool Run() {
    if (!Take("<?xml version='1.0'?>\n<prop.map version='")) return false;
    Byte const* const versionBegin = p_;
    while (p_ != end_ && *p_ >= '0' && *p_ <= '9') ++p_;
    if (p_ == versionBegin || p_ - versionBegin > 5) return false;
    Byte const* const versionEnd = p_;
    if (!Take("'>\n<prop.list>\n")) return false;
    if (kApply) {
      unsigned short const version = ParseNumber<unsigned short>(versionBegin, versionEnd);
      if (version > PropList::GetCurrentVersion()) RaiseVersionGreaterThan();
      root_.SetVersion(version);
      lists_.push_back(&root_);
    }
    std::size_t depth = 1;
    while (depth > 0) {
      if (Take("</prop.list>\n")) {
        --depth;
        if (kApply) lists_.pop_back();
        if (depth > 0 && !Take("</prop.pair>\n")) return false;
        continue;
      }
      Text key;
      if (!Take("<prop.pair>\n<key>") || !ScanText(key) || !Take("</key>\n")) return false;
      if (kApply) {
        key_.clear();
        AppendDecoded(key, key_);
      }
      if (Take("<prop.list>\n")) {
        ++depth;
        if (kApply) lists_.push_back(lists_.back()->NewSubList(key_));
        continue;
      }
      if (!Value() || !Take("</prop.pair>\n")) return false;
    }
    return Take("</prop.map>\n") && p_ == end_;
  }

 private:
  template <std::size_t N>
  bool Take(char const (&literal)[N]) {
    return Take(literal, N - 1);
  }
  bool Take(char const* literal, std::size_t length) {
    if (static_cast<std::size_t>(end_ - p_) < length || std::memcmp(p_, literal, length) != 0)
      return false;
    p_ += length;
    return true;
  }
  bool Take(char const* literal) { return Take(literal, std::strlen(literal)); }

  // Character data up to the next "<": well-formed UTF-8 of XML characters, no "]]>", and
  // only the five named references. (Carriage returns were normalised away before.)
  bool ScanText(Text& text) {
    text.begin = p_;
    text.hasEntity = false;
    while (p_ != end_) {
      Byte const c = *p_;
      if (c >= 0x20 && c < 0x80) {
        if (c == '<') break;
        if (c == '&') {
          if (!Entity()) return false;
          text.hasEntity = true;
          continue;
        }
        if (c == '>' && p_ - text.begin >= 2 && p_[-1] == ']' && p_[-2] == ']') return false;
        ++p_;
      } else if (c == '\n' || c == '\t') {
        ++p_;
      } else if (!Character()) {
        return false;
      }
    }
    text.end = p_;
    return p_ != end_ && static_cast<std::size_t>(text.end - text.begin) <= kMaxTextRun;
  }

  bool Entity() {
    static char const* const kEntities[] = {"&lt;", "&gt;", "&amp;", "&apos;", "&quot;"};
    for (char const* entity : kEntities)
      if (Take(entity)) return true;
    return false;
  }

  // One multi-byte UTF-8 sequence of an XML character (no surrogates, no U+FFFE, U+FFFF).
  bool Character() {
    Byte const c = *p_;
    std::size_t const left = static_cast<std::size_t>(end_ - p_);
    auto cont = [&](std::size_t i) { return i < left && (p_[i] & 0xC0) == 0x80; };
    if (c >= 0xC2 && c <= 0xDF) {
      if (!cont(1)) return false;
      p_ += 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      if (!cont(1) || !cont(2)) return false;
      Byte const c1 = p_[1];
      if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 >= 0xA0)) return false;
      if (c == 0xEF && c1 == 0xBF && p_[2] >= 0xBE) return false;
      p_ += 3;
    } else if (c >= 0xF0 && c <= 0xF4) {
      if (!cont(1) || !cont(2) || !cont(3)) return false;
      Byte const c1 = p_[1];
      if ((c == 0xF0 && c1 < 0x90) || (c == 0xF4 && c1 >= 0x90)) return false;
      p_ += 4;
    } else {
      return false;
    }
    return true;
  }

  // Number text: plain ASCII; what it means is decided as the general reader decides it.
  bool ScanNumberText(Text& text) {
    text.begin = p_;
    text.hasEntity = false;
    while (p_ != end_ && *p_ != '<') {
      Byte const c = *p_;
      if (c == '&' || c == '>' || c >= 0x80 || (c < 0x20 && c != '\n' && c != '\t')) return false;
      ++p_;
    }
    text.end = p_;
    return p_ != end_ && static_cast<std::size_t>(text.end - text.begin) <= kMaxTextRun;
  }

  bool Value() {
    bool const isTrue = Take("<true/>\n");
    if (isTrue || Take("<false/>\n")) {
      if (kApply) lists_.back()->SetValue(key_, isTrue);
      return true;
    }
    if (Take("<array>\n<array.type>")) return Array();
    for (ValueForm const& form : kForms) {
      if (!Take(form.open)) continue;
      Text text;
      if (!(form.kind == kUString || form.kind == kString ? ScanText(text) : ScanNumberText(text)) ||
          !Take(form.close))
        return false;
      if (kApply) SetScalar(form.kind, text);
      return true;
    }
    return false;
  }

  void SetScalar(Kind kind, Text const& text) {
    PropList& list = *lists_.back();
    switch (kind) {
      case kUString: list.SetValue(key_, Wide(text)); break;
      case kString: {
        UTF8String value;
        AppendDecoded(text, value);
        list.SetValue(key_, value);
        break;
      }
      case kUInt16: list.SetValue(key_, static_cast<unsigned short>(Number<std::uint32_t>(text))); break;
      case kUInt32: list.SetValue(key_, static_cast<unsigned long>(Number<std::uint32_t>(text))); break;
      case kInt32: list.SetValue(key_, static_cast<long>(Number<std::int32_t>(text))); break;
      case kInt64: list.SetValue(key_, Number<long long>(text)); break;
      case kUInt64: list.SetValue(key_, Number<unsigned long long>(text)); break;
      case kFloat: list.SetValue(key_, Number<float>(text)); break;
      case kDouble: list.SetValue(key_, Number<double>(text)); break;
      case kBool: break;
    }
  }

  bool Array() {
    if (Take("<bool/></array.type>\n")) {
      std::list<bool> values;
      for (;;) {
        if (Take("<true/>\n")) {
          if (kApply) values.push_back(true);
        } else if (Take("<false/>\n")) {
          if (kApply) values.push_back(false);
        } else {
          break;
        }
      }
      if (kApply) lists_.back()->SetValue(key_, values);
      return Take("</array>\n");
    }
    for (ValueForm const& form : kForms) {
      if (!Take(form.typeTag)) continue;
      if (!Take("</array.type>\n")) return false;
      switch (form.kind) {
        case kUString: return Elements<UTF16String>(form);
        case kString: return Elements<UTF8String>(form);
        case kUInt16: return Elements<unsigned short, std::uint32_t>(form);
        case kUInt32: return Elements<unsigned long, std::uint32_t>(form);
        case kInt32: return Elements<long, std::int32_t>(form);
        case kInt64: return Elements<long long>(form);
        case kUInt64: return Elements<unsigned long long>(form);
        case kFloat: return Elements<float>(form);
        case kDouble: return Elements<double>(form);
        case kBool: return false;
      }
    }
    return false;
  }

  // The elements of an array of `form`, each read as the general reader reads it.
  template <class T, class Parsed = T>
  bool Elements(ValueForm const& form) {
    bool const isText = form.kind == kUString || form.kind == kString;
    std::list<T> values;
    while (Take(form.open)) {
      Text text;
      if (!(isText ? ScanText(text) : ScanNumberText(text)) || !Take(form.close)) return false;
      if (kApply) values.push_back(Element<T, Parsed>(text));
    }
    if (kApply) lists_.back()->SetValue(key_, values);
    return Take("</array>\n");
  }

  template <class T, class Parsed>
  T Element(Text const& text) {
    if constexpr (std::is_same<T, UTF16String>::value) {
      return Wide(text);
    } else if constexpr (std::is_same<T, UTF8String>::value) {
      UTF8String value;
      AppendDecoded(text, value);
      return value;
    } else {
      return static_cast<T>(Number<Parsed>(text));
    }
  }

  static UTF16String Wide(Text const& text) {
    if (!text.hasEntity) return utility::UTF8to16(text.begin, static_cast<std::size_t>(text.end - text.begin));
    UTF8String decoded;
    AppendDecoded(text, decoded);
    return utility::UTF8to16(decoded);
  }

  template <class T>
  static T Number(Text const& text) {
    return ParseNumber<T>(text.begin, text.end);
  }

  Byte const* p_;
  Byte const* const end_;
  PropList& root_;
  std::vector<PropList*> lists_;  // open lists, innermost last (applying only)
  UTF8String key_;
};

}  // namespace

bool ReadCanonical(Byte const* data, std::size_t size, PropList& ioList) {
  // XML reads every CR LF pair and every lone CR as LF before anything else, so a document
  // with carriage returns (a file written in text mode) is read in that normalised form.
  if (std::memchr(data, '\r', size)) {
    std::vector<Byte> normalised;
    normalised.reserve(size);
    for (std::size_t i = 0; i < size; ++i) {
      if (data[i] != '\r') {
        normalised.push_back(data[i]);
      } else {
        normalised.push_back('\n');
        if (i + 1 < size && data[i + 1] == '\n') ++i;
      }
    }
    return ReadCanonical(normalised.data(), normalised.size(), ioList);
  }
  if (!Reader<false>(data, size, ioList).Run()) return false;
  Reader<true>(data, size, ioList).Run();
  return true;
}

}  // namespace impl
}  // namespace proplist
}  // namespace vireo
