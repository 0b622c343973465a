#pragma once

#include <string_view>

namespace pagelift {

// The number a settings text stands for: its leading decimal number, sign and fraction
// allowed ("80" -> 80, "10.5" -> 10.5, "80abc" -> 80, "-5" -> -5), after any leading
// blanks; 0 when the text does not begin with a number ("abc", "").
double NumberOfText(std::u16string_view text);

}  // namespace pagelift
