// Client items for layout tests: leaves that record the rectangles they are given, groups of
// every kind with settable appearance, and separators that record where they were placed.
#ifndef VIREO_TESTS_ARRANGE_ARRANGEFIXTURE_H
#define VIREO_TESTS_ARRANGE_ARRANGEFIXTURE_H

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <ostream>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "vireo/arrange/ArrangeableGroup.h"
#include "vireo/arrange/Arrangement.h"
#include "vireo/arrange/DynamicGroup.h"
#include "vireo/arrange/Single.h"

namespace vireo {
namespace geom {
// Readable failure messages.
inline std::ostream& operator<<(std::ostream& out, PointT<float> const& p) {
  return out << "(" << p.x << ", " << p.y << ")";
}
inline std::ostream& operator<<(std::ostream& out, RectT<float> const& r) {
  return out << "(" << r.x << ", " << r.y << ", " << r.width << " x " << r.height << ")";
}
}  // namespace geom

namespace arrange {
namespace testing {

typedef geom::PointT<float> Size;
typedef geom::RectT<float> Box;

constexpr float kUnlimited = std::numeric_limits<float>::infinity();

// A leaf of a given preferred size. Fixed unless made expandable; an expandable leaf takes
// what it is offered up to its limit. Returns the rectangle's size as the size it used.
class Leaf : public Single {
 public:
  Leaf(float inWidth, float inHeight, IArrangeable* inParent = nullptr)
      : Single(inParent), width(inWidth), height(inHeight) {}

  Leaf& Expandable(bool inHorizontal, bool inVertical) {
    expandsHorizontally = inHorizontal;
    expandsVertically = inVertical;
    return *this;
  }

  float PreferredWidth() override { return width; }
  float PreferredHeight() override { return height; }
  float MinWidth() override { return minWidth < 0 ? width : minWidth; }
  float MinHeight() override { return minHeight < 0 ? height : minHeight; }
  bool HorizontallyExpandable() override { return expandsHorizontally; }
  bool VerticallyExpandable() override { return expandsVertically; }
  float ExpandedWidth(float inAvailable) override {
    ++expandedQueries;
    return expandsHorizontally ? std::min(inAvailable, maxWidth) : width;
  }
  float ExpandedHeight(float inAvailable) override {
    ++expandedQueries;
    return expandsVertically ? std::min(inAvailable, maxHeight) : height;
  }
  float LeftMargin() override { return left; }
  float RightMargin() override { return right; }
  float TopMargin() override { return top; }
  float BottomMargin() override { return bottom; }
  Size ArrangeSelf(Box const& inRect) override {
    rects.push_back(inRect);
    if (onArrange) onArrange(*this);  // may change what the item says it used
    return Size{rects.back().width, rects.back().height};
  }

  Box const& Last() const { return rects.back(); }

  float width, height;
  float minWidth = -1, minHeight = -1;  // negative: the preferred size
  float maxWidth = kUnlimited, maxHeight = kUnlimited;
  bool expandsHorizontally = false, expandsVertically = false;
  float left = 0, right = 0, top = 0, bottom = 0;
  std::vector<Box> rects;
  std::function<void(Leaf&)> onArrange;
  int expandedQueries = 0;
};

struct Placement {
  int separator;  // the gap it was built for, in BuildSeparator order
  int orientation;
  Box rect;
};

// Appends every placement to its group's log.
class RecordingSeparator : public ISeparator {
 public:
  RecordingSeparator(int inIndex, std::vector<Placement>* inLog) : index_(inIndex), log_(inLog) {}
  void Place(int inOrientation, Box const& inRect) override {
    log_->push_back(Placement{index_, inOrientation, inRect});
  }

 private:
  int index_;
  std::vector<Placement>* log_;
};

// Appearance settings shared by the test groups and the test DynamicGroup.
struct Appearance {
  float horizontalSpacing = 0, verticalSpacing = 0;
  int horizontalAlignment = 0, verticalAlignment = 0;
  float left = 0, right = 0, top = 0, bottom = 0;
  bool separators = false;
  std::set<int> noSeparatorAt;  // gaps for which BuildSeparator answers null

  void SetMargins(float inLeft, float inTop, float inRight, float inBottom) {
    left = inLeft;
    top = inTop;
    right = inRight;
    bottom = inBottom;
  }
};

// What a group was told and what it built; the separators it owns.
struct GroupRecord {
  std::vector<Size> positions, dimensions;
  std::vector<Placement> placements;
  int clears = 0;
  std::vector<std::unique_ptr<RecordingSeparator> > owned;

  ISeparator* Build(Appearance const& inLook) {
    int const index = static_cast<int>(owned.size());
    owned.emplace_back(new RecordingSeparator(index, &placements));
    if (!inLook.separators || inLook.noSeparatorAt.count(index)) return nullptr;
    return owned.back().get();
  }
  void Clear() {
    ++clears;
    owned.clear();
  }
};

// What the tests set and read on any group, whatever its kind.
struct GroupState {
  virtual ~GroupState() = default;
  std::vector<IArrangeable*> children;
  Appearance look;
  GroupRecord record;
};

// Base (a group kind, or DynamicGroup) listing the children added to it, with the
// appearance in look and everything it is told in record.
template <class Base>
class Recorded : public Base, public GroupState {
 public:
  template <class... Arguments>
  explicit Recorded(Arguments... inArguments) : Base(inArguments...) {}

  Recorded& Add(IArrangeable& inChild) {
    children.push_back(&inChild);
    return *this;
  }

  bool VisitChildren(boost::function<bool(IArrangeable&)> inVisit) override {
    for (IArrangeable* child : children)
      if (!inVisit(*child)) return false;
    return true;
  }
  bool VisitChildren(boost::function<bool(IArrangeable const&)> inVisit) const override {
    for (IArrangeable const* child : children)
      if (!inVisit(*child)) return false;
    return true;
  }
  float HorizontalSpacing() const override { return look.horizontalSpacing; }
  float VerticalSpacing() const override { return look.verticalSpacing; }
  AlignmentHorizontal HorizontalAlignment() override {
    return static_cast<AlignmentHorizontal>(look.horizontalAlignment);
  }
  AlignmentVertical VerticalAlignment() override {
    return static_cast<AlignmentVertical>(look.verticalAlignment);
  }
  ISeparator* BuildSeparator() override { return record.Build(look); }
  void ClearSeparators() override { record.Clear(); }
  float LeftMargin() const override { return look.left; }
  float RightMargin() const override { return look.right; }
  float TopMargin() const override { return look.top; }
  float BottomMargin() const override { return look.bottom; }
  void Position(Size const& inPosition) override { record.positions.push_back(inPosition); }
  void SetDimensions(Size const& inSize) override { record.dimensions.push_back(inSize); }
};

template <class Kind>
class TestGroup : public Recorded<Kind> {
 public:
  explicit TestGroup(IArrangeable* inParent = nullptr) : Recorded<Kind>(inParent) {}
};

class TestDynamicGroup : public Recorded<DynamicGroup> {
 public:
  TestDynamicGroup(IArrangeable* inParent, GroupArrangementType inType)
      : Recorded<DynamicGroup>(inParent, inType) {}
};

// An arrangement with fixed answers, for the set's own rules. Records what it is given.
class FakeArrangement : public impl::IArrangement {
 public:
  FakeArrangement(float inMinWidth, float inMinHeight)
      : minWidth(inMinWidth),
        minHeight(inMinHeight),
        preferredWidth(inMinWidth),
        preferredHeight(inMinHeight) {}

  Size Arrange(Box const& inRect) override {
    arranged.push_back(inRect);
    return Size{inRect.width, inRect.height};
  }
  bool HorizontallyExpandable() override { return false; }
  bool VerticallyExpandable() override { return false; }
  float MinWidth() override { return minWidth; }
  float MinHeight() override { return minHeight; }
  float PreferredWidth() override { return preferredWidth; }
  float PreferredHeight() override { return preferredHeight; }
  float ExpandedWidth(float) override { return preferredWidth; }
  float ExpandedHeight(float) override { return preferredHeight; }
  float SlackArea(Size const& inSize) override {
    ++slackQueries;
    return slack < 0 ? impl::IArrangement::SlackArea(inSize) : slack;
  }
  void Prepare() override { ++prepared; }
  bool IsTopLevel() override { return true; }

  float minWidth, minHeight, preferredWidth, preferredHeight;
  float slack = -1;  // negative: the common computation
  int slackQueries = 0;
  int prepared = 0;
  std::vector<Box> arranged;
};

// Rectangles equal up to float rounding of the distribution.
inline ::testing::AssertionResult Near(Box const& inExpected, Box const& inActual,
                                       float inTolerance = 0.001f) {
  auto close = [inTolerance](float a, float b) { return std::fabs(a - b) <= inTolerance; };
  if (close(inExpected.x, inActual.x) && close(inExpected.y, inActual.y) &&
      close(inExpected.width, inActual.width) && close(inExpected.height, inActual.height))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << inActual << " is not " << inExpected;
}

// Whether two rectangles share any area.
inline bool Overlap(Box const& inA, Box const& inB) {
  return inA.x < inB.x + inB.width && inB.x < inA.x + inA.width && inA.y < inB.y + inB.height &&
         inB.y < inA.y + inA.height;
}

}  // namespace testing
}  // namespace arrange
}  // namespace vireo

#endif
