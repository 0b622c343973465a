#include "text/class_words.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace pagelift {

namespace {

using W = PartWord;

struct Entry {
  std::u16string_view word;
  PartWords groups;
};

constexpr PartWords B(W w) {
  return Bit(w);
}

// Whole words, sorted. A word holds one of these exactly ("nav", not "canvas").
constexpr Entry kWords[] = {
    {u"ad", B(W::kAd)},
    {u"ads", B(W::kAd)},
    {u"adv", B(W::kAd)},
    {u"also", B(W::kRelated)},
    {u"answer", B(W::kPost)},
    {u"answers", B(W::kPost)},
    {u"aside", B(W::kSidebar)},
    {u"assistive", B(W::kHidden)},
    {u"body", B(W::kContent)},
    {u"bookmark", B(W::kShare)},
    {u"bottom", B(W::kFooter)},
    {u"brand", B(W::kHeader)},
    {u"branding", B(W::kHeader)},
    {u"btn", B(W::kForm)},
    {u"buy", B(W::kProduct)},
    {u"card", B(W::kCard)},
    {u"cards", B(W::kCard)},
    {u"cart", B(W::kProduct)},
    {u"categories", B(W::kTags)},
    {u"category", B(W::kTags)},
    {u"code", B(W::kCode)},
    {u"collapse", B(W::kTab)},
    {u"collapsible", B(W::kTab)},
    {u"colophon", B(W::kFooter)},
    {u"conversation", B(W::kPost)},
    {u"copy", B(W::kContent)},
    {u"copyright", B(W::kFooter)},
    {u"crumb", B(W::kNav)},
    {u"crumbs", B(W::kNav)},
    {u"date", B(W::kMeta)},
    {u"dateline", B(W::kMeta)},
    {u"desc", B(W::kContent)},
    {u"description", B(W::kContent)},
    {u"detail", B(W::kContent)},
    {u"details", B(W::kContent)},
    {u"dialog", B(W::kPopup)},
    {u"discussion", B(W::kPost)},
    {u"discussions", B(W::kPost)},
    {u"entry", B(W::kContent)},
    {u"expand", B(W::kTab)},
    {u"faq", B(W::kTab)},
    {u"faqs", B(W::kTab)},
    {u"feature", B(W::kProduct)},
    {u"featured", B(W::kRelated)},
    {u"features", B(W::kProduct)},
    {u"feed", B(W::kCard)},
    {u"field", B(W::kForm)},
    {u"fields", B(W::kForm)},
    {u"figure", B(W::kMedia)},
    {u"follow", B(W::kShare)},
    {u"foot", B(W::kFooter)},
    {u"form", B(W::kForm)},
    {u"forum", B(W::kPost)},
    {u"grid", B(W::kCard)},
    {u"head", B(W::kHeader)},
    {u"hide", B(W::kHidden)},
    {u"icon", B(W::kMedia)},
    {u"icons", B(W::kMedia)},
    {u"image", B(W::kMedia)},
    {u"images", B(W::kMedia)},
    {u"img", B(W::kMedia)},
    {u"info", B(W::kMeta)},
    {u"input", B(W::kForm)},
    {u"item", B(W::kCard)},
    {u"items", B(W::kCard)},
    {u"keyword", B(W::kTags)},
    {u"keywords", B(W::kTags)},
    {u"label", B(W::kTags)},
    {u"labels", B(W::kTags)},
    {u"latest", B(W::kRelated)},
    {u"legal", B(W::kFooter)},
    {u"list", B(W::kCard)},
    {u"listing", B(W::kCard)},
    {u"listings", B(W::kCard)},
    {u"login", B(W::kPopup)},
    {u"logo", B(W::kHeader)},
    {u"main", B(W::kContent)},
    {u"markdown", B(W::kContent)},
    {u"media", B(W::kMedia)},
    {u"member", B(W::kUser)},
    {u"message", B(W::kPost)},
    {u"messages", B(W::kPost)},
    {u"meta", B(W::kMeta)},
    {u"more", B(W::kRelated)},
    {u"most", B(W::kRelated)},
    {u"msg", B(W::kPost)},
    {u"name", B(W::kTitle)},
    {u"newer", B(W::kPager)},
    {u"next", B(W::kPager)},
    {u"notice", B(W::kPopup)},
    {u"notification", B(W::kPopup)},
    {u"offer", B(W::kProduct)},
    {u"offers", B(W::kProduct)},
    {u"older", B(W::kPager)},
    {u"overlay", B(W::kPopup)},
    {u"pages", B(W::kPager)},
    {u"paging", B(W::kPager)},
    {u"pane", B(W::kTab)},
    {u"panel", B(W::kTab)},
    {u"panels", B(W::kTab)},
    {u"photo", B(W::kMedia)},
    {u"photos", B(W::kMedia)},
    {u"picture", B(W::kMedia)},
    {u"plan", B(W::kProduct)},
    {u"plans", B(W::kProduct)},
    {u"post", B(W::kPost)},
    {u"posted", B(W::kMeta)},
    {u"poster", B(W::kUser)},
    {u"posts", B(W::kPost)},
    {u"prev", B(W::kPager)},
    {u"previous", B(W::kPager)},
    {u"price", B(W::kProduct)},
    {u"prices", B(W::kProduct)},
    {u"pricing", B(W::kProduct)},
    {u"print", B(W::kShare)},
    {u"prose", B(W::kContent)},
    {u"pubdate", B(W::kMeta)},
    {u"published", B(W::kMeta)},
    {u"question", B(W::kPost)},
    {u"questions", B(W::kPost)},
    {u"rail", B(W::kSidebar)},
    {u"rating", B(W::kReview)},
    {u"ratings", B(W::kReview)},
    {u"recent", B(W::kRelated)},
    {u"register", B(W::kPopup)},
    {u"respond", B(W::kReply)},
    {u"result", B(W::kCard)},
    {u"results", B(W::kCard)},
    {u"review", B(W::kReview)},
    {u"reviews", B(W::kReview)},
    {u"richtext", B(W::kContent)},
    {u"screen", B(W::kHidden)},
    {u"secondary", B(W::kSidebar)},
    {u"shop", B(W::kProduct)},
    {u"side", B(W::kSidebar)},
    {u"signature", B(W::kUser)},
    {u"signin", B(W::kPopup)},
    {u"similar", B(W::kRelated)},
    {u"sku", B(W::kProduct)},
    {u"slider", B(W::kMedia)},
    {u"snippet", B(W::kCode)},
    {u"source", B(W::kCode)},
    {u"spec", B(W::kProduct)},
    {u"specs", B(W::kProduct)},
    {u"sr", B(W::kHidden)},
    {u"stars", B(W::kReview)},
    {u"story", B(W::kContent)},
    {u"subject", B(W::kTitle)},
    {u"submit", B(W::kForm)},
    {u"syntax", B(W::kCode)},
    {u"tab", B(W::kTab)},
    {u"tabs", B(W::kTab)},
    {u"tag", B(W::kTags)},
    {u"tags", B(W::kTags)},
    {u"taxonomy", B(W::kTags)},
    {u"teaser", B(W::kCard)},
    {u"teasers", B(W::kCard)},
    {u"testimonial", B(W::kReview)},
    {u"testimonials", B(W::kReview)},
    {u"text", B(W::kContent)},
    {u"thread", B(W::kPost)},
    {u"threads", B(W::kPost)},
    {u"thumb", B(W::kMedia)},
    {u"thumbnail", B(W::kMedia)},
    {u"tile", B(W::kCard)},
    {u"tiles", B(W::kCard)},
    {u"time", B(W::kMeta)},
    {u"timestamp", B(W::kMeta)},
    {u"toc", B(W::kNav)},
    {u"toggle", B(W::kTab)},
    {u"toolbar", B(W::kHeader)},
    {u"top", B(W::kHeader)},
    {u"topbar", B(W::kHeader)},
    {u"topic", B(W::kPost)},
    {u"updated", B(W::kMeta)},
    {u"vcard", B(W::kUser)},
    {u"video", B(W::kMedia)},
    {u"visually", B(W::kHidden)},
    {u"widget", B(W::kWidget)},
    {u"widgets", B(W::kWidget)},
};

// Parts: a word that holds one anywhere ("commentlist", "relatedposts", "maincontent").
constexpr Entry kParts[] = {
    {u"comment", B(W::kComment)},
    {u"repl", B(W::kReply)},
    {u"content", B(W::kContent)},
    {u"article", B(W::kContent)},
    {u"sidebar", B(W::kSidebar)},
    {u"nav", B(W::kNav)},
    {u"menu", B(W::kNav)},
    {u"breadcrumb", B(W::kNav)},
    {u"paginat", B(W::kPager)},
    {u"pager", B(W::kPager)},
    {u"header", B(W::kHeader)},
    {u"masthead", B(W::kHeader)},
    {u"footer", B(W::kFooter)},
    {u"share", B(W::kShare)},
    {u"sharing", B(W::kShare)},
    {u"social", B(W::kShare)},
    {u"related", B(W::kRelated)},
    {u"recommend", B(W::kRelated)},
    {u"popular", B(W::kRelated)},
    {u"trending", B(W::kRelated)},
    {u"suggest", B(W::kRelated)},
    {u"readmore", B(W::kRelated)},
    {u"advert", B(W::kAd)},
    {u"sponsor", B(W::kAd)},
    {u"promo", B(W::kAd)},
    {u"banner", B(W::kAd)},
    {u"affiliate", B(W::kAd)},
    {u"byline", B(W::kMeta)},
    {u"author", B(W::kMeta)},
    {u"cookie", B(W::kPopup)},
    {u"consent", B(W::kPopup)},
    {u"newsletter", B(W::kPopup)},
    {u"subscri", B(W::kPopup)},
    {u"signup", B(W::kPopup)},
    {u"modal", B(W::kPopup)},
    {u"popup", B(W::kPopup)},
    {u"paywall", B(W::kPopup)},
    {u"caption", B(W::kMedia)},
    {u"credit", B(W::kMedia)},
    {u"gallery", B(W::kMedia)},
    {u"slideshow", B(W::kMedia)},
    {u"carousel", B(W::kMedia)},
    {u"lightbox", B(W::kMedia)},
    {u"product", B(W::kProduct)},
    // A product's technical data, in the singular or the plural.
    {u"specificat", B(W::kProduct)},
    {u"hidden", B(W::kHidden)},
    {u"invisible", B(W::kHidden)},
    {u"offscreen", B(W::kHidden)},
    {u"title", B(W::kTitle)},
    {u"headline", B(W::kTitle)},
    {u"heading", B(W::kTitle)},
    {u"accordion", B(W::kTab)},
    {u"tabpanel", B(W::kTab)},
    {u"search", B(W::kForm)},
    {u"button", B(W::kForm)},
    {u"avatar", B(W::kUser)},
    {u"profile", B(W::kUser)},
    {u"user", B(W::kUser)},
    {u"highlight", B(W::kCode)},
};

constexpr bool Sorted() {
  for (std::size_t i = 1; i < std::size(kWords); ++i) {
    if (!(kWords[i - 1].word < kWords[i].word)) return false;
  }
  return true;
}
static_assert(Sorted(), "kWords must stay sorted: it is searched by halves");

PartWords GroupsOfWord(std::u16string_view word) {
  if (word.empty()) return 0;
  PartWords groups = 0;
  const auto* found =
      std::lower_bound(std::begin(kWords), std::end(kWords), word,
                       [](const Entry& entry, std::u16string_view w) { return entry.word < w; });
  if (found != std::end(kWords) && found->word == word) groups |= found->groups;
  for (const Entry& part : kParts) {
    if (word.size() >= part.word.size() && word.find(part.word) != std::u16string_view::npos) {
      groups |= part.groups;
    }
  }
  return groups;
}

bool IsUpper(char16_t c) {
  return c >= u'A' && c <= u'Z';
}
bool IsLower(char16_t c) {
  return c >= u'a' && c <= u'z';
}

}  // namespace

PartWords WordsOfName(std::u16string_view value) {
  // Words longer than this are kept to their start, which the lists match just as well.
  constexpr std::size_t kLongest = 40;
  std::array<char16_t, kLongest> word;
  std::size_t size = 0;
  char16_t previous = 0;
  PartWords groups = 0;
  for (const char16_t c : value) {
    const bool letter = IsUpper(c) || IsLower(c);
    if (!letter || (IsUpper(c) && IsLower(previous))) {
      groups |= GroupsOfWord(std::u16string_view(word.data(), size));
      size = 0;
    }
    if (letter && size < kLongest) {
      word[size++] = IsUpper(c) ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
    }
    previous = c;
  }
  return groups | GroupsOfWord(std::u16string_view(word.data(), size));
}

PartWords WordsOfRole(std::u16string_view role) {
  constexpr Entry kRoles[] = {
      {u"alert", B(W::kPopup)},
      {u"alertdialog", B(W::kPopup)},
      {u"article", B(W::kContent)},
      {u"banner", B(W::kHeader)},
      {u"button", B(W::kForm)},
      {u"comment", B(W::kComment)},
      {u"complementary", B(W::kSidebar)},
      {u"contentinfo", B(W::kFooter)},
      {u"dialog", B(W::kPopup)},
      {u"document", B(W::kContent)},
      {u"feed", B(W::kCard)},
      {u"figure", B(W::kMedia)},
      {u"form", B(W::kForm)},
      {u"heading", B(W::kTitle)},
      {u"img", B(W::kMedia)},
      {u"main", B(W::kContent)},
      {u"menu", B(W::kNav)},
      {u"menubar", B(W::kNav)},
      {u"menuitem", B(W::kNav)},
      {u"navigation", B(W::kNav)},
      {u"search", B(W::kForm)},
      {u"tab", B(W::kNav)},
      {u"tablist", B(W::kNav)},
      {u"tabpanel", B(W::kTab)},
      {u"toolbar", B(W::kHeader)},
      {u"tooltip", B(W::kPopup)},
  };
  PartWords groups = 0;
  std::size_t at = 0;
  // A role attribute may list several roles, the first the browser knows being the one.
  while (at < role.size()) {
    while (at < role.size() && (role[at] == u' ' || role[at] == u'\t' || role[at] == u'\n')) ++at;
    std::size_t end = at;
    while (end < role.size() && role[end] != u' ' && role[end] != u'\t' && role[end] != u'\n') {
      ++end;
    }
    std::array<char16_t, 16> lower{};
    const std::size_t size = end - at;
    if (size > 0 && size <= lower.size()) {
      for (std::size_t i = 0; i < size; ++i) {
        const char16_t c = role[at + i];
        lower[i] = IsUpper(c) ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
      }
      const std::u16string_view word(lower.data(), size);
      for (const Entry& entry : kRoles) {
        if (entry.word == word) groups |= entry.groups;
      }
    }
    at = end;
  }
  return groups;
}

}  // namespace pagelift
