#include "text/main_features.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/readable_text.h"

namespace pagelift {
namespace {

using html::Document;
using F = MainFeature;

// The features of the block whose element has the id `id`.
std::vector<float> FeaturesOf(const Document& document, std::u16string_view id) {
  const MainBlocks blocks(document);
  const MainFeatures features(blocks, TitleOf(document));
  for (std::size_t unit = 0; unit < features.units().size(); ++unit) {
    if (document.FindAttribute(blocks.blocks()[features.units()[unit]].node, u"id") == id) {
      std::vector<float> values(kMainFeatureCount);
      features.Of(unit, values.data());
      return values;
    }
  }
  return {};
}

TEST(MainFeatures, DescribeABlockAndWhatIsAroundIt) {
  const std::u16string story = u"<li class=teaser><a href=/s>A headline of another story</a></li>";
  const Document document = html::ParseDocument(
      u"<title>The Daily | Bridge to be rebuilt\uFF5C2026</title>"
      u"<div class=comments><div id=c class=comment>A reader says it, at length.</div></div>"
      u"<h1 id=h>Bridge to be rebuilt</h1>"
      u"<article><p id=p>The council met on Monday, and agreed.</p>"
      u"<p id=q>Menu</p><p id=r>Menu</p><p id=m>It costs $5 or \u00A55.</p></article>"
      u"<ul id=l>" +
          story + story + story +
          u"<li id=s class=teaser><a href=/t>Yet another headline "
          u"here</a></li></ul>",
      html::Scripting::kOff);
  const struct {
    const char* what;
    std::u16string_view id;
    F feature;
    float expected;
  } cases[] = {
      {"a class word on the block's own element", u"c", F::kWordComment, 3},
      {"... and on the block it is in", u"c", F::kWordContent, 0},
      // The page's text is 185 characters, the comment section's 23 and the list's 91.
      {"the share of the page in the comment section", u"c", F::kShareComment, 23.0f / 185.0f},
      {"a tag word around it", u"p", F::kInArticle, 2},
      {"the heading that says a part of the title again", u"h", F::kTitleAgain, 1},
      {"a heading's level", u"h", F::kHeading, 1},
      {"a paragraph is no heading", u"p", F::kHeading, 0},
      {"the same text twice on the page", u"q", F::kRepeats, 2},
      {"currency signs", u"m", F::kMoney, 2},
      {"a list of stories around it", u"s", F::kStoryList, 91.0f / 185.0f},
      {"a headline link", u"s", F::kHeadlineLink, 1},
      {"alike siblings, itself counted", u"s", F::kAlike, 4},
      {"... and around it", u"s", F::kAlikeUp, 1},
      {"in the largest group of alike blocks", u"s", F::kInLargest, 1},
      {"not in it", u"p", F::kInLargest, 0},
      {"what a link holds", u"s", F::kLinkShare, 1},
  };
  for (const auto& c : cases) {
    const std::vector<float> values = FeaturesOf(document, c.id);
    ASSERT_EQ(values.size(), kMainFeatureCount) << c.what;
    EXPECT_FLOAT_EQ(values[static_cast<std::size_t>(c.feature)], c.expected)
        << c.what << ": " << kMainFeatureNames[static_cast<std::size_t>(c.feature)];
  }
}

}  // namespace
}  // namespace pagelift
