#include "text/readable_text.h"

#include <gtest/gtest.h>

#include <string>

#include "support/text.h"
#include "text/readable_stream.h"

namespace pagelift {
namespace {

// Wide enough that nothing is folded.
constexpr double kNoFold = 1000;

// The page laid out as it streams in, in pieces of `piece` units.
std::u16string Streamed(std::u16string_view page, double width, std::size_t piece) {
  ReadableStream stream(width);
  std::u16string text;
  for (std::size_t at = 0; at < page.size(); at += piece) {
    stream.Append(page.substr(at, piece));
    stream.TakeText(text);
  }
  return text + stream.Finish();
}

TEST(ReadableText, LaysThePageOutAsAPersonReadsIt) {
  const struct {
    const char* what;
    std::u16string page;
    std::u16string expected;
  } cases[] = {
      {"the title first, apart", u"<title> The <b> title </title><p>text</p>",
       u"The <b> title\r\n\r\ntext\r\n"},
      {"a title never closed holds the rest", u"<title>a &amp; b<p>c", u"a & b<p>c\r\n"},
      {"blocks start lines, paragraphs are set apart",
       u"<div>one</div><div>two</div><p>three</p>four<h1>five</h1>six",
       u"one\r\ntwo\r\n\r\nthree\r\n\r\nfour\r\n\r\nfive\r\n\r\nsix\r\n"},
      {"white space collapses, words stay apart", u"<p>  two \n\t words <b>and</b> <i>more</i></p>",
       u"two words and more\r\n"},
      {"a line end between wide characters goes",
       u"<p>日本語の\n文章、\r\n  続き。ABC\nDEF 漢字\n字</p>",
       u"日本語の文章、続き。ABC DEF 漢字字\r\n"},
      {"a line end between a wide and a narrow word is a space", u"<p>日本語の\nABC</p>",
       u"日本語の ABC\r\n"},
      {"a line end after a wide character beyond the BMP goes", u"<p>\U00020B9F\nる。</p>",
       u"\U00020B9Fる。\r\n"},
      {"a space between wide characters stays", u"<p>日本 語</p>", u"日本 語\r\n"},
      {"every entity decoded", u"<p>&amp;&lt;&#12354;&#x3042;&hellip;&nbsp;x&copy</p>",
       u"&<ああ… x©\r\n"},
      {"pre keeps its spaces and lines, to its end",
       u"<p>a</p><pre>\n  x  y\n\n\tz\n</pre><p>b \n  c</p>",
       u"a\r\n\r\n  x  y\r\n\r\n\tz\r\n\r\nb c\r\n"},
      {"listing drops the line end after its start tag, as pre does", u"a<listing>\nx  y</listing>",
       u"a\r\n\r\nx  y\r\n"},
      {"br ends a line, two leave a blank one", u"a<br>b<br><br>c<br><br><br>d",
       u"a\r\nb\r\n\r\nc\r\n\r\nd\r\n"},
      {"list items with their marks",
       u"<ul><li>a<li><p>b</p></ul><ol start=3><li>c<li value=9>d<li>e</ol>",
       u"・a\r\n・b\r\n\r\n3. c\r\n9. d\r\n10. e\r\n"},
      {"the cells of a row on one line, apart",
       u"<table><tr><th>A</th><td>B</td></tr><tr><td>1<td><td>2<td></table>3",
       u"A\tB\r\n1\t\t2\r\n\r\n3\r\n"},
      {"ruby: the base alone, with rp or without",
       u"<p><ruby>下人<rt>げにん</rt></ruby>と<ruby>羅生門<rp>(</rp><rt>らしょうもん</rt><rp>)</"
       u"rp></ruby></p>",
       u"下人と羅生門\r\n"},
      {"alternative text where it carries words",
       u"<p>a<img alt=\"a cat\">b<img alt=\"photo.JPG\">c<img alt=\"banner_top.png\"><img "
       u"alt=\"0\"><img alt=\" "
       u"\">d<img "
       u"alt=\"Trump&amp;#39;s\"></p>",
       u"a a cat bc 0 d Trump's\r\n"},
      {"what is never shown",
       u"<head><script>document.write('<script>')</script><style>p{}</style><meta content=m></head>"
       u"<template>t</template><noscript>n</noscript><p hidden>h</p>"
       u"<p aria-hidden=\"TRUE\">a</p><p style=\"color:red; DISPLAY : none\">d</p>"
       u"<p style=\"visibility:hidden\">v</p><div hidden><div>x</div>y</div>"
       u"<select><option>o</select><svg><title>icon</title><text>svg</text></svg>shown",
       u"svgshown\r\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(test::Shown(ReadableText(c.page, kNoFold)), test::Shown(c.expected)) << c.what;
    // And from its tokens alone, as a page too large for a tree is laid out.
    for (const std::size_t piece : {1, 7, 4096}) {
      EXPECT_EQ(test::Shown(Streamed(c.page, kNoFold, piece)), test::Shown(c.expected))
          << c.what << ", streamed in pieces of " << piece;
    }
  }
}

TEST(ReadableText, FoldsItsLinesAtTheWidth) {
  EXPECT_EQ(test::Shown(ReadableText(u"<p>one two three</p><pre>abcdefgh</pre>", 9)),
            test::Shown(u"one two\r\nthree\r\n\r\nabcdefgh\r\n"));
  EXPECT_EQ(test::Shown(ReadableText(u"<pre>abcdefghij</pre>", 4)),
            test::Shown(u"abcd\r\nefgh\r\nij\r\n"));
}

}  // namespace
}  // namespace pagelift
