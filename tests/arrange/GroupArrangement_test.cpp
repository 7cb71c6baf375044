// Rows and columns: sizes, distribution of extra space and shortfall, alignment, margins,
// separators, slack, and the column as the row with the axes exchanged.
#include "vireo/arrange/GroupArrangement.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/arrange/ArrangeFixture.h"

namespace vireo {
namespace arrange {
namespace testing {
namespace {

using impl::IArrangement;

Box Transposed(Box const& r) { return Box{r.y, r.x, r.height, r.width}; }

// ---- sizes --------------------------------------------------------------------------------

TEST(RowSizes, SumsAlongMaximaAcrossWithMarginsOnce) {
  TestGroup<Row> row;
  Leaf a(50, 20), b(30, 35), c(10, 5);
  b.minWidth = 20;
  row.Add(a).Add(b).Add(c);
  row.look.horizontalSpacing = 4;
  row.look.verticalSpacing = 100;  // not used by a row
  row.look.SetMargins(1, 2, 3, 4);
  IArrangement& r = row.Arrangements()[0];
  EXPECT_EQ(50 + 20 + 10 + 2 * 4 + 4, r.MinWidth());
  EXPECT_EQ(35 + 6, r.MinHeight());
  EXPECT_EQ(50 + 30 + 10 + 2 * 4 + 4, r.PreferredWidth());
  EXPECT_EQ(35 + 6, r.PreferredHeight());
  EXPECT_FALSE(r.HorizontallyExpandable());
  b.Expandable(false, true);
  b.Invalidate();  // the leaf captured its flags when built
  EXPECT_TRUE(row.Arrangements()[0].VerticallyExpandable());
  EXPECT_FALSE(row.Arrangements()[0].HorizontallyExpandable());
}

TEST(RowSizes, EmptyRowHasOnlyItsMargins) {
  TestGroup<Row> row;
  row.look.horizontalSpacing = 8;
  row.look.SetMargins(1, 2, 3, 4);
  ASSERT_EQ(1u, row.Arrangements().Size());
  EXPECT_EQ(4, row.Arrangements()[0].MinWidth());
  EXPECT_EQ(6, row.Arrangements()[0].MinHeight());
  row.Arrange(Box{0, 0, 50, 50});
  ASSERT_EQ(1u, row.record.dimensions.size());
  EXPECT_EQ((Size{46, 44}), row.record.dimensions[0]);
  EXPECT_EQ((Size{1, 2}), row.record.positions[0]);
}

TEST(RowSizes, PreferredSizeAndFlagsWaitForPrepare) {
  TestGroup<Row> group;
  Leaf a(50, 20);
  a.Expandable(true, false);
  std::vector<boost::intrusive_ptr<IArrangement> > children{&a.Arrangements()[0]};
  boost::intrusive_ptr<impl::RowArrangement> row(
      new impl::RowArrangement(group, children, std::vector<ISeparator*>(), true));
  EXPECT_EQ(50, row->MinWidth()) << "known at once";
  EXPECT_EQ(-1, row->PreferredWidth());
  EXPECT_FALSE(row->HorizontallyExpandable());
  row->Prepare();
  EXPECT_EQ(50, row->PreferredWidth());
  EXPECT_TRUE(row->HorizontallyExpandable());
}

TEST(RowSizes, ExpandedSizesStopWhenFull) {
  TestGroup<Row> row;
  Leaf a(50, 20), b(30, 10);
  b.Expandable(true, true);
  b.maxWidth = 100;
  b.maxHeight = 25;
  row.Add(a).Add(b);
  row.look.horizontalSpacing = 5;
  IArrangement& r = row.Arrangements()[0];
  EXPECT_EQ(50 + 100 + 5, r.ExpandedWidth(500));
  EXPECT_EQ(40, r.ExpandedWidth(40)) << "never more than offered";
  EXPECT_EQ(25, r.ExpandedHeight(60));
  EXPECT_EQ(20, r.ExpandedHeight(15)) << "the first child already fills it";
}

// ---- distribution -------------------------------------------------------------------------

TEST(RowDistribution, CentredFixedChildren) {
  TestGroup<Row> row;
  Leaf a(50, 20), b(30, 20);
  row.Add(a).Add(b);
  row.look.horizontalSpacing = 4;
  row.look.horizontalAlignment = kAlignHorizontalCenter;
  EXPECT_EQ(84, row.Arrangements()[0].MinWidth());
  EXPECT_EQ(84, row.Arrangements()[0].PreferredWidth());
  row.Arrange(Box{0, 0, 200, 20});
  EXPECT_EQ((Box{58, 0, 50, 20}), a.Last());
  EXPECT_EQ((Box{112, 0, 30, 20}), b.Last());
  EXPECT_EQ((Size{58, 0}), row.record.positions.back());
  EXPECT_EQ((Size{200, 20}), row.record.dimensions.back());
}

TEST(RowDistribution, ExtraSpaceIsSharedInProportion) {
  TestGroup<Row> row;
  Leaf a(50, 20), b(100, 20);
  a.Expandable(true, false);
  b.Expandable(true, false);
  row.Add(a).Add(b);
  row.Arrange(Box{0, 0, 300, 20});
  EXPECT_EQ((Box{0, 0, 100, 20}), a.Last());
  EXPECT_EQ((Box{100, 0, 200, 20}), b.Last());
}

TEST(RowDistribution, CappedChildDropsOutAndTheRestGoesToOthers) {
  TestGroup<Row> row;
  Leaf capped(50, 20), free(50, 20), fixed(40, 20);
  capped.Expandable(true, false);
  free.Expandable(true, false);
  capped.maxWidth = 80;
  row.Add(capped).Add(fixed).Add(free);
  row.Arrange(Box{0, 0, 340, 20});
  // 200 extra: capped would take 100 but stops at 80; free takes the remaining 170.
  EXPECT_EQ((Box{0, 0, 80, 20}), capped.Last());
  EXPECT_EQ((Box{80, 0, 40, 20}), fixed.Last());
  EXPECT_EQ((Box{120, 0, 220, 20}), free.Last());
}

TEST(RowDistribution, ShortfallShrinksToTheMinimumsAndNoFurther) {
  TestGroup<Row> row;
  Leaf a(100, 20), b(100, 20), fixed(50, 20);
  for (Leaf* leaf : {&a, &b}) {
    leaf->Expandable(true, false);
    leaf->minWidth = 60;
  }
  row.Add(a).Add(fixed).Add(b);
  ASSERT_EQ(170, row.Arrangements()[0].MinWidth());
  // Between minimum and preferred: shrunk in proportion.
  EXPECT_EQ((Size{180, 20}), row.Arrange(Box{0, 0, 180, 20}));
  EXPECT_EQ(65, a.Last().width);
  EXPECT_EQ((Box{65, 0, 50, 20}), fixed.Last());
  EXPECT_EQ((Box{115, 0, 65, 20}), b.Last());
  // Below the minimum: held at their minimums; the row reports what it really used.
  EXPECT_EQ((Size{170, 20}), row.Arrange(Box{0, 0, 150, 20}));
  EXPECT_EQ((Box{0, 0, 60, 20}), a.Last());
  EXPECT_EQ((Box{110, 0, 60, 20}), b.Last());
  row.look.horizontalAlignment = kAlignRight;
  row.Arrange(Box{0, 0, 150, 20});
  EXPECT_EQ(-20, a.Last().x) << "right-aligned content too wide sticks out on the left";
}

TEST(RowDistribution, ItemsWithMinimumBelowPreferredFitTheirMinimum) {
  TestGroup<Row> row;
  Leaf a(100, 20), b(40, 20);
  a.Expandable(true, false);
  a.minWidth = 30;
  row.Add(a).Add(b);
  row.look.SetMargins(7, 0, 3, 0);
  float const minimum = row.Arrangements()[0].MinWidth();
  ASSERT_EQ(80, minimum);
  row.Arrange(Box{0, 0, minimum, 20});
  EXPECT_TRUE(Near(Box{7, 0, 30, 20}, a.Last()));
  EXPECT_TRUE(Near(Box{37, 0, 40, 20}, b.Last()));
}

TEST(RowDistribution, LayoutIsReusedForTheSameSize) {
  TestGroup<Row> row;
  Leaf a(50, 20);
  a.Expandable(true, false);
  row.Add(a);
  row.Arrange(Box{0, 0, 200, 40});
  int const queries = a.expandedQueries;
  row.Arrange(Box{10, 10, 200, 40});
  row.Arrange(Box{0, 0, 200.00005f, 40});
  EXPECT_EQ(queries, a.expandedQueries) << "laid out once for sizes within 0.0001";
  EXPECT_EQ((Box{0, 0, 200, 20}), a.Last());
  row.Arrange(Box{0, 0, 201, 40});
  EXPECT_GT(a.expandedQueries, queries);
  EXPECT_EQ(201, a.Last().width);
}

// ---- alignment and margins ----------------------------------------------------------------

TEST(RowAlignment, MarginsSpacingAndEveryAlignment) {
  struct Case {
    int horizontal, vertical;
    float rowX, aY, bY, positionY;
  };
  // Inner area: x 110..380 (270 wide), y 205..265 (60 high); content 84 wide, cells 20 and 10.
  Case const cases[] = {
      {kAlignLeft, kAlignTop, 110, 205, 205, 205},
      {kAlignHorizontalCenter, kAlignVerticalCenter, 110 + 93, 225, 230, 225},
      {kAlignRight, kAlignBottom, 110 + 186, 245, 255, 245},
      {7, 9, 110, 205, 205, 205},  // unknown values count as left and top
  };
  for (Case const& c : cases) {
    SCOPED_TRACE(c.horizontal);
    TestGroup<Row> row;
    Leaf a(50, 20), b(30, 10);
    row.Add(a).Add(b);
    row.look.SetMargins(10, 5, 20, 15);
    row.look.horizontalSpacing = 4;
    row.look.horizontalAlignment = c.horizontal;
    row.look.verticalAlignment = c.vertical;
    EXPECT_EQ((Size{300, 80}), row.Arrange(Box{100, 200, 300, 80})) << "margins included";
    EXPECT_EQ((Box{c.rowX, c.aY, 50, 20}), a.Last());
    EXPECT_EQ((Box{c.rowX + 54, c.bY, 30, 10}), b.Last());
    EXPECT_EQ((Size{c.rowX, c.positionY}), row.record.positions.back());
    EXPECT_EQ((Size{270, 60}), row.record.dimensions.back());
  }
}

TEST(RowAlignment, ExpandableChildFillsTheInnerArea) {
  TestGroup<Row> row;
  Leaf a(50, 20), b(30, 10);
  b.Expandable(true, true);
  row.Add(a).Add(b);
  row.look.SetMargins(10, 5, 20, 15);
  row.look.horizontalSpacing = 4;
  row.look.horizontalAlignment = kAlignRight;  // nothing left over to align
  row.Arrange(Box{100, 200, 300, 80});
  EXPECT_EQ((Box{110, 205, 50, 20}), a.Last());
  EXPECT_EQ((Box{164, 205, 216, 60}), b.Last());
}

TEST(ColumnAlignment, MarginsSpacingAndAlignment) {
  TestGroup<Column> column;
  Leaf a(50, 20), b(30, 10);
  b.Expandable(false, true);
  b.maxHeight = 40;
  column.Add(a).Add(b);
  column.look.SetMargins(10, 5, 20, 15);
  column.look.verticalSpacing = 6;
  column.look.horizontalSpacing = 100;  // not used by a column
  column.look.horizontalAlignment = kAlignHorizontalCenter;
  column.look.verticalAlignment = kAlignBottom;
  // Inner: x 10..280 (270), y 5..205 (200). b is capped at 40: 66 used, 134 left over.
  EXPECT_EQ((Size{300, 220}), column.Arrange(Box{0, 0, 300, 220}));
  EXPECT_EQ((Box{10 + 110, 5 + 134, 50, 20}), a.Last());
  EXPECT_EQ((Box{10 + 120, 5 + 134 + 26, 30, 40}), b.Last());
  EXPECT_EQ((Size{120, 139}), column.record.positions.back());
}

// A column is a row with the axes exchanged: the same random scenarios, transposed, give
// transposed rectangles.
TEST(ColumnAlignment, ColumnIsTheTransposedRow) {
  std::mt19937 random(11);
  std::uniform_int_distribution<int> size(5, 60), small(0, 6), alignment(0, 2), coin(0, 1);
  for (int round = 0; round < 100; ++round) {
    SCOPED_TRACE(round);
    TestGroup<Row> row;
    TestGroup<Column> column;
    std::vector<std::unique_ptr<Leaf> > rowLeaves, columnLeaves;
    int const count = 1 + small(random) % 5;
    for (int i = 0; i < count; ++i) {
      float const w = static_cast<float>(size(random)), h = static_cast<float>(size(random));
      bool const expandsAlong = coin(random), expandsAcross = coin(random);
      float const cap = coin(random) ? static_cast<float>(size(random) * 2) : kUnlimited;
      rowLeaves.emplace_back(new Leaf(w, h));
      rowLeaves.back()->Expandable(expandsAlong, expandsAcross).maxWidth = cap;
      rowLeaves.back()->minWidth = w / 2;
      columnLeaves.emplace_back(new Leaf(h, w));
      columnLeaves.back()->Expandable(expandsAcross, expandsAlong).maxHeight = cap;
      columnLeaves.back()->minHeight = w / 2;
      row.Add(*rowLeaves.back());
      column.Add(*columnLeaves.back());
    }
    row.look.horizontalSpacing = column.look.verticalSpacing = static_cast<float>(small(random));
    row.look.horizontalAlignment = column.look.verticalAlignment = alignment(random);
    row.look.verticalAlignment = column.look.horizontalAlignment = alignment(random);
    float const m1 = static_cast<float>(small(random)), m2 = static_cast<float>(small(random));
    float const m3 = static_cast<float>(small(random)), m4 = static_cast<float>(small(random));
    row.look.SetMargins(m1, m2, m3, m4);
    column.look.SetMargins(m2, m1, m4, m3);
    Box const rect{static_cast<float>(small(random)), static_cast<float>(small(random)),
                   static_cast<float>(size(random) * 4), static_cast<float>(size(random))};
    Size const rowUsed = row.Arrange(rect);
    Size const columnUsed = column.Arrange(Transposed(rect));
    EXPECT_EQ(rowUsed.x, columnUsed.y);
    EXPECT_EQ(rowUsed.y, columnUsed.x);
    for (int i = 0; i < count; ++i)
      EXPECT_EQ(rowLeaves[i]->Last(), Transposed(columnLeaves[i]->Last())) << i;
  }
}

// ---- separators and slack -----------------------------------------------------------------

TEST(RowSeparators, NullEntriesLeaveTheirGapEmpty) {
  TestGroup<Row> row;
  Leaf a(50, 20), b(30, 10), c(20, 30);
  row.Add(a).Add(b).Add(c);
  row.look.horizontalSpacing = 6;
  row.look.verticalAlignment = kAlignVerticalCenter;
  row.look.separators = true;
  row.look.noSeparatorAt = {1};
  row.Arrange(Box{0, 0, 300, 40});
  ASSERT_EQ(1u, row.record.placements.size());
  Placement const& p = row.record.placements[0];
  EXPECT_EQ(0, p.separator);
  EXPECT_EQ(0, p.orientation);
  // Between a (y 10, 20 high) and b (y 15, 10 high): as high as the shorter one, b.
  EXPECT_EQ((Box{50, 15, 6, 10}), p.rect);
  EXPECT_EQ(1, row.record.clears);
}

TEST(ColumnSeparators, PlacedAcrossTheGapWithOrientationOne) {
  TestGroup<Column> column;
  Leaf a(50, 20), b(30, 10);
  column.Add(a).Add(b);
  column.look.verticalSpacing = 4;
  column.look.horizontalAlignment = kAlignRight;
  column.look.separators = true;
  column.Arrange(Box{0, 0, 100, 100});
  ASSERT_EQ(1u, column.record.placements.size());
  EXPECT_EQ(1, column.record.placements[0].orientation);
  EXPECT_EQ((Box{70, 20, 30, 4}), column.record.placements[0].rect);
}

TEST(RowSlack, MarginStripsSpacingLeftoverAndChildrenSlack) {
  TestGroup<Row> row;
  Leaf a(50, 20), b(30, 20);
  row.Add(a).Add(b);
  row.look.horizontalSpacing = 4;
  IArrangement& r = row.Arrangements()[0];
  // 200 x 40: left over (200 - 84) * 40, spacing 4 * 40, children 50 * 20 and 30 * 20.
  EXPECT_EQ(4640 + 160 + 1000 + 600, r.SlackArea(Size{200, 40}));
  row.look.SetMargins(10, 5, 10, 5);
  row.Invalidate();
  IArrangement& withMargins = row.Arrangements()[0];
  // Plus the margin strips: 10 * 220 + 20 * 50.
  EXPECT_EQ(6400 + 2200 + 1000, withMargins.SlackArea(Size{220, 50}));
}

}  // namespace
}  // namespace testing
}  // namespace arrange
}  // namespace vireo
