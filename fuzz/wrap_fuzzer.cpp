#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "text/wrap_lines.h"
#include "text_input.h"

using namespace pagelift;

// The first two bytes give the width, 0.1 to 200; the rest is the text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const double width = 0.1 + (data[0] | data[1] << 8) % 2000 / 10.0;
  const std::u16string text = fuzz::Utf16Of(data + 2, size - 2);
  const std::u16string folded = WrapLines(text, width);

  FUZZ_CHECK(folded.size() >= 2 && folded.ends_with(u"\r\n"));
  const auto lines = fuzz::FoldedLines(folded);
  FUZZ_CHECK(!lines.empty());
  if (lines.size() == 1 && lines[0].empty()) return 0;  // nothing but blanks
  for (const std::u16string& line : lines) {
    FUZZ_CHECK(!line.empty());         // blank lines are dropped
    FUZZ_CHECK(line.front() != u' ');  // and every line is trimmed in front
    FUZZ_CHECK(fuzz::Columns(line) <= width || fuzz::IsOneCharacter(line));
  }
  return 0;
}
