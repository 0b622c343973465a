#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "convert/line_ends.h"
#include "support/text.h"
#include "text/html_to_text.h"

namespace pagelift {
namespace {

struct PageCase {
  const char* what;
  std::u16string page;
  std::u16string expected;
};

// Wide enough that nothing is folded.
constexpr double kNoFold = 1000;

void ExpectReduces(const std::vector<PageCase>& cases) {
  for (const PageCase& c : cases) {
    EXPECT_EQ(test::Shown(HtmlToText(c.page, kNoFold)), test::Shown(c.expected)) << c.what;
  }
}

TEST(HtmlToText, DropsWhitespaceOutsidePre) {
  ExpectReduces({
      {"words run together", u"two words", u"twowords\r\n"},
      {"tabs and line ends", u"a\tb\r\nc\nd\re", u"abcde\r\n"},
      {"a page of whitespace", u" \t\r\n \n\r ", u"\r\n"},
      {"empty page", u"", u"\r\n"},
  });
}

TEST(HtmlToText, KeepsWhitespaceInsidePreWithCrLfLineEnds) {
  ExpectReduces({
      {"spaces and CR LF", u"<pre>a b\r\nc</pre>", u"a b\r\nc\r\n"},
      {"same without pre", u"a b\r\nc", u"abc\r\n"},
      {"lone LF becomes CR LF", u"<pre>a\nb</pre>", u"a\r\nb\r\n"},
      {"lone CR stays", u"<pre>a\rb</pre>", u"a\rb\r\n"},
      {"CR before CR LF", u"<pre>a\r\r\nb</pre>", u"a\r\r\nb\r\n"},
      {"tab kept", u"<pre>\ta</pre>", u"\ta\r\n"},
      {"capitals", u"<PRE>a b</Pre>c d", u"a bcd\r\n"},
      {"pre with a space is a plain tag", u"<pre >a b</pre>", u"ab\r\n"},
      {"pre with attributes is a plain tag", u"<pre class=x>a b</pre>", u"ab\r\n"},
      {"pre stays on across tags", u"<pre><b>a b</b> c</pre>", u"a b c\r\n"},
  });
}

TEST(HtmlToText, ReadsLineEndsAsIfAllWereMadeCrLfFirst) {
  const std::u16string pages[] = {
      u"<pre>a\nb\r\nc\rd\r\r\ne\n\n</pre>",
      u"<pre>\n<!--\n-->\n<b\r\n>x\n</pre>\n",
      u"a\nb<br\n>c\r",
      u"<pre>a\r",
      u"<pre>\r\n\n\r",
      // Marker letters after a CR LF keep the page from being cut there, but not between
      // the CR and the LF.
      u"<pre>a\r\nscriptscript</pre>",
  };
  for (const std::u16string& page : pages) {
    const std::string expected = test::Shown(HtmlToText(ChangeLfToCrLf(page), kNoFold));
    EXPECT_EQ(test::Shown(HtmlToText(page, kNoFold)), expected) << test::Shown(page);
    // And as the download hands the page on, in pieces of any size.
    for (std::size_t piece = 1; piece < page.size(); ++piece) {
      PageReducer reducer(kNoFold, page.size());
      for (std::size_t at = 0; at < page.size(); at += piece) {
        reducer.Input().append(page.substr(at, piece));
        reducer.Reduce();
      }
      EXPECT_EQ(test::Shown(reducer.Finish()), expected)
          << test::Shown(page) << " in pieces of " << piece;
    }
  }
}

TEST(HtmlToText, TurnsTheListedTagsIntoLineEndsAndSpaces) {
  ExpectReduces({
      {"br", u"a<br>b", u"a\r\nb\r\n"},
      {"BR", u"a<BR>b", u"a\r\nb\r\n"},
      {"Br", u"a<Br>b", u"a\r\nb\r\n"},
      {"self-closing br is a plain tag", u"a<br/>b", u"ab\r\n"},
      {"br with a space is a plain tag", u"a<br />b", u"ab\r\n"},
      {"table row", u"<tr><td>x</td><td>y</td></tr>z", u"x y\r\nz\r\n"},
      {"capital cells", u"<TR><TD>x</TD><TD>y</TD></TR>", u"x y\r\n"},
      {"definition list", u"<dl><dt>t</dt><dd>d</dd></dl>e", u"t d\r\ne\r\n"},
      {"list items", u"<ul><li>a</li><li>b</li></ul>", u"a b\r\n"},
      {"title then body", u"<title>T</title><p>body</p>", u"T\r\nbody\r\n"},
      {"other tags vanish", u"<p>a</p><div>b</div><h1>c</h1>", u"abc\r\n"},
  });
}

TEST(HtmlToText, DecodesOnlyThreeEntities) {
  ExpectReduces({
      {"lt and gt open no tag", u"&lt;b&gt;", u"<b>\r\n"},
      {"capitals", u"&LT;&Gt;", u"<>\r\n"},
      {"nbsp", u"a&nbsp;b&NBSP;c", u"a b c\r\n"},
      {"amp stays", u"a&amp;b", u"a&amp;b\r\n"},
      {"quot and numeric stay", u"&quot;&#60;&#x3C;", u"&quot;&#60;&#x3C;\r\n"},
      {"bare ampersands", u"&&&&", u"&&&&\r\n"},
      {"unfinished entity", u"a&lt", u"a&lt\r\n"},
  });
}

TEST(HtmlToText, DropsCommentsScriptsNoscriptsAndStyles) {
  ExpectReduces({
      {"comment", u"x<!-- c -->y", u"xy\r\n"},
      {"unclosed comment", u"x<!-- c", u"x\r\n"},
      {"dash before the closer", u"x<!-- a --->y", u"xy\r\n"},
      {"script with attributes and a <", u"<script type=\"t\">if (a<b) f();</script>u", u"u\r\n"},
      {"capital script", u"<SCRIPT>x</SCRIPT>u", u"u\r\n"},
      {"scripts attribute marks its region, not a tag", u"<script src=\"a>b\">c</script>u",
       u"u\r\n"},
      {"noscript", u"<NoScript><p>n</p></noscript>t", u"t\r\n"},
      {"style", u"<style>p{}</style>t", u"t\r\n"},
      {"capital style", u"<STYLE>p{}</STYLE>t", u"t\r\n"},
      {"style with attributes is a plain tag", u"<style type=\"text/css\">p{}</style>t",
       u"p{}t\r\n"},
      {"style with a space is a plain tag", u"<style >p{}</style>t", u"p{}t\r\n"},
      {"unclosed script", u"a<script", u"a\r\n"},
  });
}

// A region's closer is found wherever it falls against the blocks the scan looks at a
// page in, far into a long region and near the page's end alike.
TEST(HtmlToText, FindsTheCloserOfALongRegionWhereverItFalls) {
  struct Region {
    std::u16string_view opener, closer;
  };
  constexpr Region kRegions[] = {
      {u"<script>", u"</script>"}, {u"<style>", u"</style>"}, {u"<!--", u"-->"}};
  for (const Region& region : kRegions) {
    for (std::size_t length = 0; length < 300; ++length) {
      std::u16string page = u"a";
      page.append(region.opener).append(length, u'x').append(region.closer).append(u"b");
      for (const ScanIsa isa : RunnableScanIsas()) {
        ASSERT_EQ(test::Shown(HtmlToText(page, kNoFold, isa)), test::Shown(u"ab\r\n"))
            << test::Shown(page) << ", scan built for " << static_cast<int>(isa);
      }
    }
  }
}

TEST(HtmlToText, OpensRegionsEverywhereAndClosesEachOnlyByItsOwnCloser) {
  ExpectReduces({
      {"script opened inside a comment outlives it", u"<!--<script a=1>-->t</script>u", u"u\r\n"},
      {"comment opened inside a script", u"<script><!--</script>a-->b", u"b\r\n"},
      {"that comment never closed", u"<script><!--</script>ab", u"\r\n"},
      {"interleaved regions", u"<style>a<script>b</style>c</script>d", u"d\r\n"},
      {"pre inside a comment does nothing", u"<!--<pre>-->a b", u"ab\r\n"},
      {"closer with no region open is a plain tag", u"a</script>b-->c", u"ab-->c\r\n"},
      {"comment opened inside a tag, tag goes on after it", u"<a href=\"<!--\">x-->y\">z",
       u"z\r\n"},
  });
}

TEST(HtmlToText, ActsOnMarkersInsideTags) {
  ExpectReduces({
      {"entity and br in an attribute", u"a<img alt=\"&lt;<br>\">b", u"a<\r\nb\r\n"},
      {"br inside a tag leaves the tag open", u"a<x <br> y>b", u"a\r\nb\r\n"},
  });
}

TEST(HtmlToText, HandlesStrayAngleBrackets) {
  ExpectReduces({
      {"stray > is copied", u"1 > 0", u"1>0\r\n"},
      {"stray < swallows the rest", u"1 < 2", u"1\r\n"},
      {"up to the next >", u"1 < 2 > 3", u"13\r\n"},
      {"a run of <", u"<<<<", u"\r\n"},
      {"markers still act after a stray <", u"1 < 2<br>3", u"1\r\n"},
  });
}

TEST(HtmlToText, FoldsItsResultAtTheWidth) {
  EXPECT_EQ(test::Shown(HtmlToText(u"<p>abc def</p><br>今日は晴れ", 4)),
            test::Shown(u"abcd\r\nef\r\n今日\r\nは晴\r\nれ\r\n"));
}

}  // namespace
}  // namespace pagelift
