#pragma once

#include <string>

#include "base/codes.h"
#include "cli/arguments.h"
#include "text/text_form.h"

namespace pagelift::cli {

// The code choice of --code: "自動判定" or "auto" to judge the page, else the code that
// the name selects (CodeNamed: the code box's spellings, the judgement's names, Shift_JIS
// for any other); "自動判定" when the option is absent and `required` is false,
// UsageError when it is true.
CodeChoice CodeOption(const Arguments& args, bool required);

// The number of --width's text, read as the fold-width field reads its own, or 100.
double WidthOption(const Arguments& args);

// The text form of --form: "as-is" (the default), "readable", "main"; UsageError for another.
TextForm FormOption(const Arguments& args);

// The words of an option as program text (UTF-8 on the command line).
std::u16string OptionText(const std::string& value);

// The single FILE operand, or "" for standard input.
std::string FileOperand(const Arguments& args);

}  // namespace pagelift::cli
