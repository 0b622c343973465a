#include "html/document.h"

namespace pagelift::html {

Document::Document() {
  Add(NodeKind::kDocument);
}

NodeId Document::LastChild(NodeId node) const {
  const NodeId first = nodes_[node].first_child;
  return first == kNoNode ? kNoNode : nodes_[first].prev_sibling;
}

NodeId Document::PreviousSibling(NodeId node) const {
  const NodeId parent = nodes_[node].parent;
  if (parent == kNoNode || nodes_[parent].first_child == node) return kNoNode;
  return nodes_[node].prev_sibling;
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

std::size_t Document::MemoryBytes() const {
  std::size_t bytes = nodes_.capacity() * sizeof(Node) + text_.capacity() * sizeof(char16_t) +
                      attributes_.capacity() * sizeof(AttributeRange) +
                      names_.capacity() * sizeof(std::u16string);
  for (const std::u16string& name : names_) bytes += name.capacity() * sizeof(char16_t);
  return bytes;
}

NodeId Document::Add(NodeKind kind) {
  const auto id = static_cast<NodeId>(nodes_.size());
  nodes_.emplace_back().kind = kind;
  return id;
}

void Document::Insert(NodeId parent, NodeId child, NodeId before) {
  Node& p = nodes_[parent];
  Node& c = nodes_[child];
  c.parent = parent;
  if (p.first_child == kNoNode) {
    p.first_child = child;
    c.prev_sibling = child;
    c.next_sibling = kNoNode;
    return;
  }
  if (before == kNoNode) {
    const NodeId last = nodes_[p.first_child].prev_sibling;
    nodes_[last].next_sibling = child;
    c.prev_sibling = last;
    c.next_sibling = kNoNode;
    nodes_[p.first_child].prev_sibling = child;
    return;
  }
  Node& b = nodes_[before];
  c.next_sibling = before;
  c.prev_sibling = b.prev_sibling;
  if (p.first_child == before) {
    p.first_child = child;
  } else {
    nodes_[b.prev_sibling].next_sibling = child;
  }
  b.prev_sibling = child;
}

void Document::Remove(NodeId child) {
  Node& c = nodes_[child];
  if (c.parent == kNoNode) return;
  Node& p = nodes_[c.parent];
  const NodeId last = nodes_[p.first_child].prev_sibling;
  if (p.first_child == child) {
    p.first_child = c.next_sibling;
    if (c.next_sibling != kNoNode) nodes_[c.next_sibling].prev_sibling = last;
  } else {
    nodes_[c.prev_sibling].next_sibling = c.next_sibling;
    if (c.next_sibling != kNoNode) {
      nodes_[c.next_sibling].prev_sibling = c.prev_sibling;
    } else {
      nodes_[p.first_child].prev_sibling = c.prev_sibling;
    }
  }
  c.parent = c.next_sibling = c.prev_sibling = kNoNode;
}

std::uint32_t Document::AppendText(std::u16string_view text) {
  const auto begin = static_cast<std::uint32_t>(text_.size());
  text_.append(text);
  return begin;
}

}  // namespace pagelift::html
