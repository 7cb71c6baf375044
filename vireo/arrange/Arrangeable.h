// The nodes of a layout tree. A node offers candidate layouts (its ArrangementSet); when the
// tree is given a rectangle, the root picks the candidate that suits it and that candidate
// places the children, recursively.
#ifndef VIREO_ARRANGE_ARRANGEABLE_H
#define VIREO_ARRANGE_ARRANGEABLE_H

#include <boost/function.hpp>

#include "vireo/Export.h"
#include "vireo/arrange/Arrangement.h"
#include "vireo/geom/Point.h"
#include "vireo/geom/Rect.h"

namespace vireo {
namespace arrange {

class DynamicGroup;

// Base of every node: Single leaves and the group kinds derive from it virtually, so a node
// that combines two group kinds has one IArrangeable part. The library records the parent
// given to each node kind's constructor, so a client class need not name this virtual base
// in its own constructor.
//
// The tree is used from one thread. Nodes are owned by the client; arrangements refer to them
// by plain pointers. A node must therefore outlive every arrangement made from it: before
// destroying a node alone, remove it from what its parent's VisitChildren lists and
// invalidate the parent (or destroy the whole tree together).
class VIREO_API IArrangeable {
 public:
  explicit IArrangeable(IArrangeable* inParent = nullptr);
  virtual ~IArrangeable();
  IArrangeable(IArrangeable const&) = delete;
  IArrangeable& operator=(IArrangeable const&) = delete;

  // Calls inVisitor for each direct child, in order, until it answers false; returns false
  // when it stopped early. The base has no children and returns true.
  virtual bool VisitChildren(boost::function<bool(IArrangeable&)> inVisitor);
  virtual bool VisitChildren(boost::function<bool(IArrangeable const&)> inVisitor) const;

 private:
  // Rebuilds the node's arrangement set; the base does nothing.
  virtual void RebuildSelf();

 protected:
  // The node's set, without rebuilding it.
  virtual impl::ArrangementSet& ArrangementsSelf() = 0;

 public:
  IArrangeable* Parent() { return parent_; }
  IArrangeable const* Parent() const { return parent_; }
  void SetParent(IArrangeable* inParent) { parent_ = inParent; }

  // The node's set, rebuilt first if it is out of date.
  impl::ArrangementSet& Arrangements();

  // Lays out the whole tree: a node with a parent passes inRect on to the root and returns
  // its result. The root does nothing and returns (0, 0) for a rectangle without area or
  // while its arrangement is disabled; otherwise it records inRect, then rebuilds what is out
  // of date and arranges its set in inRect, again while the pass left the root out of date,
  // up to 5 passes. Returns the size used.
  geom::PointT<float> Arrange(geom::RectT<float> const& inRect);
  // Arranges the root again in its last rectangle.
  void Rearrange();
  // The minimum size of the candidate whose preferred proportions are nearest the golden
  // ratio (rebuilding this node first if needed).
  geom::PointT<float> BestSize();
  // Act on the root. Disabling suspends all automatic rearranging; enabling a disabled root
  // rearranges it once.
  void EnableArrangement(bool inEnable);
  bool ArrangementEnabled() const;
  // Marks this node and its built ancestors out of date, then rearranges the tree once if
  // its arrangement was enabled. During a pass of the tree (an item invalidating itself from
  // ArrangeSelf, say) it only marks: the pass then runs again, within Arrange's 5 passes,
  // rather than rearranging the tree underneath the pass in progress.
  void Invalidate();
  // Invalidates every node of the subtree, children before parents, ending with this one;
  // each of these rearranges the tree. Nothing happens while arrangement is disabled.
  void InvalidateAll();

  // Whether the set is up to date.
  bool IsBuilt() const { return built_; }
  // The rectangle of this node's last arrangement pass as a root.
  geom::RectT<float> const& LastRectangle() const { return lastRect_; }

 private:
  friend class DynamicGroup;

  IArrangeable* Root();
  IArrangeable const* Root() const;
  // Rebuilds the set when it is out of date.
  void Build();

  bool built_;
  bool enabled_;
  bool arranging_;  // the root is in its pass loop
  geom::RectT<float> lastRect_;
  IArrangeable* parent_;
};

VIREO_API IArrangeable* Parent(IArrangeable& inNode);
VIREO_API IArrangeable const* Parent(IArrangeable const& inNode);
VIREO_API bool VisitChildren(IArrangeable& inNode, boost::function<bool(IArrangeable&)> inVisitor);
VIREO_API bool VisitChildren(IArrangeable const& inNode,
                             boost::function<bool(IArrangeable const&)> inVisitor);

// Visits the subtree of inNode children first: each child's subtree, in order, then the node.
// Answers what the visitor answered for inNode. When the visitor answers false for a node,
// that node's later siblings and its parent are skipped and the traversal goes on above them;
// a visitor that always answers true visits every node.
VIREO_API bool PostorderTransversal(IArrangeable& inNode,
                                    boost::function<bool(IArrangeable&)> const& inVisitor);

}  // namespace arrange
}  // namespace vireo

#endif
