#include "text/wrap_lines.h"

#include "text/line_folder.h"
#include "text/unit_scan.h"

namespace pagelift {

std::u16string WrapLines(std::u16string_view text, double width) {
  LineFolder folder(width, text.size());
  const char16_t* const end = text.data() + text.size();
  for (const char16_t* at = text.data(); at < end;) {
    // The line ends at its CR LF; a lone CR stays inside it.
    const char16_t* line_end = at;
    for (;;) {
      line_end = unit_scan::FindFirstOf<u'\r'>(line_end, end);
      if (line_end == end || (line_end + 1 < end && line_end[1] == u'\n')) break;
      ++line_end;
    }
    folder.AddLine(at, line_end);
    at = line_end == end ? end : line_end + 2;
  }
  return folder.Finish();
}

}  // namespace pagelift
