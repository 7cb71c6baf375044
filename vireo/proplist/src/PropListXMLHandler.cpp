// The reader of property-list documents.
#include "vireo/proplist/PropListXMLHandler.h"

#include <list>

#include "vireo/proplist/src/Numbers.h"
#include "vireo/proplist/src/ReadErrors.h"

namespace vireo {
namespace proplist {

using utility::UTF16String;
using utility::UTF8String;

namespace {

// Type codes of value elements.
enum ValueCode {
  kCodeNone = 0,
  kCodeUnicodeString = 1,
  kCodeString = 2,
  kCodeTrue = 3,
  kCodeFalse = 4,
  kCodeUInt16 = 5,
  kCodeUInt32 = 6,
  kCodeInt32 = 7,
  kCodeFloat = 8,
  kCodeDouble = 9,
  kCodeUInt64 = 10,
  kCodeInt64 = 11
};

// Names are compared unit by unit with ASCII literals: the same as comparing their UTF-8
// forms, without converting every name.
template <std::size_t N>
bool Is(UTF16String const& s, char const (&literal)[N]) {
  if (s.size() != N - 1) return false;
  for (std::size_t i = 0; i + 1 < N; ++i)
    if (s[i] != static_cast<unsigned char>(literal[i])) return false;
  return true;
}

UTF16String const* Attribute(xml::AttributeMap const& attributes, UTF16String const& name) {
  auto const found = attributes.find(name);
  return found == attributes.end() ? nullptr : &found->second;
}

// The code of a value element; false for any other element. An "int" without a usable
// type and size is a value element without a code of its own (kCodeNone).
bool Classify(UTF16String const& name, xml::AttributeMap const& attributes, int& code) {
  code = kCodeNone;
  if (Is(name, "ustring")) code = kCodeUnicodeString;
  else if (Is(name, "string")) code = kCodeString;
  else if (Is(name, "true") || Is(name, "bool")) code = kCodeTrue;
  else if (Is(name, "false")) code = kCodeFalse;
  else if (Is(name, "float")) code = kCodeFloat;
  else if (Is(name, "double")) code = kCodeDouble;
  else if (Is(name, "int")) {
    static UTF16String const kType = utility::AsciiToUTF16("type");
    static UTF16String const kSize = utility::AsciiToUTF16("size");
    UTF16String const* const type = Attribute(attributes, kType);
    UTF16String const* const size = Attribute(attributes, kSize);
    if (type && size) {
      bool const isSigned = Is(*type, "signed");
      if (Is(*size, "16")) code = kCodeUInt16;
      else if (Is(*size, "32")) code = isSigned ? kCodeInt32 : kCodeUInt32;
      else if (Is(*size, "64")) code = isSigned ? kCodeInt64 : kCodeUInt64;
    }
  } else {
    return false;
  }
  return true;
}

template <class T>
void SetNumber(PropList& list, UTF8String const& key, UTF16String const& text) {
  list.SetValue(key, static_cast<T>(impl::ParseNumber<T>(text)));
}

template <class T, class Parsed = T>
void SetNumbers(PropList& list, UTF8String const& key, std::vector<UTF16String> const& texts) {
  std::list<T> values;
  for (UTF16String const& text : texts) values.push_back(static_cast<T>(impl::ParseNumber<Parsed>(text)));
  list.SetValue(key, values);
}

}  // namespace

PropListXMLHandler::PropListXMLHandler(PropList& ioRoot)
    : root_(ioRoot),
      textMode_(kTextNone),
      valueType_(kCodeNone),
      inArray_(false),
      inArrayType_(false),
      arrayType_(kCodeNone),
      arrayTypeRecognised_(false),
      textLimitExceeded_(false) {}

PropListXMLHandler::~PropListXMLHandler() = default;

void PropListXMLHandler::StartDocument() {}
void PropListXMLHandler::EndDocument() {}

void PropListXMLHandler::StartElement(UTF16String const& inName,
                                      xml::AttributeMap const& inAttributes) {
  if (Is(inName, "prop.map")) {
    static UTF16String const kVersion = utility::AsciiToUTF16("version");
    if (UTF16String const* const version = Attribute(inAttributes, kVersion)) {
      unsigned short const value = impl::ParseNumber<unsigned short>(*version);
      if (value > PropList::GetCurrentVersion()) impl::RaiseVersionGreaterThan();
      root_.SetVersion(value);
    }
  } else if (Is(inName, "prop.list")) {
    if (lists_.empty()) {
      lists_.push_back(&root_);
    } else {
      PropList* const nested = lists_.back()->NewSubList(utility::UTF16to8(key_));
      lists_.push_back(nested);
      key_.clear();
    }
  } else if (Is(inName, "key")) {
    textMode_ = kTextKey;
  } else if (Is(inName, "array")) {
    inArray_ = true;
  } else if (Is(inName, "array.type")) {
    inArrayType_ = true;
  } else {
    int code;
    bool const isValue = Classify(inName, inAttributes, code);
    if (inArrayType_) {
      if (code != kCodeNone || !isValue) arrayType_ = code;
      arrayTypeRecognised_ = isValue;
    } else if (isValue) {
      if (code != kCodeNone) valueType_ = code;
      textMode_ = kTextValue;
    }
  }
}

void PropListXMLHandler::Characters(UTF16String const& inText) {
  UTF16String* const target = textMode_ == kTextKey ? &key_ : textMode_ == kTextValue ? &value_ : nullptr;
  if (!target) return;
  if (target->size() + inText.size() > kMaxText) {
    textLimitExceeded_ = true;
    return;
  }
  target->append(inText);
}

void PropListXMLHandler::EndElement(UTF16String const& inName) {
  if (Is(inName, "prop.list")) {
    if (!lists_.empty()) lists_.pop_back();
  } else if (Is(inName, "key")) {
    textMode_ = kTextNone;
  } else if (Is(inName, "array")) {
    StoreArray();
    inArray_ = false;
    arrayType_ = kCodeNone;
    arrayTypeRecognised_ = false;
    textMode_ = kTextNone;
  } else if (Is(inName, "array.type")) {
    inArrayType_ = false;
  } else if (textMode_ == kTextValue) {
    if (inArray_) {
      if (valueType_ == kCodeTrue)
        elements_.push_back(utility::AsciiToUTF16("true"));
      else if (valueType_ == kCodeFalse)
        elements_.push_back(utility::AsciiToUTF16("false"));
      else
        elements_.push_back(value_);
      value_.clear();
    } else {
      StoreScalar();
    }
    textMode_ = kTextNone;
  }
}

void PropListXMLHandler::StoreScalar() {
  if (valueType_ != kCodeNone && !lists_.empty()) {
    PropList& list = *lists_.back();
    UTF8String const key = utility::UTF16to8(key_);
    switch (valueType_) {
      case kCodeUnicodeString: list.SetValue(key, value_); break;
      case kCodeString: list.SetValue(key, utility::UTF16to8(value_)); break;
      case kCodeTrue: list.SetValue(key, true); break;
      case kCodeFalse: list.SetValue(key, false); break;
      // Read as 32 bits, kept as 16.
      case kCodeUInt16: list.SetValue(key, static_cast<unsigned short>(impl::ParseNumber<std::uint32_t>(value_))); break;
      case kCodeUInt32: list.SetValue(key, static_cast<unsigned long>(impl::ParseNumber<std::uint32_t>(value_))); break;
      case kCodeInt32: list.SetValue(key, static_cast<long>(impl::ParseNumber<std::int32_t>(value_))); break;
      case kCodeFloat: SetNumber<float>(list, key, value_); break;
      case kCodeDouble: SetNumber<double>(list, key, value_); break;
      case kCodeUInt64: SetNumber<unsigned long long>(list, key, value_); break;
      case kCodeInt64: SetNumber<long long>(list, key, value_); break;
    }
  }
  key_.clear();
  value_.clear();
}

void PropListXMLHandler::StoreArray() {
  if (arrayTypeRecognised_ && arrayType_ != kCodeNone && !lists_.empty()) {
    PropList& list = *lists_.back();
    UTF8String const key = utility::UTF16to8(key_);
    switch (arrayType_) {
      case kCodeUnicodeString:
        list.SetValue(key, std::list<UTF16String>(elements_.begin(), elements_.end()));
        break;
      case kCodeString: {
        std::list<UTF8String> values;
        for (UTF16String const& text : elements_) values.push_back(utility::UTF16to8(text));
        list.SetValue(key, values);
        break;
      }
      case kCodeTrue:
      case kCodeFalse: {  // elements of a "false" array read as that constant
        std::list<bool> values;
        for (UTF16String const& text : elements_)
          values.push_back(arrayType_ == kCodeTrue && Is(text, "true"));
        list.SetValue(key, values);
        break;
      }
      case kCodeUInt16: SetNumbers<unsigned short, std::uint32_t>(list, key, elements_); break;
      case kCodeUInt32: SetNumbers<unsigned long, std::uint32_t>(list, key, elements_); break;
      case kCodeInt32: SetNumbers<long, std::int32_t>(list, key, elements_); break;
      case kCodeFloat: SetNumbers<float>(list, key, elements_); break;
      case kCodeDouble: SetNumbers<double>(list, key, elements_); break;
      case kCodeUInt64: SetNumbers<unsigned long long>(list, key, elements_); break;
      case kCodeInt64: SetNumbers<long long>(list, key, elements_); break;
    }
  }
  key_.clear();
  value_.clear();
  elements_.clear();
}

}  // namespace proplist
}  // namespace vireo
