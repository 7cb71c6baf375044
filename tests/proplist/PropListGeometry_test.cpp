// Points and rectangles stored as arrays.
#include "vireo/proplist/PropListGeometry.h"

#include <gtest/gtest.h>

#include <list>

#include "tests/proplist/PropListTesting.h"

namespace vireo {
namespace proplist {
namespace {

using testing::K;

TEST(PropListGeometryTest, StoredAsArraysInFieldOrder) {
  PropList list;
  utils::WriteRectF32(K("rf"), geom::RectT<float>{1.5f, -2, 300, 0.25f}, &list);
  utils::WriteRect32(K("r"), geom::RectT<long>{10, 20, 100, 50}, list);
  utils::WritePointF32(K("p"), geom::PointT<float>{3, 4}, &list);

  std::list<float> floats;
  EXPECT_TRUE(list.GetValue(K("rf"), floats));
  EXPECT_EQ((std::list<float>{1.5f, -2, 300, 0.25f}), floats);
  std::list<long> longs;
  EXPECT_TRUE(list.GetValue(K("r"), longs));
  EXPECT_EQ((std::list<long>{10, 20, 100, 50}), longs);
  EXPECT_EQ(kPropTypeFloatArray, list.GetPropertyType(K("p")));

  EXPECT_EQ((geom::RectT<float>{1.5f, -2, 300, 0.25f}), utils::ReadRectF32(K("rf"), &list));
  EXPECT_EQ((geom::RectT<long>{10, 20, 100, 50}), utils::ReadRect32(K("r"), list));
  EXPECT_EQ((geom::PointT<float>{3, 4}), utils::ReadPointF32(K("p"), &list));
}

TEST(PropListGeometryTest, AnythingElseReadsAsZeros) {
  PropList list;
  list.SetValue(K("longs"), std::list<long>{1, 2, 3, 4});
  list.SetValue(K("scalar"), 5.0f);
  list.SetValue(K("short"), std::list<float>{7});
  EXPECT_EQ((geom::RectT<float>{0, 0, 0, 0}), utils::ReadRectF32(K("missing"), &list));
  EXPECT_EQ((geom::RectT<float>{0, 0, 0, 0}), utils::ReadRectF32(K("longs"), &list));
  EXPECT_EQ((geom::PointT<float>{0, 0}), utils::ReadPointF32(K("scalar"), &list));
  EXPECT_EQ((geom::RectT<long>{0, 0, 0, 0}), utils::ReadRect32(K("short"), list));
  EXPECT_EQ((geom::RectT<float>{7, 0, 0, 0}), utils::ReadRectF32(K("short"), &list));
}

}  // namespace
}  // namespace proplist
}  // namespace vireo
