// The plain enumeration of a wrapping group's candidates: every cut of the children into
// lines, in order, each made as an arrangement and offered to the set. The library makes only
// the candidates the set keeps; the tests check it ends with the same set, and the benchmark
// measures it against this.
#ifndef VIREO_TESTS_ARRANGE_EVERYCUT_H
#define VIREO_TESTS_ARRANGE_EVERYCUT_H

#include <cstddef>
#include <functional>
#include <vector>

#include "vireo/arrange/ArrangeableGroup.h"
#include "vireo/arrange/GroupArrangement.h"

namespace vireo {
namespace arrange {
namespace testing {

// Cuts into 1 line, then 2, ... n; within a line count, the first line's length grows first.
// inRows: rows stacked in a column (horizontal wrapping), else columns in a row.
inline void OfferEveryCut(impl::AbstractArrangeableGroup& inGroup, impl::ArrangementSet& ioSet,
                          std::vector<boost::intrusive_ptr<impl::IArrangement> > const& inChildren,
                          bool inRows) {
  typedef std::vector<boost::intrusive_ptr<impl::IArrangement> > List;
  std::size_t const n = inChildren.size();
  std::vector<std::size_t> lengths;
  std::function<void(std::size_t, std::size_t)> cut = [&](std::size_t start, std::size_t left) {
    if (left == 1) {
      lengths.push_back(n - start);
      List lines;
      std::size_t at = 0;
      for (std::size_t length : lengths) {
        List members(inChildren.begin() + at, inChildren.begin() + at + length);
        at += length;
        if (inRows)
          lines.push_back(new impl::RowArrangement(inGroup, members, {}, false));
        else
          lines.push_back(new impl::ColumnArrangement(inGroup, members, {}, false));
      }
      if (inRows)
        ioSet.AddArrangement(new impl::ColumnArrangement(inGroup, lines, {}, true));
      else
        ioSet.AddArrangement(new impl::RowArrangement(inGroup, lines, {}, true));
      lengths.pop_back();
      return;
    }
    for (std::size_t length = 1; length <= n - start - left + 1; ++length) {
      lengths.push_back(length);
      cut(start + length, left - 1);
      lengths.pop_back();
    }
  };
  for (std::size_t lines = 1; lines <= n; ++lines) cut(0, lines);
}

}  // namespace testing
}  // namespace arrange
}  // namespace vireo

#endif
