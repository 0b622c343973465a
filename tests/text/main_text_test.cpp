#include "text/main_text.h"

#include <gtest/gtest.h>

#include <string>

#include "support/text.h"
#include "text/readable_text.h"

namespace pagelift {
namespace {

// Wide enough that nothing is folded.
constexpr double kNoFold = 1000;

// Sentences of an article, each long enough to read as prose.
constexpr char16_t kFirst[] =
    u"The council met on Monday and agreed, after a long debate, to rebuild the old bridge.";
constexpr char16_t kSecond[] =
    u"Work starts in March, and the cost of two million comes from the city and the state.";
constexpr char16_t kThird[] =
    u"The ferry will carry cars meanwhile, every half hour, from six in the morning on.";

std::u16string P(std::u16string_view text) {
  return u"<p>" + std::u16string(text) + u"</p>";
}

// The article of two paragraphs, with the page's menu before it.
std::u16string Page(std::u16string_view title, std::u16string_view body) {
  return u"<title>" + std::u16string(title) +
         u"</title><div><ul><li><a href=/>Home</a><li><a href=/news>News</a><li><a "
         u"href=/sport>Sport</a></ul></div>" +
         std::u16string(body);
}

std::u16string Article(std::u16string_view inside = {}) {
  return u"<div>" + P(kFirst) + std::u16string(inside) + P(kSecond) + u"</div>";
}

std::u16string Text(std::u16string_view title, std::initializer_list<std::u16string_view> lines) {
  std::u16string text(title);
  for (const auto line : lines) text += u"\r\n\r\n" + std::u16string(line);
  return text + u"\r\n";
}

TEST(MainText, GivesTheTitleAndTheArticleAlone) {
  const std::u16string story = u"<li><h3><a href=/s>A headline of another story today</a></h3>" +
                               P(u"What the story says, in a line or two, to draw the reader in.");
  const struct {
    const char* what;
    std::u16string page;
    std::u16string expected;
  } cases[] = {
      {"a list of links, in the article too",
       Page(u"T", Article(u"<ul><li><a href=/a>Bridges of the city</a><li><a href=/b>The river "
                          u"in spring</a></ul>")),
       Text(u"T", {kFirst, kSecond})},
      {"comments, though longer than the article",
       Page(u"T", Article() + u"<div id=comments>" + P(kThird) + P(kThird) + P(kFirst) + u"</div>"),
       Text(u"T", {kFirst, kSecond})},
      {"<aside> and <footer>",
       Page(u"T", u"<article>" + P(kFirst) + u"<aside>" + P(kThird) + u"</aside>" + P(kSecond) +
                      u"</article><footer>" + P(kThird) + u"</footer>"),
       Text(u"T", {kFirst, kSecond})},
      {"a list of stories under headline links, though longer than the article",
       Page(u"T", Article() + u"<ul>" + story + story + story + story + u"</ul>"),
       Text(u"T", {kFirst, kSecond})},
      {"an article that an advertisement splits is kept whole",
       Page(u"T", u"<div>" + Article() + u"<div class=ad-slot>Advertisement</div>" + Article() +
                      u"</div>"),
       Text(u"T", {kFirst, kSecond, u"Advertisement", kFirst, kSecond})},
      {"alternative text and captions but the first figure's",
       Page(u"T", Article(u"<figure><img alt=\"The bridge\"><figcaption>The old "
                          u"bridge.</figcaption></figure>" +
                          P(kThird) +
                          u"<figure><img alt=\"The ferry\"><figcaption>The "
                          u"ferry.</figcaption></figure>")),
       Text(u"T", {kFirst, u"The old bridge.", kThird, kSecond})},
      {"a heading that says the title again",
       Page(u"Bridge to be rebuilt | The Daily",
            u"<article><h1>Bridge to be rebuilt</h1>" + P(kFirst) + P(kSecond) + u"</article>"),
       Text(u"Bridge to be rebuilt | The Daily", {kFirst, kSecond})},
      {"the headline and the date just before the article are kept",
       Page(u"T", u"<div><h1>Bridge</h1><div>4 April 2019</div>" + Article() +
                      u"<ul><li><a href=/f>Facebook</a><li><a href=/t>Twitter</a><li><a "
                      u"href=/e>Email</a></ul></div>"),
       Text(u"T", {u"Bridge", u"4 April 2019", kFirst, kSecond})},
      {"Japanese: a wide character counts two, and 。 and 、 mark prose",
       Page(u"T", P(u"市議会は月曜日に会議を開き、長い議論の末、古い橋を来春までに架け替えることを"
                    u"決めた。工事は三月に始まる。")),
       Text(u"T", {u"市議会は月曜日に会議を開き、長い議論の末、古い橋を来春までに架け替えることを"
                   u"決めた。工事は三月に始まる。"})},
      {"links hidden far off the screen",
       Page(u"T", Article(u"<div style=\"position: absolute; LEFT: -9999px\"><a "
                          u"href=/x>Cheap watches</a></div>")),
       Text(u"T", {kFirst, kSecond})},
      {"a description list keeps its links",
       Page(u"T", Article(u"<dl><dt>Topics</dt><dd><a href=/b>Bridges</a>, <a "
                          u"href=/r>Rivers</a></dd></dl>")),
       Text(u"T", {kFirst, u"Topics\r\nBridges, Rivers", kSecond})},
      {"a link alone is kept, links one after another in their blocks are not",
       Page(u"T", Article(u"<p><a href=/o>The report (2019)</a></p>" + P(kThird) +
                          u"<p><a href=/x>Read this</a></p><p><a href=/y>Read that</a></p>")),
       Text(u"T", {kFirst, u"The report (2019)", kThird, kSecond})},
      {"the heading of a list left out",
       Page(u"T", Article(u"<h3>More</h3><ul><li><a href=/a>Bridges of the city</a><li><a "
                          u"href=/b>The river in spring</a></ul>")),
       Text(u"T", {kFirst, kSecond})},
  };
  for (const auto& c : cases) {
    const MainForm form = MainTextForm(c.page, kNoFold);
    EXPECT_EQ(test::Shown(form.text), test::Shown(c.expected)) << c.what;
    EXPECT_TRUE(form.article) << c.what;
  }
}

TEST(MainText, GivesTheReadableFormWhenNoBlockStandsOut) {
  // Short lines are worth little, however many: a list of words is no article.
  std::u16string words = u"<div>";
  for (int i = 0; i < 12; ++i) words += u"<div>Bridges and rivers</div>";
  for (const std::u16string& page :
       {Page(u"T", u"<p>Short.</p>"), Page(u"T", words + u"</div>"), std::u16string(u"")}) {
    const MainForm form = MainTextForm(page, kNoFold);
    EXPECT_FALSE(form.article) << test::Shown(page);
    EXPECT_EQ(form.text, ReadableText(page, kNoFold)) << test::Shown(page);
  }
}

TEST(MainText, FoldsAtTheWidth) {
  EXPECT_EQ(
      test::Shown(MainText(Page(u"T", Article()), 40)),
      test::Shown(u"T\r\n\r\nThe council met on Monday and agreed,\r\nafter a long debate, to "
                  u"rebuild the old\r\nbridge.\r\n\r\nWork starts in March, and the cost "
                  u"of\r\ntwo million comes from the city and the\r\nstate.\r\n"));
}

}  // namespace
}  // namespace pagelift
