// Every property-list test runs with the supplied parser installed, as a client would.
#include <gtest/gtest.h>

#include "vireo/xml/MSXMLParseHandler.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace {

class ParserEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    std::auto_ptr<vireo::xml::DocParserFactory> factory(new vireo::xml::MSXMLParserFactory);
    vireo::xml::SetParserFactory(factory);
  }
};

::testing::Environment* const gParserEnvironment =
    ::testing::AddGlobalTestEnvironment(new ParserEnvironment);

}  // namespace
