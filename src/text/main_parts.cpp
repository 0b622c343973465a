#include "text/main_parts.h"

#include "text/readable_layout.h"
#include "text/readable_text.h"

namespace pagelift {

namespace {

using html::Document;
using html::NodeId;

void SetBit(std::vector<std::uint64_t>& bits, NodeId node) {
  bits[node >> 6] |= std::uint64_t{1} << (node & 63);
}

bool IsBlock(Role role) {
  return role == Role::kLine || role == Role::kParagraph || role == Role::kListItem ||
         role == Role::kCell || role == Role::kRow || role == Role::kPre;
}

}  // namespace

MainParts::MainParts(const MainBlocks& blocks, const std::vector<bool>& keep) {
  const Document& document = blocks.document();
  const std::size_t words = document.NodeCount() / 64 + 1;
  kept_bits_.assign(words, 0);
  holds_bits_.assign(words, 0);
  for (std::size_t i = 0; i < keep.size(); ++i) {
    if (!keep[i]) continue;
    const NodeId node = blocks.blocks()[i].node;
    kept_.push_back(node);
    SetBit(kept_bits_, node);
    // Up to the first element already known to hold one: each is marked once.
    for (NodeId up = node; up != html::kNoNode && !Holds(up); up = document.Parent(up)) {
      SetBit(holds_bits_, up);
    }
  }
}

void LayOutParts(const Document& document, const MainParts& parts, LayoutSink& layout) {
  if (parts.empty()) return;
  // For each element entered, whether its nearest block is kept.
  std::vector<bool> kept;
  NodeId node = document.FirstChild(Document::kRoot);
  while (node != html::kNoNode) {
    bool entered = false;
    const bool in_kept = !kept.empty() && kept.back();
    if (document.Kind(node) == html::NodeKind::kElement) {
      const Role role = MainRoleOf(document, node);
      const bool block = IsBlock(role);
      const bool enter = role != Role::kDropped && role != Role::kImage &&
                         (block ? parts.Holds(node) : in_kept || parts.Holds(node));
      if (enter) {
        layout.Enter(node, document.TagOf(node), role, NodeAttributes(document, node));
        kept.push_back(block ? parts.Kept(node) : in_kept);
        entered = true;
      }
    } else if (document.Kind(node) == html::NodeKind::kText && in_kept) {
      layout.Text(document.Text(node));
    }
    if (entered && document.FirstChild(node) != html::kNoNode) {
      node = document.FirstChild(node);
      continue;
    }
    if (entered) {
      layout.Leave();
      kept.pop_back();
    }
    // Up to the nearest element with a next sibling, leaving each on the way.
    while (document.NextSibling(node) == html::kNoNode) {
      node = document.Parent(node);
      if (node == Document::kRoot || node == html::kNoNode) return;
      layout.Leave();
      kept.pop_back();
    }
    node = document.NextSibling(node);
  }
}

}  // namespace pagelift
