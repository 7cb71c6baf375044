// Groups: nodes with children, whose candidate layouts are rows, columns, wrapping flows, or
// both of two kinds (Flipping, AutoLayout), made from every combination of their children's
// candidates. The set keeps only candidates whose minimum size no other matches or beats, and
// the selection rule then picks, for each rectangle, the one that suits it.
//
// A client derives from a group class and supplies VisitChildren (listing its children) and
// whichever appearance operations it needs; or it uses DynamicGroup (DynamicGroup.h).
//
//   class Toolbar : public vireo::arrange::Row {
//    public:
//     explicit Toolbar(IArrangeable* parent) : Row(parent) {}
//     bool VisitChildren(boost::function<bool(IArrangeable&)> visit) override {
//       for (auto* button : buttons_) if (!visit(*button)) return false;
//       return true;
//     }
//     float HorizontalSpacing() const override { return 4; }
//     ...
//   };
#ifndef VIREO_ARRANGE_ARRANGEABLEGROUP_H
#define VIREO_ARRANGE_ARRANGEABLEGROUP_H

#include <type_traits>
#include <vector>

#include <boost/intrusive_ptr.hpp>

#include "vireo/Export.h"
#include "vireo/arrange/Arrangeable.h"
#include "vireo/arrange/Arrangement.h"
#include "vireo/arrange/GroupArrangement.h"
#include "vireo/geom/Point.h"

namespace vireo {
namespace arrange {

// Any other value counts as the first.
enum AlignmentHorizontal : int { kAlignLeft = 0, kAlignHorizontalCenter = 1, kAlignRight = 2 };
enum AlignmentVertical : int { kAlignTop = 0, kAlignVerticalCenter = 1, kAlignBottom = 2 };

namespace impl {

// What every group kind shares: the children, the separators between them, the set, and the
// appearance operations the group's arrangements ask (defaults: no spacing, no margins, left
// and top alignment, no separators).
class VIREO_API AbstractArrangeableGroup : public virtual IArrangeable {
 public:
  explicit AbstractArrangeableGroup(IArrangeable* inParent);
  ~AbstractArrangeableGroup() override;

  virtual float HorizontalSpacing() const;
  virtual float VerticalSpacing() const;
  virtual AlignmentHorizontal HorizontalAlignment();
  virtual AlignmentVertical VerticalAlignment();
  // A new separator for one gap, or null for none. The group holds the pointers it gets and
  // never deletes them: ClearSeparators, called before every new batch, is where a client
  // that allocates separators releases the previous ones.
  virtual ISeparator* BuildSeparator();
  virtual void ClearSeparators();
  virtual float LeftMargin() const;
  virtual float RightMargin() const;
  virtual float TopMargin() const;
  virtual float BottomMargin() const;
  // Told where a top-level arrangement placed the group's content, and the size it reported.
  virtual void Position(geom::PointT<float> const& inPosition);
  virtual void SetDimensions(geom::PointT<float> const& inSize);
  // Makes this kind's candidates for one combination of child arrangements (one per child,
  // in child order) and adds each to inSet.
  virtual void AddArrangements(ArrangementSet& inSet,
                               std::vector<boost::intrusive_ptr<IArrangement> > const& inChildArrangements,
                               std::vector<ISeparator*> const& inSeparators) = 0;

  void SetChildren(std::vector<IArrangeable*>& inChildren);
  // ClearSeparators, then one separator per gap between children (BuildSeparator's answer).
  void BuildSeparators();
  std::vector<IArrangeable*> const& Children() const { return children_; }
  std::vector<ISeparator*> const& Separators() const { return separators_; }

 protected:
  ArrangementSet& ArrangementsSelf() override;
  // Collects the children (and becomes their parent), rebuilds the separators, and adds the
  // candidates of every combination of the children's arrangements; a child without any
  // arrangement is left out. Then prepares the candidates that stayed.
  void RebuildSelf() override;

 private:
  std::vector<IArrangeable*> children_;
  std::vector<ISeparator*> separators_;
  ArrangementSet arrangements_;
};

// One top-level arrangement of kind A (RowArrangement or ColumnArrangement) per combination.
template <class A>
class VIREO_API BasicArrangeableGroup : public AbstractArrangeableGroup {
 public:
  explicit BasicArrangeableGroup(IArrangeable* inParent)
      : IArrangeable(inParent), AbstractArrangeableGroup(inParent) {}

  void AddArrangements(ArrangementSet& inSet,
                       std::vector<boost::intrusive_ptr<IArrangement> > const& inChildArrangements,
                       std::vector<ISeparator*> const& inSeparators) override {
    inSet.AddArrangement(new A(*this, inChildArrangements, inSeparators, true));
  }
};

// Adds the candidates of a wrapping group for one combination: every cut of the children, in
// order, into 1 to n consecutive lines (rows stacked in a column when inRows, else columns
// side by side in a row). Made only when the set would keep them.
VIREO_API void AddWrappingArrangements(
    AbstractArrangeableGroup& inGroup, ArrangementSet& inSet,
    std::vector<boost::intrusive_ptr<IArrangement> > const& inChildArrangements,
    std::vector<ISeparator*> const& inSeparators, bool inRows);

// Lines of kind Inner stacked by an arrangement of kind Outer, for every cut into lines.
//
// The outer arrangement is always the top-level one and the lines never are, also when a cut
// has a single line: so the group's margins are counted once, and the group learns its
// position and size from the same arrangement whatever the line count.
//
// Each group separator lies between two children. Within a line it is placed by the line, as
// in a plain row or column. Where a line breaks, the outer arrangement places it across the
// gap between the two lines (orientation of the outer kind). So every separator is placed
// exactly once, whatever the cut.
template <class Inner, class Outer>
class VIREO_API WrappingArrangeableGroup : public AbstractArrangeableGroup {
  static_assert((std::is_same<Inner, RowArrangement>::value &&
                 std::is_same<Outer, ColumnArrangement>::value) ||
                    (std::is_same<Inner, ColumnArrangement>::value &&
                     std::is_same<Outer, RowArrangement>::value),
                "lines and their stack run in opposite directions");

 public:
  explicit WrappingArrangeableGroup(IArrangeable* inParent)
      : IArrangeable(inParent), AbstractArrangeableGroup(inParent) {}

  void AddArrangements(ArrangementSet& inSet,
                       std::vector<boost::intrusive_ptr<IArrangement> > const& inChildArrangements,
                       std::vector<ISeparator*> const& inSeparators) override {
    AddWrappingArrangements(*this, inSet, inChildArrangements, inSeparators,
                            std::is_same<Inner, RowArrangement>::value);
  }
};

// Both kinds' candidates in one set: First's, then Second's, for each combination. The two
// bases share the one IArrangeable part; the set, children and separators used are First's.
template <class First, class Second>
class VIREO_API BinaryArrangeableGroup : public First, public Second {
 public:
  explicit BinaryArrangeableGroup(IArrangeable* inParent)
      : IArrangeable(inParent), First(inParent), Second(inParent) {}

  // The lists of the group are the first base's.
  void SetChildren(std::vector<IArrangeable*>& inChildren) { First::SetChildren(inChildren); }
  void BuildSeparators() { First::BuildSeparators(); }
  std::vector<IArrangeable*> const& Children() const { return First::Children(); }
  std::vector<ISeparator*> const& Separators() const { return First::Separators(); }

  // One answer for both bases.
  float HorizontalSpacing() const override { return First::HorizontalSpacing(); }
  float VerticalSpacing() const override { return First::VerticalSpacing(); }
  AlignmentHorizontal HorizontalAlignment() override { return First::HorizontalAlignment(); }
  AlignmentVertical VerticalAlignment() override { return First::VerticalAlignment(); }
  ISeparator* BuildSeparator() override { return First::BuildSeparator(); }
  void ClearSeparators() override { First::ClearSeparators(); }
  float LeftMargin() const override { return First::LeftMargin(); }
  float RightMargin() const override { return First::RightMargin(); }
  float TopMargin() const override { return First::TopMargin(); }
  float BottomMargin() const override { return First::BottomMargin(); }
  void Position(geom::PointT<float> const& inPosition) override { First::Position(inPosition); }
  void SetDimensions(geom::PointT<float> const& inSize) override { First::SetDimensions(inSize); }

  void AddArrangements(ArrangementSet& inSet,
                       std::vector<boost::intrusive_ptr<IArrangement> > const& inChildArrangements,
                       std::vector<ISeparator*> const& inSeparators) override {
    First::AddArrangements(inSet, inChildArrangements, inSeparators);
    Second::AddArrangements(inSet, inChildArrangements, inSeparators);
  }

 protected:
  ArrangementSet& ArrangementsSelf() override { return First::ArrangementsSelf(); }
  void RebuildSelf() override { First::RebuildSelf(); }
};

extern template class BasicArrangeableGroup<RowArrangement>;
extern template class BasicArrangeableGroup<ColumnArrangement>;
extern template class WrappingArrangeableGroup<RowArrangement, ColumnArrangement>;
extern template class WrappingArrangeableGroup<ColumnArrangement, RowArrangement>;

}  // namespace impl

// Children left to right.
class VIREO_API Row : public impl::BasicArrangeableGroup<impl::RowArrangement> {
 public:
  explicit Row(IArrangeable* inParent);
  ~Row() override;
};

// Children top to bottom.
class VIREO_API Column : public impl::BasicArrangeableGroup<impl::ColumnArrangement> {
 public:
  explicit Column(IArrangeable* inParent);
  ~Column() override;
};

// Children left to right, broken into rows stacked top to bottom.
class VIREO_API HorizontalWrapping
    : public impl::WrappingArrangeableGroup<impl::RowArrangement, impl::ColumnArrangement> {
 public:
  explicit HorizontalWrapping(IArrangeable* inParent);
  ~HorizontalWrapping() override;
};

// Children top to bottom, broken into columns placed left to right.
class VIREO_API VerticalWrapping
    : public impl::WrappingArrangeableGroup<impl::ColumnArrangement, impl::RowArrangement> {
 public:
  explicit VerticalWrapping(IArrangeable* inParent);
  ~VerticalWrapping() override;
};

namespace impl {
extern template class BinaryArrangeableGroup<Row, Column>;
extern template class BinaryArrangeableGroup<HorizontalWrapping, VerticalWrapping>;
}  // namespace impl

// A row where it fits, a column where that suits better.
class VIREO_API Flipping : public impl::BinaryArrangeableGroup<Row, Column> {
 public:
  explicit Flipping(IArrangeable* inParent);
  ~Flipping() override;
};

// Every wrapping of the children, horizontal and vertical: the layout follows the rectangle.
// The candidate count grows as 2^(n - 1) per combination of child arrangements before the
// set discards the dominated ones, so keep such groups to a few dozen children at most.
class VIREO_API AutoLayout
    : public impl::BinaryArrangeableGroup<HorizontalWrapping, VerticalWrapping> {
 public:
  explicit AutoLayout(IArrangeable* inParent);
  ~AutoLayout() override;
};

}  // namespace arrange
}  // namespace vireo

#endif
