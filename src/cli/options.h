#pragma once

#include <string>

#include "cli/arguments.h"

namespace pagelift::cli {

// The code choice of --code: the code box's spellings, the judgement's names, and
// "auto" for "自動判定"; `fallback` when the option is absent, UsageError when there is
// no fallback.
std::u16string CodeChoice(const Arguments& args, const char16_t* fallback = nullptr);

// The words of an option as program text (UTF-8 on the command line).
std::u16string OptionText(const std::string& value);

// The single FILE operand, or "" for standard input.
std::string FileOperand(const Arguments& args);

}  // namespace pagelift::cli
