#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "capture/fetch_text.h"
#include "cli/input.h"

namespace pagelift::cli {

// One subcommand each: take the words after the subcommand's name, return the exit
// status, throw UsageError for a command line or input that cannot be used.
int RunJudge(const std::vector<std::string>& words, std::istream& in, std::ostream& out);
int RunDecode(const std::vector<std::string>& words, std::istream& in, std::ostream& out,
              std::ostream& err);
int RunEncode(const std::vector<std::string>& words, std::istream& in, std::ostream& out,
              std::ostream& err);
int RunFold(const std::vector<std::string>& words, std::istream& in, std::ostream& out);
int RunText(const std::vector<std::string>& words, std::istream& in, std::ostream& out,
            std::ostream& err);
int RunFetch(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);

// What `text` prints for `input` (named `name` in messages), and its exit status.
int PrintPageText(const Input& input, const std::string& name, const FetchSettings& settings,
                  std::ostream& out, std::ostream& err);

}  // namespace pagelift::cli
