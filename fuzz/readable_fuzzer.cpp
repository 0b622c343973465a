#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "text/readable_stream.h"
#include "text/readable_text.h"
#include "text_input.h"

using namespace pagelift;

namespace {

// The text without the blanks a fold may add or drop.
std::u16string Visible(const std::u16string& text) {
  std::u16string out;
  std::copy_if(text.begin(), text.end(), std::back_inserter(out),
               [](char16_t c) { return c != u' ' && c != u'\t' && c != u'\r' && c != u'\n'; });
  return out;
}

// The readable form laid out from the tokens, the page given `piece` units at a time.
std::u16string Streamed(std::u16string_view page, double width, std::size_t piece) {
  ReadableStream stream(width);
  std::u16string text;
  for (std::size_t at = 0; at < page.size(); at += piece) {
    stream.Append(page.substr(at, piece));
    stream.TakeText(text);
  }
  text += stream.Finish();
  return text;
}

}  // namespace

// The first byte is the width; the rest, two bytes a unit, the page. The readable form at
// that width is the one at a width that never folds with line ends put in (and blanks
// dropped at them): no character is lost, added or moved; and no line is wider than the
// width but a line of one character. The same holds for the form laid out as the page
// streams in, which gives one text however the page is cut.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  static constexpr double kWidths[] = {-1, 0, 1, 1.5, 2, 3, 7, 20, 80};
  const double width = kWidths[data[0] % std::size(kWidths)];
  const std::u16string page = fuzz::Utf16Of(data + 1, size - 1);
  const std::u16string folded = ReadableText(page, width);
  const std::u16string whole = ReadableText(page, 1e300);
  FUZZ_CHECK(folded.ends_with(u"\r\n"));
  FUZZ_CHECK(Visible(folded) == Visible(whole));
  for (const std::u16string& line : fuzz::FoldedLines(folded)) {
    FUZZ_CHECK(fuzz::Columns(line) <= std::max(width, 0.0) || fuzz::IsOneCharacter(line));
  }
  const std::u16string streamed = Streamed(page, width, page.size() + 1);
  FUZZ_CHECK(Streamed(page, width, 1 + data[0] / std::size(kWidths) % 7) == streamed);
  FUZZ_CHECK(streamed.ends_with(u"\r\n"));
  FUZZ_CHECK(Visible(streamed) == Visible(Streamed(page, 1e300, page.size() + 1)));
  return 0;
}
