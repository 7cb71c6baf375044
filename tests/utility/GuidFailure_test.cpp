// Guid creation and text conversion when the platform's UUID services fail: the raised errors
// and the values that follow when the error manager returns. The failures are made through
// the platform's test seams, which the whole process sees.
#include "vireo/utility/Guid.h"

#include <gtest/gtest.h>

#include "tests/support/RecordingErrorManager.h"
#include "vireo/platform/Testing.h"

namespace vireo {
namespace utility {
namespace {

using testing::RecordingErrorManager;
using testing::ScopedErrorManager;

platform::_GUID const kMachineOnly = {0x11223344, 0x5566, 0x1788, {9, 10, 11, 12, 13, 14, 15, 16}};

platform::UuidStatus LocalOnly(platform::_GUID& out) {
  out = kMachineOnly;
  return platform::kUuidLocalOnly;
}

platform::UuidStatus Failed(platform::_GUID& out) {
  out = platform::_GUID();
  return platform::kUuidFailed;
}

struct SeamReset {
  ~SeamReset() {
    platform::testing::SetUuidGenerator(nullptr);
    platform::testing::SetUuidToStringFailure(false);
  }
};

void ExpectRaised(RecordingErrorManager const& manager, char const* key, long code) {
  ASSERT_EQ(1u, manager.errors.size()) << key;
  EXPECT_EQ(config::kErrorLevelNonFatal, manager.errors[0].level);
  EXPECT_EQ(key, manager.errors[0].key);
  EXPECT_EQ(105u, manager.errors[0].component);
  EXPECT_EQ(code, manager.errors[0].code);
  EXPECT_TRUE(manager.errors[0].deferrable);
}

TEST(GuidFailure, CreationRaisesAndYieldsWhatTheGeneratorMade) {
  SeamReset reset;
  struct Case {
    platform::testing::UuidGenerator generator;
    Guid expected;
  } const cases[] = {{&LocalOnly, Guid(kMachineOnly)}, {&Failed, Guid()}};
  for (Case const& c : cases) {
    RecordingErrorManager manager;
    ScopedErrorManager scope(&manager);
    platform::testing::SetUuidGenerator(c.generator);
    EXPECT_EQ(c.expected, Guid::CreateUnique());
    ExpectRaised(manager, "$$$/wren/utility/Error/CouldntCreateGUID=Couldn't create Guid.", 27);
  }
  platform::testing::SetUuidGenerator(nullptr);
  RecordingErrorManager manager;
  ScopedErrorManager scope(&manager);
  EXPECT_NE(Guid(), Guid::CreateUnique());
  EXPECT_TRUE(manager.errors.empty());
}

TEST(GuidFailure, AThrowingManagerStopsCreation) {
  SeamReset reset;
  platform::testing::SetUuidGenerator(&LocalOnly);
  testing::ThrowingErrorManager manager;
  ScopedErrorManager scope(&manager);
  EXPECT_THROW(Guid::CreateUnique(), testing::RaisedError);
}

TEST(GuidFailure, FailedConversionRaisesAndGivesTheEmptyText) {
  SeamReset reset;
  platform::testing::SetUuidToStringFailure(true);
  RecordingErrorManager manager;
  ScopedErrorManager scope(&manager);
  Guid const g(kMachineOnly);
  EXPECT_TRUE(g.AsString().empty());
  ExpectRaised(manager, "$$$/wren/utility/Error/StringToGUIDFailed=String to GUID failed.", 29);
  oUTF16StringStream out;
  out << g;
  EXPECT_TRUE(out.str().empty());
  EXPECT_EQ(2u, manager.errors.size());

  platform::testing::SetUuidToStringFailure(false);
  EXPECT_EQ(36u, g.AsString().size());
}

}  // namespace
}  // namespace utility
}  // namespace vireo
