// Nodes, leaves, arrangement sets: dominance, choice, passes, invalidation.
#include "vireo/arrange/Arrangeable.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/arrange/ArrangeFixture.h"

namespace vireo {
namespace arrange {
namespace testing {
namespace {

using impl::ArrangementSet;
using impl::IArrangement;

boost::intrusive_ptr<FakeArrangement> Fake(float inMinWidth, float inMinHeight) {
  return new FakeArrangement(inMinWidth, inMinHeight);
}

std::vector<Size> MinSizes(ArrangementSet const& inSet) {
  std::vector<Size> sizes;
  for (auto const& a : inSet) sizes.push_back(Size{a->MinWidth(), a->MinHeight()});
  return sizes;
}

// ---- leaves -------------------------------------------------------------------------------

TEST(SingleItem, SizesIncludeMarginsAndArrangeRemovesThem) {
  Leaf leaf(100, 20);
  leaf.left = leaf.right = 5;
  ArrangementSet& set = leaf.Arrangements();
  ASSERT_EQ(1u, set.Size());
  EXPECT_EQ(110, set[0].MinWidth());
  EXPECT_EQ(110, set[0].PreferredWidth());
  EXPECT_EQ(20, set[0].MinHeight());
  EXPECT_TRUE(set[0].IsTopLevel());
  leaf.onArrange = [](Leaf& item) { item.rects.back().width = 60; };  // uses less
  EXPECT_EQ((Size{70, 50}), leaf.Arrange(Box{0, 0, 200, 50}));
  leaf.onArrange = nullptr;

  EXPECT_EQ((Size{200, 50}), leaf.Arrange(Box{0, 0, 200, 50})) << "the answer with margins";
  ASSERT_EQ(2u, leaf.rects.size());
  EXPECT_EQ((Box{5, 0, 190, 50}), leaf.Last());

  // In a row, the next item starts after this one's right margin.
  TestGroup<Row> row;
  Leaf next(20, 20);
  row.Add(leaf).Add(next);
  row.Arrange(Box{0, 0, 300, 50});
  EXPECT_EQ((Box{5, 0, 100, 20}), leaf.Last());
  EXPECT_EQ((Box{110, 0, 20, 20}), next.Last());
}

TEST(SingleItem, ExpandedSizeFollowsExpandability) {
  Leaf fixed(100, 20), wide(100, 20);
  fixed.left = wide.left = 3;
  wide.Expandable(true, false);
  EXPECT_EQ(103, fixed.Arrangements()[0].ExpandedWidth(500));
  EXPECT_EQ(500, wide.Arrangements()[0].ExpandedWidth(500));
  EXPECT_EQ(20, wide.Arrangements()[0].ExpandedHeight(500));
  // Captured when built: a change shows only after invalidation.
  wide.width = 40;
  EXPECT_EQ(103, wide.Arrangements()[0].PreferredWidth());
  wide.Invalidate();
  EXPECT_EQ(43, wide.Arrangements()[0].PreferredWidth());
}

TEST(SingleItem, MinimumDefaultsToPreferredAndCanBeSmaller) {
  Leaf leaf(80, 30);
  leaf.top = 2;
  leaf.bottom = 4;
  EXPECT_EQ(36, leaf.Arrangements()[0].MinHeight());
  leaf.minHeight = 10;
  leaf.Invalidate();
  EXPECT_EQ(16, leaf.Arrangements()[0].MinHeight());
  EXPECT_EQ(36, leaf.Arrangements()[0].PreferredHeight());
}

// ---- the set: dominance -------------------------------------------------------------------

TEST(ArrangementSetDominance, SmallerRemovesLargerAndLargerIsDropped) {
  ArrangementSet set;
  set.AddArrangement(Fake(60, 20));
  set.AddArrangement(Fake(40, 30));
  set.AddArrangement(Fake(50, 20));  // no larger than (60, 20), incomparable with (40, 30)
  EXPECT_EQ((std::vector<Size>{{40, 30}, {50, 20}}), MinSizes(set));
  set.AddArrangement(Fake(70, 40));  // larger than both
  EXPECT_EQ((std::vector<Size>{{40, 30}, {50, 20}}), MinSizes(set));
  set.AddArrangement(nullptr);
  EXPECT_EQ(2u, set.Size());
}

TEST(ArrangementSetDominance, OneAdditionCanRemoveSeveral) {
  ArrangementSet set;
  set.AddArrangement(Fake(10, 50));
  set.AddArrangement(Fake(20, 40));
  set.AddArrangement(Fake(30, 30));
  set.AddArrangement(Fake(40, 20));
  set.AddArrangement(Fake(15, 30));  // beats (20, 40) and (30, 30)
  EXPECT_EQ((std::vector<Size>{{10, 50}, {40, 20}, {15, 30}}), MinSizes(set));
}

TEST(ArrangementSetDominance, EqualMinimumSizeKeepsTheLaterOne) {
  ArrangementSet set;
  boost::intrusive_ptr<FakeArrangement> first = Fake(30, 30), second = Fake(30, 30);
  set.AddArrangement(first);
  set.AddArrangement(Fake(10, 90));
  set.AddArrangement(second);
  ASSERT_EQ(2u, set.Size());
  EXPECT_EQ(second.get(), &set[1]) << "the later one stays, appended at the end";
  EXPECT_EQ(1, first->GetRefCount()) << "the set let go of the replaced one";
}

TEST(ArrangementSetDominance, PredictionsMatchAddition) {
  ArrangementSet set;
  set.AddArrangement(Fake(40, 30));
  set.AddArrangement(Fake(60, 20));
  EXPECT_FALSE(set.WouldKeep(45, 30));
  EXPECT_TRUE(set.WouldKeep(40, 30));
  EXPECT_TRUE(set.WouldKeep(50, 25));
  EXPECT_TRUE(set.Dominates(45, 30));
  EXPECT_FALSE(set.Dominates(40, 30)) << "an equal size is not beaten";
  EXPECT_FALSE(set.Dominates(30, 90));
}

// ---- the set: choice ----------------------------------------------------------------------

TEST(ArrangementSetChoice, FittingBeatsNotFittingWhateverTheOrder) {
  ArrangementSet set;
  boost::intrusive_ptr<FakeArrangement> wide = Fake(300, 20), tall = Fake(100, 60);
  set.AddArrangement(wide);
  set.AddArrangement(tall);
  EXPECT_EQ(wide.get(), set.Choose(Size{320, 30}));
  EXPECT_EQ(tall.get(), set.Choose(Size{120, 100}));
  EXPECT_EQ(nullptr, ArrangementSet().Choose(Size{10, 10}));
}

TEST(ArrangementSetChoice, SmallerOverflowWinsWhenNothingFits) {
  ArrangementSet set;
  boost::intrusive_ptr<FakeArrangement> wide = Fake(300, 20), tall = Fake(100, 60);
  set.AddArrangement(wide);
  set.AddArrangement(tall);
  // In 90 x 50: wide overflows 20 * 210 = 4200, tall 10 * 60 + 100 * 10 = 1600.
  EXPECT_EQ(tall.get(), set.Choose(Size{90, 50}));
  // In 280 x 10: wide 20 * 20 + 300 * 10 = 3400, tall 60 * 0 + 100 * 50 = 5000.
  EXPECT_EQ(wide.get(), set.Choose(Size{280, 10}));
}

TEST(ArrangementSetChoice, SmallerSlackWinsThenSmallerAreaThenGoldenRatio) {
  ArrangementSet set;
  boost::intrusive_ptr<FakeArrangement> a = Fake(50, 40), b = Fake(40, 60), c = Fake(30, 80);
  a->slack = 100;
  b->slack = 50;
  c->slack = 50;
  set.AddArrangement(a);
  set.AddArrangement(b);
  set.AddArrangement(c);
  // b and c tie on slack and on minimum area (2400): the golden ratio decides.
  b->preferredWidth = 160;
  b->preferredHeight = 100;  // 1.6: nearest the golden ratio
  c->preferredWidth = 100;
  c->preferredHeight = 100;
  EXPECT_EQ(b.get(), set.Choose(Size{200, 200}));
  // A smaller minimum area decides before the ratio.
  c->minHeight = 70;  // area 2100
  EXPECT_EQ(c.get(), set.Choose(Size{200, 200}));
  // Smaller slack decides before the area.
  a->slack = 10;
  EXPECT_EQ(a.get(), set.Choose(Size{200, 200}));
  // Each candidate's slack is asked once per choice, the first member's included.
  EXPECT_EQ(3, a->slackQueries);
  EXPECT_EQ(3, b->slackQueries);
}

TEST(ArrangementSetChoice, FullTieKeepsTheEarlier) {
  ArrangementSet set;
  boost::intrusive_ptr<FakeArrangement> a = Fake(40, 60), b = Fake(60, 40);
  a->slack = b->slack = 7;
  // Same area 2400; ratios 1.0 and 1.0 (preferred sizes equal): the earlier stays.
  a->preferredWidth = a->preferredHeight = 50;
  b->preferredWidth = b->preferredHeight = 80;
  set.AddArrangement(a);
  set.AddArrangement(b);
  EXPECT_EQ(a.get(), set.Choose(Size{100, 100}));
  // Nearer the golden ratio wins over the earlier.
  b->preferredWidth = 130;  // 1.625
  EXPECT_EQ(b.get(), set.Choose(Size{100, 100}));
}

TEST(ArrangementSetChoice, BestSizeIsTheMinimumOfTheMostGoldenCandidate) {
  ArrangementSet set;
  EXPECT_EQ((Size{0, 0}), set.BestSize());
  boost::intrusive_ptr<FakeArrangement> a = Fake(10, 50), b = Fake(30, 30), c = Fake(50, 10);
  a->preferredWidth = 100;
  a->preferredHeight = 100;  // 1
  b->preferredWidth = 200;
  b->preferredHeight = 120;  // 1.667
  c->preferredWidth = 150;
  c->preferredHeight = 100;  // 1.5: 0.118 from the golden ratio, b only 0.049
  set.AddArrangement(a);
  set.AddArrangement(b);
  set.AddArrangement(c);
  EXPECT_EQ((Size{30, 30}), set.BestSize());
}

TEST(ArrangementSetChoice, ArrangeUsesTheChoiceAndHoldsIt) {
  ArrangementSet set;
  boost::intrusive_ptr<FakeArrangement> wide = Fake(300, 20), tall = Fake(100, 60);
  set.AddArrangement(wide);
  set.AddArrangement(tall);
  EXPECT_EQ((Size{120, 100}), set.Arrange(Box{5, 6, 120, 100}));
  EXPECT_TRUE(wide->arranged.empty());
  ASSERT_EQ(1u, tall->arranged.size());
  EXPECT_EQ((Box{5, 6, 120, 100}), tall->arranged[0]);
  EXPECT_EQ((Size{0, 0}), ArrangementSet().Arrange(Box{0, 0, 10, 10}));
}

// ---- passes, enabling, invalidation -------------------------------------------------------

// A column holding a row of a and b, then c.
struct Nested {
  Nested() {
    inner.Add(a).Add(b);
    outer.Add(inner).Add(c);
  }
  TestGroup<Column> outer;
  TestGroup<Row> inner;
  Leaf a{50, 20}, b{40, 20}, c{30, 10};
};

TEST(ArrangePass, ChildPassesTheRectangleToTheRoot) {
  TestGroup<Row> row;
  Leaf a(50, 20), b(30, 20, &row);  // a learns its parent when the row is built
  row.Add(a).Add(b);
  Size const used = b.Arrange(Box{0, 0, 200, 40});
  EXPECT_EQ((Size{200, 40}), used);
  EXPECT_EQ((Box{0, 0, 200, 40}), row.LastRectangle());
  EXPECT_EQ((Box{0, 0, 0, 0}), b.LastRectangle()) << "only the root records it";
  ASSERT_EQ(1u, a.rects.size());
  EXPECT_EQ((Box{0, 0, 50, 20}), a.Last()) << "a fixed item keeps its height";
  EXPECT_EQ((Box{50, 0, 30, 20}), b.Last());
  EXPECT_EQ(&row, static_cast<IArrangeable*>(a.Parent()));
}

TEST(ArrangePass, EmptyRectangleDoesNothingAndRearrangeUsesThePreviousOne) {
  Leaf leaf(10, 10);
  leaf.Arrange(Box{1, 2, 30, 40});
  EXPECT_EQ((Size{0, 0}), leaf.Arrange(Box{0, 0, 0, 40}));
  EXPECT_EQ((Size{0, 0}), leaf.Arrange(Box{0, 0, 30, -1}));
  EXPECT_EQ(1u, leaf.rects.size());
  EXPECT_EQ((Box{1, 2, 30, 40}), leaf.LastRectangle());
  leaf.Rearrange();
  ASSERT_EQ(2u, leaf.rects.size());
  EXPECT_EQ((Box{1, 2, 30, 40}), leaf.Last());
}

TEST(ArrangePass, DisabledRootSuspendsAndEnablingRearrangesOnce) {
  TestGroup<Column> column;
  Leaf a(50, 20);
  column.Add(a);
  column.Arrange(Box{0, 0, 100, 100});
  a.EnableArrangement(false);
  EXPECT_FALSE(column.ArrangementEnabled());
  EXPECT_EQ((Size{0, 0}), column.Arrange(Box{0, 0, 100, 100}));
  a.Invalidate();
  EXPECT_EQ(1u, a.rects.size());
  column.EnableArrangement(false);  // already disabled: nothing
  column.EnableArrangement(true);
  EXPECT_EQ(2u, a.rects.size());
  column.EnableArrangement(true);  // already enabled: nothing
  EXPECT_EQ(2u, a.rects.size());
}

TEST(ArrangePass, InvalidatingALeafRebuildsItsChainAndRearrangesOnce) {
  Nested t;
  t.outer.Arrange(Box{0, 0, 300, 100});
  ASSERT_EQ(1u, t.a.rects.size());
  EXPECT_TRUE(t.outer.IsBuilt() && t.inner.IsBuilt() && t.c.IsBuilt());

  t.a.width = 70;
  t.a.Invalidate();
  EXPECT_EQ(2u, t.a.rects.size()) << "one rearrangement";
  EXPECT_EQ(2u, t.c.rects.size());
  EXPECT_EQ((Box{70, 0, 40, 20}), t.b.Last()) << "the new width took effect";
  EXPECT_TRUE(t.outer.IsBuilt());
}

TEST(ArrangePass, InvalidatingAnUnbuiltNodeLeavesItsParentBuilt) {
  TestGroup<Row> row;
  Leaf a(10, 10);
  row.Add(a);
  row.Arrange(Box{0, 0, 50, 50});
  Leaf late(10, 10, &row);  // not built: its parent is not told
  row.EnableArrangement(false);
  late.Invalidate();
  EXPECT_TRUE(row.IsBuilt());
  a.Invalidate();
  EXPECT_FALSE(row.IsBuilt());
}

TEST(ArrangePass, InvalidateAllInvalidatesEveryNodeEachRearranging) {
  Nested t;
  t.outer.Arrange(Box{0, 0, 300, 100});
  t.outer.InvalidateAll();
  // Five nodes, each invalidation a full rearrangement.
  EXPECT_EQ(6u, t.c.rects.size());
  t.inner.InvalidateAll();  // the subtree only: three nodes
  EXPECT_EQ(9u, t.c.rects.size());
  t.outer.EnableArrangement(false);
  t.outer.InvalidateAll();
  EXPECT_TRUE(t.outer.IsBuilt()) << "nothing happens while disabled";
}

TEST(ArrangePass, APassThatKeepsInvalidatingStopsAfterFive) {
  TestGroup<Row> row;
  Leaf restless(10, 10);
  row.Add(restless);
  restless.onArrange = [](Leaf& leaf) { leaf.Invalidate(); };
  row.Arrange(Box{0, 0, 100, 100});
  EXPECT_EQ(5u, restless.rects.size()) << "no pass nested in another";
  EXPECT_FALSE(row.IsBuilt());

  // The same with the root disabled during the pass.
  Leaf sleepy(10, 10);
  sleepy.onArrange = [](Leaf& leaf) {
    leaf.EnableArrangement(false);
    leaf.Invalidate();
  };
  sleepy.Arrange(Box{0, 0, 100, 100});
  EXPECT_EQ(5u, sleepy.rects.size());
}

TEST(ArrangePass, AnItemChangingDuringAPassGetsAConsistentLayout) {
  TestGroup<Row> row;
  Leaf growing(10, 10), next(20, 10);
  row.Add(growing).Add(next);
  growing.onArrange = [](Leaf& leaf) {
    if (leaf.rects.size() == 1) {
      leaf.width = 50;  // it learns its real size when first placed
      leaf.Invalidate();
    }
  };
  row.Arrange(Box{0, 0, 200, 100});
  ASSERT_EQ(2u, growing.rects.size()) << "the pass ran again";
  EXPECT_EQ((Box{0, 0, 50, 10}), growing.Last());
  EXPECT_EQ((Box{50, 0, 20, 10}), next.Last());
  EXPECT_TRUE(row.IsBuilt());
  growing.Invalidate();  // outside a pass: one rearrangement at once
  EXPECT_EQ(3u, growing.rects.size());
}

TEST(ArrangePass, AThrowingItemLeavesTheTreeUsable) {
  TestGroup<Row> row;
  Leaf fragile(10, 10);
  row.Add(fragile);
  fragile.onArrange = [](Leaf& leaf) {
    if (leaf.rects.size() == 1) throw std::runtime_error("no window");
  };
  EXPECT_THROW(row.Arrange(Box{0, 0, 100, 100}), std::runtime_error);
  fragile.Invalidate();  // rearranges at once: the pass is over
  EXPECT_EQ(2u, fragile.rects.size());
}

TEST(ArrangePass, BestSizeBuildsAndPicksTheGoldenCandidate) {
  TestGroup<Flipping> flipping;
  Leaf a(100, 20), b(100, 20), c(100, 20);
  flipping.Add(a).Add(b).Add(c);
  // Row 300 x 20 (ratio 15), column 100 x 60 (1.67): the column.
  EXPECT_EQ((Size{100, 60}), flipping.BestSize());
  EXPECT_TRUE(flipping.IsBuilt());
}

TEST(Traversal, PostorderVisitsChildrenFirstAndStopsAbove) {
  Nested t;
  std::vector<IArrangeable*> order;
  EXPECT_TRUE(PostorderTransversal(t.outer, [&order](IArrangeable& node) {
    order.push_back(&node);
    return true;
  }));
  EXPECT_EQ((std::vector<IArrangeable*>{&t.a, &t.b, &t.inner, &t.c, &t.outer}), order);

  order.clear();
  PostorderTransversal(t.outer, [&order, &t](IArrangeable& node) {
    order.push_back(&node);
    return &node != &t.a;
  });
  // a refused: b and the row are skipped, the traversal goes on with c.
  EXPECT_EQ((std::vector<IArrangeable*>{&t.a, &t.c, &t.outer}), order);
}

TEST(Traversal, FreeFunctionsReachTheNode) {
  TestGroup<Row> row;
  Leaf a(1, 1, &row);
  row.Add(a);
  EXPECT_EQ(&row, static_cast<IArrangeable*>(Parent(a)));
  IArrangeable const& constant = a;
  EXPECT_EQ(&row, static_cast<IArrangeable const*>(Parent(constant)));
  int count = 0;
  EXPECT_TRUE(VisitChildren(static_cast<IArrangeable const&>(row),
                            [&count](IArrangeable const&) { return ++count > 0; }));
  EXPECT_EQ(1, count);
  EXPECT_TRUE(VisitChildren(a, [](IArrangeable&) { return false; })) << "a leaf has none";
}

}  // namespace
}  // namespace testing
}  // namespace arrange
}  // namespace vireo
