// The candidate layouts of groups: children placed in a line, left to right (RowArrangement)
// or top to bottom (ColumnArrangement).
#ifndef VIREO_ARRANGE_GROUPARRANGEMENT_H
#define VIREO_ARRANGE_GROUPARRANGEMENT_H

#include <cstddef>
#include <vector>

#include <boost/intrusive_ptr.hpp>

#include "vireo/Export.h"
#include "vireo/arrange/Arrangement.h"
#include "vireo/geom/Point.h"
#include "vireo/geom/Rect.h"

namespace vireo {
namespace arrange {
namespace impl {

class AbstractArrangeableGroup;

// One candidate layout of a group: one chosen arrangement per child, placed in a line. The
// group is asked for its spacings, margins, alignments and separators, and told where its
// content went. Separator k lies between child k and child k + 1 (null entries: none).
//
// A top-level arrangement lays out the whole group: it counts the group's margins and calls
// Position and SetDimensions. The lines inside a wrapping group are not top level.
//
// Below, "main" is the direction of the line (x for a row, y for a column), "cross" the other.
//   minimum main   = sum of the children's minimum + (n - 1) * spacing + main margins
//   minimum cross  = largest child minimum (at least 0) + cross margins
// and the same for the preferred size. Space beyond (or short of) what the cells start with,
// their preferred sizes, goes to the expandable children in proportion to their current
// sizes; a child that cannot take its whole share (its own limit, or its minimum) keeps what
// it took and drops out, and further passes share the rest among the others.
class VIREO_API GroupArrangement : public IArrangement {
 public:
  ~GroupArrangement() override;

  // Places the children in inRect and returns the size used, margins included: at least
  // inRect's size, more when the children need more. A top-level arrangement tells the group
  // where its content starts (Position) and the content's size (SetDimensions).
  geom::PointT<float> Arrange(geom::RectT<float> const& inRect) override;
  // Expandable in a direction when any child is (valid after Prepare).
  bool HorizontallyExpandable() override;
  bool VerticallyExpandable() override;
  float MinWidth() override;
  float MinHeight() override;
  // -1 until Prepare has run.
  float PreferredWidth() override;
  float PreferredHeight() override;
  float ExpandedWidth(float inAvailable) override;
  float ExpandedHeight(float inAvailable) override;
  // The margin and spacing strips, the main-axis length the layout leaves over, and each
  // child's own slack inside its cell.
  float SlackArea(geom::PointT<float> const& inSize) override;
  // Prepares the children, creates the cell table, computes the preferred size and the
  // expandable flags; once.
  void Prepare() override;
  bool IsTopLevel() override;

  virtual void ComputePreferredWidth() = 0;
  virtual void ComputePreferredHeight() = 0;

  std::vector<boost::intrusive_ptr<IArrangement> > const& Children() const { return children_; }
  std::vector<ISeparator*> const& Separators() const { return separators_; }

 protected:
  GroupArrangement(AbstractArrangeableGroup& inGroup,
                   std::vector<boost::intrusive_ptr<IArrangement> > const& inChildren,
                   std::vector<ISeparator*> const& inSeparators, bool inTopLevel,
                   bool inHorizontal);

  // Sum of the children's preferred main sizes + gaps + margins; largest preferred cross
  // size + margins.
  float PreferredMain();
  float PreferredCross();
  bool Horizontal() const { return horizontal_; }

  float minWidth_, minHeight_, preferredWidth_, preferredHeight_;

 private:
  struct Cell {
    float main;
    float cross;
    bool expandable;
  };

  // Fills the cell table for an inner size (w, h); reused while the size stays within 0.0001.
  void LayOutCells(float inWidth, float inHeight);
  // The expanded length along the line, and thickness across it, for an inner size.
  float ExpandedAlong(float inInner);
  float ExpandedAcross(float inInner);
  float MainSpacing() const;
  float MainMargins() const;
  float CrossMargins() const;
  // The horizontal and the vertical margins counted (0 unless top level).
  geom::PointT<float> Margins() const;

  AbstractArrangeableGroup& group_;
  std::vector<boost::intrusive_ptr<IArrangement> > children_;
  std::vector<ISeparator*> separators_;
  bool topLevel_;
  bool horizontal_;
  bool horizontallyExpandable_, verticallyExpandable_;
  bool prepared_;
  std::vector<Cell> cells_;
  // The layout cache: the inner size of the last layout, the main length it used and its
  // largest cell cross size.
  bool laidOut_;
  float lastWidth_, lastHeight_;
  float usedMain_, largestCross_;
};

// Children left to right; separators placed with orientation 0.
class VIREO_API RowArrangement : public GroupArrangement {
 public:
  RowArrangement(AbstractArrangeableGroup& inGroup,
                 std::vector<boost::intrusive_ptr<IArrangement> > const& inChildren,
                 std::vector<ISeparator*> const& inSeparators, bool inTopLevel);
  ~RowArrangement() override;
  void ComputePreferredWidth() override;
  void ComputePreferredHeight() override;
};

// Children top to bottom; separators placed with orientation 1.
class VIREO_API ColumnArrangement : public GroupArrangement {
 public:
  ColumnArrangement(AbstractArrangeableGroup& inGroup,
                    std::vector<boost::intrusive_ptr<IArrangement> > const& inChildren,
                    std::vector<ISeparator*> const& inSeparators, bool inTopLevel);
  ~ColumnArrangement() override;
  void ComputePreferredWidth() override;
  void ComputePreferredHeight() override;
};

}  // namespace impl
}  // namespace arrange
}  // namespace vireo

#endif
