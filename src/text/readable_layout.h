#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "html/document.h"
#include "html/tags.h"
#include "text/form_folder.h"

namespace pagelift {

// The attributes of an element, as the layout asks for them.
class ElementAttributes {
 public:
  // The value of the attribute named `name` (lowercase), if the element has one.
  virtual std::optional<std::u16string_view> Find(std::u16string_view name) const = 0;

 protected:
  ~ElementAttributes() = default;
};

// What the readable form makes of an element.
enum class Role : std::uint8_t {
  kInline,     // its text flows with the text around it
  kDropped,    // neither it nor anything in it is shown
  kLine,       // a block: it starts a line, and what follows it starts another
  kParagraph,  // a block set apart by a blank line before and after it
  kListItem,   // a line that begins with the list's mark
  kCell,       // a table cell: the cells of a row stand apart on one line
  kRow,        // a table row: a line
  kPre,        // a block whose spaces and line ends are kept
  kBreak,      // <br>: ends the line; a second in a row leaves a blank line
  kImage,      // its alternative text, where that carries words
};

// The role of an element of the HTML namespace (`html`) or of another (svg, MathML),
// with its attributes: hidden ones (see IsHidden) are dropped whatever they are.
Role RoleOf(html::Tag tag, bool html, const ElementAttributes& attributes);
// The role of an element were it not hidden.
Role RoleOfShown(html::Tag tag, bool html);
// Whether an element's attributes hide it: `hidden`, aria-hidden="true", display:none or
// visibility:hidden in its style.
bool IsHidden(const ElementAttributes& attributes);

// What a walk of a page's tree hands a writer of a form, in document order: each element
// shown as it begins (with its node and its role, never kDropped) and ends, and its text.
class LayoutSink {
 public:
  virtual void Enter(html::NodeId node, html::Tag tag, Role role,
                     const ElementAttributes& attributes) = 0;
  // The element entered last and not left yet ends.
  virtual void Leave() = 0;
  virtual void Text(std::u16string_view text) = 0;

 protected:
  ~LayoutSink() = default;
};

// Lays a page out as a person reads it, from the walk of its elements in document order,
// and folds the lines with FormFolder:
//
// - Blocks start a line; paragraphs, headings, lists, tables, quotations and <pre> are set
//   apart by one blank line. The cells of a table row stand on one line, a tab apart (a
//   row pasted into a spreadsheet fills its columns).
// - Outside <pre>, white space collapses as CSS `white-space: normal` collapses it, and a
//   run of it that holds a line end between two East Asian wide characters disappears:
//   Japanese sources break lines inside sentences. U+00A0 is a space that never collapses.
// - List items begin with "・", or with their number and "." in an ordered list.
// - A dropped element's text is never given (the walk skips it; see RoleOf).
class ReadableLayout final : public LayoutSink {
 public:
  explicit ReadableLayout(double width);

  // The page's title, laid out first, as a paragraph of its own.
  void Title(std::u16string_view title);
  // An element begins; its role as RoleOf gives it (never kDropped: the walk skips those).
  void Enter(html::Tag tag, Role role, const ElementAttributes& attributes);
  void Enter(html::NodeId, html::Tag tag, Role role, const ElementAttributes& attributes) override {
    Enter(tag, role, attributes);
  }
  // The element entered last and not left yet ends.
  void Leave() override;
  // Text inside the elements entered.
  void Text(std::u16string_view text) override;

  // Room for about `units` of folded text (see FormFolder::Reserve).
  void Reserve(std::size_t units) { folder_.Reserve(units); }
  // Moves the folded text so far to the end of `out` (see FormFolder::TakeText).
  void TakeText(std::u16string& out) { folder_.TakeText(out); }
  // Ends the page: the rest of the folded text.
  std::u16string Finish();

 private:
  enum class Break : std::uint8_t { kNone, kLine, kBlank };

  struct Open {
    html::Tag tag;
    Role role;
  };
  struct List {
    bool ordered;
    std::int64_t next;  // the number of the next item
  };

  // What comes next begins a new line, or a new paragraph after a blank line.
  void RequestBreak(Break level);
  // Writes the line begun, if any.
  void EndLine();
  // Appends visible text to the line, after the breaks, mark and space it waits for.
  void Append(std::u16string_view visible);
  void AppendCollapsing(std::u16string_view text);
  void AppendPreformatted(std::u16string_view text);
  void BeginContent(char32_t first);
  bool InPre() const { return pre_depth_ > 0; }

  FormFolder folder_;
  std::vector<Open> open_;
  std::vector<List> lists_;
  std::u16string line_;
  bool line_pre_ = false;  // the line begun is one of <pre>
  Break break_ = Break::kNone;
  bool wrote_ = false;            // some line has been written
  std::u16string mark_;           // the mark of a list item not begun yet
  int cell_tabs_ = 0;             // the tabs before a cell's text: one for each cell before it
  bool space_ = false;            // collapsible white space came since the last text
  bool space_held_line_ = false;  // ... and held a line end
  char32_t last_ = 0;             // the last code point of the line, or 0
  int pre_depth_ = 0;
  int cells_in_row_ = 0;
  int items_and_cells_ = 0;  // list items and table cells open
};

}  // namespace pagelift
