#include "text/readable_text.h"

#include <functional>

#include "html/document.h"
#include "text/readable_layout.h"

namespace pagelift {

using html::Document;
using html::NodeId;

std::u16string TitleOf(const Document& document) {
  if (!document.HasTitle()) return {};
  for (NodeId node = Document::kRoot; node != html::kNoNode; node = document.Next(node)) {
    if (!document.IsHtml(node, html::Tag::kTitle)) continue;
    std::u16string title;
    for (NodeId child = document.FirstChild(node); child != html::kNoNode;
         child = document.NextSibling(child)) {
      if (document.Kind(child) == html::NodeKind::kText) title += document.Text(child);
    }
    return title;
  }
  return {};
}

Role RoleOfElement(const Document& document, NodeId element) {
  return RoleOf(document.TagOf(element), document.NamespaceOf(element) == html::Namespace::kHtml,
                NodeAttributes(document, element));
}

void ReserveForm(const Document& document, ReadableLayout& layout) {
  layout.Reserve(document.TextUnits() + document.TextUnits() / 8);
}

void LayOut(const Document& document, NodeId root, LayoutSink& layout,
            const std::function<bool(NodeId)>& left_out) {
  if (document.FirstChild(root) == html::kNoNode) return;
  NodeId node = document.FirstChild(root);
  while (node != html::kNoNode) {
    bool entered = false;
    if (document.Kind(node) == html::NodeKind::kElement) {
      const NodeAttributes attributes(document, node);
      const html::Tag tag = document.TagOf(node);
      const Role role =
          RoleOf(tag, document.NamespaceOf(node) == html::Namespace::kHtml, attributes);
      if (role != Role::kDropped && !(left_out && left_out(node))) {
        layout.Enter(node, tag, role, attributes);
        entered = true;
      }
    } else if (document.Kind(node) == html::NodeKind::kText && !(left_out && left_out(node))) {
      layout.Text(document.Text(node));
    }
    if (entered && document.FirstChild(node) != html::kNoNode) {
      node = document.FirstChild(node);
      continue;
    }
    if (entered) layout.Leave();
    // Up to the nearest element with a next sibling, leaving each on the way.
    while (document.NextSibling(node) == html::kNoNode) {
      node = document.Parent(node);
      if (node == root || node == html::kNoNode) return;
      layout.Leave();
    }
    node = document.NextSibling(node);
  }
}

std::u16string ReadableText(const Document& document, double width) {
  ReadableLayout layout(width);
  ReserveForm(document, layout);
  layout.Title(TitleOf(document));
  LayOut(document, Document::kRoot, layout);
  return layout.Finish();
}

std::u16string ReadableText(std::u16string_view page, double width) {
  return ReadableText(html::ParseDocument(page), width);
}

}  // namespace pagelift
