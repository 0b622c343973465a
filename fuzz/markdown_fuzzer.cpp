#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "html/document.h"
#include "html/tags.h"
#include "text/form_html.h"
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

// Whether `tag` is one the clean HTML may hold: what its writer writes, and the <tbody> a
// parser puts around a table's rows.
bool AllowedElement(html::Tag tag) {
  using html::Tag;
  static constexpr Tag kAllowed[] = {
      Tag::kHtml, Tag::kHead,   Tag::kMeta, Tag::kBody,  Tag::kH1,    Tag::kH2,         Tag::kH3,
      Tag::kH4,   Tag::kH5,     Tag::kH6,   Tag::kP,     Tag::kDiv,   Tag::kUl,         Tag::kOl,
      Tag::kLi,   Tag::kA,      Tag::kImg,  Tag::kTable, Tag::kTbody, Tag::kTr,         Tag::kTh,
      Tag::kTd,   Tag::kStrong, Tag::kEm,   Tag::kCode,  Tag::kPre,   Tag::kBlockquote, Tag::kBr};
  return std::find(std::begin(kAllowed), std::end(kAllowed), tag) != std::end(kAllowed);
}

bool IsWebAddress(std::u16string_view url) {
  return url.starts_with(u"http://") || url.starts_with(u"https://");
}

// The HTML parsed as a browser parses it: only allowed elements, with no attribute but
// `charset` on <meta>, `alt` on <img>, and `href` and `src` of http(s) addresses; gives its
// text, the pictures' alternative texts in their places.
std::u16string CheckedTextOfHtml(const std::u16string& markup) {
  const html::Document document = html::ParseDocument(markup);
  std::u16string text;
  for (html::NodeId node = document.FirstChild(html::Document::kRoot); node != html::kNoNode;
       node = document.Next(node)) {
    const html::NodeKind kind = document.Kind(node);
    if (kind == html::NodeKind::kText) text += document.Text(node);
    FUZZ_CHECK(kind != html::NodeKind::kComment);
    if (kind != html::NodeKind::kElement) continue;
    const html::Tag tag = document.TagOf(node);
    FUZZ_CHECK(AllowedElement(tag));
    for (std::size_t i = 0; i < document.AttributeCount(node); ++i) {
      const std::u16string_view name = document.AttributeName(node, i);
      const std::u16string_view value = document.AttributeValue(node, i);
      if (name == u"alt") {
        FUZZ_CHECK(tag == html::Tag::kImg);
        text += value;
      } else if (name == u"href" || name == u"src") {
        FUZZ_CHECK(IsWebAddress(value));
      } else {
        FUZZ_CHECK(name == u"charset" && tag == html::Tag::kMeta);
      }
    }
  }
  return text;
}

}  // namespace

// The input, two bytes a unit, is the page. Its Markdown loses no word of its readable form,
// in the same order (it may add the addresses of links and pictures, and tags for emphasis),
// ends its lines with CR LF, and grows the page by a bounded factor whatever it nests. Its
// clean HTML, parsed again, holds only the allowed elements and attributes, and loses no
// word either.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::u16string page = fuzz::Utf16Of(data, size);
  const html::Document document = html::ParseDocument(page);
  const std::u16string markdown = ReadableMarkdown(document, u"https://example.jp/a/b.html");
  const std::u16string readable = ReadableText(document, 1e300);
  FUZZ_CHECK(IsSubsequence(Words(readable), Words(markdown)));
  FUZZ_CHECK(markdown.size() <= 16 * page.size() + 4096);
  const std::u16string html_text =
      CheckedTextOfHtml(FormHtml(document, u"https://example.jp/a/b.html", false));
  FUZZ_CHECK(IsSubsequence(Words(readable), Words(html_text)));
  for (std::size_t at = markdown.find(u'\n'); at != std::u16string::npos;
       at = markdown.find(u'\n', at + 1)) {
    FUZZ_CHECK(at > 0 && markdown[at - 1] == u'\r');
  }
  return 0;
}
