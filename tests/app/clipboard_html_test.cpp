#include "app/clipboard_html.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "convert/utf8_text.h"

namespace pagelift {
namespace {

// The header's fields, by name, and where the header ends.
std::map<std::string, std::string> HeaderOf(const std::string& data) {
  std::map<std::string, std::string> fields;
  std::size_t at = 0;
  while (at < data.size() && data.compare(at, 1, "<") != 0) {
    const std::size_t end = data.find("\r\n", at);
    const std::size_t colon = data.find(':', at);
    if (end == std::string::npos || colon > end) break;
    fields[data.substr(at, colon - at)] = data.substr(colon + 1, end - colon - 1);
    at = end + 2;
  }
  fields["(header end)"] = std::to_string(at);
  return fields;
}

TEST(WindowsHtmlFormat, ItsOffsetsAreBytesOfTheUtf8AndMarkTheBodyAsTheFragment) {
  const struct {
    const char* what;
    std::u16string document;
    std::u16string url;
    std::string fragment;  // what the marks hold
    std::string source;
  } cases[] = {
      {"a page",
       u"<!DOCTYPE html>\n<html><head></head><body>\n<h1>Title</h1>\n<p>a &amp; "
       u"b</p>\n</body></html>\n",
       u"http://example.jp/a?b=1&c=2", "<h1>Title</h1>\n<p>a &amp; b</p>\n",
       "http://example.jp/a?b=1&c=2"},
      // Three bytes a character: the offsets count bytes, not characters.
      {"Japanese before and in the fragment",
       u"<!DOCTYPE "
       u"html>\n<html><head><title>日本</title></head><body>\n<p>日本語の文章</p>\n</body></"
       u"html>\n",
       u"http://例え.jp/ページ", "<p>日本語の文章</p>\n", "http://例え.jp/ページ"},
      {"an empty body", u"<html><body></body></html>", u"", "", ""},
      {"no body: all of it", u"<p>x</p>", u"", "<p>x</p>", ""},
      // A line end would start a header field of its own.
      {"a URL with line ends", u"<body>x</body>", u"http://a/\r\nEndHTML:0", "x",
       "http://a/EndHTML:0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string data = WindowsHtmlFormat(c.document, c.url);
    auto fields = HeaderOf(data);
    EXPECT_EQ(fields["Version"], "0.9");
    EXPECT_EQ(fields["SourceURL"], c.source);
    const std::size_t start_html = std::stoul(fields["StartHTML"]);
    const std::size_t end_html = std::stoul(fields["EndHTML"]);
    const std::size_t start = std::stoul(fields["StartFragment"]);
    const std::size_t end = std::stoul(fields["EndFragment"]);
    EXPECT_EQ(fields["StartHTML"].size(), 10u);
    EXPECT_EQ(start_html, std::stoul(fields["(header end)"]));
    EXPECT_EQ(end_html, data.size());
    ASSERT_LE(start, end);
    ASSERT_LE(end, data.size());
    EXPECT_EQ(data.substr(start, end - start), c.fragment);
    EXPECT_EQ(data.substr(start - 20, 20), "<!--StartFragment-->");
    EXPECT_EQ(data.substr(end, 18), "<!--EndFragment-->");
    // Without its marks the HTML is the document's UTF-8, untouched.
    std::string html = data.substr(start_html);
    html.erase(end - start_html, 18);
    html.erase(start - start_html - 20, 20);
    EXPECT_EQ(html, TextToUtf8(c.document));
  }
}

}  // namespace
}  // namespace pagelift
