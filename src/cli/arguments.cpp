#include "cli/arguments.h"

#include "cli/usage_error.h"

namespace pagelift::cli {

std::optional<std::string> Arguments::Value(const std::string& option) const {
  const auto found = values.find(option);
  if (found == values.end()) return std::nullopt;
  return found->second;
}

Arguments ParseArguments(const std::vector<std::string>& words, const std::set<std::string>& flags,
                         const std::set<std::string>& valued, std::size_t max_operands) {
  Arguments args;
  bool options_done = false;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    const bool is_option = !options_done && word.size() > 1 && word[0] == '-' && word != "-";
    if (!is_option) {
      args.operands.push_back(word);
      continue;
    }
    if (word == "--") {
      options_done = true;
    } else if (flags.count(word) != 0) {
      args.flags.insert(word);
    } else if (valued.count(word) != 0) {
      if (i + 1 >= words.size()) throw UsageError("option " + word + " needs a value");
      args.values[word] = words[++i];
    } else {
      throw UsageError("unknown option " + word);
    }
  }
  if (args.operands.size() > max_operands) {
    throw UsageError("unexpected argument " + args.operands[max_operands]);
  }
  return args;
}

}  // namespace pagelift::cli
