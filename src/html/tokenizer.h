#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "html/tags.h"

namespace pagelift::html {

enum class TokenKind : std::uint8_t {
  kCharacters,
  kStartTag,
  kEndTag,
  kComment,
  kDoctype,
  kEndOfFile,
  // Only from a tokenizer fed in pieces: the input so far cannot finish the next token, and
  // its end has not been announced. Append more (or call EndOfInput), then ask again.
  kNeedInput,
};

struct Attribute {
  std::u16string_view name;  // lowercase
  std::u16string_view value;
};

// One token of the WHATWG HTML standard's tokenization. Its views stay valid until the
// next call of Tokenizer::Next or Tokenizer::Append. Character tokens come as runs: a page's text
// may arrive in several runs in a row, which a reader joins.
struct Token {
  TokenKind kind = TokenKind::kEndOfFile;
  // The characters, a comment's data, a tag's lowercase name, a doctype's name.
  std::u16string_view text;
  Tag tag = Tag::kUnknown;  // a tag's name as a number, kUnknown for other names
  bool self_closing = false;
  std::span<const Attribute> attributes;  // a start tag's, the first of each name
  // A doctype's.
  std::u16string_view public_id;
  std::u16string_view system_id;
  bool has_name = false;
  bool has_public_id = false;
  bool has_system_id = false;
  bool force_quirks = false;
};

// The states a caller may switch the tokenizer to: the tree builder after a start tag
// whose content is text (textarea, title, style, script, plaintext...), a test at the start.
enum class TextState : std::uint8_t {
  kData,
  kRcdata,
  kRawtext,
  kScriptData,
  kPlaintext,
  kCdataSection,
};

// The WHATWG HTML standard's tokenizer over a page in UTF-16, whole or in pieces. It reports
// no parse errors; it gives the tokens a conforming tokenizer gives, whatever the input, and
// the same tokens however the page is cut (but for where runs of characters are split).
//
// A whole page must outlive the tokenizer (a page with CR in it is read from a copy with every
// CR LF and CR made LF, as the input stream's preprocessing asks). A page in pieces is copied
// piece by piece, its line ends made LF as they come (a CR at the end of one piece and LF at
// the start of the next too), and the tokenizer keeps only what it has not yet consumed.
class Tokenizer {
 public:
  // A whole page.
  explicit Tokenizer(std::u16string_view page);
  // A page that comes in pieces, through Append and EndOfInput.
  Tokenizer();

  // The next piece of the page; the tokenizer keeps a copy of what it still needs.
  void Append(std::u16string_view more);
  // The page has no more pieces: what was waiting for more input is read to its end.
  void EndOfInput();
  // The page's likely size in units, when it is known: a construct longer than a megabyte,
  // which the tokenizer must keep while it reads on, has room for this much at once, rather
  // than for twice what it had again and again. Room untouched takes no memory.
  void SetExpectedSize(std::size_t units) { expected_units_ = units; }

  // The next token; kEndOfFile at the end, and again on every later call. A tokenizer fed in
  // pieces gives kNeedInput when what it has cannot finish a token before EndOfInput. The
  // token is the caller's to read, or to change, until the next call of Next or Append.
  Token& Next();
  // The units of the page (its line ends made LF) read so far: for a token other than
  // characters, just past its end, however the page was cut.
  std::size_t Consumed() const { return base_ + pos_; }
  // The bytes the tokenizer holds: the input it keeps and the token it builds.
  std::size_t MemoryBytes() const;

  void SwitchTo(TextState state);
  // The name an end tag must have to end RCDATA, RAWTEXT or script data: the last start
  // tag's, which the tokenizer keeps itself; a test may set it.
  void SetLastStartTag(std::u16string_view name) {
    last_start_tag_ = TagOf(name);
    last_start_name_.assign(name);
  }
  // Whether "<![CDATA[" opens a CDATA section: when the tree builder's adjusted current
  // node is an element outside the HTML namespace.
  void SetCdataAllowed(bool allowed) { cdata_allowed_ = allowed; }

  // All the states of the tokenizer, defined in tokenizer_states.h, which its files share.
  enum class State : std::uint8_t;

 private:
  void Run();
  bool AtEnd() const { return pos_ >= size_; }
  // Before the end of the input has been announced, a step that cannot finish with what it has
  // waits for more: it goes back to `from` and asks for at least `at_least` units from there,
  // and for twice what it had, so that a construct cut into many pieces is read again only
  // as often as its input doubles. The characters read so far go out, then kNeedInput.
  void Starve(std::size_t from, std::size_t at_least = 1);
  // Whether fewer than `n` units are left while more may come: then the step waits.
  bool MustWait(std::size_t n = 1) {
    if (ended_ || size_ - pos_ >= n) return false;
    Starve(pos_, n);
    return true;
  }
  // At the end of what was read: the end of the page, or a wait for more.
  void EndOfBuffer();
  // Drops what the tokenizer no longer needs from the front of buffer_, when that is at
  // least what stays.
  void Compact();
  char16_t Cur() const { return in_[pos_]; }

  // Character output. A run of the page's own units is kept open while the next one
  // follows it directly, and queued as one token when anything else comes.
  void EmitRun(std::size_t from, std::size_t to);
  void EmitUnits(std::u16string_view units);  // units not in the page (a reference, U+FFFD)
  void FlushRun();
  Token& Queue();

  // Tags.
  void StartTag(TokenKind kind);
  void EndTagName() { tag_name_to_ = name_in_page_ ? pos_ - 1 : tag_units_.size(); }
  // Appends the page's [from, to) to tag_units_ as a name: in lowercase, U+0000 as U+FFFD.
  void AppendName(std::size_t from, std::size_t to);
  void StartAttribute();
  void EndAttributeName();
  void AppendToValue(std::u16string_view units);
  void EmitTag();
  bool IsAppropriateEndTag() const;

  void EmitEndOfFile();
  void EmitNeedInput();
  // A comment's data is comment_ followed by a stretch of the page, which grows while the
  // page is read as it stands. Most comments are that stretch alone; a unit that is not the
  // page's (U+FFFD), or a gap, moves the stretch into comment_.
  void StartComment(std::size_t at);
  void CommentInput(std::size_t from, std::size_t to);
  void CommentUnits(std::u16string_view units);
  void FlushComment();
  void EmitComment();
  void StartDoctype();
  void EmitDoctype(bool force_quirks);
  // The doctype states that read a quoted identifier's opening quote.
  void OpenIdentifier(bool is_public, char16_t quote);
  bool LookingAtCaseless(std::u16string_view word) const;

  // Reads a character reference at pos_, just past its "&", and gives its units to the
  // attribute value being read or to the output. `amp` is the index of the "&". Before the
  // end of the input, a reference that may go on past it waits from its "&".
  void CharacterReference(std::size_t amp, bool in_attribute);
  // The units of a reference's code points, to the attribute value or the output.
  void GiveReference(char32_t first, char32_t second, bool in_attribute);

  // The end tag name states of RCDATA, RAWTEXT and script data (escaped): `text_state` is
  // where a name that is not the appropriate end tag goes back to.
  void TextEndTagName(State text_state);

  // A step of a state outside data and tags, which Run takes in its own switch: each group of
  // states has its file.
  void TextStates();       // RCDATA, RAWTEXT, script data, PLAINTEXT: tokenizer_text.cpp
  void ReferenceStates();  // a numeric reference's digits: tokenizer_references.cpp
  void CommentStates();    // markup declaration open, comments: tokenizer_comments.cpp
  void DoctypeStates();    // tokenizer_doctype.cpp
  void CdataStates();      // tokenizer_cdata.cpp

  std::u16string owned_page_;  // the page with its line ends made LF, when it had a CR
  // A page in pieces: the input not yet consumed (and the few units before it that a state
  // may still give out), its line ends made LF.
  std::u16string buffer_;
  const char16_t* in_;
  std::size_t size_;
  std::size_t pos_ = 0;
  std::size_t base_ = 0;   // the units dropped from the front of buffer_
  bool ended_ = true;      // all of the page is in in_
  bool after_cr_ = false;  // the last piece ended with CR: an LF that starts the next is dropped
  std::size_t wait_for_ = 0;
  std::size_t expected_units_ = 0;  // the units from pos_ to have before trying again
  State state_;
  bool cdata_allowed_ = false;

  Token queue_[4];
  int queued_ = 0;
  int read_ = 0;
  std::size_t run_from_ = 0;
  std::size_t run_to_ = 0;
  char16_t units_[4];  // the units of the one EmitUnits token a step may queue

  // The tag being read: its name and its attributes' names and values in tag_units_.
  struct PendingAttribute {
    std::size_t name_from, name_to, value_to;
    bool dropped;  // it repeats an earlier name
  };
  TokenKind tag_kind_ = TokenKind::kStartTag;
  std::u16string tag_units_;
  // The name is the page's [name_from_, tag_name_to_) when name_in_page_ (only while the tag
  // is read and emitted), else the start of tag_units_ up to tag_name_to_.
  bool name_in_page_ = false;
  std::size_t name_from_ = 0;
  std::size_t tag_name_to_ = 0;
  bool self_closing_ = false;
  std::vector<PendingAttribute> pending_;
  std::unordered_set<std::u16string> many_names_;  // the names so far, for a tag with many
  std::vector<Attribute> attributes_;
  // The last start tag's name: a known tag's number, or kUnknown and last_start_name_.
  Tag last_start_tag_ = Tag::kUnknown;
  std::u16string last_start_name_;
  std::u16string_view LastStartTag() const {
    return last_start_tag_ != Tag::kUnknown ? NameOf(last_start_tag_)
                                            : std::u16string_view(last_start_name_);
  }
  // The "<" of the text states' "</name" being read; the temporary buffer of the script
  // data double escape states is the page from temp_from_ on.
  std::size_t mark_ = 0;
  std::size_t temp_from_ = 0;

  // The numeric reference being read: its digits' base and value so far, where its units go
  // and the state it returns to.
  bool numeric_hex_ = false;
  bool numeric_in_attribute_ = false;
  char32_t numeric_code_ = 0;
  State numeric_back_to_{};
  std::u16string comment_;
  std::size_t comment_from_ = 0, comment_to_ = 0;
  std::u16string doctype_name_, doctype_public_, doctype_system_;
  bool doctype_has_name_ = false, doctype_has_public_ = false, doctype_has_system_ = false,
       doctype_quirks_ = false;
};

}  // namespace pagelift::html
