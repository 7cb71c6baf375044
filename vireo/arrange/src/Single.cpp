#include "vireo/arrange/Single.h"

namespace vireo {
namespace arrange {
namespace impl {
namespace {

// The one arrangement of a Single. It captures the item's sizes and margins when made, so
// that choosing among a parent's candidates does not keep calling into the client.
class SingleArrangement : public IArrangement {
 public:
  explicit SingleArrangement(Single& inItem)
      : item_(inItem),
        horizontallyExpandable_(inItem.HorizontallyExpandable()),
        verticallyExpandable_(inItem.VerticallyExpandable()),
        leftMargin_(inItem.LeftMargin()),
        topMargin_(inItem.TopMargin()),
        horizontalMargins_(leftMargin_ + inItem.RightMargin()),
        verticalMargins_(topMargin_ + inItem.BottomMargin()),
        minWidth_(inItem.MinWidth() + horizontalMargins_),
        minHeight_(inItem.MinHeight() + verticalMargins_),
        preferredWidth_(inItem.PreferredWidth() + horizontalMargins_),
        preferredHeight_(inItem.PreferredHeight() + verticalMargins_) {}

  // The item answers for the rectangle inside its margins; like every size an arrangement
  // reports, the answer is given with the margins, so that a row or column sets the next
  // item beside this one's margin rather than on top of it.
  geom::PointT<float> Arrange(geom::RectT<float> const& inRect) override {
    geom::PointT<float> const used = item_.ArrangeSelf(
        geom::RectT<float>{inRect.x + leftMargin_, inRect.y + topMargin_,
                           inRect.width - horizontalMargins_, inRect.height - verticalMargins_});
    return geom::PointT<float>{used.x + horizontalMargins_, used.y + verticalMargins_};
  }
  bool HorizontallyExpandable() override { return horizontallyExpandable_; }
  bool VerticallyExpandable() override { return verticallyExpandable_; }
  float MinWidth() override { return minWidth_; }
  float MinHeight() override { return minHeight_; }
  float PreferredWidth() override { return preferredWidth_; }
  float PreferredHeight() override { return preferredHeight_; }
  float ExpandedWidth(float inAvailable) override {
    return item_.ExpandedWidth(inAvailable - horizontalMargins_) + horizontalMargins_;
  }
  float ExpandedHeight(float inAvailable) override {
    return item_.ExpandedHeight(inAvailable - verticalMargins_) + verticalMargins_;
  }
  void Prepare() override {}
  bool IsTopLevel() override { return true; }

 private:
  Single& item_;
  bool const horizontallyExpandable_, verticallyExpandable_;
  float const leftMargin_, topMargin_, horizontalMargins_, verticalMargins_;
  float const minWidth_, minHeight_, preferredWidth_, preferredHeight_;
};

}  // namespace
}  // namespace impl

Single::Single(IArrangeable* inParent) : IArrangeable(inParent) { SetParent(inParent); }

Single::~Single() = default;

float Single::MinWidth() { return PreferredWidth(); }
float Single::MinHeight() { return PreferredHeight(); }

float Single::ExpandedWidth(float inAvailable) {
  return HorizontallyExpandable() ? inAvailable : PreferredWidth();
}

float Single::ExpandedHeight(float inAvailable) {
  return VerticallyExpandable() ? inAvailable : PreferredHeight();
}

bool Single::HorizontallyExpandable() { return false; }
bool Single::VerticallyExpandable() { return false; }
float Single::LeftMargin() { return 0; }
float Single::RightMargin() { return 0; }
float Single::TopMargin() { return 0; }
float Single::BottomMargin() { return 0; }

impl::ArrangementSet& Single::ArrangementsSelf() { return arrangements_; }

void Single::RebuildSelf() {
  arrangements_.Clear();
  arrangements_.AddArrangement(new impl::SingleArrangement(*this));
}

}  // namespace arrange
}  // namespace vireo
