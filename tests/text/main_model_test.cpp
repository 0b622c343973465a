#include "text/main_model.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "text/main_features.h"

namespace pagelift {
namespace {

// A model file of trees of depth 1 on feature `feature`: below `value` a leaf of `low`,
// else of `high`.
std::string OneSplit(int trees, int feature, float value, float low, float high) {
  std::string file = "pagelift-main-model 2\nfeatures";
  for (const char* name : kMainFeatureNames) file += std::string(" ") + name;
  file += "\nleast_f1 0.25\nleast_share 0.5\ndepth 1\ntrees " + std::to_string(trees) + "\n";
  for (int t = 0; t < trees; ++t) {
    file += std::to_string(feature) + "\n" + std::to_string(value) + "\n" + std::to_string(low) +
            " " + std::to_string(high) + "\n";
  }
  return file;
}

std::optional<MainModel> Read(const std::string& file, std::string& error) {
  std::istringstream in(file);
  return MainModel::Read(in, kMainFeatureNames, error);
}

TEST(MainModel, AddsTheLeavesOfItsTrees) {
  std::string error;
  const std::optional<MainModel> model = Read(OneSplit(3, 5, 10, -1, 2), error);
  ASSERT_TRUE(model) << error;
  EXPECT_FLOAT_EQ(model->choice().least_f1, 0.25f);
  EXPECT_FLOAT_EQ(model->choice().least_share, 0.5f);
  // Two blocks: feature 5 below 10 (the first child), and at it (the second).
  std::vector<float> features(2 * kMainFeatureCount, 0.0f);
  features[5] = 9.5f;
  features[kMainFeatureCount + 5] = 10;
  float margins[2];
  model->Margins(features.data(), kMainFeatureCount, 2, margins);
  EXPECT_FLOAT_EQ(margins[0], -3);
  EXPECT_FLOAT_EQ(margins[1], 6);
}

TEST(MainModel, TellsWhatIsWrongWithAFile) {
  std::string wrong_feature = OneSplit(1, 0, 1, 0, 0);
  wrong_feature.replace(wrong_feature.find(" text "), 6, " txet ");
  std::string cut_short = OneSplit(2, 0, 1, 0, 0);
  cut_short.resize(cut_short.size() - 20);  // the last tree without its leaves
  const struct {
    std::string file;
    std::string error;
  } cases[] = {
      {"pagelift-main-model 1\n", "not a model of pagelift-main-model 2"},
      {wrong_feature, "the model's feature 0 is txet, not the program's"},
      {cut_short, "a tree cut short"},
      {OneSplit(1, static_cast<int>(kMainFeatureCount), 1, 0, 0),
       "a node's feature out of the program's"},
      {[] {
         std::string f = OneSplit(1, 0, 1, 0, 0);
         f.replace(f.find("depth 1"), 7, "depth 9");
         return f;
       }(),
       "no depth from 1 to 8"},
      {[] {
         std::string f = OneSplit(1, 0, 1, 0, 0);
         f.replace(f.find("least_f1 0.25"), 13, "least_f1 1.25");
         return f;
       }(),
       "no least_f1 from 0 to 1"},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_FALSE(Read(c.file, error)) << c.error;
    EXPECT_EQ(error, c.error);
  }
}

}  // namespace
}  // namespace pagelift
