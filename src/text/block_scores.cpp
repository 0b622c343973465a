#include "text/block_scores.h"

#include <algorithm>
#include <array>

#include "base/huge_pages.h"
#include "text/class_hints.h"
#include "text/readable_layout.h"
#include "text/readable_text.h"
#include "text/unicode_tables.h"

namespace pagelift {

namespace {

using html::Document;
using html::NodeId;
using html::Tag;

// A block with this much text outside links, and punctuation, is prose and counts whole;
// half of it counts in part, and shorter lines little (menus, bylines, buttons).
constexpr std::uint32_t kProse = 60;
constexpr float kMiddleWeight = 0.7f;
constexpr float kShortWeight = 0.3f;
// The least score of an element that stands out as the article: a few sentences.
constexpr float kLeastArticle = 100;
// What boilerplate costs the element it is in, for each character of it: the main element
// leaves it out, so it costs little, but a part of the page that holds much of it is less
// likely the article's own element.
constexpr float kBoilerplateCost = 0.5f;
// A headline link: a block of this much link text, in at most two links, that is nearly all
// link or begins with one.
constexpr std::uint32_t kHeadline = 15;
// A part holding more than half of what its element is worth is no boilerplate of it.
constexpr float kHolds = 0.5f;
// Figures and captions are left out up to this share of the main element's text.
constexpr float kFigureShare = 0.3f;
// The longest heading of a list, and the longest line kept before the article.
constexpr std::uint32_t kListHeading = 40;
constexpr std::uint32_t kLeadLine = 60;

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f' || c == 0xA0 ||
         c == 0x3000;
}

bool IsMark(char16_t c) {
  switch (c) {
    case u'.':
    case u',':
    case u'!':
    case u'?':
    case u';':
    case u'\u3001':  // 、
    case u'\u3002':  // 。
    case u'\uFF01':  // ！
    case u'\uFF0C':  // ，
    case u'\uFF0E':  // ．
    case u'\uFF1F':  // ？
      return true;
    default:
      return false;
  }
}

constexpr std::uint32_t kHashPrime = 0x01000193;

std::uint32_t HashOn(std::uint32_t hash, char16_t c) {
  return IsBlank(c) ? hash : (hash ^ c) * kHashPrime;
}

// What an ASCII character is to the counts: a blank, a mark of punctuation, or another.
enum : std::uint8_t { kOther, kBlank, kMark };
constexpr auto kAscii = [] {
  std::array<std::uint8_t, 0x80> kinds{};
  for (const char c : {' ', '\t', '\n', '\r', '\f'}) kinds[static_cast<std::size_t>(c)] = kBlank;
  for (const char c : {'.', ',', '!', '?', ';'}) kinds[static_cast<std::size_t>(c)] = kMark;
  return kinds;
}();

// A character's weight: an East Asian wide one says about what two Latin letters say.
std::uint32_t Weight(char16_t c) {
  if (c < 0x1100) return 1;
  // Kana and the common ideographs, without looking them up.
  if ((c >= 0x3040 && c <= 0x30FF) || (c >= 0x4E00 && c <= 0x9FFF)) return 2;
  return c >= 0xD800 && c <= 0xDFFF ? 1 : IsEastAsianWide(c) ? 2 : 1;
}

bool HasText(std::u16string_view text) {
  return std::any_of(text.begin(), text.end(), [](char16_t c) { return !IsBlank(c); });
}

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

char16_t Lower(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
}

// Whether a style puts its element far off the screen ("left:-9999px", "text-indent:
// -10000px"), as sites hide links meant for search engines alone.
bool OffScreen(std::u16string_view style) {
  constexpr std::u16string_view kSides[] = {u"left:-", u"top:-", u"text-indent:-"};
  std::u16string css;
  for (const char16_t c : style) {
    if (!IsBlank(c)) css.push_back(Lower(c));
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

BlockScores::BlockScores(const Document& document, const MainSignals& signals)
    : document_(document), signals_(signals) {
  // Room for every node, advised as large: what is not used is never touched.
  ReserveLarge(item_of_, document.NodeCount());
  item_of_.assign(document.NodeCount(), kNone);
  items_.reserve(document.NodeCount());
  Walk();
  Choose();
}

void BlockScores::Walk() {
  std::vector<Open> open;  // the elements entered, innermost last
  NodeId node = document_.FirstChild(Document::kRoot);
  while (node != html::kNoNode) {
    bool entered = false;
    if (document_.Kind(node) == html::NodeKind::kElement) {
      const Role role = RoleOfElement(document_, node);
      if (role != Role::kDropped) {
        Enter(node, role, open);
        entered = !items_.back().hidden && document_.FirstChild(node) != html::kNoNode;
        if (!entered) Leave(open);
      }
    } else if (document_.Kind(node) == html::NodeKind::kText && !open.empty()) {
      Open& up = open.back();
      Open* block = up.block == kNone ? nullptr : &open[up.block];
      Counts counts;
      std::uint32_t marks = 0;
      std::uint32_t hash = block ? block->hash : 0;
      for (const char16_t c : document_.Text(node)) {
        if (c < 0x80) {
          // ASCII, the most of most pages, at the cost of one look-up.
          const std::uint8_t kind = kAscii[c];
          if (kind == kBlank) continue;
          ++counts.text;
          if (kind == kMark) ++marks;
        } else {
          if (c == 0xA0 || c == 0x3000) continue;
          counts.text += Weight(c);
          if (IsMark(c)) ++marks;
        }
        hash = (hash ^ c) * kHashPrime;
      }
      if (items_[up.item].link) counts.links = counts.text;
      up.own.text += counts.text;
      up.own.links += counts.links;
      up.own_marks += marks;
      up.total.text += counts.text;
      up.total.links += counts.links;
      if (counts.text > 0 && block) {
        if (block->first == 0) block->first = items_[up.item].link ? 2 : 1;
        block->hash = hash;
      }
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

void BlockScores::Enter(NodeId element, Role role, std::vector<Open>& open) {
  const auto index = static_cast<std::uint32_t>(items_.size());
  item_of_[element] = index;
  Item& item = items_.emplace_back();
  item.node = element;
  const Item* up = open.empty() ? nullptr : &items_[open.back().item];
  const Tag tag = document_.TagOf(element);
  const bool html = document_.NamespaceOf(element) == html::Namespace::kHtml;
  NameHints names;
  bool href = false;
  for (std::size_t i = 0; i < document_.AttributeCount(element); ++i) {
    const std::u16string_view name = document_.AttributeName(element, i);
    const std::u16string_view value = document_.AttributeValue(element, i);
    // The classes of <html> and <body> describe the page, not a part of it.
    if ((name == u"class" || name == u"id") && signals_.class_names && tag != Tag::kHtml &&
        tag != Tag::kBody) {
      AddNameHints(value, names);
    } else if (name == u"style" && signals_.off_screen) {
      item.hidden = OffScreen(value);
    } else if (name == u"href") {
      href = true;
    }
  }
  bool strong = names.boilerplate, weak = names.weak_boilerplate;
  if (signals_.tags && html) {
    strong = strong || tag == Tag::kNav || tag == Tag::kAside || tag == Tag::kFooter;
    weak = weak || tag == Tag::kHeader || tag == Tag::kForm || tag == Tag::kButton;
  }
  const bool anchor = html && tag == Tag::kA && href;
  item.hint = strong ? -2 : weak ? -1 : 0;
  item.block = IsBlockRole(role);
  item.link = (up && up->link) || anchor;
  item.media = signals_.pictures &&
               ((html && (tag == Tag::kFigure || tag == Tag::kFigcaption)) || names.media);
  item.parent_in_media = up && up->in_media;
  item.in_media = item.media || item.parent_in_media;
  item.in_terms = (html && tag == Tag::kDl) || (up && up->in_terms);
  Open& entered = open.emplace_back();
  entered.item = index;
  entered.block = item.block        ? static_cast<std::uint32_t>(open.size() - 1)
                  : open.size() > 1 ? open[open.size() - 2].block
                                    : kNone;
  if (anchor) entered.own.anchors = entered.total.anchors = 1;
}

void BlockScores::Leave(std::vector<Open>& open) {
  Open left = open.back();
  open.pop_back();
  Item& item = items_[left.item];
  if (item.block) {
    if (signals_.story_lists && Headline(left)) {
      ++left.headlines;
    } else if (left.own.text - left.own.links >= kProse && left.own_marks > 0) {
      ++left.paragraphs;
    }
    const float worth = Worth(left);
    left.score += worth;
    if (worth > 0) left.good += worth;
  }
  item.end = static_cast<std::uint32_t>(items_.size());
  item.total = left.total;
  item.own_text = left.own.text;
  item.score = left.score;
  item.good = left.good;
  item.hash = left.hash;
  item.boilerplate = Boilerplate(left, item);
  if (open.empty()) return;
  Open& up = open.back();
  up.total.text += left.total.text;
  up.total.links += left.total.links;
  up.total.anchors += left.total.anchors;
  up.headlines += left.headlines;
  up.paragraphs += left.paragraphs;
  if (!item.block) {
    up.own.text += left.own.text;
    up.own.links += left.own.links;
    up.own.anchors += left.own.anchors;
    up.own_marks += left.own_marks;
  }
  if (item.boilerplate) {
    up.score -= kBoilerplateCost * static_cast<float>(left.total.text);
  } else {
    up.score += left.score;
    up.good += left.good;
    up.best_child = std::max(up.best_child, left.good);
  }
}

bool BlockScores::Headline(const Open& block) const {
  const Counts& own = block.own;
  return own.links >= kHeadline && own.anchors <= 2 &&
         (own.links >= 0.7f * static_cast<float>(own.text) ||
          (block.first == 2 && own.links >= 0.2f * static_cast<float>(own.text)));
}

float BlockScores::Worth(const Open& block) const {
  const std::uint32_t links = signals_.link_density ? block.own.links : 0;
  const std::uint32_t plain = block.own.text - links;
  float weight = 1;
  if (signals_.prose) {
    weight = plain >= kProse && block.own_marks > 0 ? 1
             : plain >= kProse / 2                  ? kMiddleWeight
                                                    : kShortWeight;
  }
  return static_cast<float>(plain) * weight - static_cast<float>(links);
}

bool BlockScores::Boilerplate(const Open& element, const Item& item) const {
  if (item.hint <= -2) return true;
  if (item.hint == -1 && element.score <= 0) return true;
  // Lists of links, and of stories, but not the part that holds most of what they hold.
  if (element.good > 0 && element.best_child >= kHolds * element.good) return false;
  if (signals_.story_lists && element.headlines >= 3 && element.paragraphs <= element.headlines) {
    return true;
  }
  return signals_.link_density && element.total.anchors >= 2 &&
         element.total.links > element.total.text / 2;
}

void BlockScores::Choose() {
  // The highest score outside the boilerplate, the innermost (the last in document order) of
  // equal ones; anywhere when none stands out there (a page may name its whole body so).
  std::uint32_t best = kNone, best_anywhere = kNone;
  float best_score = 0, best_score_anywhere = 0;
  for (std::uint32_t i = 0; i < items_.size(); ++i) {
    if (items_[i].score > 0 && items_[i].score >= best_score_anywhere) {
      best_anywhere = i;
      best_score_anywhere = items_[i].score;
    }
  }
  for (std::uint32_t i = 0; i < items_.size();) {
    const Item& item = items_[i];
    if (item.boilerplate) {
      i = item.end;  // and all in it
      continue;
    }
    if (item.score > 0 && item.score >= best_score) {
      best = i;
      best_score = item.score;
    }
    ++i;
  }
  if (best_score < kLeastArticle) {
    best = best_anywhere;
    best_score = best_score_anywhere;
  }
  if (best_score >= kLeastArticle) main_ = items_[best].node;
}

bool BlockScores::Pruned(std::uint32_t index) const {
  const Item& item = items_[index];
  // A description list pairs names with values, links or not: its values are data.
  if (item.in_terms && item.hint > -2) return false;
  return item.boilerplate && item.good <= kHolds * items_[item_of_[main_]].good;
}

bool BlockScores::AllLink(NodeId node) const {
  if (node == html::kNoNode || item_of_[node] == kNone) return false;
  const Counts& total = items_[item_of_[node]].total;
  return total.text > 0 && total.links >= 0.9f * static_cast<float>(total.text);
}

NodeId BlockScores::Sibling(NodeId node, bool next) const {
  auto step = [&](NodeId n) {
    return next ? document_.NextSibling(n) : document_.PreviousSibling(n);
  };
  NodeId sibling = step(node);
  while (sibling != html::kNoNode && document_.Kind(sibling) != html::NodeKind::kElement &&
         !(document_.Kind(sibling) == html::NodeKind::kText && HasText(document_.Text(sibling)))) {
    sibling = step(sibling);
  }
  return sibling;
}

NodeId BlockScores::LeadIn() const {
  NodeId lead = main_;
  if (!signals_.lead_in || main_ == html::kNoNode) return lead;
  int lines = 0;
  for (NodeId node = Sibling(main_, false); node != html::kNoNode; node = Sibling(node, false)) {
    if (document_.Kind(node) != html::NodeKind::kElement) break;
    const std::uint32_t index = item_of_[node];
    if (index == kNone || items_[index].hidden || items_[index].total.text == 0) continue;
    const Item& item = items_[index];
    if (item.boilerplate || item.total.links > 0 || item.total.text > kLeadLine || ++lines > 2) {
      break;
    }
    lead = node;
  }
  return lead;
}

void BlockScores::SetTitle(std::u16string_view title) {
  if (!signals_.title_lines) return;
  auto separator = [](char16_t c) {
    switch (c) {
      case u'|':
      case u'-':
      case u':':
      case u'/':
      case u'\u00AB':  // «
      case u'\u00B7':  // ·
      case u'\u00BB':  // »
      case u'\u2013':  // –
      case u'\u2014':  // —
      case u'\u2022':  // •
      case u'\uFF1A':  // ：
      case u'\uFF5C':  // ｜
        return true;
      default:
        return false;
    }
  };
  std::uint32_t whole = 0, part = 0;
  for (const char16_t c : title) {
    if (separator(c)) {
      if (whole != 0) title_.insert(whole);
      if (part != 0) title_.insert(part);
      part = 0;
    } else {
      part = HashOn(part, c);
    }
    whole = HashOn(whole, c);
  }
  if (whole != 0) title_.insert(whole);
  if (part != 0) title_.insert(part);
}

bool BlockScores::LeftOut(NodeId node) {
  const std::uint32_t index = item_of_[node];
  if (index == kNone || node == main_) return false;
  const Item& item = items_[index];
  if (item.hidden) return true;
  if (signals_.tags && document_.IsHtml(node, Tag::kButton)) return true;
  if (item.block && item.own_text > 0 && item.own_text == item.total.text &&
      title_.count(item.hash) > 0) {
    return true;
  }
  if (signals_.pictures) {
    // The captions say what pictures show better than their alternative text; of the
    // captions, credits and galleries, the first figure's alone: the lead picture's.
    if (document_.IsHtml(node, Tag::kImg)) return true;
    if (item.media && !item.parent_in_media && item.total.text > 0 &&
        static_cast<float>(item.total.text) <
            kFigureShare * static_cast<float>(items_[item_of_[main_]].total.text)) {
      const bool figure =
          document_.IsHtml(node, Tag::kFigure) || document_.IsHtml(node, Tag::kFigcaption);
      if (!figure || caption_taken_) return true;
      caption_taken_ = true;
    }
  }
  if (Pruned(index)) return true;
  if (!signals_.link_density) return false;
  // Links one after another, each alone in its block, are a list of links too.
  if (AllLink(node) && (AllLink(Sibling(node, false)) || AllLink(Sibling(node, true)))) {
    return true;
  }
  // The heading of a list left out ("More stories").
  if (item.block && item.total.links == 0 && item.total.text <= kListHeading) {
    const NodeId next = Sibling(node, true);
    if (next != html::kNoNode && item_of_[next] != kNone) {
      return Pruned(item_of_[next]) || (AllLink(next) && AllLink(Sibling(next, true)));
    }
  }
  return false;
}

}  // namespace pagelift
