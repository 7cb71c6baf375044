#include "vireo/arrange/GroupArrangement.h"

#include <algorithm>
#include <cmath>

#include "vireo/arrange/ArrangeableGroup.h"
#include "vireo/arrange/src/LineExtent.h"

namespace vireo {
namespace arrange {
namespace impl {

namespace {

// Sizes that differ by less than this are laid out alike, so the cell table is reused.
constexpr float kLayoutTolerance = 0.0001f;

// Each pass either drops a child from the distribution or gives every remaining one its full
// share, so a few passes beyond the number of children only ever chase rounding residue.
constexpr std::size_t kExtraPasses = 4;

// The main axis is x for a row, y for a column.
float MinMain(IArrangement& a, bool h) { return h ? a.MinWidth() : a.MinHeight(); }
float MinCross(IArrangement& a, bool h) { return h ? a.MinHeight() : a.MinWidth(); }
float PreferredMainOf(IArrangement& a, bool h) {
  return h ? a.PreferredWidth() : a.PreferredHeight();
}
float PreferredCrossOf(IArrangement& a, bool h) {
  return h ? a.PreferredHeight() : a.PreferredWidth();
}
float ExpandedMainOf(IArrangement& a, bool h, float available) {
  return h ? a.ExpandedWidth(available) : a.ExpandedHeight(available);
}
float ExpandedCrossOf(IArrangement& a, bool h, float available) {
  return h ? a.ExpandedHeight(available) : a.ExpandedWidth(available);
}
bool ExpandableMain(IArrangement& a, bool h) {
  return h ? a.HorizontallyExpandable() : a.VerticallyExpandable();
}

// Where content of a given free space starts: 1 centres, 2 ends, anything else starts.
float AlignmentOffset(int inAlignment, float inFree) {
  if (inAlignment == 1) return inFree / 2;
  if (inAlignment == 2) return inFree;
  return 0;
}

geom::PointT<float> Point(bool inHorizontal, float inMain, float inCross) {
  return inHorizontal ? geom::PointT<float>{inMain, inCross}
                      : geom::PointT<float>{inCross, inMain};
}

geom::RectT<float> Rect(bool inHorizontal, float inMain, float inCross, float inMainSize,
                        float inCrossSize) {
  return inHorizontal ? geom::RectT<float>{inMain, inCross, inMainSize, inCrossSize}
                      : geom::RectT<float>{inCross, inMain, inCrossSize, inMainSize};
}

}  // namespace

GroupArrangement::GroupArrangement(AbstractArrangeableGroup& inGroup,
                                   std::vector<boost::intrusive_ptr<IArrangement> > const& inChildren,
                                   std::vector<ISeparator*> const& inSeparators, bool inTopLevel,
                                   bool inHorizontal)
    : minWidth_(-1),
      minHeight_(-1),
      preferredWidth_(-1),
      preferredHeight_(-1),
      group_(inGroup),
      children_(inChildren),
      separators_(inSeparators),
      topLevel_(inTopLevel),
      horizontal_(inHorizontal),
      horizontallyExpandable_(false),
      verticallyExpandable_(false),
      prepared_(false),
      laidOut_(false),
      lastWidth_(0),
      lastHeight_(0),
      usedMain_(0),
      largestCross_(0) {
  float sum = 0, largest = 0;
  for (auto const& child : children_) {
    sum += MinMain(*child, horizontal_);
    largest = Larger(largest, MinCross(*child, horizontal_));
  }
  float const minMain = LineLength(sum, children_.size(), MainSpacing(), MainMargins());
  float const minCross = LineThickness(largest, CrossMargins());
  minWidth_ = horizontal_ ? minMain : minCross;
  minHeight_ = horizontal_ ? minCross : minMain;
}

GroupArrangement::~GroupArrangement() = default;

float GroupArrangement::MainSpacing() const {
  return horizontal_ ? group_.HorizontalSpacing() : group_.VerticalSpacing();
}

float GroupArrangement::MainMargins() const {
  if (!topLevel_) return 0;
  return horizontal_ ? group_.LeftMargin() + group_.RightMargin()
                     : group_.TopMargin() + group_.BottomMargin();
}

float GroupArrangement::CrossMargins() const {
  if (!topLevel_) return 0;
  return horizontal_ ? group_.TopMargin() + group_.BottomMargin()
                     : group_.LeftMargin() + group_.RightMargin();
}

geom::PointT<float> GroupArrangement::Margins() const {
  return Point(horizontal_, MainMargins(), CrossMargins());
}

bool GroupArrangement::HorizontallyExpandable() { return horizontallyExpandable_; }
bool GroupArrangement::VerticallyExpandable() { return verticallyExpandable_; }
float GroupArrangement::MinWidth() { return minWidth_; }
float GroupArrangement::MinHeight() { return minHeight_; }
float GroupArrangement::PreferredWidth() { return preferredWidth_; }
float GroupArrangement::PreferredHeight() { return preferredHeight_; }
bool GroupArrangement::IsTopLevel() { return topLevel_; }

float GroupArrangement::PreferredMain() {
  float sum = 0;
  for (auto const& child : children_) sum += PreferredMainOf(*child, horizontal_);
  return LineLength(sum, children_.size(), MainSpacing(), MainMargins());
}

float GroupArrangement::PreferredCross() {
  float largest = 0;
  for (auto const& child : children_) largest = Larger(largest, PreferredCrossOf(*child, horizontal_));
  return LineThickness(largest, CrossMargins());
}

void GroupArrangement::Prepare() {
  if (prepared_) return;
  prepared_ = true;
  for (auto const& child : children_) {
    child->Prepare();
    horizontallyExpandable_ = horizontallyExpandable_ || child->HorizontallyExpandable();
    verticallyExpandable_ = verticallyExpandable_ || child->VerticallyExpandable();
  }
  cells_.assign(children_.size(), Cell{0, 0, false});
  ComputePreferredWidth();
  ComputePreferredHeight();
}

float GroupArrangement::ExpandedAlong(float inInner) {
  // Each child in turn takes what it wants of the space still free.
  float used = 0;
  for (std::size_t i = 0; i < children_.size() && used < inInner; ++i)
    used += ExpandedMainOf(*children_[i], horizontal_, inInner - used);
  used = LineLength(used, children_.size(), MainSpacing(), 0);
  return std::min(used, inInner);
}

float GroupArrangement::ExpandedAcross(float inInner) {
  // The largest child offered the whole inner size.
  float largest = 0;
  for (std::size_t i = 0; i < children_.size() && largest < inInner; ++i)
    largest = Larger(largest, ExpandedCrossOf(*children_[i], horizontal_, inInner));
  return largest;
}

float GroupArrangement::ExpandedWidth(float inAvailable) {
  float const margins = horizontal_ ? MainMargins() : CrossMargins();
  float const inner = inAvailable - margins;
  return (horizontal_ ? ExpandedAlong(inner) : ExpandedAcross(inner)) + margins;
}

float GroupArrangement::ExpandedHeight(float inAvailable) {
  float const margins = horizontal_ ? CrossMargins() : MainMargins();
  float const inner = inAvailable - margins;
  return (horizontal_ ? ExpandedAcross(inner) : ExpandedAlong(inner)) + margins;
}

void GroupArrangement::LayOutCells(float inWidth, float inHeight) {
  if (!prepared_) Prepare();
  if (laidOut_ && std::fabs(inWidth - lastWidth_) < kLayoutTolerance &&
      std::fabs(inHeight - lastHeight_) < kLayoutTolerance)
    return;
  laidOut_ = true;
  lastWidth_ = inWidth;
  lastHeight_ = inHeight;
  float const main = horizontal_ ? inWidth : inHeight;
  float const cross = horizontal_ ? inHeight : inWidth;

  // The cells start at the children's preferred lengths; extra is what the line has beyond
  // them (negative when short).
  float startLength = 0;
  float expandableTotal = 0;
  largestCross_ = 0;
  for (std::size_t i = 0; i < children_.size(); ++i) {
    IArrangement& child = *children_[i];
    Cell& cell = cells_[i];
    cell.main = PreferredMainOf(child, horizontal_);
    cell.cross = ExpandedCrossOf(child, horizontal_, cross);
    largestCross_ = Larger(largestCross_, cell.cross);
    cell.expandable = ExpandableMain(child, horizontal_);
    if (cell.expandable) expandableTotal += cell.main;
    startLength += cell.main;
  }
  float extra = main - LineLength(startLength, children_.size(), MainSpacing(), 0);

  // Each pass shares extra among the expandable cells in proportion to their lengths.
  std::size_t const passLimit = children_.size() + kExtraPasses;
  for (std::size_t pass = 0;
       pass < passLimit && std::fabs(extra) >= kLayoutTolerance && expandableTotal > 0; ++pass) {
    float remaining = expandableTotal;
    bool changed = false;
    for (std::size_t i = 0; i < children_.size(); ++i) {
      Cell& cell = cells_[i];
      if (!cell.expandable) continue;
      IArrangement& child = *children_[i];
      float const old = cell.main;
      float const factor = (remaining + extra) / remaining;
      float const share = old * factor;
      float const taken =
          Larger(MinMain(child, horizontal_), ExpandedMainOf(child, horizontal_, share));
      if (taken == share) {
        expandableTotal += taken - old;
      } else {
        // Capped by its own limit or held at its minimum: it keeps what it took.
        cell.expandable = false;
        expandableTotal -= old;
        changed = true;
      }
      extra -= taken - old;
      remaining -= old;
      changed = changed || taken != old;
      cell.main = taken;
    }
    if (!changed) break;
  }
  usedMain_ = main - extra;
}

geom::PointT<float> GroupArrangement::Arrange(geom::RectT<float> const& inRect) {
  geom::PointT<float> const margins = Margins();
  float const innerWidth = inRect.width - margins.x;
  float const innerHeight = inRect.height - margins.y;
  LayOutCells(innerWidth, innerHeight);

  float const x0 = inRect.x + (topLevel_ ? group_.LeftMargin() : 0);
  float const y0 = inRect.y + (topLevel_ ? group_.TopMargin() : 0);
  float const main0 = horizontal_ ? x0 : y0;
  float const cross0 = horizontal_ ? y0 : x0;
  float const innerMain = horizontal_ ? innerWidth : innerHeight;
  float const innerCross = horizontal_ ? innerHeight : innerWidth;
  int const horizontalAlignment = group_.HorizontalAlignment();
  int const verticalAlignment = group_.VerticalAlignment();
  int const mainAlignment = horizontal_ ? horizontalAlignment : verticalAlignment;
  int const crossAlignment = horizontal_ ? verticalAlignment : horizontalAlignment;

  float const start = main0 + AlignmentOffset(mainAlignment, innerMain - usedMain_);
  if (topLevel_) {
    float const crossStart = cross0 + AlignmentOffset(crossAlignment, innerCross - largestCross_);
    group_.Position(Point(horizontal_, start, crossStart));
  }

  float const spacing = MainSpacing();
  int const orientation = horizontal_ ? 0 : 1;
  float current = start;
  float largestReturned = 0;
  float previousCross = 0, previousCrossPosition = 0;
  for (std::size_t i = 0; i < children_.size(); ++i) {
    Cell const& cell = cells_[i];
    float const position = current + (i > 0 ? spacing : 0);
    float const crossPosition = cross0 + AlignmentOffset(crossAlignment, innerCross - cell.cross);
    geom::PointT<float> const size =
        children_[i]->Arrange(Rect(horizontal_, position, crossPosition, cell.main, cell.cross));
    float const sizeMain = horizontal_ ? size.x : size.y;
    float const sizeCross = horizontal_ ? size.y : size.x;
    if (i > 0 && i - 1 < separators_.size() && separators_[i - 1]) {
      // Across the gap, as far as the shorter neighbour reaches.
      bool const thisShorter = sizeCross < previousCross;
      float const separatorCross = thisShorter ? crossPosition : previousCrossPosition;
      separators_[i - 1]->Place(
          orientation, Rect(horizontal_, position - spacing, separatorCross, spacing,
                            std::min(previousCross, sizeCross)));
    }
    current = position + sizeMain;
    largestReturned = Larger(largestReturned, sizeCross);
    previousCross = sizeCross;
    previousCrossPosition = crossPosition;
  }

  geom::PointT<float> const result = Point(horizontal_, std::max(innerMain, current - main0),
                                           std::max(innerCross, largestReturned));
  if (topLevel_) group_.SetDimensions(result);
  // The group is told the size of its content; the parent needs the size with the margins,
  // in the units of the cell it gave.
  return geom::PointT<float>{result.x + margins.x, result.y + margins.y};
}

float GroupArrangement::SlackArea(geom::PointT<float> const& inSize) {
  geom::PointT<float> const margins = Margins();
  float const innerWidth = inSize.x - margins.x;
  float const innerHeight = inSize.y - margins.y;
  LayOutCells(innerWidth, innerHeight);

  float const innerMain = horizontal_ ? innerWidth : innerHeight;
  float const innerCross = horizontal_ ? innerHeight : innerWidth;
  float const spacing = MainSpacing();
  float used = 0, childrenSlack = 0;
  for (std::size_t i = 0; i < children_.size(); ++i) {
    float const gap = i > 0 ? spacing : 0;
    float const cellMain = cells_[i].main;
    used += cellMain + gap;
    childrenSlack += children_[i]->SlackArea(Point(horizontal_, cellMain, innerCross)) +
                     gap * innerCross;
  }
  return margins.y * inSize.x + margins.x * inSize.y +
         (innerMain - used) * innerCross + childrenSlack;
}

RowArrangement::RowArrangement(AbstractArrangeableGroup& inGroup,
                               std::vector<boost::intrusive_ptr<IArrangement> > const& inChildren,
                               std::vector<ISeparator*> const& inSeparators, bool inTopLevel)
    : GroupArrangement(inGroup, inChildren, inSeparators, inTopLevel, true) {}

RowArrangement::~RowArrangement() = default;
void RowArrangement::ComputePreferredWidth() { preferredWidth_ = PreferredMain(); }
void RowArrangement::ComputePreferredHeight() { preferredHeight_ = PreferredCross(); }

ColumnArrangement::ColumnArrangement(
    AbstractArrangeableGroup& inGroup,
    std::vector<boost::intrusive_ptr<IArrangement> > const& inChildren,
    std::vector<ISeparator*> const& inSeparators, bool inTopLevel)
    : GroupArrangement(inGroup, inChildren, inSeparators, inTopLevel, false) {}

ColumnArrangement::~ColumnArrangement() = default;
void ColumnArrangement::ComputePreferredWidth() { preferredWidth_ = PreferredCross(); }
void ColumnArrangement::ComputePreferredHeight() { preferredHeight_ = PreferredMain(); }

}  // namespace impl
}  // namespace arrange
}  // namespace vireo
