#include <gtest/gtest.h>

#include <string>

#include "support/text.h"
#include "text/form_html.h"
#include "text/markdown_text.h"
#include "text/readable_text.h"
#include "text/url_resolve.h"

namespace pagelift {
namespace {

// The Markdown of a page's body, without the first lines of title and address, "\n" ends.
std::string BodyMarkdown(std::u16string_view body, std::u16string_view url = u"") {
  std::u16string markdown =
      ReadableMarkdown(html::ParseDocument(u"<body>" + std::u16string(body)), url);
  std::u16string lines;
  for (const char16_t c : markdown) {
    if (c != u'\r') lines.push_back(c);
  }
  if (!url.empty()) lines.erase(0, lines.find(u'\n') + 1);  // the address line
  while (lines.starts_with(u"\n")) lines.erase(0, 1);
  return test::Shown(lines);
}

TEST(ReadableMarkdown, WritesThePagesStructure) {
  const struct {
    const char* what;
    std::u16string body;
    std::u16string expected;
  } cases[] = {
      {"headings at their levels, paragraphs apart", u"<h2>Two</h2><p>a</p><h3>Three</h3>b",
       u"## Two\n\na\n\n### Three\n\nb\n"},
      {"lists nested as the page nests them, numbered from their start",
       u"<ul><li>a<ul><li>b</li></ul></li><li>c</li></ul><ol start=3><li>d<li value=7>e</ol>",
       u"- a\n  - b\n- c\n\n3. d\n7. e\n"},
      {"quotations, and a blank line kept inside them",
       u"<blockquote><p>a</p><p>b</p></blockquote><p>c</p>", u"> a\n>\n> b\n\nc\n"},
      {"a fenced code block with its language, longer than the backticks in it",
       u"<pre class=\"language-js\"><code>x = `a`;\n\n```\n</code></pre>",
       u"````js\nx = `a`;\n\n```\n````\n"},
      {"a code span fenced around its backticks", u"<p>run <code>a`b</code> now</p>",
       u"run ``a`b`` now\n"},
      {"a data table as a pipe table, its | escaped",
       u"<table><tr><th>A</th><th>B</th></tr><tr><td>1|2</td><td><p>x</p><p>y</p></td></tr>"
       u"</table>",
       u"| A | B |\n| --- | --- |\n| 1\\|2 | x y |\n"},
      {"a table of the layout as its blocks",
       u"<table><tr><td>menu</td><td><table><tr><th>h</th></tr></table></td></tr></table>",
       u"menu\n\n| h |\n| --- |\n"},
      {"links and pictures made absolute against the base, scripts' links as text",
       u"<base href=\"/d/\"><a href=\"x.html\">X</a> <img src=\"p.png\" alt=\"a\n pic\"> "
       u"<a href=\"javascript:go()\">go</a>",
       u"[X](https://a.jp/d/x.html) ![a pic](https://a.jp/d/p.png) go\n"},
      {"emphasis that CommonMark reads as asterisks, and as tags beside Japanese marks",
       u"<p>a <b>bold</b> <i>it</i>. これは<strong>「強調」</strong>です。</p>",
       u"a **bold** *it*. これは<strong>「強調」</strong>です。\n"},
      {"two spans in a row are one, and none is read inside code",
       u"<p><b>a</b><b>b</b> <code><b>c</b></code></p>", u"**ab** `c`\n"},
      {"asterisks that would run together are tags", u"<p><i>a</i><b>b</b> c</p>",
       u"<em>a</em><strong>b</strong> c\n"},
      {"blanks inside emphasis go outside it", u"<p>x<b> y </b>z</p>", u"x **y** z\n"},
      {"what would start a block is escaped, and only there",
       u"<p># a</p><p>1. b 2. c</p><p>- d</p><p>&gt; e</p><p>* f</p><p>a # - &gt; 1.</p>",
       u"\\# a\n\n1\\. b 2. c\n\n\\- d\n\n\\> e\n\n\\* f\n\na # - > 1.\n"},
      {"inline markup is escaped where it would be read",
       u"<p>*a* snake_case _b_ 2 * 3 [c](d) &lt;em&gt; &amp;amp; a\\b \\*</p>",
       u"\\*a\\* snake_case \\_b\\_ 2 * 3 \\[c](d) \\<em> \\&amp; a\\b \\\\\\*\n"},
      {"a bare address is left for the reader to link, unescaped",
       u"<p>see https://a.jp/x_y*z now</p>", u"see https://a.jp/x_y*z now\n"},
      {"no deeper than 16 levels of prefix, however deep the lists",
       u"<ul><li>a<ul><li>b<ul><li>c<ul><li>d<ul><li>e<ul><li>f<ul><li>g<ul><li>h<ul><li>i<ul>"
       u"<li>j<ul><li>k<ul><li>l<ul><li>m<ul><li>n<ul><li>o<ul><li>p<ul><li>q<ul><li>r",
       u"- a\n  - b\n    - c\n      - d\n        - e\n          - f\n            - g\n"
       u"              - h\n                - i\n                  - j\n"
       u"                    - k\n                      - l\n                        - m\n"
       u"                          - n\n                            - o\n"
       u"                              - p\n                              - q\n"
       u"                              - r\n"},
      {"a line end between Japanese characters goes; br is a hard break",
       u"<p>日本語の\n文章<br>next</p>", u"日本語の文章\\\nnext\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BodyMarkdown(c.body, u"https://a.jp/page"), test::Shown(c.expected)) << c.what;
  }
}

TEST(ReadableMarkdown, BeginsWithTheTitleAndTheAddress) {
  EXPECT_EQ(test::Shown(ReadableMarkdown(html::ParseDocument(u"<title>T *1*</title><p>a</p>"),
                                         u"https://a.jp/x y")),
            test::Shown(u"# T \\*1\\*\r\n<https://a.jp/x%20y>\r\n\r\na\r\n"));
  EXPECT_EQ(test::Shown(ReadableMarkdown(html::ParseDocument(u"<p>a <a href=b>c</a></p>"), u"")),
            test::Shown(u"a [c](b)\r\n"));
}

TEST(FormHtml, WritesItsOwnCleanMarkupOfWhatTheFormKeeps) {
  const std::u16string page =
      u"<title>T</title><base href=\"/d/\"><p class=x style=\"color:red\" onclick=\"f()\">"
      u"a &lt;b&gt; &amp; \"c\" <a href=\"x.html\" target=_blank>X</a> "
      u"<a href=\"javascript:go()\">go</a> <img src=\"data:image/png;base64,AA\" alt=\"d\"> "
      u"<img src=\"p.png\" alt='say \"hi\"'><b>bold</b></p><script>evil()</script>"
      u"<iframe src=\"https://e.jp/\">i</iframe><form><input value=v></form>"
      u"<table><tr><th>h</th></tr><tr><td>1</td></tr></table>"
      u"<table><tr><td>lay</td><td>out</td></tr></table><pre>a  b\n c</pre>";
  EXPECT_EQ(test::Shown(FormHtml(html::ParseDocument(page), u"https://a.jp/page", false)),
            test::Shown(u"<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"></head><body>\n"
                        u"<h1>T</h1>\n<p><a href=\"https://a.jp/page\">https://a.jp/page</a></p>\n"
                        u"<p>a &lt;b&gt; &amp; \"c\" <a href=\"https://a.jp/d/x.html\">X</a> go d "
                        u"<img src=\"https://a.jp/d/p.png\" alt=\"say &quot;hi&quot;\"><strong>bold"
                        u"</strong></p>\n<div></div>\n"  // the form, without its input
                        u"<table><tr><th>h</th>\n</tr>\n<tr><td>1</td>\n</tr>\n</table>\n"
                        u"<div><div><div>lay</div>\n<div>out</div>\n</div>\n</div>\n"
                        u"<pre>a  b\n c</pre>\n</body></html>\n"));
}

TEST(FormTextAndHtml, GivesEachFormsOwnTextAndItsHtmlFromOneWalk) {
  // An article the main form picks out of what surrounds it, and a page where nothing
  // stands out.
  std::u16string article =
      u"<title>T</title><nav><a href=/>home</a> <a href=/a>a</a></nav><article>";
  for (int i = 0; i < 8; ++i)
    article += u"<p>The <em>article's</em> paragraph, long enough to stand out, with words.</p>";
  article += u"</article><footer>(c) someone</footer>";
  for (const std::u16string& page : {article, std::u16string(u"<p>a <b>b</b></p>")}) {
    const html::Document browsers = html::ParseDocument(page);
    const html::Document no_scripts = html::ParseDocument(page, html::Scripting::kOff);
    const std::u16string url = u"https://a.jp/";
    const struct {
      TextForm form;
      std::u16string text;
    } forms[] = {
        {TextForm::kReadable, ReadableText(browsers, 30)},
        {TextForm::kMain, MainTextForm(no_scripts, 30).text},
        {TextForm::kReadableMarkdown, ReadableMarkdown(browsers, url)},
        {TextForm::kMainMarkdown, MainMarkdownForm(no_scripts, url).text},
    };
    for (const auto& c : forms) {
      SCOPED_TRACE(static_cast<int>(c.form));
      const bool main = IsMainForm(c.form);
      const FormWithHtml both = FormTextAndHtml(main ? no_scripts : browsers, c.form, 30, url);
      EXPECT_EQ(test::Shown(both.text), test::Shown(c.text));
      EXPECT_EQ(test::Shown(both.html),
                test::Shown(FormHtml(main ? no_scripts : browsers, url, main)));
    }
  }
}

TEST(ResolveUrl, ResolvesReferencesAsRfc3986Does) {
  const std::u16string base = u"http://a/b/c/d;p?q";
  const struct {
    std::u16string reference;
    std::u16string expected;
  } cases[] = {
      {u"g", u"http://a/b/c/g"},
      {u"./g", u"http://a/b/c/g"},
      {u"g/", u"http://a/b/c/g/"},
      {u"/g", u"http://a/g"},
      {u"//g", u"http://g"},
      {u"?y", u"http://a/b/c/d;p?y"},
      {u"g?y#s", u"http://a/b/c/g?y#s"},
      {u"#s", u"http://a/b/c/d;p?q#s"},
      {u"", u"http://a/b/c/d;p?q"},
      {u".", u"http://a/b/c/"},
      {u"..", u"http://a/b/"},
      {u"../g", u"http://a/b/g"},
      {u"../../../g", u"http://a/g"},
      {u"/./g", u"http://a/g"},
      {u"g/../h", u"http://a/b/c/h"},
      {u"https:x", u"https:x"},
      {u" g\n\t1 ", u"http://a/b/c/g1"},
      {u"mailto:a@b", u"mailto:a@b"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(test::Shown(ResolveUrl(base, c.reference)), test::Shown(c.expected))
        << test::Shown(c.reference);
  }
  EXPECT_EQ(test::Shown(ResolveUrl(u"", u"a/b")), "a/b");
  EXPECT_EQ(test::Shown(ResolveUrl(u"http://h", u"x")), "http://h/x");
}

}  // namespace
}  // namespace pagelift
