// The list of active formatting elements (pushing with Noah's Ark, reconstructing them), the
// adoption agency algorithm, and the "any other end tag" steps of the in body mode, which it
// falls back on.
#include <algorithm>

#include "html/tree_builder.h"

namespace pagelift::html {

bool TreeBuilder::SameElement(NodeId a, NodeId b) const {
  const Document::Node& x = doc_.nodes_[a];
  const Document::Node& y = doc_.nodes_[b];
  if (x.name != y.name || x.ns != y.ns || x.size != y.size) return false;
  for (std::size_t i = 0; i < x.size; ++i) {
    const auto value = doc_.FindAttribute(b, doc_.AttributeName(a, i));
    if (!value || *value != doc_.AttributeValue(a, i)) return false;
  }
  return true;
}

void TreeBuilder::PushFormatting(NodeId element) {
  std::size_t after_marker = formatting_.size();
  while (after_marker > 0 && formatting_[after_marker - 1] != kMarker) --after_marker;
  // Noah's Ark: at most three alike.
  std::size_t alike = 0, earliest = formatting_.size();
  for (std::size_t k = formatting_.size(); k-- > after_marker;) {
    if (SameElement(formatting_[k], element)) {
      ++alike;
      earliest = k;
    }
  }
  if (alike >= 3) formatting_.erase(formatting_.begin() + static_cast<std::ptrdiff_t>(earliest));
  if (formatting_.size() - after_marker >= kMaxFormatting) {
    formatting_.erase(formatting_.begin() + static_cast<std::ptrdiff_t>(after_marker));
  }
  formatting_.push_back(element);
}

void TreeBuilder::ReconstructFormatting() {
  if (formatting_.empty()) return;
  const auto open = [&](NodeId n) { return n == kMarker || doc_.nodes_[n].open; };
  if (open(formatting_.back())) return;
  std::size_t k = formatting_.size() - 1;
  while (k > 0 && !open(formatting_[k - 1])) --k;
  for (; k < formatting_.size(); ++k) {
    if (!MayClone()) return;
    const NodeId clone = CloneElement(formatting_[k]);
    if (open_.size() >= kMaxOpen) Pop();
    InsertAt(AppropriatePlace(), clone);
    Push(clone);
    formatting_[k] = clone;
  }
}

bool TreeBuilder::AdoptionAgency(const Token& t) {
  const auto subject = static_cast<std::uint32_t>(t.tag);
  const NodeId current = Current();
  if (doc_.IsHtml(current, t.tag) && FormattingIndex(current) == formatting_.size()) {
    Pop();
    return true;
  }
  for (int outer = 0; outer < 8; ++outer) {
    std::size_t f = formatting_.size();
    for (std::size_t k = formatting_.size(); k-- > 0;) {
      if (formatting_[k] == kMarker) break;
      if (doc_.nodes_[formatting_[k]].name == subject &&
          doc_.NamespaceOf(formatting_[k]) == Namespace::kHtml) {
        f = k;
        break;
      }
    }
    if (f == formatting_.size()) return false;
    const NodeId formatting = formatting_[f];
    if (!doc_.nodes_[formatting].open) {
      formatting_.erase(formatting_.begin() + static_cast<std::ptrdiff_t>(f));
      return true;
    }
    if (!NodeInScope(formatting)) return true;
    const std::size_t at =
        static_cast<std::size_t>(std::find(open_.begin(), open_.end(), formatting) - open_.begin());
    std::size_t furthest_at = open_.size();
    for (std::size_t k = at + 1; k < open_.size(); ++k) {
      if (IsSpecial(open_[k])) {
        furthest_at = k;
        break;
      }
    }
    if (furthest_at == open_.size()) {
      while (open_.size() > at) Pop();
      formatting_.erase(formatting_.begin() + static_cast<std::ptrdiff_t>(f));
      return true;
    }
    // Past the bound on made elements, the end tag only closes what it can.
    if (!MayClone()) return false;
    const NodeId furthest = open_[furthest_at];
    const NodeId common_ancestor = open_[at - 1];
    std::size_t bookmark = f;
    NodeId last = furthest;
    std::size_t node_at = furthest_at;
    for (int inner = 1;; ++inner) {
      --node_at;
      NodeId node = open_[node_at];
      if (node == formatting) break;
      std::size_t entry = FormattingIndex(node);
      if (inner > 3 && entry != formatting_.size()) {
        formatting_.erase(formatting_.begin() + static_cast<std::ptrdiff_t>(entry));
        if (entry < bookmark) --bookmark;
        entry = formatting_.size();
      }
      if (entry == formatting_.size()) {
        open_.erase(open_.begin() + static_cast<std::ptrdiff_t>(node_at));
        MarkOpen(node, false);
        continue;
      }
      const NodeId clone = CloneElement(node);
      formatting_[entry] = clone;
      open_[node_at] = clone;
      MarkOpen(node, false);
      MarkOpen(clone, true);
      node = clone;
      if (last == furthest) bookmark = entry + 1;
      doc_.Remove(last);
      doc_.Insert(node, last, kNoNode);
      last = node;
    }
    doc_.Remove(last);
    InsertAt(AppropriatePlace(common_ancestor), last);
    const NodeId clone = CloneElement(formatting);
    // The furthest block's children move to the clone, which takes their place.
    while (doc_.FirstChild(furthest) != kNoNode) {
      const NodeId child = doc_.FirstChild(furthest);
      doc_.Remove(child);
      doc_.Insert(clone, child, kNoNode);
    }
    doc_.Insert(furthest, clone, kNoNode);
    // Entries may have gone from before it: find the formatting element again.
    f = static_cast<std::size_t>(std::find(formatting_.begin(), formatting_.end(), formatting) -
                                 formatting_.begin());
    formatting_.erase(formatting_.begin() + static_cast<std::ptrdiff_t>(f));
    if (f < bookmark) --bookmark;
    formatting_.insert(formatting_.begin() + static_cast<std::ptrdiff_t>(bookmark), clone);
    const auto formatting_it = std::find(open_.begin(), open_.end(), formatting);
    open_.erase(formatting_it);
    MarkOpen(formatting, false);
    const auto furthest_it = std::find(open_.begin(), open_.end(), furthest);
    open_.insert(furthest_it + 1, clone);
    MarkOpen(clone, true);
  }
  return true;
}

void TreeBuilder::AnyOtherEndTag(const Token& t) {
  for (std::size_t k = open_.size(); k-- > 1;) {
    const NodeId node = open_[k];
    if (doc_.IsHtml(node, t.tag)) {
      GenerateImpliedEndTags(t.tag);
      while (open_.size() > k) Pop();
      return;
    }
    if (IsSpecial(node)) return;
  }
}

}  // namespace pagelift::html
