#include "vireo/arrange/DynamicGroup.h"

namespace vireo {
namespace arrange {

namespace {

template <class Kind>
boost::shared_ptr<IArrangeable> Make(DynamicGroup* inHost, IArrangeable* inParent) {
  return boost::shared_ptr<IArrangeable>(new HostedGroup<Kind, DynamicGroup>(inHost, inParent));
}

boost::shared_ptr<IArrangeable> MakeHostedGroup(GroupArrangementType inType, DynamicGroup* inHost,
                                                IArrangeable* inParent) {
  switch (inType) {
    case kGroupRow: return Make<Row>(inHost, inParent);
    case kGroupColumn: return Make<Column>(inHost, inParent);
    case kGroupFlipping: return Make<Flipping>(inHost, inParent);
    case kGroupHorizontalWrapping: return Make<HorizontalWrapping>(inHost, inParent);
    case kGroupVerticalWrapping: return Make<VerticalWrapping>(inHost, inParent);
    case kGroupAutoLayout: return Make<AutoLayout>(inHost, inParent);
  }
  return boost::shared_ptr<IArrangeable>();
}

}  // namespace

DynamicGroup::DynamicGroup(IArrangeable* inParent, GroupArrangementType inType) : type_(inType) {
  SetArrangementType(inType, inParent);
}

DynamicGroup::~DynamicGroup() = default;

float DynamicGroup::HorizontalSpacing() const { return 0; }
float DynamicGroup::VerticalSpacing() const { return 0; }
AlignmentHorizontal DynamicGroup::HorizontalAlignment() { return kAlignLeft; }
AlignmentVertical DynamicGroup::VerticalAlignment() { return kAlignTop; }
float DynamicGroup::LeftMargin() const { return 0; }
float DynamicGroup::RightMargin() const { return 0; }
float DynamicGroup::TopMargin() const { return 0; }
float DynamicGroup::BottomMargin() const { return 0; }
ISeparator* DynamicGroup::BuildSeparator() { return nullptr; }
void DynamicGroup::ClearSeparators() {}
void DynamicGroup::Position(geom::PointT<float> const&) {}
void DynamicGroup::SetDimensions(geom::PointT<float> const&) {}

void DynamicGroup::SetArrangementType(GroupArrangementType inType, IArrangeable* inParent) {
  if (inType == type_ && hosted_) return;
  GroupArrangementType const previous = type_;
  if (!inParent && hosted_) inParent = hosted_->Parent();

  boost::shared_ptr<IArrangeable> made = MakeHostedGroup(inType, this, inParent);
  if (made && hosted_) {
    // Every pass of the swap runs with the root disabled, so that the tree is rearranged once
    // at the end, with the new group in place.
    IArrangeable* const root = hosted_->Root();
    bool const wasEnabled = root->enabled_;
    root->enabled_ = false;
    // The ancestors' candidates hold the old group's; they must be remade before any use.
    for (IArrangeable* node = hosted_->parent_; node; node = node->parent_) node->built_ = false;
    VisitChildren([&made](IArrangeable& child) {
      child.SetParent(made.get());
      return true;
    });
    if (root == hosted_.get()) {
      made->lastRect_ = root->lastRect_;
      made->enabled_ = false;
    }
    hosted_ = made;
    hosted_->Invalidate();  // a replacement always comes with a new type
    type_ = inType;
    if (wasEnabled) hosted_->EnableArrangement(true);
    return;
  }
  if (made) hosted_ = made;
  if (inType != previous && hosted_) hosted_->Invalidate();
  type_ = inType;
}

void DynamicGroup::Invalidate() {
  if (hosted_) hosted_->Invalidate();
}

void DynamicGroup::Rearrange() {
  if (hosted_) hosted_->Rearrange();
}

void DynamicGroup::EnableArrangement(bool inEnable) {
  if (hosted_) hosted_->EnableArrangement(inEnable);
}

bool DynamicGroup::ArrangementEnabled() const { return hosted_ && hosted_->ArrangementEnabled(); }

geom::PointT<float> DynamicGroup::BestSize() {
  return hosted_ ? hosted_->BestSize() : geom::PointT<float>{0, 0};
}

template class HostedGroup<Row, DynamicGroup>;
template class HostedGroup<Column, DynamicGroup>;
template class HostedGroup<Flipping, DynamicGroup>;
template class HostedGroup<HorizontalWrapping, DynamicGroup>;
template class HostedGroup<VerticalWrapping, DynamicGroup>;
template class HostedGroup<AutoLayout, DynamicGroup>;

}  // namespace arrange
}  // namespace vireo
