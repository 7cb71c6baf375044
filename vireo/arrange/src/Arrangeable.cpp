#include "vireo/arrange/Arrangeable.h"

namespace vireo {
namespace arrange {

namespace {
// A pass that leaves the root out of date is run again, but not forever: an item that
// invalidates itself on every pass must not hang the client.
constexpr int kMaximumPasses = 5;
}  // namespace

IArrangeable::IArrangeable(IArrangeable* inParent)
    : built_(false), enabled_(true), arranging_(false), lastRect_{0, 0, 0, 0}, parent_(inParent) {}

IArrangeable::~IArrangeable() = default;

bool IArrangeable::VisitChildren(boost::function<bool(IArrangeable&)>) { return true; }

bool IArrangeable::VisitChildren(boost::function<bool(IArrangeable const&)>) const {
  return true;
}

void IArrangeable::RebuildSelf() {}

IArrangeable* IArrangeable::Root() {
  IArrangeable* node = this;
  while (node->parent_) node = node->parent_;
  return node;
}

IArrangeable const* IArrangeable::Root() const {
  IArrangeable const* node = this;
  while (node->parent_) node = node->parent_;
  return node;
}

void IArrangeable::Build() {
  if (!built_) {
    RebuildSelf();
    built_ = true;
  }
}

impl::ArrangementSet& IArrangeable::Arrangements() {
  Build();
  return ArrangementsSelf();
}

geom::PointT<float> IArrangeable::Arrange(geom::RectT<float> const& inRect) {
  if (parent_) return Root()->Arrange(inRect);
  if (!(inRect.width > 0) || !(inRect.height > 0) || !enabled_) return geom::PointT<float>{0, 0};
  lastRect_ = inRect;
  // Arrange from a copy: an item that rearranges the tree during the pass changes lastRect_.
  geom::RectT<float> const rect = inRect;
  // Restores the flag however the pass ends (a client's item may throw), and for a pass
  // nested in another (an item may rearrange the tree explicitly).
  struct Passes {
    explicit Passes(bool& ioFlag) : flag(ioFlag), previous(ioFlag) { flag = true; }
    ~Passes() { flag = previous; }
    bool& flag;
    bool const previous;
  } const passes(arranging_);
  geom::PointT<float> result{0, 0};
  for (int pass = 0; pass < kMaximumPasses; ++pass) {
    Build();
    result = ArrangementsSelf().Arrange(rect);
    if (built_) break;
  }
  return result;
}

void IArrangeable::Rearrange() {
  IArrangeable* root = Root();
  geom::RectT<float> const rect = root->lastRect_;
  root->Arrange(rect);
}

geom::PointT<float> IArrangeable::BestSize() {
  Build();
  return ArrangementsSelf().BestSize();
}

void IArrangeable::EnableArrangement(bool inEnable) {
  IArrangeable* root = Root();
  if (root->enabled_ == inEnable) return;
  root->enabled_ = inEnable;
  if (inEnable) root->Rearrange();
}

bool IArrangeable::ArrangementEnabled() const { return Root()->enabled_; }

void IArrangeable::Invalidate() {
  IArrangeable* root = Root();
  // Disabled while the chain is marked, so that the parents' own invalidation does not
  // rearrange; the tree is rearranged once at the end. Within a pass, the pass loop does it.
  bool const rearrange = root->enabled_ && !root->arranging_;
  if (rearrange) root->enabled_ = false;
  if (built_ && parent_) parent_->Invalidate();
  built_ = false;
  if (rearrange) root->EnableArrangement(true);
}

void IArrangeable::InvalidateAll() {
  if (!ArrangementEnabled()) return;
  PostorderTransversal(*this, [](IArrangeable& node) {
    node.Invalidate();
    return true;
  });
}

IArrangeable* Parent(IArrangeable& inNode) { return inNode.Parent(); }

IArrangeable const* Parent(IArrangeable const& inNode) { return inNode.Parent(); }

bool VisitChildren(IArrangeable& inNode, boost::function<bool(IArrangeable&)> inVisitor) {
  return inNode.VisitChildren(inVisitor);
}

bool VisitChildren(IArrangeable const& inNode,
                   boost::function<bool(IArrangeable const&)> inVisitor) {
  return inNode.VisitChildren(inVisitor);
}

bool PostorderTransversal(IArrangeable& inNode,
                          boost::function<bool(IArrangeable&)> const& inVisitor) {
  bool const childrenVisited = inNode.VisitChildren(
      [&inVisitor](IArrangeable& child) { return PostorderTransversal(child, inVisitor); });
  if (!childrenVisited) return true;
  return inVisitor(inNode);
}

}  // namespace arrange
}  // namespace vireo
