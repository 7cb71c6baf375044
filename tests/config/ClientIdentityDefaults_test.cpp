// The identity a process has before its client sets anything. A process of its own: any
// setter call elsewhere in the same process would hide the defaults.
#include "vireo/config/ClientIdentity.h"

#include <gtest/gtest.h>

namespace vireo {
namespace config {
namespace {

utility::UTF16String U16(char const* text) { return utility::AsciiToUTF16(text); }

TEST(ClientIdentityDefaults, ValuesBeforeAnySetter) {
  EXPECT_EQ(U16("No Client Name"), GetClientName());
  EXPECT_EQ(U16("No Client Version"), GetClientVersion());
  EXPECT_EQ(U16("No Client Internal Version"), GetClientInternalVersion());
  EXPECT_EQ(U16("No Client Internal Version"), GetClientBuildNumber());
  EXPECT_EQ(U16("No Company Name"), GetCompanyName());
  EXPECT_EQ(U16("2.0.0.Gadwall"), GetVersionString());
}

}  // namespace
}  // namespace config
}  // namespace vireo
