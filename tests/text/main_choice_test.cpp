#include "text/main_choice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace pagelift {
namespace {

struct Unit {
  float probability;
  float words;
  bool prose;
};

// Which of the units the choice keeps, as a string of '+' and '-'; "" where nothing stands out.
std::string Kept(const std::vector<Unit>& units, MainChoice choice = {}) {
  MainChoosing choosing;
  auto margin = [](float p) { return static_cast<float>(std::log(p / (1 - p))); };
  for (const Unit& u : units) choosing.Add({margin(u.probability), u.words, u.prose});
  choosing.Finish(choice);
  if (!choosing.stands_out()) return "";
  std::string kept;
  for (const Unit& u : units) kept += choosing.Keeps(margin(u.probability)) ? '+' : '-';
  return kept;
}

TEST(MainChoosing, KeepsWhatMakesTheExpectedF1Highest) {
  // A unit of probability p is worth keeping while p is above about half of the F1 of those
  // kept: 0.45 is kept beside a sure article, 0.2 is not.
  EXPECT_EQ(Kept({{0.99f, 100, true}, {0.45f, 100, true}, {0.2f, 100, true}}), "++-");
  // Where nothing is sure, the likeliest alone is kept.
  EXPECT_EQ(Kept({{0.3f, 10, false}, {0.1f, 10, false}, {0.05f, 10, false}}), "+--");
  // Words weigh: a long block of 0.4 is kept beside a short sure one.
  EXPECT_EQ(Kept({{0.95f, 5, false}, {0.4f, 500, true}}), "++");
  // Units of nearly the same probability go together.
  EXPECT_EQ(Kept({{0.5f, 1, false}, {0.50001f, 1, false}}), "++");
  EXPECT_EQ(Kept({}), "");
}

TEST(MainChoosing, GivesTheReadableFormOrTakesMoreWhereTheModelIsUnsure) {
  // The expected F1 of the best choice here is 2 * 0.1 * 10 / (10 + 3) = 0.15.
  const std::vector<Unit> unsure = {{0.1f, 10, true}, {0.1f, 10, true}, {0.1f, 10, true}};
  EXPECT_EQ(Kept(unsure, {0.2f, 0}), "");
  EXPECT_EQ(Kept(unsure, {0.1f, 0}), "+++");
  // At least half of the prose's words: the next step down is taken too.
  const std::vector<Unit> thin = {{0.9f, 10, true}, {0.2f, 40, true}, {0.1f, 50, false}};
  EXPECT_EQ(Kept(thin), "+--");
  EXPECT_EQ(Kept(thin, {0, 0.5f}), "++-");
  // Exactly the share is enough: half of 40 words of prose.
  EXPECT_EQ(Kept({{0.9f, 20, true}, {0.2f, 20, true}, {0.1f, 50, false}}, {0, 0.5f}), "+--");
}

}  // namespace
}  // namespace pagelift
