#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <string_view>

#include "convert/line_ends.h"
#include "random_text.h"
#include "support/text.h"
#include "text/html_to_text.h"
#include "text/wrap_lines.h"

namespace pagelift {
namespace {

// The reduction read literally: line ends made CR LF first, then every position examined
// in turn, each marker compared afresh. Slow, and plain enough to check by eye.
class ReductionByTheRules {
 public:
  explicit ReductionByTheRules(std::u16string_view page)
      : text_(ChangeLfToCrLf(std::u16string(page))) {}

  std::u16string Run() {
    for (pos_ = 0; pos_ < text_.size(); ++pos_) Examine();
    return out_;
  }

 private:
  struct Replacement {
    std::u16string_view marker;
    std::u16string_view appended;
  };

  bool Consumes(std::u16string_view marker) {
    if (text_.size() - pos_ < marker.size()) return false;
    for (std::size_t k = 0; k < marker.size(); ++k) {
      char16_t c = text_[pos_ + k];
      if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
      if (c != marker[k]) return false;
    }
    pos_ += marker.size() - 1;
    return true;
  }

  void Examine() {
    static constexpr std::array<std::u16string_view, 4> kOpeners = {u"<!--", u"<script",
                                                                    u"<noscript", u"<style>"};
    static constexpr std::array<std::u16string_view, 4> kClosers = {u"-->", u"</script>",
                                                                    u"</noscript>", u"</style>"};
    static constexpr std::array<Replacement, 10> kReplacements = {{
        {u"<br>", u"\r\n"},
        {u"</td>", u" "},
        {u"</tr>", u"\r\n"},
        {u"</dt>", u" "},
        {u"</li>", u" "},
        {u"</dl>", u"\r\n"},
        {u"&nbsp;", u" "},
        {u"&lt;", u"<"},
        {u"&gt;", u">"},
        {u"</title>", u"\r\n"},
    }};
    bool opened = false;
    for (std::size_t i = 0; i < kOpeners.size() && !opened; ++i) {
      if (Consumes(kOpeners[i])) {
        regions_[i] = true;
        opened = true;
      }
    }
    if (regions_[0] || regions_[1] || regions_[2] || regions_[3]) {
      for (std::size_t i = 0; i < kClosers.size() && !opened; ++i) {
        if (Consumes(kClosers[i])) {
          regions_[i] = false;
          break;
        }
      }
      return;
    }
    for (const Replacement& r : kReplacements) {
      if (Consumes(r.marker)) {
        out_ += r.appended;
        return;
      }
    }
    if (Consumes(u"<pre>")) {
      in_pre_ = true;
      return;
    }
    if (Consumes(u"</pre>")) {
      in_pre_ = false;
      return;
    }
    const char16_t c = text_[pos_];
    bool drop = false;
    if (c == u'<') {
      in_tag_ = true;
    } else if (!in_pre_ && (c == u'\t' || c == u'\n' || c == u'\r' || c == u' ')) {
      drop = true;
    }
    if (!in_tag_ && !drop) out_ += c;
    if (c == u'>') in_tag_ = false;
  }

  std::u16string text_;
  std::size_t pos_ = 0;
  std::array<bool, 4> regions_{};
  bool in_tag_ = false;
  bool in_pre_ = false;
  std::u16string out_;
};

// The page through a PageReducer, in parts of sizes drawn from `engine`.
std::u16string InParts(std::u16string_view page, double width, ScanIsa isa, std::mt19937& engine) {
  PageReducer reducer(width, page.size(), isa);
  std::uniform_int_distribution<std::size_t> size(1, 24);
  for (std::size_t at = 0; at < page.size();) {
    const std::size_t part = std::min(size(engine), page.size() - at);
    reducer.Input().append(page.substr(at, part));
    reducer.Reduce();
    at += part;
  }
  return reducer.Finish();
}

TEST(HtmlToText, ReducesRandomPagesAsTheRulesReadLiterally) {
  test::RandomText pages({
      u"<",           u">",       u"&",        u"-",       u"!",       u"/",         u" ",
      u"\t",          u"\r",      u"\n",       u"\r\n",    u"a",       u"B",         u"漢",
      u"ｱ",           u"<!--",    u"-->",      u"<script", u"<ScRiPt", u"</script>", u"<noscript",
      u"</noscript>", u"<style>", u"</STYLE>", u"<br>",    u"<BR>",    u"</td>",     u"</tr>",
      u"</dt>",       u"</li>",   u"</dl>",    u"&nbsp;",  u"&lt;",    u"&GT;",      u"</title>",
      u"<pre>",       u"</pre>",  u"<PRE>",    u"<scr",    u"ipt",     u"</",        u"p>",
      u"<p>",         u"&amp;",   u"<!-",      u"--",      u"nbsp;",   u"style>",
  });
  // Long runs of plain text, so that runs longer than any block of the scan occur too, and
  // some long pages, over which the scan looks at many stretches in turn.
  const std::u16string long_run = u"東京は晴れ、sunny 18度でしょう。abcdefghijklmnop";
  // The page in parts too, folded at widths that keep some of a line waiting, or none.
  const double widths[] = {-1, 0.5, 1, 2, 3, 7, 100, 1e300};
  for (int i = 0; i < 20000; ++i) {
    std::u16string page = pages.Next(i % 16 == 0 ? 400 : 40);
    if (i % 4 == 0) page.insert(page.size() / 2, long_run);
    const std::u16string reduced = ReductionByTheRules(page).Run();
    const std::u16string expected = WrapLines(reduced, 1000);
    const double width = widths[static_cast<std::size_t>(i) % std::size(widths)];
    const std::u16string folded = WrapLines(reduced, width);
    for (const ScanIsa isa : RunnableScanIsas()) {
      const std::u16string got = HtmlToText(page, 1000, isa);
      ASSERT_EQ(test::Shown(got), test::Shown(expected))
          << "scan built for " << static_cast<int>(isa) << ", page: " << test::Shown(page);
      ASSERT_EQ(test::Shown(InParts(page, width, isa, pages.Engine())), test::Shown(folded))
          << "in parts, W=" << width << ", scan built for " << static_cast<int>(isa)
          << ", page: " << test::Shown(page);
    }
  }
}

}  // namespace
}  // namespace pagelift
