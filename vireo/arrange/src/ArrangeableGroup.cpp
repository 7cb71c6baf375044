#include "vireo/arrange/ArrangeableGroup.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "vireo/arrange/src/LineExtent.h"

namespace vireo {
namespace arrange {
namespace impl {

namespace {

// Collects a group's children in VisitChildren order.
struct ChildrenToVector {
  std::vector<IArrangeable*>* children;
  bool operator()(IArrangeable& inChild) const {
    children->push_back(&inChild);
    return true;
  }
};

typedef std::vector<boost::intrusive_ptr<IArrangement> > ArrangementList;

// The cuts of one combination of child arrangements into lines, and their candidates.
//
// A candidate's minimum size follows from its lines' minimum sizes alone, so it is known
// before anything is made: each cut's size is computed from tables of every line's size,
// with the same arithmetic the arrangements use, and only a candidate the set would keep is
// made. Lines are made once each and shared by the candidates that contain them.
//
// A partial cut is also abandoned when a member of the set is strictly smaller than a lower
// bound of every completion: such completions would be dropped on arrival, so the set ends as
// if every cut had been offered in order. Two bounds serve:
// - one exact in float arithmetic for any sizes: the stack only grows with each line (line
//   thicknesses are never negative, and one remaining line is at least as thick as the
//   thickest remaining child), and the longest line so far only grows;
// - when no size, spacing or margin is negative, a tighter one computed in double and lowered
//   by more than float rounding can account for: the remaining lines are at least as long as
//   their average and as the longest remaining child, and the other remaining lines at least
//   as thick as the thinnest remaining child.
class WrappingCuts {
 public:
  WrappingCuts(AbstractArrangeableGroup& inGroup, ArrangementSet& inSet,
               ArrangementList const& inChildren, std::vector<ISeparator*> const& inSeparators,
               bool inRows)
      : group_(inGroup),
        set_(inSet),
        children_(inChildren),
        separators_(inSeparators),
        rows_(inRows),
        n_(inChildren.size()),
        lineLength_(n_ * n_),
        lineThickness_(n_ * n_),
        thickestFrom_(n_ + 1, 0.0f),
        lines_(n_ * n_) {
    // Along a line and across the stack, as the arrangements themselves compute them.
    lineSpacing_ = rows_ ? group_.HorizontalSpacing() : group_.VerticalSpacing();
    stackSpacing_ = rows_ ? group_.VerticalSpacing() : group_.HorizontalSpacing();
    float const horizontalMargins = group_.LeftMargin() + group_.RightMargin();
    float const verticalMargins = group_.TopMargin() + group_.BottomMargin();
    stackMargins_ = rows_ ? verticalMargins : horizontalMargins;
    acrossMargins_ = rows_ ? horizontalMargins : verticalMargins;

    for (std::size_t start = 0; start < n_; ++start) {
      float sum = 0, largest = 0;
      for (std::size_t end = start; end < n_; ++end) {
        IArrangement& child = *children_[end];
        sum += rows_ ? child.MinWidth() : child.MinHeight();
        largest = Larger(largest, rows_ ? child.MinHeight() : child.MinWidth());
        std::size_t const index = Index(start, end - start + 1);
        lineLength_[index] = LineLength(sum, end - start + 1, lineSpacing_, 0);
        lineThickness_[index] = LineThickness(largest, 0);
      }
    }
    for (std::size_t i = n_; i-- > 0;)
      thickestFrom_[i] = Larger(thickestFrom_[i + 1], lineThickness_[Index(i, 1)]);

    // What the tighter bound needs, and whether it holds.
    bool nonNegative = lineSpacing_ >= 0 && stackSpacing_ >= 0 && stackMargins_ >= 0 &&
                       acrossMargins_ >= 0 && std::isfinite(lineSpacing_ + stackSpacing_ +
                                                            stackMargins_ + acrossMargins_);
    lengthFrom_.assign(n_ + 1, 0.0);
    longestFrom_.assign(n_ + 1, 0.0);
    thinnestFrom_.assign(n_ + 1, std::numeric_limits<double>::infinity());
    for (std::size_t i = n_; i-- > 0;) {
      float const length = lineLength_[Index(i, 1)];
      float const thickness = lineThickness_[Index(i, 1)];
      nonNegative = nonNegative && length >= 0 && std::isfinite(length) && std::isfinite(thickness);
      lengthFrom_[i] = lengthFrom_[i + 1] + length;
      longestFrom_[i] = std::max(longestFrom_[i + 1], static_cast<double>(length));
      thinnestFrom_[i] = std::min(thinnestFrom_[i + 1], static_cast<double>(thickness));
    }
    tightBounds_ = nonNegative;
    // Each float operation of a size errs by at most 2^-24 of its result, and a size takes
    // fewer than n + 8 of them on non-negative values.
    lowering_ = 1.0 - 4.0 * static_cast<double>(n_ + 8) * std::ldexp(1.0, -24);
  }

  void AddAll() {
    for (std::size_t lineCount = 1; lineCount <= n_; ++lineCount) {
      lineCount_ = lineCount;
      Cut(0, lineCount, 0, 0);
    }
  }

 private:
  std::size_t Index(std::size_t inStart, std::size_t inLength) const {
    return inStart * n_ + inLength - 1;
  }

  // The outer arrangement's minimum size for a stack length and widest line.
  geom::PointT<float> OuterSize(float inThicknessSum, float inLongest) const {
    float const stack = LineLength(inThicknessSum, lineCount_, stackSpacing_, stackMargins_);
    float const across = LineThickness(inLongest, acrossMargins_);
    return rows_ ? geom::PointT<float>{across, stack} : geom::PointT<float>{stack, across};
  }

  // Cuts children [inStart, n) into inLinesLeft lines after the lines already in cut_.
  // A lower bound of the outer size of every completion of a partial cut.
  geom::PointT<float> Bound(std::size_t inStart, std::size_t inLinesLeft, float inThicknessSum,
                            float inLongest) const {
    geom::PointT<float> bound = OuterSize(inThicknessSum + thickestFrom_[inStart], inLongest);
    if (!tightBounds_) return bound;
    double const lines = static_cast<double>(inLinesLeft);
    double const remaining = static_cast<double>(n_ - inStart);
    double const average =
        (lengthFrom_[inStart] + (remaining - lines) * lineSpacing_) / lines;
    double const longest =
        std::max({static_cast<double>(inLongest), average, longestFrom_[inStart]});
    double const stack = static_cast<double>(inThicknessSum) + thickestFrom_[inStart] +
                         (lines - 1) * thinnestFrom_[inStart] +
                         static_cast<double>(lineCount_ - 1) * stackSpacing_ + stackMargins_;
    float const across = static_cast<float>((longest + acrossMargins_) * lowering_);
    float const lowStack = static_cast<float>(stack * lowering_);
    float& boundAcross = rows_ ? bound.x : bound.y;
    float& boundStack = rows_ ? bound.y : bound.x;
    boundAcross = std::max(boundAcross, across);
    boundStack = std::max(boundStack, lowStack);
    return bound;
  }

  void Cut(std::size_t inStart, std::size_t inLinesLeft, float inThicknessSum, float inLongest) {
    geom::PointT<float> const bound = Bound(inStart, inLinesLeft, inThicknessSum, inLongest);
    if (set_.Dominates(bound.x, bound.y)) return;
    std::size_t const remaining = n_ - inStart;
    if (inLinesLeft == 1) {
      std::size_t const index = Index(inStart, remaining);
      geom::PointT<float> const size = OuterSize(inThicknessSum + lineThickness_[index],
                                                 Larger(inLongest, lineLength_[index]));
      if (!set_.WouldKeep(size.x, size.y)) return;
      cut_.push_back(inStart);
      AddCandidate();
      cut_.pop_back();
      return;
    }
    for (std::size_t length = 1; length <= remaining - inLinesLeft + 1; ++length) {
      std::size_t const index = Index(inStart, length);
      cut_.push_back(inStart);
      Cut(inStart + length, inLinesLeft - 1, inThicknessSum + lineThickness_[index],
          Larger(inLongest, lineLength_[index]));
      cut_.pop_back();
    }
  }

  ISeparator* SeparatorAfter(std::size_t inChild) const {
    return inChild < separators_.size() ? separators_[inChild] : nullptr;
  }

  boost::intrusive_ptr<IArrangement> const& Line(std::size_t inStart, std::size_t inLength) {
    boost::intrusive_ptr<IArrangement>& line = lines_[Index(inStart, inLength)];
    if (!line) {
      ArrangementList const members(children_.begin() + inStart,
                                 children_.begin() + inStart + inLength);
      std::vector<ISeparator*> separators;
      for (std::size_t i = inStart; i + 1 < inStart + inLength; ++i)
        separators.push_back(SeparatorAfter(i));
      if (rows_)
        line = new RowArrangement(group_, members, separators, false);
      else
        line = new ColumnArrangement(group_, members, separators, false);
    }
    return line;
  }

  // The candidate of the cut in cut_ (the start of each line).
  void AddCandidate() {
    ArrangementList lines;
    std::vector<ISeparator*> breaks;
    for (std::size_t i = 0; i < cut_.size(); ++i) {
      std::size_t const end = i + 1 < cut_.size() ? cut_[i + 1] : n_;
      lines.push_back(Line(cut_[i], end - cut_[i]));
      if (i + 1 < cut_.size()) breaks.push_back(SeparatorAfter(end - 1));
    }
    if (rows_)
      set_.AddArrangement(new ColumnArrangement(group_, lines, breaks, true));
    else
      set_.AddArrangement(new RowArrangement(group_, lines, breaks, true));
  }

  AbstractArrangeableGroup& group_;
  ArrangementSet& set_;
  ArrangementList const& children_;
  std::vector<ISeparator*> const& separators_;
  bool const rows_;
  std::size_t const n_;
  float lineSpacing_, stackSpacing_, stackMargins_, acrossMargins_;
  // Minimum length and thickness of the line of children [start, start + length), at
  // Index(start, length).
  std::vector<float> lineLength_, lineThickness_;
  // The thickest single child from an index on (a lower bound of the line holding it).
  std::vector<float> thickestFrom_;
  // From an index on: the summed lengths of the single children, the longest and the
  // thinnest of them, for the tighter bound; tightBounds_ when it holds.
  std::vector<double> lengthFrom_, longestFrom_, thinnestFrom_;
  bool tightBounds_ = false;
  double lowering_ = 1;
  std::vector<boost::intrusive_ptr<IArrangement> > lines_;
  std::size_t lineCount_ = 0;
  std::vector<std::size_t> cut_;
};

}  // namespace

void AddWrappingArrangements(AbstractArrangeableGroup& inGroup, ArrangementSet& inSet,
                             ArrangementList const& inChildArrangements,
                             std::vector<ISeparator*> const& inSeparators, bool inRows) {
  if (inChildArrangements.empty()) return;
  WrappingCuts(inGroup, inSet, inChildArrangements, inSeparators, inRows).AddAll();
}

AbstractArrangeableGroup::AbstractArrangeableGroup(IArrangeable* inParent)
    : IArrangeable(inParent) {
  SetParent(inParent);
}

AbstractArrangeableGroup::~AbstractArrangeableGroup() = default;

float AbstractArrangeableGroup::HorizontalSpacing() const { return 0; }
float AbstractArrangeableGroup::VerticalSpacing() const { return 0; }
AlignmentHorizontal AbstractArrangeableGroup::HorizontalAlignment() { return kAlignLeft; }
AlignmentVertical AbstractArrangeableGroup::VerticalAlignment() { return kAlignTop; }
ISeparator* AbstractArrangeableGroup::BuildSeparator() { return nullptr; }
void AbstractArrangeableGroup::ClearSeparators() {}
float AbstractArrangeableGroup::LeftMargin() const { return 0; }
float AbstractArrangeableGroup::RightMargin() const { return 0; }
float AbstractArrangeableGroup::TopMargin() const { return 0; }
float AbstractArrangeableGroup::BottomMargin() const { return 0; }
void AbstractArrangeableGroup::Position(geom::PointT<float> const&) {}
void AbstractArrangeableGroup::SetDimensions(geom::PointT<float> const&) {}

void AbstractArrangeableGroup::SetChildren(std::vector<IArrangeable*>& inChildren) {
  children_ = inChildren;
}

void AbstractArrangeableGroup::BuildSeparators() {
  ClearSeparators();
  // The client has just released whatever the old entries pointed to.
  separators_.clear();
  std::size_t const n = children_.size();
  if (n == 0) return;
  separators_.assign(n - 1, nullptr);
  for (std::size_t i = 0; i + 1 < n; ++i)
    if (children_[i]) separators_[i] = BuildSeparator();
}

ArrangementSet& AbstractArrangeableGroup::ArrangementsSelf() { return arrangements_; }

void AbstractArrangeableGroup::RebuildSelf() {
  arrangements_.Clear();
  std::vector<IArrangeable*> children;
  VisitChildren(ChildrenToVector{&children});
  for (IArrangeable* child : children) child->SetParent(this);
  SetChildren(children);
  if (separators_.size() != children_.size()) BuildSeparators();

  std::vector<ArrangementSet*> sets;
  for (IArrangeable* child : children_) {
    ArrangementSet& set = child->Arrangements();
    if (!set.Empty()) sets.push_back(&set);
  }
  // Every combination of one arrangement per child, the last child varying fastest. With no
  // child left there is one combination: the empty one.
  ArrangementList combination(sets.size());
  std::vector<std::size_t> choice(sets.size(), 0);
  for (;;) {
    for (std::size_t i = 0; i < sets.size(); ++i) combination[i] = &(*sets[i])[choice[i]];
    AddArrangements(arrangements_, combination, separators_);
    std::size_t i = sets.size();
    while (i > 0 && ++choice[i - 1] == sets[i - 1]->Size()) choice[--i] = 0;
    if (i == 0) break;
  }
  for (auto const& arrangement : arrangements_) arrangement->Prepare();
}

template class BasicArrangeableGroup<RowArrangement>;
template class BasicArrangeableGroup<ColumnArrangement>;
template class WrappingArrangeableGroup<RowArrangement, ColumnArrangement>;
template class WrappingArrangeableGroup<ColumnArrangement, RowArrangement>;
template class BinaryArrangeableGroup<Row, Column>;
template class BinaryArrangeableGroup<HorizontalWrapping, VerticalWrapping>;

}  // namespace impl

Row::Row(IArrangeable* inParent)
    : IArrangeable(inParent), BasicArrangeableGroup<impl::RowArrangement>(inParent) {}
Row::~Row() = default;

Column::Column(IArrangeable* inParent)
    : IArrangeable(inParent), BasicArrangeableGroup<impl::ColumnArrangement>(inParent) {}
Column::~Column() = default;

HorizontalWrapping::HorizontalWrapping(IArrangeable* inParent)
    : IArrangeable(inParent), WrappingArrangeableGroup(inParent) {}
HorizontalWrapping::~HorizontalWrapping() = default;

VerticalWrapping::VerticalWrapping(IArrangeable* inParent)
    : IArrangeable(inParent), WrappingArrangeableGroup(inParent) {}
VerticalWrapping::~VerticalWrapping() = default;

Flipping::Flipping(IArrangeable* inParent)
    : IArrangeable(inParent), BinaryArrangeableGroup(inParent) {}
Flipping::~Flipping() = default;

AutoLayout::AutoLayout(IArrangeable* inParent)
    : IArrangeable(inParent), BinaryArrangeableGroup(inParent) {}
AutoLayout::~AutoLayout() = default;

}  // namespace arrange
}  // namespace vireo
