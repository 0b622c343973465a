#include <string>

#include "cli/arguments.h"
#include "cli/cli.h"
#include "cli/commands.h"
#include "cli/decode_for_text.h"
#include "cli/input.h"
#include "cli/usage_error.h"
#include "cli/utf8.h"
#include "text/html_to_text.h"
#include "text/settings_number.h"
#include "text/wrap_lines.h"

namespace pagelift::cli {

namespace {

// The fold width as the settings dialog reads its field: "80", "10.5", "80abc" -> 80.
double WidthOf(const std::string& field) {
  const std::u16string text =
      TextOfUtf8({reinterpret_cast<const std::uint8_t*>(field.data()), field.size()});
  return NumberOfText(text);
}

std::string OperandOrStdin(const Arguments& args) {
  return args.operands.empty() ? "" : args.operands[0];
}

}  // namespace

int RunFold(const std::vector<std::string>& words, std::istream& in, std::ostream& out) {
  const Arguments args = ParseArguments(words, {}, {"--width"}, 1);
  const std::optional<std::string> width = args.Value("--width");
  if (!width) throw UsageError("fold needs --width W");
  const std::u16string text = TextOfUtf8(ReadInput(OperandOrStdin(args), in));
  WriteUtf8(out, WrapLines(text, WidthOf(*width)));
  return kDone;
}

int RunText(const std::vector<std::string>& words, std::istream& in, std::ostream& out) {
  const Arguments args = ParseArguments(words, {}, {"--code", "--width"}, 1);
  const std::string code = args.Value("--code").value_or("自動判定");
  const double width = WidthOf(args.Value("--width").value_or("100"));
  const std::u16string page = DecodeForText(code, ReadInput(OperandOrStdin(args), in));
  WriteUtf8(out, HtmlToText(page, width));
  return kDone;
}

}  // namespace pagelift::cli
