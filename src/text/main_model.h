#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pagelift {

// How the main form decides from the model's probabilities (see ChooseUnits).
struct MainChoice {
  // Where the best choice's expected F1 is below this, no block stands out: the readable form.
  float least_f1 = 0;
  // The kept blocks' words are at least this share of the words of the page's prose.
  float least_share = 0;
};

// The model that tells a block of the main text from the boilerplate around it: trees whose
// leaves add up to the log-odds that a block is main text (boosted trees, as XGBoost makes
// them), and the constants of the choice. Every tree is whole to the same depth, its inner
// nodes in heap order (the children of node i are 2i+1, taken where the feature is below the
// node's value, and 2i+2), so that a tree is weighed in `depth` steps without a branch. The
// program carries one, made by scripts/main_model/train.py from the development pages
// (main_model_table.inc); a development tool may read another from a file.
class MainModel {
 public:
  struct Trees {
    std::size_t depth = 0;
    std::size_t count = 0;
    std::span<const std::uint8_t> features;  // (2^depth - 1) a tree
    std::span<const float> values;           // (2^depth - 1) a tree
    std::span<const float> leaves;           // 2^depth a tree
  };

  MainModel(Trees trees, MainChoice choice);

  // The model the program was built with.
  static const MainModel& Compiled();
  // A model written in train.py's text format, or nullopt with what is wrong in `error`.
  // `feature_names` are the features the program gives, which the file must name alike.
  static std::optional<MainModel> Read(std::istream& in, std::span<const char* const> feature_names,
                                       std::string& error);

  // The log-odds that a block is main text, for `count` blocks at once, their features one
  // after another (`stride` floats apart), into `margins`: tree by tree, so that a tree stays
  // in the cache while it weighs them all.
  void Margins(const float* features, std::size_t stride, std::size_t count, float* margins) const;
  const MainChoice& choice() const { return choice_; }

 private:
  MainModel(std::vector<std::uint8_t> features, std::vector<float> values,
            std::vector<float> leaves, std::size_t depth, std::size_t count, MainChoice choice);
  template <std::size_t kDepth>
  void MarginsOfDepth(const float* features, std::size_t stride, std::size_t count,
                      float* margins) const;

  // A model read from a file owns its trees; the compiled one does not.
  std::vector<std::uint8_t> owned_features_;
  std::vector<float> owned_values_;
  std::vector<float> owned_leaves_;
  Trees trees_;
  MainChoice choice_;
};

}  // namespace pagelift
