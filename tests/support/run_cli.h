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

}  // namespace pagelift::test
