// Loading without a parser factory (a process of its own: the factory slot stays empty).
#include <gtest/gtest.h>

#include "tests/proplist/PropListTesting.h"
#include "tests/support/RecordingErrorManager.h"
#include "vireo/proplist/PropListXML.h"

namespace vireo {
namespace proplist {
namespace {

TEST(MissingParserTest, RaisesAndReadsNothing) {
  testing::RecordingErrorManager manager;
  testing::ScopedErrorManager scope(&manager);
  PropList list;
  list.SetValue(testing::K("kept"), 1.0);
  utils::ReadPropList(testing::K("<prop.map version='9'><prop.list/></prop.map>"), list);
  utils::LoadPropList(testing::W("/nonexistent.xml"), list);
  ASSERT_EQ(2u, manager.errors.size());
  for (auto const& e : manager.errors) {
    EXPECT_EQ(config::kErrorLevelNonFatal, e.level);
    EXPECT_EQ("$$$/wren/proplist/Error/PropListUtils/MissingParserFactory=Missing XML Parser Factory.",
              e.key);
    EXPECT_EQ(104u, e.component);
    EXPECT_EQ(21, e.code);
    EXPECT_TRUE(e.deferrable);
    for (auto const& v : e.values) EXPECT_EQ(config::kNone, v.kind);
  }
  EXPECT_EQ(4, list.GetVersion());
  EXPECT_EQ(kPropTypeDouble, list.GetPropertyType(testing::K("kept")));
}

}  // namespace
}  // namespace proplist
}  // namespace vireo
