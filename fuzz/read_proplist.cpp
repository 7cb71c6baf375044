// Reading any bytes as a property-list document, with the supplied parser installed.
//
// Laws, for any input:
//   1. reading never crashes, and raises nothing but the reader's codes 20 and 22;
//   2. what was read, written, read again and written again gives the same document both
//      times (writing is stable after one round: six-digit numbers read back to themselves),
//      unless a text holds a carriage return, which XML reads back as a line feed;
//   3. ReadPropList (which reads documents of the writer's own form by itself) and the
//      general path (the supplied parser driving a PropListXMLHandler) leave equal lists and
//      raise the same errors.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "vireo/config/Errors.h"
#include "vireo/proplist/PropList.h"
#include "vireo/proplist/PropListXML.h"
#include "vireo/proplist/PropListXMLHandler.h"
#include "vireo/xml/MSXMLParseHandler.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace {

#define CHECK(condition)                                                                  \
  do {                                                                                    \
    if (!(condition)) {                                                                   \
      std::fprintf(stderr, "read_proplist: law broken: %s (line %d)\n", #condition, __LINE__); \
      std::abort();                                                                       \
    }                                                                                     \
  } while (0)

class Manager : public vireo::config::ErrorManager {
 public:
  void ReportError(vireo::config::ErrorLevel, char const*, unsigned long component, long code,
                   bool, vireo::config::ReplacementValue const&,
                   vireo::config::ReplacementValue const&, vireo::config::ReplacementValue const&,
                   vireo::config::ReplacementValue const&) const override {
    CHECK(component == 104 && (code == 20 || code == 22));
    ++count;
    codes.push_back(code);
  }
  mutable int count = 0;
  mutable std::vector<long> codes;
};

Manager& Setup() {
  static Manager* manager = [] {
    std::auto_ptr<vireo::xml::DocParserFactory> factory(new vireo::xml::MSXMLParserFactory);
    vireo::xml::SetParserFactory(factory);
    auto* m = new Manager;
    vireo::config::ErrorManager::Set(m);
    return m;
  }();
  return *manager;
}

// The general path: the supplied parser driving the reader, as ReadPropList would without
// its own reading of the writer's form.
void ReadGeneral(vireo::utility::UTF8String const& xml, vireo::proplist::PropList& list) {
  vireo::proplist::PropListXMLHandler* reader = new vireo::proplist::PropListXMLHandler(list);
  std::auto_ptr<vireo::xml::AbstractParseHandler> handler(reader);
  vireo::xml::MSXMLParseHandler parser(handler);
  if (parser.ParseBuffer(xml) != vireo::xml::kXMLParseSuccess || reader->TextLimitExceeded())
    vireo::config::ThrowError(vireo::config::kErrorLevelNonFatal, "parse", 104, 22, true,
                              vireo::config::ReplacementValue(), vireo::config::ReplacementValue(),
                              vireo::config::ReplacementValue(), vireo::config::ReplacementValue());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
  Manager& manager = Setup();
  using vireo::utility::UTF8String;
  UTF8String const input(data, data + size);
  manager.codes.clear();
  vireo::proplist::PropList first;
  vireo::proplist::utils::ReadPropList(input, first);
  std::vector<long> const firstCodes = manager.codes;

  manager.codes.clear();
  vireo::proplist::PropList general;
  ReadGeneral(input, general);
  CHECK(manager.codes == firstCodes);

  UTF8String written, writtenGeneral;
  vireo::proplist::utils::WritePropList(written, first);
  vireo::proplist::utils::WritePropList(writtenGeneral, general);
  CHECK(written == writtenGeneral);
  if (written.find(static_cast<unsigned char>('\r')) != UTF8String::npos) return 0;
  int const before = manager.count;
  vireo::proplist::PropList second;
  vireo::proplist::utils::ReadPropList(written, second);
  // A newer version is raised again; nothing else may be.
  CHECK(manager.count - before == (first.GetVersion() > 4 ? 1 : 0));
  UTF8String again;
  vireo::proplist::utils::WritePropList(again, second);
  CHECK(again == written);
  return 0;
}
