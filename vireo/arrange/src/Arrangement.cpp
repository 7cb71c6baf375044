#include "vireo/arrange/Arrangement.h"

#include <algorithm>
#include <cmath>

namespace vireo {
namespace arrange {

ISeparator::~ISeparator() = default;

namespace impl {

namespace {

constexpr float kGoldenRatio = 1.6180340051651f;

float GoldenDistance(IArrangement& inArrangement) {
  return std::fabs(inArrangement.PreferredWidth() / inArrangement.PreferredHeight() -
                   kGoldenRatio);
}

// a is no larger than b: neither minimum dimension of a exceeds b's.
bool NoLarger(float inWidthA, float inHeightA, float inWidthB, float inHeightB) {
  return inWidthA <= inWidthB && inHeightA <= inHeightB;
}

}  // namespace

IArrangement::~IArrangement() = default;

float IArrangement::OverflowArea(geom::PointT<float> const& inSize) {
  float const minWidth = MinWidth();
  float const minHeight = MinHeight();
  return minHeight * std::max(0.0f, minWidth - inSize.x) +
         minWidth * std::max(0.0f, minHeight - inSize.y);
}

float IArrangement::SlackArea(geom::PointT<float> const& inSize) {
  return inSize.x * inSize.y - ExpandedWidth(inSize.x) * ExpandedHeight(inSize.y);
}

ArrangementSet::ArrangementSet() = default;

ArrangementSet::~ArrangementSet() = default;

bool ArrangementSet::WouldKeep(float inMinWidth, float inMinHeight) const {
  for (std::size_t i = 0; i < members_.size(); ++i) {
    if (NoLarger(inMinWidth, inMinHeight, minWidths_[i], minHeights_[i])) return true;
    if (NoLarger(minWidths_[i], minHeights_[i], inMinWidth, inMinHeight)) return false;
  }
  return true;
}

bool ArrangementSet::Dominates(float inMinWidth, float inMinHeight) const {
  for (std::size_t i = 0; i < members_.size(); ++i) {
    if (NoLarger(minWidths_[i], minHeights_[i], inMinWidth, inMinHeight) &&
        !NoLarger(inMinWidth, inMinHeight, minWidths_[i], minHeights_[i]))
      return true;
  }
  return false;
}

void ArrangementSet::AddArrangement(boost::intrusive_ptr<IArrangement> inArrangement) {
  if (!inArrangement) return;
  float const width = inArrangement->MinWidth();
  float const height = inArrangement->MinHeight();
  if (!WouldKeep(width, height)) return;
  std::size_t kept = 0;
  for (std::size_t i = 0; i < members_.size(); ++i) {
    if (NoLarger(width, height, minWidths_[i], minHeights_[i])) continue;
    if (kept != i) {
      members_[kept] = std::move(members_[i]);
      minWidths_[kept] = minWidths_[i];
      minHeights_[kept] = minHeights_[i];
    }
    ++kept;
  }
  members_.resize(kept);
  minWidths_.resize(kept);
  minHeights_.resize(kept);
  members_.push_back(std::move(inArrangement));
  minWidths_.push_back(width);
  minHeights_.push_back(height);
}

void ArrangementSet::Clear() {
  members_.clear();
  minWidths_.clear();
  minHeights_.clear();
}

IArrangement* ArrangementSet::Choose(geom::PointT<float> const& inSize) const {
  if (members_.empty()) return nullptr;
  float const w = inSize.x, h = inSize.y;
  auto fits = [w, h](IArrangement& a) { return a.MinWidth() <= w && a.MinHeight() <= h; };

  // What is known of the current choice is kept, so that each candidate's overflow or slack
  // is computed once: a group's SlackArea lays out its cells.
  IArrangement* choice = members_.front().get();
  bool choiceFits = fits(*choice);
  bool haveMeasure = false;  // choiceMeasure holds the choice's overflow or slack
  float choiceMeasure = 0;

  for (std::size_t i = 1; i < members_.size(); ++i) {
    IArrangement& candidate = *members_[i];
    bool const candidateFits = fits(candidate);
    if (candidateFits && !choiceFits) {
      choice = &candidate;
      choiceFits = true;
      haveMeasure = false;
    } else if (!candidateFits && !choiceFits) {
      if (!haveMeasure) choiceMeasure = choice->OverflowArea(inSize);
      haveMeasure = true;
      float const overflow = candidate.OverflowArea(inSize);
      if (overflow < choiceMeasure) {
        choice = &candidate;
        choiceMeasure = overflow;
      }
    } else if (candidateFits && choiceFits) {
      if (!haveMeasure) choiceMeasure = choice->SlackArea(inSize);
      haveMeasure = true;
      float const slack = candidate.SlackArea(inSize);
      bool better = slack < choiceMeasure;
      if (!better && slack == choiceMeasure) {
        float const area = candidate.MinWidth() * candidate.MinHeight();
        float const choiceArea = choice->MinWidth() * choice->MinHeight();
        better = area < choiceArea ||
                 (area == choiceArea && GoldenDistance(candidate) < GoldenDistance(*choice));
      }
      if (better) {
        choice = &candidate;
        choiceMeasure = slack;
      }
    }
  }
  return choice;
}

geom::PointT<float> ArrangementSet::Arrange(geom::RectT<float> const& inRect) const {
  boost::intrusive_ptr<IArrangement> chosen(Choose(geom::PointT<float>{inRect.width, inRect.height}));
  if (!chosen) return geom::PointT<float>{0, 0};
  return chosen->Arrange(inRect);
}

geom::PointT<float> ArrangementSet::BestSize() const {
  if (members_.empty()) return geom::PointT<float>{0, 0};
  IArrangement* best = members_.front().get();
  float bestDistance = GoldenDistance(*best);
  for (std::size_t i = 1; i < members_.size(); ++i) {
    float const distance = GoldenDistance(*members_[i]);
    if (distance < bestDistance) {
      best = members_[i].get();
      bestDistance = distance;
    }
  }
  return geom::PointT<float>{best->MinWidth(), best->MinHeight()};
}

}  // namespace impl
}  // namespace arrange
}  // namespace vireo
