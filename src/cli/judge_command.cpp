#include <string_view>
#include <utility>

#include "cli/arguments.h"
#include "cli/cli.h"
#include "cli/commands.h"
#include "cli/input.h"
#include "cli/options.h"
#include "cli/usage_error.h"
#include "judge/judge_page.h"

namespace pagelift::cli {

namespace {

// Each judge's score over `bytes`, in the order the judgement asks them.
void PrintScores(PageBytes bytes, std::ostream& out) {
  using Judge = Score (*)(PageBytes);
  static constexpr std::pair<std::string_view, Judge> kJudges[] = {
      {code_name::kJIS, JudgeJIS},   {code_name::kUNICODE, JudgeUNICODE},
      {code_name::kUTF8, JudgeUTF8}, {code_name::kUTF7, JudgeUTF7},
      {code_name::kSJIS, JudgeSJIS}, {code_name::kEUC, JudgeEUC},
  };
  for (const auto& [name, judge] : kJudges) out << name << ' ' << judge(bytes) << '\n';
}

}  // namespace

int RunJudge(const std::vector<std::string>& words, std::istream& in, std::ostream& out) {
  const Arguments args = ParseArguments(words, {"--scores", "--page"}, {}, 1);
  // The judges read no further than kJudgedBytes; the page's judgement reads it all.
  const ByteArray input =
      ReadInput(FileOperand(args), in, args.Has("--page") ? SIZE_MAX : kJudgedBytes);
  const PageBytes bytes = input.Data();
  if (bytes.empty()) throw UsageError("the input is empty: there is no code to judge");

  if (!args.Has("--page")) {
    if (args.Has("--scores")) PrintScores(bytes, out);
    out << JudgeCode(bytes) << '\n';
    return kDone;
  }
  const PageJudgement judgement = JudgePageInDetail(bytes);
  if (args.Has("--scores")) {
    PrintScores(bytes.subspan(judgement.window_start), out);
    if (judgement.window_start != 0) {
      out << "mend 1: judged from byte " << judgement.window_start
          << ", the first past a 7-bit window with the eighth bit set, zero or ESC\n";
    }
    if (judgement.not_utf7) out << "mend 2: not UTF7, the judged window has 8-bit bytes\n";
    if (judgement.well_formed_utf8) out << "mend 3: the whole page is well-formed UTF-8\n";
    if (judgement.euc_by_whole_page) {
      out << "mend 4: SJIS and EUC tie in the judged window, the whole page reads cleanly as "
             "EUC only\n";
    }
  }
  out << judgement.code << '\n';
  return kDone;
}

}  // namespace pagelift::cli
