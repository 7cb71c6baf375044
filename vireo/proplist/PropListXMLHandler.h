// Reads a property-list XML document into a PropList, as a handler of the XML framework.
#ifndef VIREO_PROPLIST_PROPLISTXMLHANDLER_H
#define VIREO_PROPLIST_PROPLISTXMLHANDLER_H

#include <cstddef>
#include <vector>

#include "vireo/Export.h"
#include "vireo/proplist/PropList.h"
#include "vireo/xml/XMLParser.h"

namespace vireo {
namespace proplist {

// Sets the values of a document into the root list with PropList's setters, so keys the
// document does not mention keep their values. A document whose version is above
// PropList::GetCurrentVersion() raises "...VersionGreaterThan..." (level 1, component 104,
// code 20); the root list takes the document's version either way. Unknown elements,
// wrong nesting and missing attributes are tolerated: what cannot be understood is skipped.
class VIREO_API PropListXMLHandler : public xml::AbstractParseHandler {
 public:
  explicit PropListXMLHandler(PropList& ioRoot);
  ~PropListXMLHandler() override;

  void StartDocument() override;
  void StartElement(utility::UTF16String const& inName,
                    xml::AttributeMap const& inAttributes) override;
  void EndElement(utility::UTF16String const& inName) override;
  void Characters(utility::UTF16String const& inText) override;
  void EndDocument() override;

  // True when a key or value text grew beyond kMaxText units: the rest of it was dropped,
  // and the loader reports the document as not parsed.
  bool TextLimitExceeded() const { return textLimitExceeded_; }
  // The most units a key or value text collects (about the reader's own limit per run).
  static constexpr std::size_t kMaxText = std::size_t(64) << 20;

 private:
  enum TextMode { kTextNone, kTextKey, kTextValue };

  void StoreScalar();
  void StoreArray();

  PropList& root_;
  utility::UTF16String key_;
  utility::UTF16String value_;
  TextMode textMode_;
  int valueType_;
  std::vector<PropList*> lists_;  // open lists, innermost last
  bool inArray_;
  bool inArrayType_;
  int arrayType_;
  bool arrayTypeRecognised_;
  std::vector<utility::UTF16String> elements_;
  bool textLimitExceeded_;
};

}  // namespace proplist
}  // namespace vireo

#endif
