// The localizer slot and the default-text fallback.
#include "vireo/config/Localizer.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace vireo {
namespace config {
namespace {

utility::UTF16String U16(char const* text) { return utility::AsciiToUTF16(text); }

// Answers "<" + the key it was asked for + ">" and remembers the keys.
class EchoLocalizer : public Localizer {
 public:
  utility::UTF16String GetLocalizedString(char const* key) override {
    keys.push_back(key);
    return U16(("<" + std::string(key) + ">").c_str());
  }
  std::vector<std::string> keys;
};

// Uninstalls whatever a test installed, also when it fails half-way.
class LocalizerTest : public ::testing::Test {
 protected:
  void TearDown() override { Localizer::Set(nullptr); }
};

TEST_F(LocalizerTest, SlotFollowsSetAndUninstall) {
  EXPECT_FALSE(Localizer::Initialized());
  try {
    Localizer::Get();
    FAIL() << "Get() without a localizer returned";
  } catch (std::logic_error const& e) {
    EXPECT_STREQ("vireo::config::Localizer not initialized. Check vireo/config/Localizer.",
                 e.what());
  }

  EchoLocalizer first, second;
  Localizer::Set(&first);
  EXPECT_TRUE(Localizer::Initialized());
  EXPECT_EQ(&first, Localizer::Get());
  Localizer::Set(&second);
  EXPECT_EQ(&second, Localizer::Get());

  Localizer::Set(nullptr);
  EXPECT_FALSE(Localizer::Initialized());
  EXPECT_THROW(Localizer::Get(), std::logic_error);
}

TEST_F(LocalizerTest, LocalizeOrDefaultAsksTheInstalledLocalizerWithTheWholeKey) {
  EchoLocalizer localizer;
  Localizer::Set(&localizer);
  char const* const key = "$$$/private/vireo/debug/ContractDialogTitle=@0 Debug Event";
  EXPECT_EQ(U16("<$$$/private/vireo/debug/ContractDialogTitle=@0 Debug Event>"),
            LocalizeOrDefault(key));
  ASSERT_EQ(1u, localizer.keys.size());
  EXPECT_EQ(key, localizer.keys[0]);
}

TEST_F(LocalizerTest, LocalizeOrDefaultWithoutLocalizerGivesTheDefaultText) {
  // The text after the first "=", placeholders and later "=" kept.
  EXPECT_EQ(U16("@0 has encountered an error."),
            LocalizeOrDefault("$$$/private/vireo/debug/ContractDialog/ErrorMessage=@0 has "
                              "encountered an error."));
  EXPECT_EQ(U16("a=b ^1"), LocalizeOrDefault("$$$/test/Equals=a=b ^1"));
  EXPECT_EQ(U16(""), LocalizeOrDefault("$$$/test/Empty="));
  EXPECT_EQ(U16(""), LocalizeOrDefault("$$$/test/NoDefault"));

  // The default text is UTF-8.
  utility::UTF16String const text = LocalizeOrDefault("$$$/test/Utf8=Caf\xC3\xA9 \xE2\x82\xAC");
  utility::UTF16String expected = U16("Caf");
  expected.push_back(0x00E9);
  expected.push_back(' ');
  expected.push_back(0x20AC);
  EXPECT_EQ(expected, text);
}

}  // namespace
}  // namespace config
}  // namespace vireo
