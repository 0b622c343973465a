#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "text/line_breaker.h"
#include "text/unicode_tables.h"

namespace pagelift {
namespace {

// Every case of the conformance file of UAX #14 that this breaker is meant to pass: all
// but those with a character whose class it resolves for East Asian text (AI as ID, SA as
// AL) or of LB30b's unassigned pictographs.
TEST(LineBreaker, BreaksAsLineBreakTestSays) {
  std::ifstream file(PAGELIFT_UNICODE_DIR "/auxiliary/LineBreakTest.txt");
  ASSERT_TRUE(file) << "LineBreakTest.txt of unicode-data is missing";
  int checked = 0;
  int skipped = 0;
  std::string line;
  while (std::getline(file, line)) {
    const std::string cases = line.substr(0, line.find('#'));
    if (cases.find_first_not_of(" \t") == std::string::npos) continue;
    std::vector<char32_t> points;
    std::vector<bool> breaks;  // before each code point
    std::istringstream words(cases);
    bool tailored = line.find("[30.22]") != std::string::npos;
    for (std::string word; words >> word;) {
      if (word == "\xC3\x97" || word == "\xC3\xB7") {  // × and ÷
        breaks.push_back(word == "\xC3\xB7");
      } else {
        points.push_back(static_cast<char32_t>(std::stoul(word, nullptr, 16)));
        const LineBreakClass raw = LineBreakClassOf(points.back());
        tailored = tailored || raw == LineBreakClass::kAI || raw == LineBreakClass::kSA;
      }
    }
    ASSERT_EQ(breaks.size(), points.size() + 1) << line;
    if (tailored) {
      ++skipped;
      continue;
    }
    LineBreaker breaker(false);
    for (std::size_t i = 0; i < points.size(); ++i) {
      const char32_t after = i + 1 < points.size() ? points[i + 1] : LineBreaker::kNone;
      ASSERT_EQ(breaker.Take(points[i], after), breaks[i]) << "before #" << i << ": " << line;
    }
    ++checked;
  }
  EXPECT_GT(checked, 6900);
  EXPECT_LT(skipped, 700);
}

}  // namespace
}  // namespace pagelift
