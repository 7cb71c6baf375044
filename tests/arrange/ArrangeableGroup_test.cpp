// Group kinds: candidates, binary groups sharing one node part, wrapping cuts and their
// separators, children without arrangements, and the wrapping enumeration against a plain
// one that makes every cut.
#include "vireo/arrange/ArrangeableGroup.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "tests/arrange/ArrangeFixture.h"
#include "tests/arrange/EveryCut.h"

namespace vireo {
namespace arrange {
namespace testing {
namespace {

using impl::ArrangementSet;
using impl::GroupArrangement;
using impl::IArrangement;
typedef std::vector<boost::intrusive_ptr<IArrangement> > List;

std::vector<Size> MinSizes(ArrangementSet const& inSet) {
  std::vector<Size> sizes;
  for (auto const& a : inSet) sizes.push_back(Size{a->MinWidth(), a->MinHeight()});
  return sizes;
}

// The distinct y (or x) positions of some leaves: the lines they were placed in.
std::set<float> Lines(std::vector<Leaf*> const& inLeaves, bool inByY) {
  std::set<float> lines;
  for (Leaf* leaf : inLeaves) lines.insert(inByY ? leaf->Last().y : leaf->Last().x);
  return lines;
}

// A node that never offers an arrangement.
class Blank : public IArrangeable {
 protected:
  impl::ArrangementSet& ArrangementsSelf() override { return set_; }

 private:
  impl::ArrangementSet set_;
};

// ---- row, column, flipping ----------------------------------------------------------------

TEST(FlippingGroup, RowWhereItFitsColumnWhereThatSuits) {
  TestGroup<Flipping> flipping;
  Leaf a(100, 20), b(100, 20), c(100, 20);
  flipping.Add(a).Add(b).Add(c);
  EXPECT_EQ((std::vector<Size>{{300, 20}, {100, 60}}), MinSizes(flipping.Arrangements()));

  flipping.Arrange(Box{0, 0, 320, 30});
  EXPECT_EQ((Box{0, 0, 100, 20}), a.Last());
  EXPECT_EQ((Box{200, 0, 100, 20}), c.Last());
  flipping.Arrange(Box{0, 0, 120, 100});
  EXPECT_EQ((Box{0, 0, 100, 20}), a.Last());
  EXPECT_EQ((Box{0, 40, 100, 20}), c.Last());
}

TEST(FlippingGroup, BothBasesShareOneNodePartAndTheFirstBasesLists) {
  TestGroup<Flipping> flipping;
  Leaf a(10, 10), b(10, 10);
  flipping.Add(a).Add(b);
  flipping.look.separators = true;
  flipping.Arrange(Box{0, 0, 100, 100});

  IArrangeable& viaRow = static_cast<Row&>(flipping);
  IArrangeable& viaColumn = static_cast<Column&>(flipping);
  EXPECT_EQ(&viaRow, &viaColumn);
  EXPECT_EQ(&viaRow, a.Parent());
  impl::AbstractArrangeableGroup& first = static_cast<Row&>(flipping);
  impl::AbstractArrangeableGroup& second = static_cast<Column&>(flipping);
  EXPECT_EQ(2u, first.Children().size());
  EXPECT_EQ(1u, first.Separators().size());
  EXPECT_TRUE(second.Children().empty());
  EXPECT_EQ(2u, flipping.Children().size()) << "the group's own lists are the first base's";
  EXPECT_EQ(&flipping.Arrangements(), &viaColumn.Arrangements());
}

// A client override answers for both kinds' candidates.
class PaddedFlipping : public TestGroup<Flipping> {
 public:
  float LeftMargin() const override { return 7; }
};

TEST(FlippingGroup, ClientOverridesReachBothKinds) {
  PaddedFlipping flipping;
  Leaf a(100, 20), b(100, 20);
  flipping.Add(a).Add(b);
  EXPECT_EQ((std::vector<Size>{{207, 20}, {107, 40}}), MinSizes(flipping.Arrangements()));
  flipping.Arrange(Box{0, 0, 110, 50});
  EXPECT_EQ((Box{7, 20, 100, 20}), b.Last());
}

TEST(FlippingGroup, CombinationsOfChildCandidates) {
  // Two flipping children of two candidates each: four combinations, each giving a row and a
  // column candidate, filtered down to what no other candidate beats.
  TestGroup<Flipping> outer, left, right;
  Leaf a(30, 10), b(30, 10), c(20, 20), d(20, 20);
  left.Add(a).Add(b);    // 60 x 10 or 30 x 20
  right.Add(c).Add(d);   // 40 x 20 or 20 x 40
  outer.Add(left).Add(right);
  // Row then column of (60 x 10, 40 x 20), of (60 x 10, 20 x 40), of (30 x 20, 40 x 20) and
  // of (30 x 20, 20 x 40): 100 x 20 and 60 x 30 first; 70 x 20 replaces 100 x 20; 80 x 40,
  // 60 x 50 and 50 x 40 are beaten.
  EXPECT_EQ((std::vector<Size>{{60, 30}, {70, 20}, {40, 40}, {30, 60}}),
            MinSizes(outer.Arrangements()));
  outer.Arrange(Box{0, 0, 55, 45});  // only 40 x 40 fits: a column of a column and a row
  EXPECT_EQ((Box{0, 10, 30, 10}), b.Last());
  EXPECT_EQ((Box{20, 20, 20, 20}), d.Last());
}

TEST(GroupChildren, ChildrenWithoutArrangementsAreLeftOut) {
  TestGroup<Row> row;
  Leaf a(50, 20), b(30, 20);
  Blank blank;
  row.Add(a).Add(blank).Add(b);
  row.look.horizontalSpacing = 5;
  ASSERT_EQ(1u, row.Arrangements().Size());
  EXPECT_EQ(85, row.Arrangements()[0].MinWidth());
  row.Arrange(Box{0, 0, 200, 50});
  EXPECT_EQ((Box{55, 0, 30, 20}), b.Last());
  EXPECT_EQ(&row, static_cast<IArrangeable*>(blank.Parent())) << "still a child";
}

TEST(GroupChildren, AllLeftOutLeavesMarginsForRowsAndNothingForWrapping) {
  Blank blank;
  TestGroup<Column> column;
  column.Add(blank);
  column.look.SetMargins(1, 2, 3, 4);
  ASSERT_EQ(1u, column.Arrangements().Size());
  EXPECT_EQ((std::vector<Size>{{4, 6}}), MinSizes(column.Arrangements()));
  TestGroup<AutoLayout> automatic;
  automatic.Add(blank);
  EXPECT_TRUE(automatic.Arrangements().Empty());
  EXPECT_EQ((Size{0, 0}), automatic.Arrange(Box{0, 0, 10, 10}));
  EXPECT_EQ((Size{0, 0}), automatic.BestSize());
}

TEST(GroupChildren, SeparatorsAreRebuiltWithEveryRebuild) {
  TestGroup<Row> row;
  Leaf a(10, 10), b(10, 10), c(10, 10);
  row.Add(a).Add(b).Add(c);
  row.look.separators = true;
  row.Arrange(Box{0, 0, 100, 100});
  EXPECT_EQ(1, row.record.clears);
  EXPECT_EQ(2u, row.Separators().size());
  a.Invalidate();
  EXPECT_EQ(2, row.record.clears);
  EXPECT_EQ(4u, row.record.placements.size()) << "two passes, two gaps each";
  row.children.clear();
  row.Invalidate();
  EXPECT_EQ(3, row.record.clears);
  EXPECT_TRUE(row.Separators().empty());
  row.Invalidate();
  EXPECT_EQ(3, row.record.clears) << "an empty group has nothing to rebuild";
}

// ---- wrapping -----------------------------------------------------------------------------

TEST(WrappingGroup, LineCountFollowsTheWidth) {
  TestGroup<HorizontalWrapping> flow;
  std::vector<std::unique_ptr<Leaf> > owned;
  std::vector<Leaf*> leaves;
  for (int i = 0; i < 6; ++i) {
    owned.emplace_back(new Leaf(50, 20));
    leaves.push_back(owned.back().get());
    flow.Add(*leaves.back());
  }
  flow.look.verticalSpacing = 10;
  // One line 300 x 20; rows of 3: 150 x 50; rows of 2: 100 x 80; one per line: 50 x 170.
  EXPECT_EQ((std::vector<Size>{{300, 20}, {150, 50}, {100, 80}, {50, 170}}),
            MinSizes(flow.Arrangements()));
  // Every fitting candidate leaves the same slack, so the smallest area wins.
  struct Step {
    float width;
    std::size_t lines;
  };
  for (Step step : {Step{320, 1}, Step{299, 2}, Step{150, 2}, Step{149, 3}, Step{60, 6}}) {
    flow.Arrange(Box{0, 0, step.width, 200});
    EXPECT_EQ(step.lines, Lines(leaves, true).size()) << step.width;
  }
  flow.Arrange(Box{0, 0, 200, 200});
  EXPECT_EQ((Box{100, 0, 50, 20}), leaves[2]->Last());
  EXPECT_EQ((Box{0, 30, 50, 20}), leaves[3]->Last());
  EXPECT_EQ((Box{100, 30, 50, 20}), leaves[5]->Last());
}

TEST(WrappingGroup, VerticalWrappingMakesColumnsSideBySide) {
  TestGroup<VerticalWrapping> flow;
  Leaf a(20, 50), b(20, 50), c(20, 50), d(20, 50);
  flow.Add(a).Add(b).Add(c).Add(d);
  flow.look.horizontalSpacing = 5;
  flow.Arrange(Box{0, 0, 100, 110});
  EXPECT_EQ((Box{0, 50, 20, 50}), b.Last());
  EXPECT_EQ((Box{25, 0, 20, 50}), c.Last());
  EXPECT_EQ((Box{25, 50, 20, 50}), d.Last());
}

TEST(WrappingGroup, OneLineCountsTheMarginsOnce) {
  TestGroup<HorizontalWrapping> flow;
  Leaf a(50, 20), b(50, 20), c(50, 20);
  flow.Add(a).Add(b).Add(c);
  flow.look.SetMargins(10, 5, 20, 15);
  EXPECT_EQ((Size{180, 40}), MinSizes(flow.Arrangements()).front());
  EXPECT_EQ((Size{180, 40}), flow.Arrange(Box{0, 0, 180, 40}));
  EXPECT_EQ((Box{10, 5, 50, 20}), a.Last());
  EXPECT_EQ((Box{110, 5, 50, 20}), c.Last());
  EXPECT_EQ((std::vector<Size>{{10, 5}}), flow.record.positions) << "told once, by the stack";
  EXPECT_EQ((std::vector<Size>{{150, 20}}), flow.record.dimensions);
}

TEST(WrappingGroup, ABreakGetsTheSeparatorOfItsGapAcrossTheLines) {
  TestGroup<HorizontalWrapping> flow;
  Leaf a(50, 20), b(50, 20), c(50, 20), d(50, 20);
  flow.Add(a).Add(b).Add(c).Add(d);
  flow.look.horizontalSpacing = 4;
  flow.look.verticalSpacing = 6;
  flow.look.separators = true;
  flow.Arrange(Box{0, 0, 110, 60});  // only two rows of two fit
  ASSERT_EQ((Box{54, 26, 50, 20}), d.Last());
  std::vector<Placement> placements = flow.record.placements;
  ASSERT_EQ(3u, placements.size()) << "each separator placed once";
  std::sort(placements.begin(), placements.end(),
            [](Placement const& x, Placement const& y) { return x.separator < y.separator; });
  EXPECT_EQ(0, placements[0].orientation);
  EXPECT_EQ((Box{50, 0, 4, 20}), placements[0].rect);
  EXPECT_EQ(1, placements[1].orientation) << "between the rows";
  EXPECT_EQ((Box{0, 20, 104, 6}), placements[1].rect);
  EXPECT_EQ(0, placements[2].orientation);
  EXPECT_EQ((Box{50, 26, 4, 20}), placements[2].rect);
}

TEST(AutoLayoutGroup, GridWhenNeitherLineFits) {
  TestGroup<AutoLayout> grid;
  Leaf a(100, 100), b(100, 100), c(100, 100), d(100, 100);
  grid.Add(a).Add(b).Add(c).Add(d);
  // Equal minimum sizes: the vertical wrapping's candidates, added later, stay.
  EXPECT_EQ((std::vector<Size>{{100, 400}, {200, 200}, {400, 100}}),
            MinSizes(grid.Arrangements()));
  grid.Arrange(Box{0, 0, 220, 220});
  EXPECT_EQ((Box{0, 100, 100, 100}), b.Last());
  EXPECT_EQ((Box{100, 0, 100, 100}), c.Last());
  grid.Arrange(Box{0, 0, 400, 120});
  EXPECT_EQ((Box{300, 0, 100, 100}), d.Last());
}

// ---- the wrapping enumeration against one that makes every cut -----------------------------

// The line lengths of a wrapping candidate, for comparing cuts.
std::vector<std::size_t> CutOf(IArrangement& inCandidate) {
  std::vector<std::size_t> lengths;
  for (auto const& line : static_cast<GroupArrangement&>(inCandidate).Children())
    lengths.push_back(static_cast<GroupArrangement&>(*line).Children().size());
  return lengths;
}

TEST(WrappingEnumeration, KeepsExactlyWhatOfferingEveryCutKeeps) {
  std::mt19937 random(2024);
  std::uniform_int_distribution<int> size(1, 12), count(1, 9), spacing(0, 3), kind(0, 2);
  for (int round = 0; round < 150; ++round) {
    SCOPED_TRACE(round);
    int const which = kind(random);
    std::unique_ptr<TestGroup<HorizontalWrapping> > horizontal;
    std::unique_ptr<TestGroup<VerticalWrapping> > vertical;
    std::unique_ptr<TestGroup<AutoLayout> > automatic;
    impl::AbstractArrangeableGroup* group;
    Appearance* look;
    std::function<void(IArrangeable&)> add;
    if (which == 0) {
      horizontal.reset(new TestGroup<HorizontalWrapping>);
      group = horizontal.get();
      look = &horizontal->look;
      add = [&](IArrangeable& child) { horizontal->Add(child); };
    } else if (which == 1) {
      vertical.reset(new TestGroup<VerticalWrapping>);
      group = vertical.get();
      look = &vertical->look;
      add = [&](IArrangeable& child) { vertical->Add(child); };
    } else {
      automatic.reset(new TestGroup<AutoLayout>);
      group = static_cast<HorizontalWrapping*>(automatic.get());
      look = &automatic->look;
      add = [&](IArrangeable& child) { automatic->Add(child); };
    }
    // Sizes in quarters, so sums are exact only sometimes; a few items smaller than preferred.
    std::vector<std::unique_ptr<Leaf> > leaves;
    int const n = round % 25 == 0 ? 12 : count(random);
    for (int i = 0; i < n; ++i) {
      leaves.emplace_back(new Leaf(size(random) * 2.5f, size(random) * 1.75f));
      if (size(random) < 4) leaves.back()->minWidth = leaves.back()->width / 3;
      add(*leaves.back());
    }
    // Now and then a negative spacing, which only the coarser pruning may handle.
    look->horizontalSpacing = static_cast<float>(spacing(random)) * (round % 7 == 3 ? -2.5f : 0.3f);
    look->verticalSpacing = static_cast<float>(spacing(random));
    look->SetMargins(static_cast<float>(spacing(random)), 0.1f * spacing(random),
                     static_cast<float>(spacing(random)), 0);

    IArrangeable& node = *group;
    ArrangementSet const& actual = node.Arrangements();
    List children;
    for (auto& leaf : leaves) children.push_back(&leaf->Arrangements()[0]);
    ArrangementSet expected;
    if (which != 1) OfferEveryCut(*group, expected, children, true);
    if (which != 0) OfferEveryCut(*group, expected, children, false);

    ASSERT_EQ(MinSizes(expected), MinSizes(actual));
    for (std::size_t i = 0; i < expected.Size(); ++i) {
      EXPECT_EQ(CutOf(expected[i]), CutOf(actual[i])) << i;
      bool const expectedRows = dynamic_cast<impl::ColumnArrangement*>(&expected[i]) != nullptr;
      EXPECT_EQ(expectedRows, dynamic_cast<impl::ColumnArrangement*>(&actual[i]) != nullptr);
    }
  }
}

}  // namespace
}  // namespace testing
}  // namespace arrange
}  // namespace vireo
