// The layout engine on two realistic loads.
//
//   PanelDrag        a column of 30 rows (label, expandable field, two buttons), arranged in
//                    50 successive widths as a user drags a window edge; per_pass is the time
//                    of one Arrange
//   PanelFirstPass   the same panel rebuilt from scratch and arranged once
//   AutoLayout/n     an automatic group of n fixed-size items: its set built (every wrapping
//                    of the items, horizontal and vertical) and arranged once. kept is the
//                    number of candidates the set keeps; cuts the number of cuts considered
//   EveryCut/n       the peer of AutoLayout/n: every cut made as an arrangement and offered to
//                    a set in the same order, as a plain enumeration would; it ends with the
//                    same set
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "vireo/arrange/ArrangeableGroup.h"
#include "vireo/arrange/GroupArrangement.h"
#include "vireo/arrange/Single.h"

#include "tests/arrange/EveryCut.h"

namespace {

using vireo::arrange::AutoLayout;
using vireo::arrange::Column;
using vireo::arrange::IArrangeable;
using vireo::arrange::Row;
using vireo::arrange::Single;
using vireo::arrange::impl::ArrangementSet;
using vireo::arrange::impl::IArrangement;
typedef vireo::geom::PointT<float> Size;
typedef vireo::geom::RectT<float> Box;

class Item : public Single {
 public:
  Item(float inWidth, float inHeight, bool inExpandable)
      : Single(nullptr), width_(inWidth), height_(inHeight), expandable_(inExpandable) {}
  float PreferredWidth() override { return width_; }
  float PreferredHeight() override { return height_; }
  float MinWidth() override { return expandable_ ? width_ / 3 : width_; }
  bool HorizontallyExpandable() override { return expandable_; }
  Size ArrangeSelf(Box const& inRect) override {
    placed_ = inRect;
    return Size{inRect.width, inRect.height};
  }
  Box const& Placed() const { return placed_; }

 private:
  float width_, height_;
  bool expandable_;
  Box placed_{0, 0, 0, 0};
};

template <class Kind>
class Group : public Kind {
 public:
  Group() : Kind(nullptr) {}
  void Add(IArrangeable& inChild) { children_.push_back(&inChild); }
  bool VisitChildren(boost::function<bool(IArrangeable&)> inVisit) override {
    for (IArrangeable* child : children_)
      if (!inVisit(*child)) return false;
    return true;
  }
  float HorizontalSpacing() const override { return spacing_; }
  float VerticalSpacing() const override { return spacing_; }
  float LeftMargin() const override { return margin_; }
  float RightMargin() const override { return margin_; }
  float TopMargin() const override { return margin_; }
  float BottomMargin() const override { return margin_; }

  float spacing_ = 4, margin_ = 0;

 private:
  std::vector<IArrangeable*> children_;
};

struct Panel {
  Panel() {
    panel.margin_ = 8;
    for (int i = 0; i < 30; ++i) {
      rows.emplace_back(new Group<Row>);
      Group<Row>& row = *rows.back();
      for (auto* item : {new Item(90, 20, false), new Item(160, 22, true), new Item(64, 24, false),
                         new Item(64, 24, false)}) {
        items.emplace_back(item);
        row.Add(*item);
      }
      panel.Add(row);
    }
  }
  Group<Column> panel;
  std::vector<std::unique_ptr<Group<Row> > > rows;
  std::vector<std::unique_ptr<Item> > items;
};

void PanelDrag(benchmark::State& state) {
  Panel p;
  p.panel.Arrange(Box{0, 0, 700, 900});
  constexpr int kWidths = 50;
  for (auto _ : state) {
    for (int i = 0; i < kWidths; ++i)
      benchmark::DoNotOptimize(p.panel.Arrange(Box{0, 0, 700.0f - 6.5f * i, 900}));
  }
  state.counters["per_pass"] = benchmark::Counter(
      kWidths, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(PanelDrag);

void PanelFirstPass(benchmark::State& state) {
  Panel p;
  p.panel.Arrange(Box{0, 0, 700, 900});
  for (auto _ : state) {
    p.panel.EnableArrangement(false);
    for (auto& item : p.items) item->Invalidate();
    p.panel.EnableArrangement(true);  // rebuilds every set and arranges once
  }
}
BENCHMARK(PanelFirstPass);

// n fixed items of assorted sizes.
std::vector<std::unique_ptr<Item> > Items(int inCount) {
  std::vector<std::unique_ptr<Item> > items;
  for (int i = 0; i < inCount; ++i)
    items.emplace_back(new Item(40.0f + (i * 37) % 60, 20.0f + (i * 23) % 30, false));
  return items;
}

void AutoLayoutBuild(benchmark::State& state) {
  int const n = static_cast<int>(state.range(0));
  std::vector<std::unique_ptr<Item> > items = Items(n);
  Group<AutoLayout> group;
  for (auto& item : items) group.Add(*item);
  group.Arrange(Box{0, 0, 400, 300});
  for (auto _ : state) {
    group.EnableArrangement(false);
    group.Invalidate();
    group.EnableArrangement(true);  // rebuild and arrange
  }
  state.counters["kept"] = static_cast<double>(group.Arrangements().Size());
  state.counters["cuts"] = 2.0 * static_cast<double>(1u << (n - 1));
}
BENCHMARK(AutoLayoutBuild)->Name("AutoLayout")->Arg(8)->Arg(12)->Arg(16)->Unit(benchmark::kMicrosecond);

void EveryCut(benchmark::State& state) {
  int const n = static_cast<int>(state.range(0));
  std::vector<std::unique_ptr<Item> > items = Items(n);
  Group<AutoLayout> group;
  for (auto& item : items) group.Add(*item);
  std::vector<boost::intrusive_ptr<IArrangement> > children;
  for (auto& item : items) children.push_back(&item->Arrangements()[0]);
  vireo::arrange::impl::AbstractArrangeableGroup& asGroup =
      static_cast<vireo::arrange::HorizontalWrapping&>(group);
  std::size_t kept = 0;
  for (auto _ : state) {
    ArrangementSet set;
    vireo::arrange::testing::OfferEveryCut(asGroup, set, children, true);
    vireo::arrange::testing::OfferEveryCut(asGroup, set, children, false);
    for (auto const& candidate : set) candidate->Prepare();
    benchmark::DoNotOptimize(set.Arrange(Box{0, 0, 400, 300}));
    kept = set.Size();
  }
  state.counters["kept"] = static_cast<double>(kept);
}
BENCHMARK(EveryCut)->Arg(8)->Arg(12)->Arg(16)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
