// Candidate layouts (arrangements), the sets that hold them, and the separators that groups
// draw between their items.
#ifndef VIREO_ARRANGE_ARRANGEMENT_H
#define VIREO_ARRANGE_ARRANGEMENT_H

#include <cstddef>
#include <vector>

#include <boost/intrusive_ptr.hpp>

#include "vireo/Export.h"
#include "vireo/geom/Point.h"
#include "vireo/geom/Rect.h"
#include "vireo/utility/RefCountedObject.h"

namespace vireo {
namespace arrange {

// Supplied by the client for groups that draw something between their items.
class VIREO_API ISeparator {
 public:
  virtual ~ISeparator();
  // Orientation 0: between two items of a row (rect is the vertical gap strip); 1: between
  // two items of a column (a horizontal strip).
  virtual void Place(int inOrientation, geom::RectT<float> const& inRect) = 0;
};

namespace impl {

// One candidate layout of a node. Every size an arrangement reports includes the margins of
// the node it lays out. Shared through boost::intrusive_ptr: by the node's set, by the
// arrangements of parents that combine it, and by a selection in progress. An arrangement
// refers to the nodes it places by plain pointers and never owns them, so no reference cycle
// can form between nodes and arrangements.
class VIREO_API IArrangement : public utility::RefCountedObject {
 public:
  ~IArrangement() override;

  // Places the content in inRect and returns the size used.
  virtual geom::PointT<float> Arrange(geom::RectT<float> const& inRect) = 0;
  virtual bool HorizontallyExpandable() = 0;
  virtual bool VerticallyExpandable() = 0;
  virtual float MinWidth() = 0;
  virtual float MinHeight() = 0;
  virtual float PreferredWidth() = 0;
  virtual float PreferredHeight() = 0;
  // The width (height) taken when inAvailable is offered.
  virtual float ExpandedWidth(float inAvailable) = 0;
  virtual float ExpandedHeight(float inAvailable) = 0;
  // How far the minimum size sticks out of inSize:
  //   MinHeight * max(0, MinWidth - w) + MinWidth * max(0, MinHeight - h).
  virtual float OverflowArea(geom::PointT<float> const& inSize);
  // The part of inSize left unused: w * h - ExpandedWidth(w) * ExpandedHeight(h).
  virtual float SlackArea(geom::PointT<float> const& inSize);
  // Completes the arrangement once its set is final. Called once per set member; repeated
  // calls do nothing.
  virtual void Prepare() = 0;
  // True when the arrangement lays out a whole node: it counts the node's margins and tells
  // the node where it was placed.
  virtual bool IsTopLevel() = 0;
};

// The candidates of one node, in insertion order (which decides ties). AddArrangement keeps
// the set free of candidates whose minimum size another member matches or beats, so the
// members' minimum sizes are pairwise incomparable.
class VIREO_API ArrangementSet {
 public:
  typedef std::vector<boost::intrusive_ptr<IArrangement> >::const_iterator const_iterator;

  ArrangementSet();
  ~ArrangementSet();
  ArrangementSet(ArrangementSet const&) = delete;
  ArrangementSet& operator=(ArrangementSet const&) = delete;

  // a is "no larger than" b when both of a's minimum width and height are at most b's.
  // A null arrangement is ignored. If the first member comparable with a (either way) is
  // smaller than a, a is dropped; otherwise every member a is no larger than is removed and
  // a is appended. Of equal minimum sizes the later one stays.
  void AddArrangement(boost::intrusive_ptr<IArrangement> inArrangement);
  // Whether AddArrangement would keep an arrangement of this minimum size, without making it.
  bool WouldKeep(float inMinWidth, float inMinHeight) const;
  // True when some member is no larger than the size and not equal to it; then every
  // arrangement at least that large would be dropped, now and after any later addition.
  bool Dominates(float inMinWidth, float inMinHeight) const;

  void Clear();
  bool Empty() const { return members_.empty(); }
  std::size_t Size() const { return members_.size(); }
  IArrangement& operator[](std::size_t inIndex) const { return *members_[inIndex]; }
  const_iterator begin() const { return members_.begin(); }
  const_iterator end() const { return members_.end(); }

  // The member that suits a size best, or null for an empty set. A member fits when its
  // minimum width and height are within the size. Scanning in order from the first member:
  // a fitting candidate beats a choice that does not fit; between two that do not fit the
  // smaller OverflowArea wins; between two that fit the smaller SlackArea, then the smaller
  // minimum area, then the preferred width / height nearer the golden ratio. Ties keep the
  // earlier member.
  IArrangement* Choose(geom::PointT<float> const& inSize) const;
  // Arranges the chosen member in inRect (holding a reference while it does); (0, 0) for an
  // empty set.
  geom::PointT<float> Arrange(geom::RectT<float> const& inRect) const;
  // The minimum size of the member whose preferred aspect ratio lies nearest the golden ratio
  // (the earlier on ties); (0, 0) for an empty set.
  geom::PointT<float> BestSize() const;

 private:
  std::vector<boost::intrusive_ptr<IArrangement> > members_;
  // The members' minimum sizes, taken when they were added (an arrangement's minimum size is
  // fixed when it is made), so that the dominance checks run over plain numbers.
  std::vector<float> minWidths_, minHeights_;
};

}  // namespace impl
}  // namespace arrange
}  // namespace vireo

#endif
