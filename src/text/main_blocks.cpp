#include "text/main_blocks.h"

#include <algorithm>
#include <array>
#include <limits>

#include "base/huge_pages.h"
#include "text/main_text_counts.h"
#include "text/readable_text.h"

namespace pagelift {

namespace {

using html::Document;
using html::NodeId;
using html::Tag;

constexpr std::uint32_t kNone = MainBlock::kNone;

// A block with this much text outside links, and punctuation, is prose and counts whole;
// half of it counts in part, and shorter lines little (menus, bylines, buttons).
constexpr std::uint32_t kProse = 60;
constexpr float kMiddleWeight = 0.7f;
constexpr float kShortWeight = 0.3f;
// What boilerplate costs the element it is in, for each character of it.
constexpr float kBoilerplateCost = 0.5f;

// Class words that mark a part around the article wherever they are.
constexpr PartWords kStrongWords = Bit(PartWord::kComment) | Bit(PartWord::kSidebar) |
                                   Bit(PartWord::kNav) | Bit(PartWord::kFooter) |
                                   Bit(PartWord::kShare) | Bit(PartWord::kRelated) |
                                   Bit(PartWord::kPopup);
// ... and those that mark one only where it holds little.
constexpr PartWords kWeakWords = Bit(PartWord::kAd) | Bit(PartWord::kHeader) |
                                 Bit(PartWord::kWidget) | Bit(PartWord::kTags) |
                                 Bit(PartWord::kPager) | Bit(PartWord::kForm);
constexpr std::uint64_t kStrongTags =
    TagBit(TagWord::kNav) | TagBit(TagWord::kAside) | TagBit(TagWord::kFooter);

bool IsBlockRole(Role role) {
  switch (role) {
    case Role::kLine:
    case Role::kParagraph:
    case Role::kListItem:
    case Role::kCell:
    case Role::kRow:
    case Role::kPre:
      return true;
    default:
      return false;
  }
}

std::uint64_t TagWordsOf(Tag tag) {
  switch (tag) {
    case Tag::kArticle:
      return TagBit(TagWord::kArticle);
    case Tag::kMain:
      return TagBit(TagWord::kMain);
    case Tag::kNav:
      return TagBit(TagWord::kNav);
    case Tag::kAside:
      return TagBit(TagWord::kAside);
    case Tag::kFooter:
      return TagBit(TagWord::kFooter);
    case Tag::kHeader:
      return TagBit(TagWord::kHeader);
    case Tag::kForm:
    case Tag::kButton:
      return TagBit(TagWord::kForm);
    case Tag::kLi:
      return TagBit(TagWord::kListItem);
    case Tag::kTd:
    case Tag::kTh:
      return TagBit(TagWord::kCell);
    case Tag::kNoscript:
      return TagBit(TagWord::kNoscript);
    case Tag::kBlockquote:
      return TagBit(TagWord::kQuote);
    case Tag::kFigure:
    case Tag::kFigcaption:
      return TagBit(TagWord::kFigure);
    case Tag::kA:
      return TagBit(TagWord::kLink);
    case Tag::kDl:
      return TagBit(TagWord::kTerms);
    case Tag::kDetails:
      return TagBit(TagWord::kDetails);
    case Tag::kSection:
      return TagBit(TagWord::kSection);
    default:
      return 0;
  }
}

// Of an element's tag and classes, but their digits: "post-1234" and "post-1235" are alike.
std::uint32_t HashOfName(Tag tag, std::u16string_view classes) {
  std::uint32_t hash = (0x811C9DC5u ^ static_cast<std::uint32_t>(tag)) * 0x01000193u;
  for (const char16_t c : classes) {
    if (c < u'0' || c > u'9') hash = (hash ^ c) * 0x01000193u;
  }
  return hash;
}

template <typename T>
void AddSaturating(T& counter, std::uint32_t more) {
  counter = static_cast<T>(std::min<std::uint32_t>(std::numeric_limits<T>::max(), counter + more));
}

// Whether a hidden element is one that the page's scripts show: the panel of a tab, a part
// that opens on a click (questions and answers, "read more").
bool ShownByScripts(const Document& document, NodeId element) {
  PartWords words = 0;
  for (std::size_t i = 0; i < document.AttributeCount(element); ++i) {
    const std::u16string_view name = document.AttributeName(element, i);
    if (name == u"role") {
      words |= WordsOfRole(document.AttributeValue(element, i));
    } else if (name == u"class" || name == u"id") {
      words |= WordsOfName(document.AttributeValue(element, i));
    }
  }
  constexpr PartWords kAway =
      Bit(PartWord::kNav) | Bit(PartWord::kPopup) | Bit(PartWord::kHidden) | Bit(PartWord::kAd);
  return (words & Bit(PartWord::kTab)) != 0 && (words & kAway) == 0;
}

char16_t Lower(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
}

// Whether a style puts its element far off the screen ("left:-9999px", "text-indent:
// -10000px"), as sites hide links meant for search engines alone.
bool OffScreen(std::u16string_view style) {
  constexpr std::u16string_view kSides[] = {u"left:-", u"top:-", u"text-indent:-"};
  std::u16string css;
  for (const char16_t c : style) {
    if (c != u' ' && c != u'\t' && c != u'\n' && c != u'\r' && c != u'\f') css.push_back(Lower(c));
  }
  for (const std::u16string_view side : kSides) {
    for (std::size_t at = css.find(side); at != std::u16string::npos;
         at = css.find(side, at + side.size())) {
      std::size_t digits = at + side.size();
      while (digits < css.size() && css[digits] >= u'0' && css[digits] <= u'9') ++digits;
      if (digits - (at + side.size()) >= 4) return true;
    }
  }
  return false;
}

}  // namespace

BlockTag BlockTagOf(Tag tag) {
  switch (tag) {
    case Tag::kP:
      return BlockTag::kParagraph;
    case Tag::kH1:
    case Tag::kH2:
    case Tag::kH3:
    case Tag::kH4:
    case Tag::kH5:
    case Tag::kH6:
      return BlockTag::kHeading;
    case Tag::kLi:
      return BlockTag::kListItem;
    case Tag::kTd:
    case Tag::kTh:
      return BlockTag::kCell;
    case Tag::kTr:
      return BlockTag::kRow;
    case Tag::kPre:
    case Tag::kListing:
    case Tag::kXmp:
    case Tag::kPlaintext:
      return BlockTag::kPre;
    case Tag::kBlockquote:
      return BlockTag::kQuote;
    case Tag::kDt:
    case Tag::kDd:
      return BlockTag::kTerm;
    case Tag::kCaption:
    case Tag::kFigcaption:
      return BlockTag::kCaption;
    case Tag::kUl:
    case Tag::kOl:
    case Tag::kMenu:
    case Tag::kDir:
    case Tag::kDl:
      return BlockTag::kList;
    case Tag::kTable:
      return BlockTag::kTable;
    default:
      return BlockTag::kOther;
  }
}

Role MainRoleOf(const Document& document, NodeId element) {
  const Tag tag = document.TagOf(element);
  const bool html = document.NamespaceOf(element) == html::Namespace::kHtml;
  if (html && tag == Tag::kNoscript && document.ScriptingOf() == html::Scripting::kOff) {
    return Role::kLine;
  }
  const NodeAttributes attributes(document, element);
  if (const auto style = attributes.Find(u"style"); style && OffScreen(*style)) {
    return Role::kDropped;
  }
  if (!IsHidden(attributes)) return RoleOfShown(tag, html);
  return ShownByScripts(document, element) ? RoleOfShown(tag, html) : Role::kDropped;
}

// An element being walked.
struct MainBlocks::Open {
  std::uint32_t block = kNone;    // its block, or kNone for an inline element
  std::uint32_t nearest = kNone;  // its nearest block: its own, or the one it is in
  std::uint32_t owner = kNone;    // the place on the walk's stack of that block's element
  std::uint64_t self = 0;         // its words
  std::uint64_t far = 0;          // its own and those of every element around it
  PartWords since_block = 0;      // its class words and those around it up to its block
  float score = 0;                // the scores of the blocks in it so far
  bool link = false;              // in a link
  bool in_word = false;           // the text of its block ended inside a word
};

MainBlocks::MainBlocks(const Document& document) : document_(document) {
  // Room for as many blocks as a page may have: what is not used is never touched (no huge
  // pages here, whose last one a small page would fault in whole).
  blocks_.reserve(document.NodeCount() / 2 + 1);
  Walk();
}

void MainBlocks::Walk() {
  std::vector<Open> open;  // the elements entered, innermost last
  NodeId node = document_.FirstChild(Document::kRoot);
  while (node != html::kNoNode) {
    bool entered = false;
    if (document_.Kind(node) == html::NodeKind::kElement) {
      const Role role = MainRoleOf(document_, node);
      if (role != Role::kDropped) {
        Enter(node, role, open);
        entered = document_.FirstChild(node) != html::kNoNode;
        if (!entered) Leave(open);
      } else {
        ReadPageWords(node);
      }
    } else if (document_.Kind(node) == html::NodeKind::kText && !open.empty()) {
      CountText(document_.Text(node), open);
    }
    if (entered) {
      node = document_.FirstChild(node);
      continue;
    }
    // Up to the nearest element with a next sibling, leaving each on the way.
    while (node != html::kNoNode && document_.NextSibling(node) == html::kNoNode) {
      node = document_.Parent(node);
      if (node == Document::kRoot) node = html::kNoNode;
      if (node != html::kNoNode) Leave(open);
    }
    if (node != html::kNoNode) node = document_.NextSibling(node);
  }
}

void MainBlocks::Enter(NodeId element, Role role, std::vector<Open>& open) {
  const Tag tag = document_.TagOf(element);
  const bool html = document_.NamespaceOf(element) == html::Namespace::kHtml;
  // A copy: the stack may move as it grows. The root's parent is a frame of nothing.
  const Open up = open.empty() ? Open{} : open.back();
  std::uint64_t words = html ? TagWordsOf(tag) : 0;
  std::u16string_view classes;
  bool href = false;
  for (std::size_t i = 0; i < document_.AttributeCount(element); ++i) {
    const std::u16string_view name = document_.AttributeName(element, i);
    const std::u16string_view value = document_.AttributeValue(element, i);
    if (name == u"class") {
      classes = value;
      words |= WordsOfName(value);
    } else if (name == u"id" || name == u"itemprop") {
      words |= WordsOfName(value);
    } else if (name == u"itemtype") {
      words |= WordsOfName(value);
      AddItemTypeKinds(value, kind_);
    } else if (name == u"role") {
      words |= WordsOfRole(value);
    } else if (name == u"aria-modal" && value == u"true") {
      words |= Bit(PartWord::kPopup);
    } else if (name == u"href") {
      href = true;
    }
  }
  if (html && tag == Tag::kDialog) words |= Bit(PartWord::kPopup);
  if (IsHidden(NodeAttributes(document_, element))) words |= TagBit(TagWord::kShown);
  // The classes of <html> and <body> describe the page, not a part of it.
  if (html && (tag == Tag::kHtml || tag == Tag::kBody)) words = 0;
  if (!html || tag != Tag::kA) href = false;
  Open& entered = open.emplace_back();
  entered.self = words;
  entered.far = words | up.far;
  entered.link = href || up.link;
  entered.nearest = up.nearest;
  entered.owner = up.owner;
  entered.since_block = static_cast<PartWords>(words) | up.since_block;
  if (html && tag == Tag::kArticle) ++articles_;
  if (!IsBlockRole(role)) {
    if (entered.nearest != kNone && html) {
      MainBlock& block = blocks_[entered.nearest];
      if (tag == Tag::kCode || tag == Tag::kKbd || tag == Tag::kSamp) block.code = true;
      if (tag == Tag::kTime) block.time = true;
    }
    return;
  }
  const auto index = static_cast<std::uint32_t>(blocks_.size());
  MainBlock& block = blocks_.emplace_back();
  block.node = element;
  block.parent = entered.nearest;
  block.start = page_text_;
  const std::uint32_t kind = HashOfName(tag, classes);
  block.kind_hash = static_cast<std::uint16_t>(kind ^ (kind >> 16));
  block.depth = static_cast<std::uint8_t>(std::min<std::size_t>(open.size(), 0xFF));
  block.tags = static_cast<std::uint32_t>(words >> 32) & ((1u << 17) - 1);
  block.far = entered.far;
  block.chain = entered.since_block;
  entered.since_block = 0;
  block.block_tag = static_cast<std::uint32_t>(html ? BlockTagOf(tag) : BlockTag::kOther);
  block.heading = html ? static_cast<std::uint8_t>(html::HeadingLevel(tag)) : 0;
  block.boilerplate =
      (static_cast<PartWords>(entered.far) & kStrongWords) != 0 || (entered.far & kStrongTags) != 0;
  entered.block = index;
  entered.nearest = index;
  entered.owner = static_cast<std::uint32_t>(open.size() - 1);
  if (html && tag == Tag::kH1) {
    if (first_h1_ == kNone) first_h1_ = page_text_;
    ++h1s_;
  }
}

void MainBlocks::ReadPageWords(NodeId element) {
  if (document_.NamespaceOf(element) != html::Namespace::kHtml) return;
  auto attribute = [&](NodeId e, std::u16string_view name) {
    return document_.FindAttribute(e, name).value_or(std::u16string_view());
  };
  auto read = [&](NodeId e) {
    switch (document_.TagOf(e)) {
      case Tag::kMeta: {
        const std::u16string_view property = attribute(e, u"property");
        const std::u16string_view name = property.empty() ? attribute(e, u"name") : property;
        if (name == u"og:type") {
          AddGraphKind(attribute(e, u"content"), kind_);
        } else if (name == u"og:url" && !has_address_) {
          AddAddressKinds(attribute(e, u"content"), kind_);
          has_address_ = true;
        }
        break;
      }
      case Tag::kLink:
        if (attribute(e, u"rel") == u"canonical" && !has_address_) {
          AddAddressKinds(attribute(e, u"href"), kind_);
          has_address_ = true;
        }
        break;
      case Tag::kScript:
        if (attribute(e, u"type") == u"application/ld+json") {
          for (NodeId text = document_.FirstChild(e); text != html::kNoNode;
               text = document_.NextSibling(text)) {
            if (document_.Kind(text) == html::NodeKind::kText) {
              AddJsonLdKinds(document_.Text(text), kind_);
            }
          }
        }
        break;
      default:
        break;
    }
  };
  if (document_.TagOf(element) != Tag::kHead) {
    read(element);
    return;
  }
  // The head's own elements, and those of a noscript in it.
  for (NodeId child = document_.FirstChild(element); child != html::kNoNode;
       child = document_.NextSibling(child)) {
    if (document_.Kind(child) != html::NodeKind::kElement) continue;
    read(child);
    if (document_.IsHtml(child, Tag::kNoscript)) {
      for (NodeId inner = document_.FirstChild(child); inner != html::kNoNode;
           inner = document_.NextSibling(inner)) {
        if (document_.Kind(inner) == html::NodeKind::kElement) read(inner);
      }
    }
  }
}

void MainBlocks::CountText(std::u16string_view text, std::vector<Open>& open) {
  Open& up = open.back();
  if (up.nearest == kNone) return;
  MainBlock& block = blocks_[up.nearest];
  Open& owner = open[up.owner];
  TextCounts counts;
  counts.in_word = owner.in_word;
  counts.hash = block.hash;
  CountCharacters(text, counts);
  owner.in_word = counts.in_word;
  if (counts.text == 0) return;
  if (block.text == 0) block.first_link = up.link ? 1 : 0;
  block.ends_stop = counts.ends_stop ? 1 : 0;
  block.hash = counts.hash;
  block.text += counts.text;
  block.total_text += counts.text;
  if (up.link) {
    block.links += counts.text;
    block.total_links += counts.text;
  }
  AddSaturating(block.marks, counts.marks);
  AddSaturating(block.stops, counts.stops);
  AddSaturating(block.digits, counts.digits);
  AddSaturating(block.words, counts.words);
  AddSaturating(block.wide, counts.wide);
  AddSaturating(block.money, counts.money);
  AddSaturating(block.separators, counts.separators);
  AddSaturating(block.capitals, counts.capitals);
  page_text_ += counts.text;
  page_wide_ += counts.wide;
  if (up.link) page_links_ += counts.text;
}

void MainBlocks::Leave(std::vector<Open>& open) {
  const Open left = open.back();
  open.pop_back();
  if (left.block == kNone) {
    // An inline element: a link in it counts as one where its block counts anchors.
    if (left.link && (open.empty() || !open.back().link) && left.nearest != kNone) {
      AddSaturating(blocks_[left.nearest].anchors, 1);
    }
    return;
  }
  MainBlock& block = blocks_[left.block];
  if (block.total_text == 0 && left.block + 1 == blocks_.size()) {
    // A block with no text in it, and no block left in it: nothing needs it, and a page of a
    // million empty elements keeps no more of them than are open at once.
    blocks_.pop_back();
    return;
  }
  block.end = static_cast<std::uint32_t>(blocks_.size());
  CountAlike(left.block);
  // What its own text is worth as main text, and the worth of the blocks in it.
  const std::uint32_t plain = block.text - block.links;
  const float weight = plain >= kProse && block.marks > 0 ? 1
                       : plain >= kProse / 2              ? kMiddleWeight
                                                          : kShortWeight;
  const float score =
      left.score + static_cast<float>(plain) * weight - static_cast<float>(block.links);
  // A headline link: a block of this much link text, in at most two links, nearly all link
  // or beginning with one; else a paragraph where it is prose.
  constexpr std::uint32_t kHeadline = 15;
  block.headline =
      block.links >= kHeadline && block.anchors <= 2 &&
      (block.links * 10 >= block.text * 7 || (block.first_link && block.links * 5 >= block.text));
  if (block.headline) {
    AddSaturating(block.headlines, 1);
  } else if (plain >= kProse && block.marks > 0) {
    AddSaturating(block.paragraphs, 1);
  }
  const PartWords words = block.chain;
  const bool boilerplate_here = (words & kStrongWords) != 0 || (block.Own() & kStrongTags) != 0 ||
                                ((words & kWeakWords) != 0 && score <= 0) ||
                                (block.anchors >= 2 && block.total_links * 2 > block.total_text);
  if (!block.boilerplate && !boilerplate_here && score > best_score_) {
    best_ = left.block;
    best_score_ = score;
  }
  if (open.empty() || block.parent == kNone) return;
  MainBlock& parent = blocks_[block.parent];
  parent.total_text += block.total_text;
  parent.total_links += block.total_links;
  AddSaturating(parent.headlines, block.headlines);
  AddSaturating(parent.paragraphs, block.paragraphs);
  Open& owner = open[open.back().owner];  // the parent block's element
  owner.score +=
      boilerplate_here ? -kBoilerplateCost * static_cast<float>(block.total_text) : score;
}

void MainBlocks::CountAlike(std::uint32_t parent) {
  alike_scratch_.clear();
  for (std::uint32_t i = parent + 1; i < blocks_.size(); i = blocks_[i].end) {
    alike_scratch_.push_back(std::uint64_t{blocks_[i].kind_hash} << 32 | i);
  }
  std::sort(alike_scratch_.begin(), alike_scratch_.end());
  for (std::size_t run = 0; run < alike_scratch_.size();) {
    std::size_t end = run + 1;
    const std::uint64_t kind = alike_scratch_[run] >> 32;
    while (end < alike_scratch_.size() && (alike_scratch_[end] >> 32) == kind) ++end;
    std::uint32_t text = 0;
    for (std::size_t k = run; k < end; ++k) {
      text += blocks_[static_cast<std::uint32_t>(alike_scratch_[k])].total_text;
    }
    for (std::size_t k = run; k < end; ++k) {
      MainBlock& child = blocks_[static_cast<std::uint32_t>(alike_scratch_[k])];
      child.alike = static_cast<std::uint16_t>(std::min<std::size_t>(end - run, 0xFFFF));
      child.alike_text = text;
    }
    run = end;
  }
}

}  // namespace pagelift
