#pragma once

#include <cstdint>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "text/main_blocks.h"

namespace pagelift {

// What the main form knows of a block with text of its own, as numbers: the features of its
// model (main_model.h). Shares are of the page's text; a word's value is 3 where the block's
// element has it, 2 where one of the two elements around it does, 1 where some element around
// it does, 0 where none does.
// clang-format off
#define PAGELIFT_MAIN_FEATURES(X)                                                    \
  /* its own text */                                                                 \
  X(kText, "text") X(kLinkShare, "link_share") X(kAnchors, "anchors")                \
  X(kMarkShare, "mark_share") X(kStops, "stops") X(kWords, "words")                  \
  X(kWordLength, "word_length") X(kDigitShare, "digit_share")                        \
  X(kWideShare, "wide_share") X(kEndsStop, "ends_stop") X(kRepeats, "repeats")       \
  X(kOccurrence, "occurrence")                                                       \
  X(kFirstLink, "first_link") X(kCode, "code") X(kTime, "time")                      \
  X(kMoney, "money") X(kSeparators, "separators") X(kCapitals, "capitals")            \
  X(kTitleAgain, "title_again")                                                      \
  /* its element */                                                                  \
  X(kHeading, "heading") X(kTagParagraph, "tag_paragraph")                           \
  X(kTagListItem, "tag_list_item") X(kTagCell, "tag_cell") X(kTagPre, "tag_pre")     \
  X(kTagQuote, "tag_quote") X(kTagTerm, "tag_term") X(kTagCaption, "tag_caption")    \
  X(kTagOther, "tag_other") X(kDepth, "depth")                                       \
  /* class words */                                                                  \
  X(kWordComment, "w_comment") X(kWordReply, "w_reply") X(kWordPost, "w_post")       \
  X(kWordContent, "w_content") X(kWordSidebar, "w_sidebar") X(kWordNav, "w_nav")     \
  X(kWordPager, "w_pager") X(kWordHeader, "w_header") X(kWordFooter, "w_footer")     \
  X(kWordShare, "w_share") X(kWordRelated, "w_related") X(kWordAd, "w_ad")           \
  X(kWordMeta, "w_meta") X(kWordTags, "w_tags") X(kWordPopup, "w_popup")             \
  X(kWordMedia, "w_media") X(kWordCard, "w_card") X(kWordProduct, "w_product")       \
  X(kWordHidden, "w_hidden") X(kWordTitle, "w_title") X(kWordTab, "w_tab")           \
  X(kWordForm, "w_form") X(kWordUser, "w_user") X(kWordCode, "w_code")               \
  X(kWordWidget, "w_widget") X(kWordReview, "w_review")                              \
  /* tags around it */                                                               \
  X(kInArticle, "t_article") X(kInMain, "t_main") X(kInNav, "t_nav")                 \
  X(kInAside, "t_aside") X(kInFooter, "t_footer") X(kInHeader, "t_header")           \
  X(kInForm, "t_form") X(kInListItem, "t_list_item") X(kInCell, "t_cell")            \
  X(kInNoscript, "t_noscript") X(kInQuote, "t_quote") X(kInFigure, "t_figure")       \
  X(kInLink, "t_link") X(kInTerms, "t_terms") X(kInDetails, "t_details")             \
  X(kInSection, "t_section") X(kInShown, "t_shown")                                  \
  /* the share of the page in the nearest block around it that a word names */      \
  X(kShareComment, "s_comment") X(kShareReply, "s_reply") X(kSharePost, "s_post")    \
  X(kShareContent, "s_content") X(kShareSidebar, "s_sidebar") X(kShareNav, "s_nav")  \
  X(kShareFooter, "s_footer") X(kShareHeader, "s_header")                            \
  X(kShareRelated, "s_related") X(kShareCard, "s_card")                              \
  X(kShareProduct, "s_product") X(kShareReview, "s_review") X(kShareTab, "s_tab")    \
  X(kShareMeta, "s_meta") X(kShareUser, "s_user") X(kShareWidget, "s_widget")        \
  /* the blocks around it */                                                         \
  X(kParentShare, "parent_share") X(kParentLinkShare, "parent_link_share")           \
  X(kGrandShare, "grand_share") X(kGrandLinkShare, "grand_link_share")               \
  X(kGreatShare, "great_share") X(kAlike, "alike") X(kAlikeShare, "alike_share")     \
  X(kAlikeUp, "alike_up") X(kAlikeUpShare, "alike_up_share")                         \
  /* where it is */                                                                  \
  X(kPosition, "position") X(kFromH1, "from_h1") X(kInBest, "in_best")               \
  X(kFromBest, "from_best") X(kAfterBest, "after_best")                              \
  X(kBoilerplate, "boilerplate")                                                     \
  X(kPrevText, "prev_text") X(kPrevLinkShare, "prev_link_share")                     \
  X(kPrevHeading, "prev_heading") X(kNextText, "next_text")                          \
  X(kNextLinkShare, "next_link_share") X(kNextHeading, "next_heading")               \
  /* the page */                                                                     \
  X(kPageText, "page_text") X(kPageLinkShare, "page_link_share")                     \
  X(kPageUnits, "page_units") X(kPageWideShare, "page_wide_share")                   \
  X(kPageArticles, "page_articles") X(kPageH1s, "page_h1s")                          \
  X(kBestShare, "best_share") X(kPageCommentShare, "page_comment_share")             \
  X(kPagePostShare, "page_post_share") X(kPageNoscriptShare, "page_noscript_share")     \
  X(kPageProseShare, "page_prose_share") X(kPageLoneProseShare, "page_lone_prose")   \
  X(kPageTopProseShare, "page_top_prose") X(kPageLargestShare, "page_largest_group") \
  X(kInLargest, "in_largest_group") X(kHeadlineLink, "headline_link")                \
  X(kStoryList, "story_list")                                                        \
  /* what kind of page it says it is */                                              \
  X(kSchemaArticle, "schema_article") X(kSchemaProduct, "schema_product")            \
  X(kSchemaDiscussion, "schema_discussion") X(kSchemaFaq, "schema_faq")              \
  X(kSchemaCollection, "schema_collection") X(kSchemaDocs, "schema_docs")            \
  X(kSchemaWebsite, "schema_website")                                                \
  X(kGraphArticle, "graph_article") X(kGraphProduct, "graph_product")                \
  X(kGraphWebsite, "graph_website")                                                  \
  X(kPathArticle, "path_article") X(kPathProduct, "path_product")                    \
  X(kPathDiscussion, "path_discussion") X(kPathCollection, "path_collection")        \
  X(kPathDocs, "path_docs") X(kPathDepth, "path_depth")
// clang-format on

enum class MainFeature : std::uint16_t {
#define PAGELIFT_FEATURE_ENUM(name, text) name,
  PAGELIFT_MAIN_FEATURES(PAGELIFT_FEATURE_ENUM)
#undef PAGELIFT_FEATURE_ENUM
      kCount,
};
inline constexpr std::size_t kMainFeatureCount = static_cast<std::size_t>(MainFeature::kCount);

// The features' names, in order: the columns a development tool writes them in.
inline constexpr const char* kMainFeatureNames[kMainFeatureCount] = {
#define PAGELIFT_FEATURE_NAME(name, text) text,
    PAGELIFT_MAIN_FEATURES(PAGELIFT_FEATURE_NAME)
#undef PAGELIFT_FEATURE_NAME
};

// The features of a page's blocks with text of their own (its units), in document order.
class MainFeatures {
 public:
  // `title`: the page's title, which a block that says it again is told by.
  MainFeatures(const MainBlocks& blocks, std::u16string_view title);

  // The blocks with text of their own, by their index in MainBlocks::blocks().
  const std::vector<std::uint32_t>& units() const { return units_; }
  // The features of the unit `unit` (an index into units()) into `out`, kMainFeatureCount
  // of them.
  void Of(std::size_t unit, float* out) const;

 private:
  float Share(std::uint32_t text) const;
  bool SaysTitle(const MainBlock& block) const;

  const MainBlocks& blocks_;
  std::vector<std::uint32_t> units_;
  // Each unit's own text hash, sorted: how often a text comes back on the page.
  std::vector<std::uint32_t> hashes_;
  // Of each unit, which time its text comes on the page: 1 the first.
  std::vector<std::uint16_t> occurrence_;
  std::unordered_set<std::uint32_t> title_;
  float comment_share_ = 0;
  float post_share_ = 0;
  float noscript_share_ = 0;
  float prose_share_ = 0;
  float lone_prose_share_ = 0;
  float top_prose_share_ = 0;
  float largest_share_ = 0;
  std::uint32_t largest_parent_ = MainBlock::kNone;
  std::uint16_t largest_kind_ = 0;
};

}  // namespace pagelift
