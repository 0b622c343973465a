#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace pagelift::cli {

// The words of one command line after the command name.
struct Arguments {
  std::set<std::string> flags;                // options without a value, e.g. "--scores"
  std::map<std::string, std::string> values;  // options with a value, e.g. "--code" -> "SJIS"
  std::vector<std::string> operands;          // everything else, in order

  bool Has(const std::string& flag) const { return flags.count(flag) != 0; }
  std::optional<std::string> Value(const std::string& option) const;
};

// Parses `words` against the options a command knows. Throws UsageError for an unknown
// option, an option missing its value, or more operands than `max_operands`.
Arguments ParseArguments(const std::vector<std::string>& words, const std::set<std::string>& flags,
                         const std::set<std::string>& valued, std::size_t max_operands);

}  // namespace pagelift::cli
