#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "text/html_to_text.h"
#include "text_input.h"

using namespace pagelift;

namespace {

bool HoldsPreOpener(const std::u16string& page) {
  for (std::size_t i = 0; i + 5 <= page.size(); ++i) {
    if (page[i] != u'<') continue;
    const std::u16string_view word(page.data() + i + 1, 4);
    std::u16string lower(word);
    for (char16_t& c : lower) c = (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
    if (lower == u"pre>") return true;
  }
  return false;
}

// The page through a PageReducer in parts of `part` units.
std::u16string InParts(std::u16string_view page, double width, ScanIsa isa, std::size_t part) {
  PageReducer reducer(width, page.size(), isa);
  for (std::size_t at = 0; at < page.size(); at += part) {
    reducer.Input().append(page.substr(at, part));
    reducer.Reduce();
  }
  return reducer.Finish();
}

}  // namespace

// The first byte gives the fold width, 0 to 127.5; the second the size of the parts for
// PageReducer, 1 to 32 units; the rest is the page.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const double width = data[0] / 2.0;
  const std::size_t part = data[1] % 32 + 1;
  const std::u16string page = fuzz::Utf16Of(data + 2, size - 2);
  const std::u16string text = HtmlToText(page, width);
  // The scan built for each instruction set gives the same text, whole or in parts.
  for (const ScanIsa isa : RunnableScanIsas()) {
    FUZZ_CHECK(HtmlToText(page, width, isa) == text);
    FUZZ_CHECK(InParts(page, width, isa, part) == text);
  }

  FUZZ_CHECK(text.ends_with(u"\r\n"));
  // Outside "<pre>" blocks every line end is a CR LF pair made by the reduction.
  if (!HoldsPreOpener(page)) {
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == u'\r') FUZZ_CHECK(i + 1 < text.size() && text[i + 1] == u'\n');
      if (text[i] == u'\n') FUZZ_CHECK(i > 0 && text[i - 1] == u'\r');
    }
  }
  for (const std::u16string& line : fuzz::FoldedLines(text)) {
    FUZZ_CHECK(fuzz::Columns(line) <= width || fuzz::IsOneCharacter(line) || line.empty());
  }
  return 0;
}
