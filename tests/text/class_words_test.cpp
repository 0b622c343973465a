#include "text/class_words.h"

#include <gtest/gtest.h>

#include "text/page_kind.h"

namespace pagelift {
namespace {

using W = PartWord;

TEST(ClassWords, SplitsNamesIntoWordsAndFindsTheirGroups) {
  const struct {
    std::u16string value;
    PartWords expected;
  } cases[] = {
      {u"comment-list", Bit(W::kComment) | Bit(W::kCard)},
      {u"commentlist", Bit(W::kComment)},                      // a part anywhere in a word
      {u"sidebarWidget", Bit(W::kSidebar) | Bit(W::kWidget)},  // lower meets upper
      {u"entry-content", Bit(W::kContent)},
      {u"nav", Bit(W::kNav)},
      {u"canvas", 0},                     // "nav" is no part of it
      {u"SITE_HEADER", Bit(W::kHeader)},  // capitals, and '_' between words
      {u"post-1234 reply", Bit(W::kPost) | Bit(W::kReply)},
      {u"articleBody", Bit(W::kContent)},  // itemprop
      {u"https://schema.org/Comment", Bit(W::kComment)},
      {u"product-reviews", Bit(W::kProduct) | Bit(W::kReview)},
      {u"sr-only", Bit(W::kHidden)},
      {u"", 0},
      // A word of more than 40 letters is kept to its start.
      {u"x-" + std::u16string(60, u'a') + u"comment", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WordsOfName(c.value), c.expected) << std::string(c.value.begin(), c.value.end());
  }
}

TEST(ClassWords, ReadsRoles) {
  EXPECT_EQ(WordsOfRole(u"navigation"), Bit(W::kNav));
  EXPECT_EQ(WordsOfRole(u"Complementary"), Bit(W::kSidebar));
  EXPECT_EQ(WordsOfRole(u" tabpanel  dialog"), Bit(W::kTab) | Bit(W::kPopup));
  EXPECT_EQ(WordsOfRole(u"presentation"), 0u);
  EXPECT_EQ(WordsOfRole(std::u16string(40, u'n')), 0u);
}

TEST(PageKind, ReadsWhatAPageSaysItIs) {
  using K = PageKindWord;
  PageKind kind;
  AddJsonLdKinds(
      uR"({"@context":"https://schema.org","@type" : ["WebPage","Product"],
                   "offers":{"@type":"Offer"},"review":{"@type": "Review"}})",
      kind);
  EXPECT_EQ(kind.schema, KindBit(K::kWebsite) | KindBit(K::kProduct));
  AddItemTypeKinds(u"http://schema.org/DiscussionForumPosting https://schema.org/Thing", kind);
  EXPECT_EQ(kind.schema, KindBit(K::kWebsite) | KindBit(K::kProduct) | KindBit(K::kDiscussion));
  AddJsonLdKinds(u"{\"@type\":\"Article", kind);  // cut short: read to its end
  EXPECT_NE(kind.schema & KindBit(K::kArticle), 0);
  AddGraphKind(u" Article ", kind);
  EXPECT_EQ(kind.graph, KindBit(K::kArticle));

  const struct {
    std::u16string_view address;
    PageKindWords path;
    int depth;
  } cases[] = {
      {u"https://forum.example.org/t/some-topic/1234", KindBit(K::kDiscussion), 3},
      {u"https://example.com/2024/05/01/a-story/", KindBit(K::kArticle), 4},
      {u"https://shop.example/Products/blue-rug?color=2#top", KindBit(K::kProduct), 2},
      {u"https://example.com/docs/api/reference", KindBit(K::kDocs), 3},
      {u"https://example.com/", 0, 0},
      {u"https://example.com", 0, 0},
      {u"/category/shoes", KindBit(K::kCollection), 2},
  };
  for (const auto& c : cases) {
    PageKind page;
    AddAddressKinds(c.address, page);
    EXPECT_EQ(page.path, c.path) << std::string(c.address.begin(), c.address.end());
    EXPECT_EQ(page.path_depth, c.depth) << std::string(c.address.begin(), c.address.end());
  }
}

}  // namespace
}  // namespace pagelift
