#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "html/tokenizer.h"
#include "text/readable_layout.h"

namespace pagelift {

// The readable form of a page too large to hold as a tree: laid out from its tokens as the
// page streams in, with no more of it held than the tokenizer needs. Elements nest as
// their tags say, with the end tags HTML lets a page leave out (a new <p>, <li>, <tr> or
// cell closes the one before it, a block closes a paragraph, an end tag closes what it
// encloses); what a tree builder would move (text in a table, formatting that outlives
// its block) stays where the page has it. On a page as it should be written the text is
// ReadableText's.
class ReadableStream {
 public:
  explicit ReadableStream(double width);

  // The page's next piece of decoded text, cut anywhere.
  void Append(std::u16string_view more);
  // Moves the folded text so far to the end of `out` (see FormFolder::TakeText).
  void TakeText(std::u16string& out) { layout_.TakeText(out); }
  // Ends the page: the rest of the folded text. Call once.
  std::u16string Finish();

 private:
  struct Open {
    html::Tag tag;
    bool foreign;         // an element of SVG or MathML
    std::u16string name;  // for a tag of a name the tokenizer does not know
  };

  // Lays out the tokens the input so far makes.
  void Drain();
  void StartTag(html::Token& token);
  void EndTag(const html::Token& token);
  void Characters(std::u16string_view text);
  // Leaves the open elements from the innermost to the one at `index`, that one too.
  void CloseTo(std::size_t index);
  // Closes the innermost open `tag` above every element of `stops`, if there is one.
  void CloseInnermost(std::initializer_list<html::Tag> tags,
                      std::initializer_list<html::Tag> stops);
  bool InForeign() const { return !open_.empty() && open_.back().foreign; }

  html::Tokenizer tokenizer_;
  ReadableLayout layout_;
  std::vector<Open> open_;
  // A dropped element and what is in it: skipped up to its end tag.
  html::Tag skipped_ = html::Tag::kUnknown;
  std::u16string skipped_name_;  // when the tokenizer does not know its name
  std::size_t skip_depth_ = 0;
  bool drop_newline_ = false;  // the line end right after <pre>'s start tag is no text
  bool in_title_ = false;
  bool title_given_ = false;
  bool content_seen_ = false;  // text has come outside the title
  std::u16string title_;
};

}  // namespace pagelift
