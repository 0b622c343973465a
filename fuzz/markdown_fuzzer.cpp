#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "html/document.h"
#include "text/markdown_text.h"
#include "text/readable_text.h"
#include "text_input.h"

using namespace pagelift;

namespace {

// The characters that carry words: ASCII letters and every character past ASCII but the
// blanks and the readable form's list mark. Markup, escapes and blanks are left out, and
// digits, which a list's items begin with in the readable form, also inside <pre>.
std::u16string Words(const std::u16string& text) {
  std::u16string out;
  std::copy_if(text.begin(), text.end(), std::back_inserter(out), [](char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
           (c >= 0x80 && c != 0xA0 && c != 0x3000 && c != u'・');
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

// The input, two bytes a unit, is the page. Its Markdown loses no word of its readable form,
// in the same order (it may add the addresses of links and pictures, and tags for emphasis),
// ends its lines with CR LF, and grows the page by a bounded factor whatever it nests.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::u16string page = fuzz::Utf16Of(data, size);
  const html::Document document = html::ParseDocument(page);
  const std::u16string markdown = ReadableMarkdown(document, u"https://example.jp/a/b.html");
  const std::u16string readable = ReadableText(document, 1e300);
  FUZZ_CHECK(IsSubsequence(Words(readable), Words(markdown)));
  FUZZ_CHECK(markdown.size() <= 16 * page.size() + 4096);
  for (std::size_t at = markdown.find(u'\n'); at != std::u16string::npos;
       at = markdown.find(u'\n', at + 1)) {
    FUZZ_CHECK(at > 0 && markdown[at - 1] == u'\r');
  }
  return 0;
}
