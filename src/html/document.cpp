#include "html/document.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "base/fault_ahead.h"
#include "base/huge_pages.h"

namespace pagelift::html {

Document::Document() {
  Add(NodeKind::kDocument);
}

NodeId Document::Next(NodeId node) const {
  const NodeId first = nodes_[node].first_child;
  return first != kNoNode ? first : NextSkippingChildren(node);
}

NodeId Document::NextSkippingChildren(NodeId node) const {
  for (; node != kNoNode; node = nodes_[node].parent) {
    if (nodes_[node].next_sibling != kNoNode) return nodes_[node].next_sibling;
  }
  return kNoNode;
}

std::u16string_view Document::NameOf(NodeId element) const {
  const std::uint32_t name = nodes_[element].name;
  if (name < Number(Tag::kTagCount)) return html::NameOf(static_cast<Tag>(name));
  return names_[name - Number(Tag::kTagCount)];
}

std::size_t Document::AttributeCount(NodeId element) const {
  return nodes_[element].kind == NodeKind::kElement ? nodes_[element].size : 0;
}

std::u16string_view Document::AttributeName(NodeId element, std::size_t index) const {
  const AttributeRange& a = attributes_[nodes_[element].begin + index];
  return std::u16string_view(text_).substr(a.name_begin, a.name_size);
}

std::u16string_view Document::AttributeValue(NodeId element, std::size_t index) const {
  const AttributeRange& a = attributes_[nodes_[element].begin + index];
  return std::u16string_view(text_).substr(a.value_begin, a.value_size);
}

std::optional<std::u16string_view> Document::FindAttribute(NodeId element,
                                                           std::u16string_view name) const {
  for (std::size_t k = 0, count = AttributeCount(element); k < count; ++k) {
    if (AttributeName(element, k) == name) return AttributeValue(element, k);
  }
  return std::nullopt;
}

NodeId Document::TemplateContent(NodeId element) const {
  // The contents are made right after their template.
  if (!IsHtml(element, Tag::kTemplate) || element + 1 >= nodes_.size() ||
      nodes_[element + 1].kind != NodeKind::kTemplateContent) {
    return kNoNode;
  }
  return element + 1;
}

bool Document::operator==(const Document& other) const {
  if (NodeCount() != other.NodeCount()) return false;
  for (NodeId node = 0; node < NodeCount(); ++node) {
    const Node& a = nodes_[node];
    const Node& b = other.nodes_[node];
    if (a.kind != b.kind || a.parent != b.parent || a.first_child != b.first_child ||
        a.last_child != b.last_child || a.next_sibling != b.next_sibling ||
        a.prev_sibling != b.prev_sibling) {
      return false;
    }
    if (a.kind == NodeKind::kElement) {
      if (a.ns != b.ns || NameOf(node) != other.NameOf(node) ||
          AttributeCount(node) != other.AttributeCount(node)) {
        return false;
      }
      for (std::size_t k = 0; k < AttributeCount(node); ++k) {
        if (AttributeName(node, k) != other.AttributeName(node, k) ||
            AttributeValue(node, k) != other.AttributeValue(node, k)) {
          return false;
        }
      }
    } else if (Text(node) != other.Text(node)) {
      return false;
    }
  }
  return true;
}

std::size_t Document::MemoryBytes() const {
  std::size_t bytes = nodes_.size() * sizeof(Node) + text_.size() * sizeof(char16_t) +
                      attributes_.size() * sizeof(AttributeRange) +
                      names_.capacity() * sizeof(std::u16string);
  for (const std::u16string& name : names_) bytes += name.capacity() * sizeof(char16_t);
  return bytes;
}

NodeId Document::Add(NodeKind kind) {
  const auto id = static_cast<NodeId>(nodes_.size());
  nodes_.emplace_back().kind = kind;
  return id;
}

Document::Node& Document::Nodes::emplace_back() {
  const std::size_t n = size_ + (std::size_t{1} << kFirstShift);
  if ((n & (n - 1)) == 0) {       // the first node of a new block
    const std::size_t count = n;  // each block as large as all before it, and 256 more
    auto* block = static_cast<Node*>(std::malloc(count * sizeof(Node)));
    if (block == nullptr) throw std::bad_alloc();
    blocks_.emplace_back(block);
  }
  const Node* const block = blocks_.back().get();  // the new node's, of bit_floor(n) nodes
  Node* const node = &At(static_cast<NodeId>(size_));
  fault_ahead_.Reach(block, node, block + std::bit_floor(n));
  new (node) Node;
  ++size_;
  return *node;
}

void Document::Nodes::Free::operator()(Node* block) const {
  std::free(block);
}

void Document::Insert(NodeId parent, NodeId child, NodeId before) {
  Node& p = nodes_[parent];
  Node& c = nodes_[child];
  c.parent = parent;
  c.next_sibling = before;
  if (before == kNoNode) {
    c.prev_sibling = p.last_child;
    if (p.last_child != kNoNode) {
      nodes_[p.last_child].next_sibling = child;
    } else {
      p.first_child = child;
    }
    p.last_child = child;
    return;
  }
  Node& b = nodes_[before];
  c.prev_sibling = b.prev_sibling;
  if (b.prev_sibling != kNoNode) {
    nodes_[b.prev_sibling].next_sibling = child;
  } else {
    p.first_child = child;
  }
  b.prev_sibling = child;
}

void Document::Remove(NodeId child) {
  Node& c = nodes_[child];
  if (c.parent == kNoNode) return;
  Node& p = nodes_[c.parent];
  if (c.prev_sibling != kNoNode) {
    nodes_[c.prev_sibling].next_sibling = c.next_sibling;
  } else {
    p.first_child = c.next_sibling;
  }
  if (c.next_sibling != kNoNode) {
    nodes_[c.next_sibling].prev_sibling = c.prev_sibling;
  } else {
    p.last_child = c.prev_sibling;
  }
  c.parent = c.next_sibling = c.prev_sibling = kNoNode;
}

std::uint32_t Document::AppendText(std::u16string_view text) {
  const auto begin = static_cast<std::uint32_t>(text_.size());
  // Past the room reserved (a page in pieces may not have said its size), the text grows in
  // memory advised for huge pages, as the room would have been.
  if (text.size() > text_.capacity() - text_.size()) {
    ReserveLarge(text_, std::max(2 * text_.capacity(), text_.size() + text.size()));
  }
  fault_ahead_.Reach(text_.data(), text_.data() + text_.size(), text_.data() + text_.capacity());
  text_.append(text);
  return begin;
}

}  // namespace pagelift::html
