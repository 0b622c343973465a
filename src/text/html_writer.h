#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "html/document.h"
#include "text/readable_layout.h"

namespace pagelift {

// Writes the elements a walk of the page hands it (LayOut, LayOutParts) as clean HTML for
// the Clipboard, so that a paste into a word processor or a mail keeps the structure. It is
// written from what the form keeps, never the page's markup passed on: every text escaped,
// a fixed set of elements (headings, p, div, lists, a, img, tables, strong, em, code, pre,
// blockquote, br) without class, style, id or event attributes, href and src only for
// http(s) URLs made absolute. A data table stays a table (as MarkdownWriter decides); a
// table of the layout gives its cells as blocks.
class HtmlWriter final : public LayoutSink {
 public:
  HtmlWriter(const html::Document& document, std::u16string_view url);

  // The title as the first heading, then the page's address as a link where it is known.
  void Title(std::u16string_view title);
  void Enter(html::NodeId node, html::Tag tag, Role role,
             const ElementAttributes& attributes) override;
  void Leave() override;
  void Text(std::u16string_view text) override;
  // The whole document; its body is what was copied (where Windows' "HTML Format" puts its
  // fragment's marks).
  std::u16string Finish();

 private:
  void Escape(std::u16string_view text, bool attribute);
  std::u16string Address(std::u16string_view reference) const;

  const html::Document& document_;
  std::u16string base_;
  std::u16string url_;
  std::u16string body_;
  std::vector<const char16_t*> closes_;  // the end tag each element entered writes, or null
  int pre_ = 0;
  int table_ = 0;        // data tables open
  bool space_ = false;   // white space came since the last text
  bool spaced_ = false;  // ... and a blank was written for it, before an inline tag
};

}  // namespace pagelift
