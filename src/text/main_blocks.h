#pragma once

#include <cstdint>
#include <vector>

#include "html/document.h"
#include "text/class_words.h"
#include "text/page_kind.h"
#include "text/readable_layout.h"

namespace pagelift {

// What the main form makes of an element: the readable form's role, but the panels of tabs
// and the parts that open on a click, which a page's scripts show, are shown though hidden
// at first; noscript holds what a page gives those without scripts (the page is parsed with
// scripting off, so that it holds elements); and elements placed far off the screen, where
// sites hide links for search engines, are dropped.
Role MainRoleOf(const html::Document& document, html::NodeId element);

// Bits of what encloses a block beside its class words: its elements' tags.
enum class TagWord : std::uint8_t {
  kArticle,
  kMain,
  kNav,
  kAside,
  kFooter,
  kHeader,
  kForm,
  kListItem,
  kCell,
  kNoscript,
  kQuote,
  kFigure,
  kLink,
  kTerms,  // a description list
  kDetails,
  kSection,
  kShown,  // hidden at first, shown by the page's scripts
  kCount,
};

// What kind of block an element is, by its tag.
enum class BlockTag : std::uint8_t {
  kOther,  // a <div>, <section> and the like, and the elements of other namespaces
  kParagraph,
  kHeading,
  kListItem,
  kCell,
  kRow,
  kPre,
  kQuote,
  kTerm,  // <dt>, <dd>
  kCaption,
  kList,
  kTable,
  kCount,
};
BlockTag BlockTagOf(html::Tag tag);

// One block of a page (an element the readable layout puts on lines of its own) with what
// the main form weighs it by. Counts of characters count an East Asian wide one two.
struct MainBlock {
  static constexpr std::uint32_t kNone = ~std::uint32_t{0};

  // Class words (low 32 bits) and tag words (high bits) of it and every element around it.
  std::uint64_t far = 0;
  html::NodeId node = html::kNoNode;
  std::uint32_t parent = kNone;  // the block it is in
  std::uint32_t end = 0;         // the block after it and all the blocks in it
  std::uint32_t start = 0;       // the characters of the page before its own text
  // Its own text: the text whose nearest block it is, and of it the part in links.
  std::uint32_t text = 0;
  std::uint32_t links = 0;
  // All the text in it, its blocks' included.
  std::uint32_t total_text = 0;
  std::uint32_t total_links = 0;
  std::uint32_t hash = 0;  // of its own text, blanks left out
  // The text of it and of its siblings of the same kind (tag and classes).
  std::uint32_t alike_text = 0;
  // The class words of it and of the inline elements between it and the block it is in.
  PartWords chain = 0;
  // The tag words of its element (as the high bits of `far`, shifted down), its heading level
  // (1 to 6 for <h1> to <h6>), its BlockTag, and what its own text is like.
  std::uint32_t tags : 17 = 0;
  std::uint32_t heading : 3 = 0;
  std::uint32_t block_tag : 4 = 0;
  std::uint32_t first_link : 1 = 0;   // its own text begins in a link
  std::uint32_t ends_stop : 1 = 0;    // ... and ends with a sentence end
  std::uint32_t headline : 1 = 0;     // it is a headline link (or begins with one)
  std::uint32_t code : 1 = 0;         // holds inline code
  std::uint32_t time : 1 = 0;         // holds a <time>
  std::uint32_t boilerplate : 1 = 0;  // by its words or tag: no article is chosen inside it
  // Of its own text, saturating: links, punctuation, sentence ends, digits, words, wide
  // characters, capital letters.
  std::uint16_t anchors = 0;
  std::uint16_t marks = 0;
  std::uint16_t stops = 0;
  std::uint16_t digits = 0;
  std::uint16_t words = 0;
  std::uint16_t wide = 0;
  std::uint16_t capitals = 0;
  std::uint16_t alike = 1;      // siblings of the same kind, itself counted
  std::uint16_t kind_hash = 0;  // of the tag and classes it was written with
  // In it, itself counted, up to 255: blocks that are a headline link, and blocks of prose.
  std::uint8_t headlines = 0;
  std::uint8_t paragraphs = 0;
  std::uint8_t depth = 0;       // its elements around it, up to 255
  std::uint8_t money = 0;       // currency signs
  std::uint8_t separators = 0;  // | · • and the like, between the items of a line

  BlockTag Tag() const { return static_cast<BlockTag>(block_tag); }
  // The words of it: its class words and tag words, as `far` holds them.
  std::uint64_t Own() const { return chain | (std::uint64_t{tags} << 32); }
};
static_assert(sizeof(MainBlock) <= 80, "a block is kept for every block of a page");
static_assert(static_cast<int>(TagWord::kCount) <= 17, "MainBlock::tags holds 17 of them");

inline constexpr std::uint64_t TagBit(TagWord word) {
  return std::uint64_t{1} << (32 + static_cast<unsigned>(word));
}

// The blocks of a page's tree in document order, from one walk over it, linear in it: each
// text is counted into its nearest block, and each block's totals summed as the walk leaves
// it. The walk skips what the main form drops (MainRoleOf), and never recurses.
class MainBlocks {
 public:
  explicit MainBlocks(const html::Document& document);

  const std::vector<MainBlock>& blocks() const { return blocks_; }
  const html::Document& document() const { return document_; }
  // Sums over the page.
  std::uint32_t page_text() const { return page_text_; }
  std::uint32_t page_links() const { return page_links_; }
  std::uint32_t page_wide() const { return page_wide_; }
  std::uint32_t articles() const { return articles_; }  // <article> elements
  std::uint32_t first_h1() const { return first_h1_; }  // where the first <h1> begins
  std::uint32_t h1s() const { return h1s_; }
  // The block of the highest score outside the boilerplate, or MainBlock::kNone.
  std::uint32_t best() const { return best_; }
  // What kind of page it says it is.
  const PageKind& kind() const { return kind_; }

 private:
  struct Open;
  void Walk();
  void Enter(html::NodeId element, Role role, std::vector<Open>& open);
  void Leave(std::vector<Open>& open);
  void CountText(std::u16string_view text, std::vector<Open>& open);
  // Reads what a <meta>, <link> or JSON-LD <script> says of the page, and those in <head>.
  void ReadPageWords(html::NodeId element);
  // Counts the siblings of each kind among the blocks in `parent`.
  void CountAlike(std::uint32_t parent);

  const html::Document& document_;
  std::vector<MainBlock> blocks_;
  std::vector<std::uint64_t> alike_scratch_;
  std::uint32_t page_text_ = 0;
  std::uint32_t page_links_ = 0;
  std::uint32_t page_wide_ = 0;
  std::uint32_t articles_ = 0;
  std::uint32_t first_h1_ = MainBlock::kNone;
  std::uint32_t h1s_ = 0;
  std::uint32_t best_ = MainBlock::kNone;
  float best_score_ = 0;
  PageKind kind_;
  bool has_address_ = false;
};

}  // namespace pagelift
