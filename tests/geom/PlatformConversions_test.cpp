// Integer points and rectangles to and from the platform's POINT and RECT.
#include "vireo/geom/PlatformConversions.h"

#include <gtest/gtest.h>

namespace vireo {
namespace utility {
namespace {

TEST(PlatformConversions, RectangleEdgesBecomeAnExtentAndBack) {
  platform::RECT const win{10, 20, 110, 70};
  geom::RectT<long> const rect = WINtoWREN(win);
  EXPECT_EQ((geom::RectT<long>{10, 20, 100, 50}), rect);
  platform::RECT const back = WRENtoWIN(rect);
  EXPECT_EQ(10, back.left);
  EXPECT_EQ(20, back.top);
  EXPECT_EQ(110, back.right);
  EXPECT_EQ(70, back.bottom);
}

TEST(PlatformConversions, NegativeOriginsAndInvertedEdges) {
  // An inverted record gives a negative extent rather than being normalised.
  geom::RectT<long> const rect = WINtoWREN(platform::RECT{-5, -8, -15, 2});
  EXPECT_EQ((geom::RectT<long>{-5, -8, -10, 10}), rect);
  platform::RECT const back = WRENtoWIN(rect);
  EXPECT_EQ(-15, back.right);
  EXPECT_EQ(2, back.bottom);
}

TEST(PlatformConversions, PointsCopyFieldByField) {
  platform::POINT const win = WRENtoWIN(geom::PointT<long>{-3, 44});
  EXPECT_EQ(-3, win.x);
  EXPECT_EQ(44, win.y);
  EXPECT_EQ((geom::PointT<long>{7, -9}), WINtoWREN(platform::POINT{7, -9}));
}

}  // namespace
}  // namespace utility
}  // namespace vireo
