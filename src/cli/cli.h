#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace pagelift::cli {

// Exit statuses of pagelift-cli.
inline constexpr int kDone = 0;
inline constexpr int kFailureText = 1;
inline constexpr int kUsage = 2;

// Runs one command line (the words after the program name) and returns its exit status.
// Never throws: every failure becomes a one-line message on `err`.
int Run(const std::vector<std::string>& words, std::istream& in, std::ostream& out,
        std::ostream& err);

}  // namespace pagelift::cli
