#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "text/main_text.h"
#include "text/readable_text.h"
#include "text_input.h"

using namespace pagelift;

namespace {

// The text without the blanks a fold may add or drop, and without the marks and numbers a
// list's items begin with, which depend on the items laid out before them.
std::u16string Visible(const std::u16string& text) {
  std::u16string out;
  std::copy_if(text.begin(), text.end(), std::back_inserter(out), [](char16_t c) {
    return c != u' ' && c != u'\t' && c != u'\r' && c != u'\n' && c != u'・' && c != u'.' &&
           (c < u'0' || c > u'9');
  });
  return out;
}

bool IsSubsequence(const std::u16string& part, const std::u16string& whole) {
  std::size_t at = 0;
  for (const char16_t c : whole) {
    if (at < part.size() && part[at] == c) ++at;
  }
  return at == part.size();
}

}  // namespace

// The first byte is the width; the rest, two bytes a unit, the page. The main form leaves
// parts of the page out and adds nothing: its visible characters come in the order of the
// main form that keeps every block (a model of no trees finds every block alike, and keeps
// them all). Where nothing stands out it is the readable form of the page parsed without
// scripts instead, pictures' alternative text and all. Folded, it loses and gains no character.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  static constexpr double kWidths[] = {-1, 0, 1, 2, 7, 20, 80};
  const double width = kWidths[data[0] % std::size(kWidths)];
  const std::u16string page = fuzz::Utf16Of(data + 1, size - 1);
  const MainForm whole = MainTextForm(page, 1e300);
  static const MainModel keep_all({1, 0, {}, {}, {}}, {});
  const MainForm everything = MainTextForm(page, 1e300, keep_all);
  if (whole.article) {
    FUZZ_CHECK(IsSubsequence(Visible(whole.text), Visible(everything.text)));
  } else {
    FUZZ_CHECK(whole.text == ReadableText(html::ParseDocument(page, html::Scripting::kOff), 1e300));
  }
  const MainForm folded = MainTextForm(page, width);
  FUZZ_CHECK(folded.article == whole.article);
  FUZZ_CHECK(folded.text.ends_with(u"\r\n"));
  FUZZ_CHECK(Visible(folded.text) == Visible(whole.text));
  return 0;
}
