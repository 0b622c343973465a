#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "html/document.h"
#include "text/markdown_inline.h"
#include "text/readable_layout.h"

namespace pagelift {

// Whether a table holds data rather than a page's layout: no table inside it, and a header
// cell, a head or a caption.
bool IsDataTable(const html::Document& document, html::NodeId table);

// The address a page's references are resolved against: its <base href> made absolute
// against `url`, or `url`; empty where neither is an absolute URL.
std::u16string BaseOf(const html::Document& document, std::u16string_view url);

// Writes the elements a walk of the page hands it (LayOut, LayOutParts) as CommonMark with
// GitHub's tables, never folded:
//
// - headings as "#" at their levels; "-" and "1." lists nested as the page nests them;
//   quotations as ">"; <pre> as a fenced code block, its language from class="language-…";
// - links as [text](URL) and pictures as ![alt](URL), their URLs made absolute against the
//   page's address (and its <base href>), links of javascript: and the like as their text;
// - strong and emphasis as ** and *, or as <strong> and <em> where CommonMark's rules would
//   not read the asterisks (beside 「」、。 and other punctuation); code as code spans;
// - a data table (no table inside it, and a header cell, a head or a caption) as a pipe
//   table, its first row the header; a table used for the page's layout as its blocks.
//
// The text is escaped as MarkdownInline escapes it.
class MarkdownWriter final : public LayoutSink {
 public:
  // `url`: the page's address, or empty where it is not known (then references stay as the
  // page gives them).
  MarkdownWriter(const html::Document& document, std::u16string_view url);

  // The first lines: "# " and the title, then the page's address where it is known.
  void Title(std::u16string_view title);
  void Enter(html::NodeId node, html::Tag tag, Role role,
             const ElementAttributes& attributes) override;
  void Leave() override;
  void Text(std::u16string_view text) override;
  // The whole Markdown, with "\r\n" line ends as the other forms have.
  std::u16string Finish();

 private:
  enum class Kind : std::uint8_t {
    kPlain,  // an element that adds nothing of its own
    kBlock,  // a block: what is in it is a block of its own
    kHeading,
    kQuote,
    kList,
    kItem,
    kPre,
    kTable,  // a data table
    kRow,
    kCell,
    kCaption,
    kLink,
    kStrong,
    kEmphasis,
    kCode,
  };
  struct Open {
    Kind kind;
    std::u16string url;  // a link's
    bool block = false;  // a block inside a cell or a caption: a blank on each side
    bool line = false;   // a block inside <pre>: a line of its own
  };
  struct Container {
    bool quote;
    std::u16string marker;  // an item's "- " or "3. "
    bool started = false;   // its first line is written
  };
  struct List {
    bool ordered;
    std::int64_t next;
    bool written = false;  // an item of it is written
  };

  Kind KindOf(html::NodeId node, html::Tag tag, Role role, const ElementAttributes& attributes,
              std::u16string& url);
  MarkdownInline& Inline();
  // Writes the inline content gathered so far as a paragraph, or as the heading it is.
  void Flush();
  // Writes a block of lines ("\n" between them) after the blank line that sets it apart.
  void WriteBlock(std::u16string_view lines);
  std::u16string Prefix(bool first_line);
  // The quotations and items a line shows the marks and indents of.
  static constexpr std::size_t kShownDepth = 16;
  std::vector<std::size_t> Shown() const;
  void WriteTable();
  void WriteCodeBlock();
  void EndPreLine();
  std::u16string Destination(std::u16string_view reference, bool picture) const;

  const html::Document& document_;
  std::u16string base_;  // what references are resolved against
  std::u16string url_;   // the page's own address
  std::u16string out_;
  std::vector<Open> open_;
  std::vector<Container> containers_;
  int items_ = 0;  // the list items among them
  std::vector<List> lists_;
  MarkdownInline inline_;
  int heading_ = 0;            // the level of the heading being gathered, or 0
  bool last_in_item_ = false;  // the last block written was in a list item
  // <pre>: its text as it is, and its language.
  int pre_ = 0;
  std::u16string pre_text_;
  std::u16string language_;
  // A data table: its rows of cells, each cell's content gathered apart.
  int table_ = 0;
  std::vector<std::vector<std::u16string>> rows_;
  MarkdownInline cell_{true};
  bool in_cell_ = false;
  MarkdownInline caption_;
  bool in_caption_ = false;
};

}  // namespace pagelift
