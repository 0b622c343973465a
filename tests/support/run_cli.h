#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace pagelift::test {

// What one run of pagelift-cli left behind.
struct Outcome {
  int status;
  std::string out;
  std::string err;
};

inline Outcome RunWith(const std::vector<std::string>& words, const std::string& input = "") {
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  const int status = cli::Run(words, in, out, err);
  return {status, out.str(), err.str()};
}

// The path of a sample page shipped with the sources.
inline std::string Sample(const std::string& name) {
  return std::string(PAGELIFT_SAMPLES) + "/" + name;
}

// The sample page, once in each of the six codes, and in UTF-16 with the high byte first.
inline const char* const kSampleFiles[] = {
    "sample.sjis.html", "sample.jis.html",  "sample.euc.html",    "sample.utf16.html",
    "sample.utf7.html", "sample.utf8.html", "sample.utf16be.html"};

}  // namespace pagelift::test
