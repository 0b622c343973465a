#pragma once

#include <string>
#include <string_view>

namespace pagelift {

// Folds text for the Clipboard: lines split at CR LF only (a lone CR or LF stays inside
// its line), spaces (U+0020) trimmed at both ends of each line, blank lines dropped, each
// line broken into pieces of at most `width` columns (see ColumnWidths), the rest of a
// broken line trimmed again. A piece never splits a surrogate pair, and a character (or
// pair) wider than `width` makes a piece on its own. Lines are joined by CR LF and the
// result always ends with one. `width` is the fold-width field's number (NumberOfText of
// its text).
std::u16string WrapLines(std::u16string_view text, double width);

}  // namespace pagelift
