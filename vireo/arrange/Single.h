// Leaves of a layout tree: client items that size and place themselves.
#ifndef VIREO_ARRANGE_SINGLE_H
#define VIREO_ARRANGE_SINGLE_H

#include "vireo/Export.h"
#include "vireo/arrange/Arrangeable.h"
#include "vireo/arrange/Arrangement.h"
#include "vireo/geom/Point.h"
#include "vireo/geom/Rect.h"

namespace vireo {
namespace arrange {

// A client item: derive, supply PreferredWidth, PreferredHeight and ArrangeSelf, and override
// the rest where the defaults do not suit. Its one arrangement captures these values when the
// item is rebuilt; call Invalidate after they change.
class VIREO_API Single : public virtual IArrangeable {
 public:
  explicit Single(IArrangeable* inParent);
  ~Single() override;

  // Default: the preferred size.
  virtual float MinWidth();
  virtual float MinHeight();
  // Default: inAvailable when expandable in that direction, else the preferred size.
  virtual float ExpandedWidth(float inAvailable);
  virtual float ExpandedHeight(float inAvailable);
  // Default: false.
  virtual bool HorizontallyExpandable();
  virtual bool VerticallyExpandable();
  // Space kept around the item; default 0.
  virtual float LeftMargin();
  virtual float RightMargin();
  virtual float TopMargin();
  virtual float BottomMargin();
  virtual float PreferredWidth() = 0;
  virtual float PreferredHeight() = 0;
  // Places the item in inRect (margins already removed) and returns the size it used.
  virtual geom::PointT<float> ArrangeSelf(geom::RectT<float> const& inRect) = 0;

 protected:
  impl::ArrangementSet& ArrangementsSelf() override;

 private:
  void RebuildSelf() override;

  impl::ArrangementSet arrangements_;
};

}  // namespace arrange
}  // namespace vireo

#endif
