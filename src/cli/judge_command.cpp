#include <string_view>
#include <utility>

#include "cli/arguments.h"
#include "cli/cli.h"
#include "cli/commands.h"
#include "cli/input.h"
#include "cli/options.h"
#include "cli/usage_error.h"
#include "judge/judges.h"

namespace pagelift::cli {

int RunJudge(const std::vector<std::string>& words, std::istream& in, std::ostream& out) {
  const Arguments args = ParseArguments(words, {"--scores"}, {}, 1);
  // The judges read no further than this, so neither does the command.
  const ByteArray bytes = ReadInput(FileOperand(args), in, kJudgedBytes);
  if (bytes.Data().empty()) throw UsageError("the input is empty: there is no code to judge");

  if (args.Has("--scores")) {
    using Judge = Score (*)(const ByteArray&);
    static constexpr std::pair<std::string_view, Judge> kJudges[] = {
        {code_name::kJIS, JudgeJIS},   {code_name::kUNICODE, JudgeUNICODE},
        {code_name::kUTF8, JudgeUTF8}, {code_name::kUTF7, JudgeUTF7},
        {code_name::kSJIS, JudgeSJIS}, {code_name::kEUC, JudgeEUC},
    };
    for (const auto& [name, judge] : kJudges) out << name << ' ' << judge(bytes) << '\n';
  }
  out << JudgeCode(bytes) << '\n';
  return kDone;
}

}  // namespace pagelift::cli
