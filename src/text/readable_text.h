#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "html/document.h"
#include "text/readable_layout.h"

namespace pagelift {

class ReadableLayout;
enum class Role : std::uint8_t;

// The attributes of an element of the tree, as the layout asks for them.
class NodeAttributes final : public ElementAttributes {
 public:
  NodeAttributes(const html::Document& document, html::NodeId element)
      : document_(document), element_(element) {}
  std::optional<std::u16string_view> Find(std::u16string_view name) const override {
    return document_.FindAttribute(element_, name);
  }

 private:
  const html::Document& document_;
  html::NodeId element_;
};

// The readable form of a decoded page: its title, then the whole page laid out as a person
// reads it (see ReadableLayout), every line folded at `width` columns (see FormFolder).
// The page is parsed as browsers parse HTML. Throws std::bad_alloc when memory runs out,
// and OverflowError for a page of 2^31 units or more.
std::u16string ReadableText(std::u16string_view page, double width);
// The same for a page already parsed.
std::u16string ReadableText(const html::Document& document, double width);

// The text of the document's first <title>, where browsers take a page's title from.
std::u16string TitleOf(const html::Document& document);

// What the readable form makes of an element of the document (see RoleOf).
Role RoleOfElement(const html::Document& document, html::NodeId element);

// Makes room in `layout` beforehand for a form of the document: about its text, with line
// ends and list marks.
void ReserveForm(const html::Document& document, ReadableLayout& layout);

// Hands `layout` every element and text inside `root`, in document order, but for the
// elements the layout drops (see RoleOf) and the elements and texts `left_out` names, and
// all that is in them. No recursion: a deep page costs no stack.
void LayOut(const html::Document& document, html::NodeId root, LayoutSink& layout,
            const std::function<bool(html::NodeId)>& left_out = {});

}  // namespace pagelift
