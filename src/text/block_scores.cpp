#include "text/block_scores.h"

#include <algorithm>

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

std::uint64_t HashOn(std::uint64_t hash, char16_t c) {
  return IsBlank(c) ? hash : (hash ^ c) * 0x100000001B3ULL;
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
    : document_(document), signals_(signals), item_of_(document.NodeCount(), kNone) {
  Walk();
  Score();
  Choose();
}

void BlockScores::Walk() {
  // The items of the elements entered, innermost last, and the nearest block of each.
  std::vector<std::uint32_t> open, blocks;
  NodeId node = document_.FirstChild(Document::kRoot);
  while (node != html::kNoNode) {
    bool entered = false;
    const std::uint32_t parent = open.empty() ? kNone : open.back();
    if (document_.Kind(node) == html::NodeKind::kElement) {
      const Role role = RoleOfElement(document_, node);
      if (role != Role::kDropped) {
        const auto index = static_cast<std::uint32_t>(items_.size());
        item_of_[node] = index;
        Item& item = items_.emplace_back();
        item.node = node;
        item.parent = parent;
        const Item* up = parent == kNone ? nullptr : &items_[parent];
        const Tag tag = document_.TagOf(node);
        const bool html = document_.NamespaceOf(node) == html::Namespace::kHtml;
        NameHints names;
        bool href = false;
        for (std::size_t i = 0; i < document_.AttributeCount(node); ++i) {
          const std::u16string_view name = document_.AttributeName(node, i);
          const std::u16string_view value = document_.AttributeValue(node, i);
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
        item.hint = strong ? -2 : weak ? -1 : 0;
        item.block = IsBlockRole(role);
        item.link = (up && up->link) || (html && tag == Tag::kA && href);
        if (html && tag == Tag::kA && href) item.own.anchors = item.total.anchors = 1;
        item.media = signals_.pictures &&
                     ((html && (tag == Tag::kFigure || tag == Tag::kFigcaption)) || names.media);
        item.in_media = item.media || (up && up->in_media);
        item.in_terms = (html && tag == Tag::kDl) || (up && up->in_terms);
        if (!item.hidden && document_.FirstChild(node) != html::kNoNode) {
          entered = true;
          blocks.push_back(item.block ? index : blocks.empty() ? kNone : blocks.back());
          open.push_back(index);
        }
      }
    } else if (document_.Kind(node) == html::NodeKind::kText && parent != kNone) {
      const std::u16string_view text = document_.Text(node);
      Counts counts;
      for (const char16_t c : text) {
        if (IsBlank(c)) continue;
        // An East Asian wide character says about what two Latin letters say.
        counts.text += c >= 0x1100 && (c < 0xD800 || c > 0xDFFF) && IsEastAsianWide(c) ? 2 : 1;
        if (IsMark(c)) ++counts.marks;
      }
      Item& up = items_[parent];
      if (up.link) counts.links = counts.text;
      up.own.text += counts.text;
      up.own.links += counts.links;
      up.own.marks += counts.marks;
      up.total.text += counts.text;
      up.total.links += counts.links;
      up.total.marks += counts.marks;
      if (counts.text > 0 && blocks.back() != kNone) {
        Item& block = items_[blocks.back()];
        if (block.first == 0) block.first = up.link ? 2 : 1;
        for (const char16_t c : text) block.hash = HashOn(block.hash, c);
      }
    }
    if (entered) {
      node = document_.FirstChild(node);
      continue;
    }
    // Up to the nearest element with a next sibling, leaving each on the way.
    while (document_.NextSibling(node) == html::kNoNode) {
      node = document_.Parent(node);
      if (node == Document::kRoot || node == html::kNoNode) return;
      open.pop_back();
      blocks.pop_back();
    }
    node = document_.NextSibling(node);
  }
}

bool BlockScores::Headline(const Item& item) const {
  const Counts& own = item.own;
  return own.links >= kHeadline && own.anchors <= 2 &&
         (own.links >= 0.7f * static_cast<float>(own.text) ||
          (item.first == 2 && own.links >= 0.2f * static_cast<float>(own.text)));
}

float BlockScores::Worth(const Counts& own) const {
  const std::uint32_t links = signals_.link_density ? own.links : 0;
  const std::uint32_t plain = own.text - links;
  float weight = 1;
  if (signals_.prose) {
    weight = plain >= kProse && own.marks > 0 ? 1
             : plain >= kProse / 2            ? kMiddleWeight
                                              : kShortWeight;
  }
  return static_cast<float>(plain) * weight - static_cast<float>(links);
}

bool BlockScores::Boilerplate(const Item& item) const {
  if (item.hint <= -2) return true;
  if (item.hint == -1 && item.score <= 0) return true;
  // Lists of links, and of stories, but not the part that holds most of what they hold.
  if (item.good > 0 && item.best_child >= kHolds * item.good) return false;
  if (signals_.story_lists && item.headlines >= 3 && item.paragraphs <= item.headlines) {
    return true;
  }
  return signals_.link_density && item.total.anchors >= 2 && item.total.links > item.total.text / 2;
}

void BlockScores::Score() {
  for (std::size_t i = items_.size(); i-- > 0;) {
    Item& item = items_[i];
    if (item.block) {
      if (signals_.story_lists && Headline(item)) {
        ++item.headlines;
      } else if (item.own.text - item.own.links >= kProse && item.own.marks > 0) {
        ++item.paragraphs;
      }
      const float worth = Worth(item.own);
      item.score += worth;
      if (worth > 0) item.good += worth;
    }
    item.boilerplate = Boilerplate(item);
    if (item.parent == kNone) continue;
    Item& up = items_[item.parent];
    up.total.text += item.total.text;
    up.total.links += item.total.links;
    up.total.marks += item.total.marks;
    up.total.anchors += item.total.anchors;
    up.headlines += item.headlines;
    up.paragraphs += item.paragraphs;
    if (!item.block) {
      up.own.text += item.own.text;
      up.own.links += item.own.links;
      up.own.marks += item.own.marks;
      up.own.anchors += item.own.anchors;
    }
    if (item.boilerplate) {
      up.score -= kBoilerplateCost * static_cast<float>(item.total.text);
    } else {
      up.score += item.score;
      up.good += item.good;
      up.best_child = std::max(up.best_child, item.good);
    }
  }
}

void BlockScores::Choose() {
  for (Item& item : items_) {
    item.aside = item.boilerplate || (item.parent != kNone && items_[item.parent].aside);
  }
  // The highest score outside the boilerplate, the innermost of equal ones; anywhere when
  // none stands out there (a page may name its whole body so).
  std::uint32_t best = kNone;
  float best_score = 0;
  for (const bool anywhere : {false, true}) {
    for (std::size_t i = items_.size(); i-- > 0;) {
      if ((items_[i].aside && !anywhere) || items_[i].score <= best_score) continue;
      best = static_cast<std::uint32_t>(i);
      best_score = items_[i].score;
    }
    if (best_score >= kLeastArticle) break;
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
  std::uint64_t whole = 0, part = 0;
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
  if (item.block && item.own.text > 0 && item.own.text == item.total.text &&
      title_.count(item.hash) > 0) {
    return true;
  }
  if (signals_.pictures) {
    // The captions say what pictures show better than their alternative text; of the
    // captions, credits and galleries, the first figure's alone: the lead picture's.
    if (document_.IsHtml(node, Tag::kImg)) return true;
    const bool outermost = item.parent == kNone || !items_[item.parent].in_media;
    if (item.media && outermost && item.total.text > 0 &&
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
