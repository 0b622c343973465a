#pragma once

#include <cstdint>
#include <string_view>

namespace pagelift {

// What kind of page a page says it is, in the words the web shares for it: schema.org's
// types (in JSON-LD or microdata), Open Graph's og:type, and the words of the path of its
// canonical address ("/t/", "/products/", "/docs/"). Each is a bit.
enum class PageKindWord : std::uint8_t {
  kArticle,     // Article, NewsArticle, BlogPosting; og:type article; /blog/, /news/, a dated path
  kProduct,     // Product, Offer; og:type product; /product/, /p/, /dp/
  kDiscussion,  // DiscussionForumPosting, QAPage, Question, Answer; /t/, /thread/, /questions/
  kFaq,         // FAQPage
  kCollection,  // CollectionPage, ItemList, SearchResultsPage; /category/, /collections/, /search
  kDocs,        // TechArticle, APIReference; /docs/, /reference/, /api/, /manual/
  kWebsite,     // og:type website, WebSite, WebPage alone
  kCount,
};

using PageKindWords = std::uint16_t;

constexpr PageKindWords KindBit(PageKindWord word) {
  return static_cast<PageKindWords>(1u << static_cast<unsigned>(word));
}

struct PageKind {
  PageKindWords schema = 0;     // from schema.org types
  PageKindWords graph = 0;      // from og:type
  PageKindWords path = 0;       // from the canonical address's path
  std::uint8_t path_depth = 0;  // its segments
};

// Adds what the types of a JSON-LD script say ("@type": "Product").
void AddJsonLdKinds(std::u16string_view json, PageKind& kind);
// ... of a microdata itemtype ("https://schema.org/Product").
void AddItemTypeKinds(std::u16string_view itemtype, PageKind& kind);
// ... of og:type's content.
void AddGraphKind(std::u16string_view type, PageKind& kind);
// ... of the page's canonical address (a <link rel="canonical"> or og:url).
void AddAddressKinds(std::u16string_view address, PageKind& kind);

}  // namespace pagelift
