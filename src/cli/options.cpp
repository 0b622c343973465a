#include "cli/options.h"

#include "base/settings_number.h"
#include "cli/usage_error.h"
#include "convert/utf8_text.h"

namespace pagelift::cli {

std::u16string OptionText(const std::string& value) {
  return Utf8ToText({reinterpret_cast<const std::uint8_t*>(value.data()), value.size()});
}

CodeChoice CodeOption(const Arguments& args, bool required) {
  const std::optional<std::string> code = args.Value("--code");
  if (!code) {
    if (required) throw UsageError("--code CODE is required");
    return std::nullopt;
  }
  const std::u16string name = OptionText(*code);
  if (*code == "auto" || name == kAutoCode) return std::nullopt;
  return CodeNamed(name);
}

double WidthOption(const Arguments& args) {
  return NumberOfText(OptionText(args.Value("--width").value_or("100")));
}

TextForm FormOption(const Arguments& args) {
  const std::string form = args.Value("--form").value_or("as-is");
  if (form == "as-is") return TextForm::kAsIs;
  if (form == "readable") return TextForm::kReadable;
  if (form == "main") return TextForm::kMain;
  if (form == "readable-markdown") return TextForm::kReadableMarkdown;
  if (form == "main-markdown") return TextForm::kMainMarkdown;
  throw UsageError("--form takes as-is, readable, main, readable-markdown or main-markdown");
}

std::string FileOperand(const Arguments& args) {
  return args.operands.empty() ? std::string() : args.operands[0];
}

}  // namespace pagelift::cli
