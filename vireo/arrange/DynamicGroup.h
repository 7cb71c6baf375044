// A group whose kind (row, column, flipping, wrapping, automatic) changes at run time.
#ifndef VIREO_ARRANGE_DYNAMICGROUP_H
#define VIREO_ARRANGE_DYNAMICGROUP_H

#include <boost/function.hpp>
#include <boost/shared_ptr.hpp>

#include "vireo/Export.h"
#include "vireo/arrange/ArrangeableGroup.h"
#include "vireo/arrange/Arrangeable.h"
#include "vireo/arrange/Arrangement.h"
#include "vireo/geom/Point.h"

namespace vireo {
namespace arrange {

// The kind of group a DynamicGroup hosts. Values outside 0 to 5 create nothing.
enum GroupArrangementType : int {
  kGroupRow = 0,
  kGroupColumn = 1,
  kGroupFlipping = 2,
  kGroupHorizontalWrapping = 3,
  kGroupVerticalWrapping = 4,
  kGroupAutoLayout = 5
};

// A group of kind Kind that asks its host for its children and answers every appearance
// question with the host's answer.
template <class Kind, class Host>
class VIREO_API HostedGroup : public Kind {
 public:
  HostedGroup(Host* inHost, IArrangeable* inParent)
      : IArrangeable(inParent), Kind(inParent), host_(inHost) {}

  Host* GetHost() const { return host_; }

  bool VisitChildren(boost::function<bool(IArrangeable&)> inVisitor) override {
    return host_->VisitChildren(inVisitor);
  }
  bool VisitChildren(boost::function<bool(IArrangeable const&)> inVisitor) const override {
    return static_cast<Host const*>(host_)->VisitChildren(inVisitor);
  }
  float HorizontalSpacing() const override { return host_->HorizontalSpacing(); }
  float VerticalSpacing() const override { return host_->VerticalSpacing(); }
  AlignmentHorizontal HorizontalAlignment() override { return host_->HorizontalAlignment(); }
  AlignmentVertical VerticalAlignment() override { return host_->VerticalAlignment(); }
  ISeparator* BuildSeparator() override { return host_->BuildSeparator(); }
  void ClearSeparators() override { host_->ClearSeparators(); }
  float LeftMargin() const override { return host_->LeftMargin(); }
  float RightMargin() const override { return host_->RightMargin(); }
  float TopMargin() const override { return host_->TopMargin(); }
  float BottomMargin() const override { return host_->BottomMargin(); }
  void Position(geom::PointT<float> const& inPosition) override { host_->Position(inPosition); }
  void SetDimensions(geom::PointT<float> const& inSize) override { host_->SetDimensions(inSize); }

 private:
  Host* host_;
};

// Derive, list the children in VisitChildren and answer the appearance questions as a group
// class would; the hosted group (Arrangeable()) is the node that goes into the tree: list it
// among its parent's children, or arrange it as the root.
//
// Changing the type replaces the hosted group by a new, unbuilt one of the new kind. The
// children are handed to the new group at once, the old group's ancestors are marked out of
// date (their candidates refer to the old group), and the tree is rearranged once if its
// arrangement is enabled. When the hosted group is the root, the new one takes over its last
// rectangle and its enabled flag.
class VIREO_API DynamicGroup {
 public:
  // Records inType and creates the hosted group with inParent as its parent.
  DynamicGroup(IArrangeable* inParent, GroupArrangementType inType);
  DynamicGroup(DynamicGroup const&) = delete;
  DynamicGroup& operator=(DynamicGroup const&) = delete;

  virtual bool VisitChildren(boost::function<bool(IArrangeable&)> inVisitor) = 0;
  virtual bool VisitChildren(boost::function<bool(IArrangeable const&)> inVisitor) const = 0;
  // Defaults as for the group classes: no spacing, left and top, no margins, no separators.
  virtual float HorizontalSpacing() const;
  virtual float VerticalSpacing() const;
  virtual AlignmentHorizontal HorizontalAlignment();
  virtual AlignmentVertical VerticalAlignment();
  virtual float LeftMargin() const;
  virtual float RightMargin() const;
  virtual float TopMargin() const;
  virtual float BottomMargin() const;
  virtual ISeparator* BuildSeparator();
  virtual void ClearSeparators();
  virtual void Position(geom::PointT<float> const& inPosition);
  virtual void SetDimensions(geom::PointT<float> const& inSize);
  // Releases the hosted group.
  virtual ~DynamicGroup();

  // The current type again changes nothing. Otherwise a group of the new kind replaces the
  // hosted one, with inParent as its parent (null: the old group's parent); a type outside 0
  // to 5 creates none and keeps the old group. Then, if the type changed, the hosted group is
  // invalidated (rearranging the tree when arrangement is enabled), and the type is recorded.
  void SetArrangementType(GroupArrangementType inType, IArrangeable* inParent);
  GroupArrangementType ArrangementType() const { return type_; }
  // The hosted group; null only if none could be created.
  IArrangeable* Arrangeable() const { return hosted_.get(); }

  // The hosted group's operations; without one they do nothing (BestSize gives (0, 0) and
  // ArrangementEnabled false).
  void Invalidate();
  void Rearrange();
  void EnableArrangement(bool inEnable);
  bool ArrangementEnabled() const;
  geom::PointT<float> BestSize();

 private:
  boost::shared_ptr<IArrangeable> hosted_;
  GroupArrangementType type_;
};

extern template class HostedGroup<Row, DynamicGroup>;
extern template class HostedGroup<Column, DynamicGroup>;
extern template class HostedGroup<Flipping, DynamicGroup>;
extern template class HostedGroup<HorizontalWrapping, DynamicGroup>;
extern template class HostedGroup<VerticalWrapping, DynamicGroup>;
extern template class HostedGroup<AutoLayout, DynamicGroup>;

}  // namespace arrange
}  // namespace vireo

#endif
