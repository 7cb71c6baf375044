// Properties of random trees (fixed seeds): inside the rectangle when it is large enough,
// no two items overlapping, the same placement for the same rectangle.
#include <gtest/gtest.h>

#include <random>

#include "tests/arrange/ArrangeFixture.h"

namespace vireo {
namespace arrange {
namespace testing {
namespace {

// The area an item takes, margins included.
Box Outer(Leaf const& inLeaf) {
  Box const& r = inLeaf.Last();
  return Box{r.x - inLeaf.left, r.y - inLeaf.top, r.width + inLeaf.left + inLeaf.right,
             r.height + inLeaf.top + inLeaf.bottom};
}

Box Shrunk(Box const& r, float inBy) {
  return Box{r.x + inBy, r.y + inBy, r.width - 2 * inBy, r.height - 2 * inBy};
}

class RandomTree {
 public:
  explicit RandomTree(unsigned inSeed) : random_(inSeed) { root = Node(0); }

  IArrangeable* root;
  std::vector<std::unique_ptr<Leaf> > leaves;
  std::vector<std::unique_ptr<GroupState> > groups;

  int Int(int inLow, int inHigh) { return std::uniform_int_distribution<int>(inLow, inHigh)(random_); }
  float Float(float inLow, float inHigh) {
    return std::uniform_real_distribution<float>(inLow, inHigh)(random_);
  }

  std::vector<Leaf*> Leaves() const {
    std::vector<Leaf*> all;
    for (auto const& leaf : leaves) all.push_back(leaf.get());
    return all;
  }

 private:
  IArrangeable* Node(int inDepth) {
    if (inDepth > 0 && (inDepth >= 3 || Int(0, 2) == 0)) return MakeLeaf();
    switch (Int(0, 5)) {
      case 0: return MakeGroup<Row>(inDepth, 5);
      case 1: return MakeGroup<Column>(inDepth, 5);
      case 2: return MakeGroup<Flipping>(inDepth, 4);
      case 3: return MakeGroup<HorizontalWrapping>(inDepth, 4);
      case 4: return MakeGroup<VerticalWrapping>(inDepth, 4);
      default: return MakeGroup<AutoLayout>(inDepth, 3);
    }
  }

  // Fixed items have their preferred size as minimum; an expandable one may shrink in the
  // direction it expands in, and may have a limit.
  IArrangeable* MakeLeaf() {
    leaves.emplace_back(new Leaf(static_cast<float>(Int(5, 60)), static_cast<float>(Int(5, 40))));
    Leaf& leaf = *leaves.back();
    leaf.Expandable(Int(0, 2) == 0, Int(0, 3) == 0);
    if (leaf.expandsHorizontally) {
      leaf.minWidth = std::floor(leaf.width * Float(0.3f, 1));
      if (Int(0, 1)) leaf.maxWidth = leaf.width + Int(0, 80);
    }
    if (leaf.expandsVertically) {
      leaf.minHeight = std::floor(leaf.height * Float(0.3f, 1));
      if (Int(0, 1)) leaf.maxHeight = leaf.height + Int(0, 80);
    }
    if (Int(0, 3) == 0) {
      leaf.left = static_cast<float>(Int(0, 3));
      leaf.right = static_cast<float>(Int(0, 3));
      leaf.top = static_cast<float>(Int(0, 3));
      leaf.bottom = static_cast<float>(Int(0, 3));
    }
    return &leaf;
  }

  template <class Kind>
  IArrangeable* MakeGroup(int inDepth, int inMaximumChildren) {
    auto* group = new TestGroup<Kind>;
    groups.emplace_back(group);
    Appearance& look = group->look;
    look.horizontalSpacing = static_cast<float>(Int(0, 6));
    look.verticalSpacing = static_cast<float>(Int(0, 6));
    look.horizontalAlignment = Int(0, 2);
    look.verticalAlignment = Int(0, 2);
    if (Int(0, 2) == 0)
      look.SetMargins(static_cast<float>(Int(0, 8)), static_cast<float>(Int(0, 8)),
                      static_cast<float>(Int(0, 8)), static_cast<float>(Int(0, 8)));
    int const count = Int(1, inMaximumChildren);
    for (int i = 0; i < count; ++i) group->Add(*Node(inDepth + 1));
    return group;
  }

  std::mt19937 random_;
};

bool Inside(Box const& inInner, Box const& inOuter, float inTolerance) {
  return inInner.x >= inOuter.x - inTolerance && inInner.y >= inOuter.y - inTolerance &&
         inInner.x + inInner.width <= inOuter.x + inOuter.width + inTolerance &&
         inInner.y + inInner.height <= inOuter.y + inOuter.height + inTolerance;
}

void ExpectNoOverlap(std::vector<Leaf*> const& inLeaves) {
  for (std::size_t i = 0; i < inLeaves.size(); ++i)
    for (std::size_t j = i + 1; j < inLeaves.size(); ++j)
      EXPECT_FALSE(Overlap(Shrunk(Outer(*inLeaves[i]), 0.001f), Shrunk(Outer(*inLeaves[j]), 0.001f)))
          << "items " << i << " and " << j << ": " << Outer(*inLeaves[i]) << " and "
          << Outer(*inLeaves[j]);
}

std::vector<Box> Placement(std::vector<Leaf*> const& inLeaves) {
  std::vector<Box> placement;
  for (Leaf* leaf : inLeaves) placement.push_back(leaf->Last());
  return placement;
}

TEST(RandomTrees, LargeEnoughRectanglesHoldEveryItemWithoutOverlap) {
  int fitting = 0;
  for (unsigned seed = 1; seed <= 120; ++seed) {
    SCOPED_TRACE(seed);
    RandomTree tree(seed);
    impl::ArrangementSet& candidates = tree.root->Arrangements();
    ASSERT_FALSE(candidates.Empty());
    std::vector<Leaf*> const leaves = tree.Leaves();
    for (int round = 0; round < 6; ++round) {
      // Sizes around each candidate's minimum, some a little short of it.
      impl::IArrangement& target = candidates[tree.Int(0, static_cast<int>(candidates.Size()) - 1)];
      Box const rect{tree.Float(-50, 50), tree.Float(-50, 50),
                     target.MinWidth() + tree.Float(-10, 150), target.MinHeight() + tree.Float(-10, 150)};
      if (!(rect.width > 0 && rect.height > 0)) continue;
      impl::IArrangement* chosen = candidates.Choose(Size{rect.width, rect.height});
      bool const fits = chosen->MinWidth() <= rect.width && chosen->MinHeight() <= rect.height;
      tree.root->Arrange(rect);
      if (!fits) continue;
      ++fitting;
      for (Leaf* leaf : leaves)
        EXPECT_TRUE(Inside(Outer(*leaf), rect, 0.001f)) << Outer(*leaf) << " outside " << rect;
      ExpectNoOverlap(leaves);
    }
  }
  EXPECT_GT(fitting, 300) << "the rectangles should mostly fit";
}

TEST(RandomTrees, LeftAndTopAlignedItemsNeverOverlapEvenWhenTooSmall) {
  for (unsigned seed = 200; seed < 280; ++seed) {
    SCOPED_TRACE(seed);
    RandomTree tree(seed);
    for (auto& group : tree.groups) group->look.horizontalAlignment = group->look.verticalAlignment = 0;
    for (int round = 0; round < 4; ++round) {
      tree.root->Arrange(Box{0, 0, tree.Float(1, 300), tree.Float(1, 200)});
      ExpectNoOverlap(tree.Leaves());
    }
  }
}

TEST(RandomTrees, SameRectangleSamePlacement) {
  for (unsigned seed = 300; seed < 360; ++seed) {
    SCOPED_TRACE(seed);
    RandomTree tree(seed);
    std::vector<Leaf*> const leaves = tree.Leaves();
    Box const first{tree.Float(0, 20), tree.Float(0, 20), tree.Float(20, 400), tree.Float(20, 300)};
    Box const other{0, 0, tree.Float(20, 400), tree.Float(20, 300)};
    tree.root->Arrange(first);
    std::vector<Box> const placement = Placement(leaves);
    tree.root->Arrange(first);
    EXPECT_EQ(placement, Placement(leaves)) << "again at once";
    tree.root->Arrange(other);
    tree.root->Arrange(first);
    EXPECT_EQ(placement, Placement(leaves)) << "after another size";
    tree.root->InvalidateAll();
    EXPECT_EQ(placement, Placement(leaves)) << "after every set was remade";
  }
}

}  // namespace
}  // namespace testing
}  // namespace arrange
}  // namespace vireo
