// Client identity setters and the library's version string. The defaults are checked in
// ClientIdentityDefaults_test.cpp, a process of its own, because these tests change them.
#include "vireo/config/ClientIdentity.h"

#include <gtest/gtest.h>

namespace vireo {
namespace config {
namespace {

utility::UTF16String U16(char const* text) { return utility::AsciiToUTF16(text); }

struct Value {
  char const* name;
  utility::UTF16String const& (*get)();
  void (*set)(utility::UTF16String const&);
};

Value const kValues[] = {
    {"client name", GetClientName, SetClientName},
    {"client version", GetClientVersion, SetClientVersion},
    {"client internal version", GetClientInternalVersion, SetClientInternalVersion},
    {"client build number", GetClientBuildNumber, SetClientBuildNumber},
    {"company name", GetCompanyName, SetCompanyName},
};

TEST(ClientIdentity, SettersReplaceEachValueIndependently) {
  for (Value const& v : kValues) {
    SCOPED_TRACE(v.name);
    std::string const text = std::string("set ") + v.name;
    v.set(U16(text.c_str()));
    EXPECT_EQ(U16(text.c_str()), v.get());
  }
  // No setter touched another value.
  for (Value const& v : kValues) {
    SCOPED_TRACE(v.name);
    EXPECT_EQ(U16((std::string("set ") + v.name).c_str()), v.get());
  }
}

TEST(ClientIdentity, SettersKeepAnyTextAsGiven) {
  for (Value const& v : kValues) {
    SCOPED_TRACE(v.name);
    v.set(utility::UTF16String());
    EXPECT_TRUE(v.get().empty());

    utility::UTF16String untrimmed = U16("  padded\t");
    untrimmed.push_back(0xD83D);  // a surrogate pair passes unchanged
    untrimmed.push_back(0xDE00);
    v.set(untrimmed);
    EXPECT_EQ(untrimmed, v.get());
  }
}

TEST(ClientIdentity, GetterReferenceShowsLaterSetterCalls) {
  for (Value const& v : kValues) {
    SCOPED_TRACE(v.name);
    utility::UTF16String const& ref = v.get();
    v.set(U16("first"));
    EXPECT_EQ(U16("first"), ref);
    EXPECT_EQ(&ref, &v.get());
    v.set(U16("a much longer second text that needs a new buffer"));
    EXPECT_EQ(U16("a much longer second text that needs a new buffer"), ref);
  }
}

TEST(ClientIdentity, VersionStringDoesNotDependOnTheClient) {
  EXPECT_EQ(U16("2.0.0.Gadwall"), GetVersionString());
  SetClientName(U16("Heron"));
  SetClientVersion(U16("9.9"));
  SetClientInternalVersion(U16("9.9.1"));
  SetClientBuildNumber(U16("1234"));
  SetCompanyName(U16("Marsh Media"));
  EXPECT_EQ(U16("2.0.0.Gadwall"), GetVersionString());
}

}  // namespace
}  // namespace config
}  // namespace vireo
