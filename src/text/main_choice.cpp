#include "text/main_choice.h"

#include <algorithm>
#include <cmath>

#include "text/main_blocks.h"
#include "text/main_features.h"

namespace pagelift {

std::size_t MainChoosing::StepOf(float margin) {
  // The log-odds at which each step begins: step k holds the probabilities from k/4096.
  static const std::vector<float> bounds = [] {
    std::vector<float> b(kSteps - 1);
    for (std::size_t k = 1; k < kSteps; ++k) {
      b[k - 1] =
          static_cast<float>(std::log(static_cast<double>(k) / static_cast<double>(kSteps - k)));
    }
    return b;
  }();
  return static_cast<std::size_t>(std::upper_bound(bounds.begin(), bounds.end(), margin) -
                                  bounds.begin());
}

void MainChoosing::Add(const MainUnit& unit) {
  const std::size_t step = StepOf(unit.margin);
  const double probability = (static_cast<double>(step) + 0.5) / kSteps;
  words_[step] += unit.words;
  main_[step] += probability * unit.words;
  expected_ += probability * unit.words;
  if (unit.prose) prose_ += unit.words;
}

void MainChoosing::Finish(const MainChoice& choice) {
  // Keeping the units of the highest probability first, the expected F1 of those kept is
  // 2 E[kept words of main text] / (kept words + E[words of main text]): keep down to the step
  // where it is highest.
  double kept = 0, kept_main = 0, best = -1, best_kept = 0;
  for (std::size_t step = kSteps; step-- > 0;) {
    if (words_[step] == 0) continue;
    kept += words_[step];
    kept_main += main_[step];
    const double f1 = 2 * kept_main / (kept + expected_);
    if (f1 > best) {
      best = f1;
      lowest_step_ = step;
      best_kept = kept;
    }
  }
  expected_f1_ = std::max(best, 0.0);
  stands_out_ = lowest_step_ < kSteps && expected_f1_ >= choice.least_f1;
  if (!stands_out_) return;
  // Never much less than the page's prose: take more steps down until there is enough.
  const double least = double{choice.least_share} * prose_;
  while (lowest_step_ > 0 && best_kept < least) best_kept += words_[--lowest_step_];
}

bool MainChoosing::Keeps(float margin) const {
  return stands_out_ && StepOf(margin) >= lowest_step_;
}

MainParts ChooseMainParts(const html::Document& document, std::u16string_view title,
                          const MainModel& model) {
  const MainBlocks blocks(document);
  const MainFeatures features(blocks, title);
  const std::size_t count = features.units().size();
  std::vector<float> unit_margins(count);
  MainChoosing choosing;
  // The units are weighed a batch at a time, the features of a batch in a buffer that the
  // cache holds.
  constexpr std::size_t kBatch = 64;
  std::vector<float> values(kBatch * kMainFeatureCount);
  std::vector<MainUnit> batch(kBatch);
  std::vector<float> margins(kBatch);
  for (std::size_t first = 0; first < count; first += kBatch) {
    const std::size_t size = std::min(kBatch, count - first);
    for (std::size_t k = 0; k < size; ++k) {
      const float* x = values.data() + k * kMainFeatureCount;
      features.Of(first + k, values.data() + k * kMainFeatureCount);
      const auto value = [&](MainFeature f) { return x[static_cast<std::size_t>(f)]; };
      batch[k].words = std::max(value(MainFeature::kWords), 1.0f);
      batch[k].prose =
          value(MainFeature::kText) * (1 - value(MainFeature::kLinkShare)) >= kProseText &&
          value(MainFeature::kMarkShare) > 0;
    }
    model.Margins(values.data(), kMainFeatureCount, size, margins.data());
    for (std::size_t k = 0; k < size; ++k) {
      batch[k].margin = margins[k];
      unit_margins[first + k] = margins[k];
      choosing.Add(batch[k]);
    }
  }
  choosing.Finish(model.choice());
  std::vector<bool> keep(blocks.blocks().size(), false);
  for (std::size_t i = 0; i < count; ++i) {
    keep[features.units()[i]] = choosing.Keeps(unit_margins[i]);
  }
  return MainParts(blocks, keep);
}

}  // namespace pagelift
