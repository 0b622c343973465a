#include "text/main_model.h"

#include <algorithm>
#include <sstream>
#include <string_view>

#include "text/main_features.h"

namespace pagelift {

namespace {

#include "text/main_model_table.inc"

constexpr bool SameFeatures() {
  if (std::size(kMainModelFeatures) != kMainFeatureCount) return false;
  for (std::size_t i = 0; i < kMainFeatureCount; ++i) {
    if (kMainModelFeatures[i] != std::string_view(kMainFeatureNames[i])) return false;
  }
  return true;
}
static_assert(SameFeatures(),
              "main_model_table.inc was made for other features: run scripts/main_model/train.py");
static_assert(kMainFeatureCount <= 256, "a node names its feature in a byte");

// The depths the program weighs trees of.
constexpr std::size_t kLeastDepth = 1;
constexpr std::size_t kMostDepth = 8;

std::size_t Inner(std::size_t depth) {
  return (std::size_t{1} << depth) - 1;
}

}  // namespace

MainModel::MainModel(Trees trees, MainChoice choice) : trees_(trees), choice_(choice) {}

MainModel::MainModel(std::vector<std::uint8_t> features, std::vector<float> values,
                     std::vector<float> leaves, std::size_t depth, std::size_t count,
                     MainChoice choice)
    : owned_features_(std::move(features)),
      owned_values_(std::move(values)),
      owned_leaves_(std::move(leaves)),
      trees_{depth, count, owned_features_, owned_values_, owned_leaves_},
      choice_(choice) {}

const MainModel& MainModel::Compiled() {
  static_assert(kMainModelDepth >= kLeastDepth && kMainModelDepth <= kMostDepth);
  static const MainModel model(
      {kMainModelDepth, kMainModelTrees,
       std::span(kMainModelNodeFeatures, kMainModelTrees * Inner(kMainModelDepth)),
       std::span(kMainModelNodeValues, kMainModelTrees * Inner(kMainModelDepth)),
       std::span(kMainModelLeaves, kMainModelTrees * (Inner(kMainModelDepth) + 1))},
      {kMainModelLeastF1, kMainModelLeastShare});
  return model;
}

template <std::size_t kDepth>
void MainModel::MarginsOfDepth(const float* features, std::size_t stride, std::size_t count,
                               float* margins) const {
  constexpr std::size_t kInner = (std::size_t{1} << kDepth) - 1;
  for (std::size_t t = 0; t < trees_.count; ++t) {
    const std::uint8_t* feature = trees_.features.data() + t * kInner;
    const float* value = trees_.values.data() + t * kInner;
    const float* leaf = trees_.leaves.data() + t * (kInner + 1);
    for (std::size_t i = 0; i < count; ++i) {
      const float* x = features + i * stride;
      std::size_t node = 0;
      for (std::size_t level = 0; level < kDepth; ++level) {
        node = 2 * node + 1 + (x[feature[node]] < value[node] ? 0 : 1);
      }
      margins[i] += leaf[node - kInner];
    }
  }
}

void MainModel::Margins(const float* features, std::size_t stride, std::size_t count,
                        float* margins) const {
  std::fill(margins, margins + count, 0.0f);
  switch (trees_.depth) {
    case 1:
      return MarginsOfDepth<1>(features, stride, count, margins);
    case 2:
      return MarginsOfDepth<2>(features, stride, count, margins);
    case 3:
      return MarginsOfDepth<3>(features, stride, count, margins);
    case 4:
      return MarginsOfDepth<4>(features, stride, count, margins);
    case 5:
      return MarginsOfDepth<5>(features, stride, count, margins);
    case 6:
      return MarginsOfDepth<6>(features, stride, count, margins);
    case 7:
      return MarginsOfDepth<7>(features, stride, count, margins);
    case 8:
      return MarginsOfDepth<8>(features, stride, count, margins);
    default:
      return;
  }
}

std::optional<MainModel> MainModel::Read(std::istream& in,
                                         std::span<const char* const> feature_names,
                                         std::string& error) {
  std::string line, word;
  auto fail = [&](const std::string& what) {
    error = what;
    return std::nullopt;
  };
  if (!std::getline(in, line) || line != "pagelift-main-model 2") {
    return fail("not a model of pagelift-main-model 2");
  }
  if (!std::getline(in, line)) return fail("no features");
  std::istringstream names(line);
  names >> word;
  std::size_t count = 0;
  while (names >> word) {
    if (count >= feature_names.size() || word != feature_names[count]) {
      return fail("the model's feature " + std::to_string(count) + " is " + word +
                  ", not the program's");
    }
    ++count;
  }
  if (count != feature_names.size()) return fail("the model has fewer features than the program");
  MainChoice choice;
  if (!(in >> word >> choice.least_f1) || word != "least_f1" ||
      !(choice.least_f1 >= 0 && choice.least_f1 <= 1)) {
    return fail("no least_f1 from 0 to 1");
  }
  if (!(in >> word >> choice.least_share) || word != "least_share" ||
      !(choice.least_share >= 0 && choice.least_share <= 1)) {
    return fail("no least_share from 0 to 1");
  }
  std::size_t depth = 0, trees = 0;
  if (!(in >> word >> depth) || word != "depth" || depth < kLeastDepth || depth > kMostDepth) {
    return fail("no depth from 1 to 8");
  }
  if (!(in >> word >> trees) || word != "trees" || trees > 100000) return fail("no tree count");
  const std::size_t inner = Inner(depth);
  std::vector<std::uint8_t> features;
  std::vector<float> values, leaves;
  features.reserve(trees * inner);
  values.reserve(trees * inner);
  leaves.reserve(trees * (inner + 1));
  for (std::size_t t = 0; t < trees; ++t) {
    for (std::size_t n = 0; n < inner; ++n) {
      std::size_t feature = 0;
      if (!(in >> feature) || feature >= feature_names.size()) {
        return fail("a node's feature out of the program's");
      }
      features.push_back(static_cast<std::uint8_t>(feature));
    }
    for (std::size_t n = 0; n < inner; ++n) {
      float value = 0;
      if (!(in >> value)) return fail("a tree cut short");
      values.push_back(value);
    }
    for (std::size_t n = 0; n <= inner; ++n) {
      float value = 0;
      if (!(in >> value)) return fail("a tree cut short");
      leaves.push_back(value);
    }
  }
  return MainModel(std::move(features), std::move(values), std::move(leaves), depth, trees, choice);
}

}  // namespace pagelift
