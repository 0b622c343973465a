#pragma once

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

#include "html/document.h"
#include "text/main_model.h"
#include "text/main_parts.h"

namespace pagelift {

// A block with text of its own, as the choice weighs it.
struct MainUnit {
  float margin = 0;    // the log-odds that it is main text, by the model
  float words = 1;     // its words, at least one
  bool prose = false;  // its text outside links is prose: long, with punctuation
};

// The text outside links of a block of prose, at least (with punctuation too).
inline constexpr float kProseText = 60;

// Which of a page's units to keep: those of the highest probability, down to where the F1
// that the model expects of them is the highest (keeping a block of probability p is worth it
// while p is above about half of that F1), but at least `choice.least_share` of the words of
// the page's prose; nothing where the expected F1 is below `choice.least_f1`. Probabilities are
// told apart in steps of 1/4096, each step's probability its middle, so that the choice takes
// one pass over the units and one over the steps, and comes out the same on every machine
// (the step of a log-odds is found among fixed bounds, without an exponential): add every
// unit, then Finish, then ask Keeps of each.
class MainChoosing {
 public:
  void Add(const MainUnit& unit);
  void Finish(const MainChoice& choice);

  // false: keep nothing, give the readable form.
  bool stands_out() const { return stands_out_; }
  // Whether the choice keeps a unit of this log-odds.
  bool Keeps(float margin) const;
  // The expected F1 of the units kept.
  double expected_f1() const { return expected_f1_; }

 private:
  static constexpr std::size_t kSteps = 4096;
  static std::size_t StepOf(float margin);

  std::vector<double> words_ = std::vector<double>(kSteps, 0.0);
  std::vector<double> main_ = std::vector<double>(kSteps, 0.0);
  double expected_ = 0;  // the words of main text the model expects
  double prose_ = 0;
  bool stands_out_ = false;
  std::size_t lowest_step_ = kSteps;
  double expected_f1_ = 0;
};

// The parts of a page that hold its main content, whatever the kind of page: an article's
// headline, lead and body; a thread's question and posts; a listing's entries; a product's
// description and technical data; a service page's sections. Each block with text of its own
// is weighed by `model` on its features (MainFeatures), and the blocks are chosen as
// MainChoosing chooses. Empty where no block stands out. `title` is the page's.
MainParts ChooseMainParts(const html::Document& document, std::u16string_view title,
                          const MainModel& model);

}  // namespace pagelift
