#include "text/page_kind.h"

#include <algorithm>
#include <array>
#include <string>

namespace pagelift {

namespace {

using K = PageKindWord;

struct Word {
  std::u16string_view word;
  PageKindWord kind;
};

// schema.org's types of whole pages and of what they are about.
constexpr Word kSchemaTypes[] = {
    {u"APIReference", K::kDocs},
    {u"AggregateOffer", K::kProduct},
    {u"AnalysisNewsArticle", K::kArticle},
    {u"Answer", K::kDiscussion},
    {u"Article", K::kArticle},
    {u"Blog", K::kArticle},
    {u"BlogPosting", K::kArticle},
    {u"CollectionPage", K::kCollection},
    {u"DiscussionForumPosting", K::kDiscussion},
    {u"FAQPage", K::kFaq},
    {u"HowTo", K::kArticle},
    {u"IndividualProduct", K::kProduct},
    {u"ItemList", K::kCollection},
    {u"LiveBlogPosting", K::kArticle},
    {u"NewsArticle", K::kArticle},
    {u"Offer", K::kProduct},
    {u"OfferCatalog", K::kCollection},
    {u"OpinionNewsArticle", K::kArticle},
    {u"Product", K::kProduct},
    {u"ProductGroup", K::kProduct},
    {u"QAPage", K::kDiscussion},
    {u"Question", K::kDiscussion},
    {u"Recipe", K::kArticle},
    {u"Report", K::kArticle},
    {u"ReportageNewsArticle", K::kArticle},
    {u"ScholarlyArticle", K::kArticle},
    {u"SearchResultsPage", K::kCollection},
    {u"SocialMediaPosting", K::kDiscussion},
    {u"TechArticle", K::kDocs},
    {u"WebPage", K::kWebsite},
    {u"WebSite", K::kWebsite},
};

// The words of addresses' paths, as sites across the web lay them out.
constexpr Word kPathWords[] = {
    {u"api", K::kDocs},
    {u"article", K::kArticle},
    {u"articles", K::kArticle},
    {u"blog", K::kArticle},
    {u"blogs", K::kArticle},
    {u"browse", K::kCollection},
    {u"c", K::kCollection},
    {u"catalog", K::kCollection},
    {u"categories", K::kCollection},
    {u"category", K::kCollection},
    {u"collection", K::kCollection},
    {u"collections", K::kCollection},
    {u"comments", K::kDiscussion},
    {u"discussion", K::kDiscussion},
    {u"discussions", K::kDiscussion},
    {u"doc", K::kDocs},
    {u"docs", K::kDocs},
    {u"documentation", K::kDocs},
    {u"dp", K::kProduct},
    {u"forum", K::kDiscussion},
    {u"forums", K::kDiscussion},
    {u"guide", K::kDocs},
    {u"guides", K::kDocs},
    {u"help", K::kDocs},
    {u"item", K::kProduct},
    {u"manual", K::kDocs},
    {u"news", K::kArticle},
    {u"p", K::kProduct},
    {u"pdp", K::kProduct},
    {u"post", K::kArticle},
    {u"posts", K::kArticle},
    {u"product", K::kProduct},
    {u"products", K::kProduct},
    {u"question", K::kDiscussion},
    {u"questions", K::kDiscussion},
    {u"reference", K::kDocs},
    {u"search", K::kCollection},
    {u"shop", K::kCollection},
    {u"stories", K::kArticle},
    {u"story", K::kArticle},
    {u"t", K::kDiscussion},
    {u"tag", K::kCollection},
    {u"tags", K::kCollection},
    {u"thread", K::kDiscussion},
    {u"threads", K::kDiscussion},
    {u"topic", K::kDiscussion},
    {u"topics", K::kDiscussion},
    {u"tutorial", K::kDocs},
    {u"tutorials", K::kDocs},
    {u"wiki", K::kDocs},
};

template <std::size_t N>
constexpr bool Sorted(const Word (&words)[N]) {
  for (std::size_t i = 1; i < N; ++i) {
    if (!(words[i - 1].word < words[i].word)) return false;
  }
  return true;
}
static_assert(Sorted(kSchemaTypes) && Sorted(kPathWords), "the word lists are searched by halves");

template <std::size_t N>
PageKindWords Find(const Word (&words)[N], std::u16string_view word) {
  const auto* found =
      std::lower_bound(std::begin(words), std::end(words), word,
                       [](const Word& entry, std::u16string_view w) { return entry.word < w; });
  return found != std::end(words) && found->word == word ? KindBit(found->kind) : 0;
}

// A type's own name: "https://schema.org/Product" and "schema:Product" are "Product".
std::u16string_view TypeName(std::u16string_view type) {
  const std::size_t cut = type.find_last_of(u"/:#");
  return cut == std::u16string_view::npos ? type : type.substr(cut + 1);
}

bool IsSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

// The string that starts at `at` (a quotation mark), and where it ends.
std::u16string_view StringAt(std::u16string_view json, std::size_t& at) {
  const std::size_t begin = at + 1;
  std::size_t end = begin;
  while (end < json.size() && json[end] != u'"') end += json[end] == u'\\' ? 2 : 1;
  end = std::min(end, json.size());
  at = end + 1;
  return json.substr(begin, end - begin);
}

}  // namespace

void AddJsonLdKinds(std::u16string_view json, PageKind& kind) {
  constexpr std::u16string_view kType = u"\"@type\"";
  for (std::size_t at = json.find(kType); at != std::u16string_view::npos;
       at = json.find(kType, at)) {
    at += kType.size();
    while (at < json.size() && (IsSpace(json[at]) || json[at] == u':')) ++at;
    if (at >= json.size()) break;
    if (json[at] == u'"') {
      kind.schema |= Find(kSchemaTypes, TypeName(StringAt(json, at)));
    } else if (json[at] == u'[') {
      while (at < json.size() && json[at] != u']') {
        if (json[at] == u'"') {
          kind.schema |= Find(kSchemaTypes, TypeName(StringAt(json, at)));
        } else {
          ++at;
        }
      }
    }
  }
}

void AddItemTypeKinds(std::u16string_view itemtype, PageKind& kind) {
  // Several types may stand apart by spaces.
  std::size_t at = 0;
  while (at < itemtype.size()) {
    while (at < itemtype.size() && IsSpace(itemtype[at])) ++at;
    std::size_t end = at;
    while (end < itemtype.size() && !IsSpace(itemtype[end])) ++end;
    if (end > at) kind.schema |= Find(kSchemaTypes, TypeName(itemtype.substr(at, end - at)));
    at = end;
  }
}

void AddGraphKind(std::u16string_view type, PageKind& kind) {
  std::u16string lower;
  for (const char16_t c : type) {
    if (!IsSpace(c)) lower.push_back(c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c);
  }
  if (lower == u"article") {
    kind.graph |= KindBit(K::kArticle);
  } else if (lower.starts_with(u"product") || lower == u"og:product") {
    kind.graph |= KindBit(K::kProduct);
  } else if (lower == u"website") {
    kind.graph |= KindBit(K::kWebsite);
  }
}

void AddAddressKinds(std::u16string_view address, PageKind& kind) {
  std::size_t at = address.find(u"://");
  at = at == std::u16string_view::npos ? 0 : address.find(u'/', at + 3);
  if (at == std::u16string_view::npos) return;
  const std::size_t query = address.find_first_of(u"?#", at);
  const std::u16string_view path = address.substr(
      at, query == std::u16string_view::npos ? std::u16string_view::npos : query - at);
  std::array<char16_t, 24> segment;
  std::size_t size = 0, depth = 0;
  bool whole = true;  // the segment fits
  auto end_segment = [&] {
    if (size == 0) return;
    ++depth;
    const std::u16string_view word(segment.data(), size);
    if (whole) kind.path |= Find(kPathWords, word);
    // A year as a segment of its own: a dated article.
    if (size == 4 &&
        std::all_of(word.begin(), word.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; }) &&
        (word.starts_with(u"19") || word.starts_with(u"20"))) {
      kind.path |= KindBit(K::kArticle);
    }
    size = 0;
    whole = true;
  };
  for (const char16_t c : path) {
    if (c == u'/') {
      end_segment();
      continue;
    }
    if (size == segment.size()) {
      whole = false;
      continue;
    }
    segment[size++] = c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
  }
  end_segment();
  kind.path_depth = static_cast<std::uint8_t>(std::min<std::size_t>(depth, 15));
}

}  // namespace pagelift
