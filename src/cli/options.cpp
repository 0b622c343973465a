#include "cli/options.h"

#include "cli/usage_error.h"
#include "convert/code_choice.h"
#include "convert/utf8_text.h"

namespace pagelift::cli {

std::u16string OptionText(const std::string& value) {
  return Utf8ToText({reinterpret_cast<const std::uint8_t*>(value.data()), value.size()});
}

std::u16string CodeChoice(const Arguments& args, const char16_t* fallback) {
  const std::optional<std::string> code = args.Value("--code");
  if (!code) {
    if (fallback == nullptr) throw UsageError("--code CODE is required");
    return fallback;
  }
  if (*code == "auto") return kAutoCode;
  return OptionText(*code);
}

std::string FileOperand(const Arguments& args) {
  return args.operands.empty() ? std::string() : args.operands[0];
}

}  // namespace pagelift::cli
