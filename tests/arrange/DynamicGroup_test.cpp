// DynamicGroup: the hosted kinds, type changes at the root and inside a tree, forwarding.
#include "vireo/arrange/DynamicGroup.h"

#include <gtest/gtest.h>

#include "tests/arrange/ArrangeFixture.h"

namespace vireo {
namespace arrange {
namespace testing {
namespace {

struct Three {
  Leaf a{100, 20}, b{100, 20}, c{100, 20};
  template <class Group>
  void AddTo(Group& inGroup) {
    inGroup.Add(a).Add(b).Add(c);
  }
};

TEST(DynamicGroupKinds, EachTypeHostsItsKind) {
  Three items;
  TestDynamicGroup group(nullptr, kGroupRow);
  items.AddTo(group);
  EXPECT_NE(nullptr, dynamic_cast<Row*>(group.Arrangeable()));
  EXPECT_EQ(nullptr, dynamic_cast<Column*>(group.Arrangeable()));
  group.SetArrangementType(kGroupColumn, nullptr);
  EXPECT_NE(nullptr, dynamic_cast<Column*>(group.Arrangeable()));
  group.SetArrangementType(kGroupFlipping, nullptr);
  EXPECT_NE(nullptr, dynamic_cast<Flipping*>(group.Arrangeable()));
  group.SetArrangementType(kGroupHorizontalWrapping, nullptr);
  EXPECT_NE(nullptr, dynamic_cast<HorizontalWrapping*>(group.Arrangeable()));
  EXPECT_EQ(nullptr, dynamic_cast<AutoLayout*>(group.Arrangeable()));
  group.SetArrangementType(kGroupVerticalWrapping, nullptr);
  EXPECT_NE(nullptr, dynamic_cast<VerticalWrapping*>(group.Arrangeable()));
  group.SetArrangementType(kGroupAutoLayout, nullptr);
  EXPECT_NE(nullptr, dynamic_cast<AutoLayout*>(group.Arrangeable()));
  EXPECT_EQ(kGroupAutoLayout, group.ArrangementType());
  // The hosted group asks the host for its appearance and children.
  auto* hosted = dynamic_cast<HostedGroup<AutoLayout, DynamicGroup>*>(group.Arrangeable());
  ASSERT_NE(nullptr, hosted);
  EXPECT_EQ(&group, hosted->GetHost());
  group.look.left = 9;
  EXPECT_EQ(9, hosted->LeftMargin());
  EXPECT_EQ(3u, hosted->Arrangements().Size());
}

TEST(DynamicGroupKinds, ChangingTypeAtTheRootRearrangesOnceInTheSameRectangle) {
  Three items;
  TestDynamicGroup group(nullptr, kGroupRow);
  items.AddTo(group);
  group.look.horizontalSpacing = 5;
  group.look.verticalSpacing = 2;
  group.Arrangeable()->Arrange(Box{0, 0, 400, 100});
  EXPECT_EQ((Box{210, 0, 100, 20}), items.c.Last());
  IArrangeable* const before = group.Arrangeable();

  group.SetArrangementType(kGroupColumn, nullptr);
  EXPECT_NE(before, group.Arrangeable());
  EXPECT_EQ(kGroupColumn, group.ArrangementType());
  ASSERT_EQ(2u, items.c.rects.size()) << "rearranged once";
  EXPECT_EQ((Box{0, 44, 100, 20}), items.c.Last());
  EXPECT_EQ(group.Arrangeable(), items.a.Parent());
  EXPECT_EQ((Box{0, 0, 400, 100}), group.Arrangeable()->LastRectangle());
  EXPECT_EQ(2u, group.record.positions.size()) << "the host is told by each kind in turn";
}

TEST(DynamicGroupKinds, SameTypeChangesNothingAndUnknownTypeKeepsTheGroup) {
  Three items;
  TestDynamicGroup group(nullptr, kGroupFlipping);
  items.AddTo(group);
  group.Arrangeable()->Arrange(Box{0, 0, 120, 100});
  IArrangeable* const hosted = group.Arrangeable();
  group.SetArrangementType(kGroupFlipping, nullptr);
  EXPECT_EQ(hosted, group.Arrangeable());
  EXPECT_EQ(1u, items.a.rects.size());
  EXPECT_TRUE(hosted->IsBuilt());

  group.SetArrangementType(static_cast<GroupArrangementType>(9), nullptr);
  EXPECT_EQ(hosted, group.Arrangeable()) << "nothing was created";
  EXPECT_EQ(9, group.ArrangementType());
  EXPECT_EQ(2u, items.a.rects.size()) << "the type changed, so the group was invalidated";
}

// A column holding a title and a toolbar whose kind changes; it lists whatever group the
// toolbar hosts at the time.
class Window : public TestGroup<Column> {
 public:
  Window() : toolbar(this, kGroupRow) { items.AddTo(toolbar); }
  bool VisitChildren(boost::function<bool(IArrangeable&)> inVisit) override {
    return inVisit(title) && inVisit(*toolbar.Arrangeable());
  }
  Leaf title{300, 30};
  Three items;
  TestDynamicGroup toolbar;
};

TEST(DynamicGroupKinds, ChangingTypeInsideATreeRebuildsTheParentAndRearrangesOnce) {
  Window window;
  window.Arrange(Box{0, 0, 400, 200});
  EXPECT_EQ((Box{200, 30, 100, 20}), window.items.c.Last());
  EXPECT_EQ(&window, window.toolbar.Arrangeable()->Parent());

  window.toolbar.SetArrangementType(kGroupColumn, nullptr);
  EXPECT_EQ(&window, window.toolbar.Arrangeable()->Parent()) << "the old group's parent";
  EXPECT_EQ(2u, window.title.rects.size());
  EXPECT_EQ((Box{0, 70, 100, 20}), window.items.c.Last());

  // Disabled, the change waits for the next enabling.
  window.EnableArrangement(false);
  window.toolbar.SetArrangementType(kGroupFlipping, nullptr);
  EXPECT_FALSE(window.IsBuilt()) << "its candidates held the old group's";
  EXPECT_EQ(2u, window.title.rects.size());
  window.EnableArrangement(true);
  EXPECT_EQ(3u, window.title.rects.size());
  EXPECT_EQ((Box{200, 30, 100, 20}), window.items.c.Last()) << "the flipping group's row";
}

TEST(DynamicGroupKinds, ForwardedOperations) {
  Three items;
  TestDynamicGroup group(nullptr, kGroupColumn);
  items.AddTo(group);
  EXPECT_EQ((Size{100, 60}), group.BestSize());
  group.Arrangeable()->Arrange(Box{0, 0, 100, 100});
  EXPECT_TRUE(group.ArrangementEnabled());
  group.Rearrange();
  EXPECT_EQ(2u, items.a.rects.size());
  group.Invalidate();
  EXPECT_EQ(3u, items.a.rects.size());
  group.EnableArrangement(false);
  EXPECT_FALSE(group.ArrangementEnabled());
  group.Invalidate();
  EXPECT_EQ(3u, items.a.rects.size());
  // A type change keeps a disabled root disabled.
  group.SetArrangementType(kGroupRow, nullptr);
  EXPECT_FALSE(group.ArrangementEnabled());
  EXPECT_EQ(3u, items.a.rects.size());
  group.EnableArrangement(true);
  EXPECT_EQ((Box{200, 0, 100, 20}), items.c.Last());
}

TEST(DynamicGroupKinds, HostAnswersMarginsAndIsToldWhereItWent) {
  Leaf a(50, 20), b(50, 20);
  TestDynamicGroup group(nullptr, kGroupRow);
  group.Add(a).Add(b);
  group.look.SetMargins(3, 4, 5, 6);
  group.look.separators = true;
  group.Arrangeable()->Arrange(Box{0, 0, 200, 50});
  EXPECT_EQ((Box{3, 4, 50, 20}), a.Last());
  EXPECT_EQ((std::vector<Size>{{3, 4}}), group.record.positions);
  EXPECT_EQ((std::vector<Size>{{192, 40}}), group.record.dimensions);
  ASSERT_EQ(1u, group.record.placements.size());
  EXPECT_EQ(1, group.record.clears);
}

}  // namespace
}  // namespace testing
}  // namespace arrange
}  // namespace vireo
