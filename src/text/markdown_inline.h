#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pagelift {

// The inline content of one Markdown block (a paragraph, a heading, a cell), gathered as it
// comes and written out whole, since whether emphasis may be written with asterisks depends
// on the characters on both sides of each end. White space collapses as in the readable form
// (a line end between two wide characters goes); the text is escaped where a CommonMark
// reader would take it for markup, and nowhere else.
class MarkdownInline {
 public:
  enum class Mark : std::uint8_t { kStrong, kEmphasis, kCode, kLink };

  // `cell`: the content of a table's cell, where "|" is markup too.
  explicit MarkdownInline(bool cell = false) : cell_(cell) {}

  void Text(std::u16string_view text);
  void Open(Mark mark);
  // `url`: a link's target; empty gives its text alone.
  void Close(Mark mark, std::u16string_view url = {});
  // A picture: ![alt](url).
  void Picture(std::u16string_view alt, std::u16string_view url);
  // A line end that stays one (<br>).
  void HardBreak();
  // A blank, as between two cells or two blocks run together.
  void Space() { space_ = true; }

  bool empty() const { return text_.empty(); }
  // The Markdown, with "\n" between the lines of a hard break; the content is emptied.
  // `block_start`: the lines begin blocks, where "#", ">", "-", "1." and the like are markup.
  std::u16string Take(bool block_start = true);

 private:
  struct Placed {
    std::size_t at;  // where in text_ the mark stands
    Mark mark;
    bool open;
    std::size_t pair;  // the index of the other end, once closed
    std::u16string url;
    bool inert = false;  // inside a code span, where no markup is read: not written
  };

  void BeginContent(char32_t first);
  void Escaped(std::u16string_view run, char16_t before_run, char16_t after_run);
  // Whether the delimiters of the pair opened at `open` would be read by CommonMark where
  // they stand. `*_marked`: other markup stands right before or after that end (each of
  // ours begins and ends with punctuation).
  bool Flanks(const Placed& open, const Placed& close, bool before_open_marked,
              bool after_open_marked, bool before_close_marked, bool after_close_marked) const;
  void WriteOpen(const Placed& open, bool markdown, std::u16string& out) const;
  void WriteClose(const Placed& open, const Placed& close, bool markdown,
                  std::u16string& out) const;

  bool cell_;
  std::u16string text_;
  std::vector<Placed> marks_;
  std::vector<std::size_t> open_;  // indexes into marks_ of the marks not closed yet
  bool space_ = false;
  bool space_held_line_ = false;
  char32_t last_ = 0;
  int code_ = 0;  // code spans open: their text is written as it is
  int links_ = 0;
};

}  // namespace pagelift
