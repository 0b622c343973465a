#pragma once

#include <cstdint>
#include <string_view>

namespace pagelift {

// What the words of an element's class names, id, role and microdata say it is, as sites
// across the web name the parts of their pages: "comment-list", "sidebarWidget",
// "entry-content", itemprop="articleBody". Each group is a bit of a PartWords mask. The words
// are generic ones of web design, in English as sites write their markup whatever their
// language, never the names of sites.
enum class PartWord : std::uint8_t {
  kComment,  // comments under an article
  kReply,    // replies, "respond"
  kPost,     // posts, messages, threads, answers: what a forum shows
  kContent,  // content, article, entry, body, text, story, description
  kSidebar,
  kNav,     // navigation, menus, breadcrumbs, tables of contents
  kPager,   // pagination, next and previous
  kHeader,  // the page's header, toolbar, logo
  kFooter,
  kShare,    // sharing and following
  kRelated,  // related, recommended, popular, latest
  kAd,       // advertisements, sponsors, promotions
  kMeta,     // dates, bylines, authors
  kTags,     // tags and categories
  kPopup,    // cookie notices, newsletters, sign-in, modal dialogs
  kMedia,    // pictures, captions, galleries
  kCard,     // cards, tiles, items of a list or grid
  kProduct,  // products, prices, technical data, reviews
  kHidden,   // text for screen readers alone
  kTitle,    // titles and headlines
  kTab,      // tabs, panels, accordions, questions and answers that open
  kForm,     // forms, search, buttons
  kUser,     // users, profiles, avatars, signatures
  kCode,     // code, highlighting
  kWidget,   // widgets: the parts of a sidebar, or of a page made with a page builder
  kReview,   // reviews, ratings, testimonials
  kCount,
};

using PartWords = std::uint32_t;
static_assert(static_cast<int>(PartWord::kCount) <= 32);

constexpr PartWords Bit(PartWord word) {
  return PartWords{1} << static_cast<unsigned>(word);
}

// The groups of one class list, id or microdata value, split into words at every character
// that is not an ASCII letter and where a lowercase letter meets an uppercase one
// ("sidebarWidget" is "sidebar widget").
PartWords WordsOfName(std::u16string_view value);
// The groups of a role attribute ("navigation", "complementary", "tabpanel"...).
PartWords WordsOfRole(std::u16string_view role);

}  // namespace pagelift
