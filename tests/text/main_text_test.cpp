#include "text/main_text.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "support/text.h"
#include "text/main_features.h"
#include "text/page_form.h"
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

std::u16string Text(std::u16string_view title, std::initializer_list<std::u16string_view> lines) {
  std::u16string text(title);
  for (const auto line : lines) text += u"\r\n\r\n" + std::u16string(line);
  return text + u"\r\n";
}

// A model of one tree on one feature: a block where the feature is below 1 is main text, one
// where it is 1 or more is not.
class KeepBelowOne {
 public:
  explicit KeepBelowOne(MainFeature feature, MainChoice choice = {})
      : feature_{static_cast<std::uint8_t>(feature)},
        model_({1, 1, feature_, value_, leaves_}, choice) {}
  const MainModel& model() const { return model_; }

 private:
  std::array<std::uint8_t, 1> feature_;
  std::array<float, 1> value_ = {1};
  std::array<float, 2> leaves_ = {4, -4};
  MainModel model_;
};

TEST(MainText, LaysOutTheKeptBlocksInTheirPlaces) {
  const KeepBelowOne no_comments(MainFeature::kWordComment);
  const struct {
    const char* what;
    std::u16string page;
    std::u16string expected;
  } cases[] = {
      {"a block left out, and the blocks in it too",
       u"<title>T</title><article>" + P(kFirst) + u"<div class=comment>" + P(kThird) + u"</div>" +
           P(kSecond) + u"</article>",
       Text(u"T", {kFirst, kSecond})},
      {"the lists around kept items, numbered as they are kept",
       u"<title>T</title><ol><li class=comment>One</li><li>Two</li><li>Three</li></ol>",
       Text(u"T", {u"1. Two\r\n2. Three"})},
      {"no alternative text", u"<title>T</title><p>Bridge <img alt=\"The old bridge\"> today.</p>",
       Text(u"T", {u"Bridge today."})},
      {"what the page gives those without scripts",
       u"<title>T</title><noscript><p>The thread's first post.</p></noscript>",
       Text(u"T", {u"The thread's first post."})},
      {"the panel of a tab the page's scripts open",
       u"<title>T</title><div role=tabpanel hidden><p>Weight: 2 kg</p></div>"
       u"<div hidden><p>Sign in</p></div>",
       Text(u"T", {u"Weight: 2 kg"})},
  };
  for (const auto& c : cases) {
    const MainForm form = MainTextForm(c.page, kNoFold, no_comments.model());
    EXPECT_EQ(test::Shown(form.text), test::Shown(c.expected)) << c.what;
    EXPECT_TRUE(form.article) << c.what;
  }
}

TEST(MainText, LaysOutABlockKeptInOneLeftOutAndTheInlineContentOfAKeptBlock) {
  const KeepBelowOne no_items(MainFeature::kTagListItem);
  EXPECT_EQ(test::Shown(MainTextForm(u"<title>T</title><ul><li>An item, left out<div>Kept, <b>all"
                                     u"</b> of it.<img alt=Picture></div></li></ul>",
                                     kNoFold, no_items.model())
                            .text),
            // Still in the list item, though the item's own text is left out.
            test::Shown(Text(u"T", {u"\u30FBKept, all of it."})));
}

TEST(MainText, GivesTheReadableFormWhenNoBlockStandsOut) {
  // Every block a comment: nothing is likely main text, and the expected F1 is below 0.5.
  const KeepBelowOne no_comments(MainFeature::kWordComment, {0.5f, 0});
  for (const std::u16string& page :
       {u"<title>T</title><div class=comment>" + P(kFirst) + P(kSecond) + u"</div>",
        std::u16string(u""), std::u16string(u"<title>T</title>")}) {
    const MainForm form = MainTextForm(page, kNoFold, no_comments.model());
    EXPECT_FALSE(form.article) << test::Shown(page);
    EXPECT_EQ(form.text, ReadableText(page, kNoFold)) << test::Shown(page);
  }
}

TEST(MainText, FoldsAtTheWidth) {
  const KeepBelowOne no_comments(MainFeature::kWordComment);
  EXPECT_EQ(
      test::Shown(
          MainTextForm(u"<title>T</title>" + P(kFirst) + P(kSecond), 40, no_comments.model()).text),
      test::Shown(u"T\r\n\r\nThe council met on Monday and agreed,\r\nafter a long debate, "
                  u"to rebuild the old\r\nbridge.\r\n\r\nWork starts in March, and the cost "
                  u"of\r\ntwo million comes from the city and the\r\nstate.\r\n"));
}

// The program's own model on pages of the kinds it must tell apart.
TEST(MainText, FindsTheMainContentOfEveryKindOfPage) {
  std::u16string menu = u"<nav><ul>";
  for (const char16_t* item : {u"Home", u"News", u"Sport", u"Weather", u"Travel", u"Culture"}) {
    menu += u"<li><a href=/x>" + std::u16string(item) + u"</a></li>";
  }
  menu += u"</ul></nav>";
  const std::u16string footer =
      u"<footer><p><a href=/a>About us</a> <a href=/p>Privacy</a> <a href=/t>Terms</a></p>"
      u"<p>Copyright 2026 The Daily. All rights reserved.</p></footer>";
  std::u16string article;
  for (int i = 0; i < 4; ++i) article += P(kFirst) + P(kSecond) + P(kThird);
  std::u16string comments = u"<section id=comments><h2>Comments</h2><ol class=comment-list>";
  for (int i = 0; i < 3; ++i) {
    comments += u"<li class=comment><div class=comment-author>reader" +
                std::u16string(1, u'1' + i) + u"</div><div class=comment-body>" + P(kThird) +
                u"</div></li>";
  }
  comments += u"</ol></section>";
  std::u16string thread;
  for (int i = 0; i < 5; ++i) {
    thread += u"<div class=post><div class=post-body>" + P(i % 2 ? kFirst : kSecond) + P(kThird) +
              u"</div></div>";
  }
  const struct {
    const char* what;
    std::u16string page;
    std::u16string_view kept;      // in the main form
    std::u16string_view left_out;  // not in it
  } cases[] = {
      {"an article keeps its body, and leaves its comments out",
       u"<title>Bridge</title>" + menu + u"<article><h1>Bridge</h1>" + article + u"</article>" +
           comments + footer,
       kSecond, u"reader2"},
      {"... and the menu and the footer",
       u"<title>Bridge</title>" + menu + u"<article>" + article + u"</article>" + footer, kFirst,
       u"Privacy"},
      {"a thread that a page gives in noscript keeps its posts",
       u"<title>Thread</title>" + menu + u"<div id=app></div><noscript>" + thread + u"</noscript>" +
           footer,
       kThird, u"Weather"},
  };
  for (const auto& c : cases) {
    const MainForm form = MainTextForm(c.page, kNoFold);
    EXPECT_TRUE(form.article) << c.what;
    EXPECT_NE(form.text.find(c.kept), std::u16string::npos) << c.what << "\n"
                                                            << test::Shown(form.text);
    EXPECT_EQ(form.text.find(c.left_out), std::u16string::npos) << c.what << "\n"
                                                                << test::Shown(form.text);
  }
}

// The size the page says it has decides: a tree up to kLargestParsedPage bytes, beyond it the
// stream, which gives the readable form.
TEST(PageForm, StreamsOnlyAPageLargerThanATreeIsMadeFor) {
  for (const auto& [bytes, streams] :
       {std::pair{kLargestParsedPage, false}, std::pair{kLargestParsedPage + 1, true}}) {
    PageForm form(TextForm::kMain, kNoFold, bytes);
    form.Append(P(kFirst));
    EXPECT_EQ(test::Shown(form.Finish()), test::Shown(std::u16string(kFirst) + u"\r\n"));
    EXPECT_EQ(form.MainGaveReadable(), streams) << bytes << " bytes";
  }
}

}  // namespace
}  // namespace pagelift
