// The tokenizer's input and output: the page whole or in pieces (its line ends made LF), what
// is kept of it and when it is dropped, waiting for more, and the queue of tokens.
#include "html/tokenizer.h"

#include <algorithm>

#include "base/huge_pages.h"
#include "base/scan_builds.h"
#include "html/tokenizer_states.h"

namespace pagelift::html {

Tokenizer::Tokenizer() : in_(buffer_.data()), size_(0), ended_(false), state_(State::kData) {}

Tokenizer::Tokenizer(std::u16string_view page) : state_(State::kData) {
  const char16_t* const end = page.data() + page.size();
  const char16_t* cr = Scan::FindFirstOf<u'\r'>(page.data(), end);
  if (cr == end) {
    in_ = page.data();
    size_ = page.size();
    return;
  }
  // Every CR LF pair becomes LF, and so does every other CR.
  ReserveLarge(owned_page_, page.size());
  const char16_t* from = page.data();
  while (cr != end) {
    owned_page_.append(from, cr);
    owned_page_.push_back(u'\n');
    from = cr + 1;
    if (from != end && *from == u'\n') ++from;
    cr = Scan::FindFirstOf<u'\r'>(from, end);
  }
  owned_page_.append(from, end);
  in_ = owned_page_.data();
  size_ = owned_page_.size();
}

void Tokenizer::Append(std::u16string_view more) {
  if (more.empty()) return;
  Compact();
  const char16_t* const before = buffer_.data();
  const std::size_t before_size = buffer_.size();
  // A construct that spans pieces keeps the buffer growing: in memory advised for huge pages,
  // as a long attribute value or comment grows.
  if (more.size() > buffer_.capacity() - buffer_.size()) {
    std::size_t room = std::max(buffer_.size() + more.size(), 2 * buffer_.capacity());
    if (room > (std::size_t{1} << 19)) room = std::max(room, expected_units_);
    ReserveLarge(buffer_, room);
  }
  const char16_t* from = more.data();
  const char16_t* const end = from + more.size();
  if (after_cr_ && *from == u'\n') ++from;
  after_cr_ = end[-1] == u'\r';
  for (const char16_t* cr; (cr = Scan::FindFirstOf<u'\r'>(from, end)) != end;) {
    buffer_.append(from, cr);
    buffer_.push_back(u'\n');
    from = cr + 1;
    if (from != end && *from == u'\n') ++from;
  }
  buffer_.append(from, end);
  if (buffer_.data() != before) {
    // Tokens not yet read (a caller may append between tokens) follow the buffer.
    for (int k = 0; k < queued_; ++k) {
      std::u16string_view& text = queue_[k].text;
      if (text.data() >= before && text.data() < before + before_size) {
        text = std::u16string_view(buffer_.data() + (text.data() - before), text.size());
      }
    }
  }
  in_ = buffer_.data();
  size_ = buffer_.size();
}

void Tokenizer::EndOfInput() {
  ended_ = true;
  wait_for_ = 0;
}

void Tokenizer::Compact() {
  if (read_ != queued_) return;  // tokens not yet read may view the buffer
  // The units a state may still give out or compare: up to three before pos_ ("--!" of a
  // comment's end), the "<" of a text state's end tag, the name of a script double escape,
  // a tag's name as the page has it, an open run of characters, the stretch of the page a
  // comment is (kept rather than copied out: a comment's data is copied once, to the tree).
  std::size_t keep = pos_ - std::min<std::size_t>(pos_, 4);
  switch (state_) {
    case S::kBogusComment:
    case S::kCommentStart:
    case S::kCommentStartDash:
    case S::kComment:
    case S::kCommentLessThan:
    case S::kCommentLessThanBang:
    case S::kCommentLessThanBangDash:
    case S::kCommentLessThanBangDashDash:
    case S::kCommentEndDash:
    case S::kCommentEnd:
    case S::kCommentEndBang:
      if (comment_to_ != comment_from_) keep = std::min(keep, comment_from_);
      break;
    case S::kRcdataLessThan:
    case S::kRcdataEndTagOpen:
    case S::kRcdataEndTagName:
    case S::kRawtextLessThan:
    case S::kRawtextEndTagOpen:
    case S::kRawtextEndTagName:
    case S::kScriptLessThan:
    case S::kScriptEndTagOpen:
    case S::kScriptEndTagName:
    case S::kScriptEscapedLessThan:
    case S::kScriptEscapedEndTagOpen:
    case S::kScriptEscapedEndTagName:
      keep = std::min(keep, mark_);
      break;
    case S::kScriptDoubleEscapeStart:
    case S::kScriptDoubleEscapeEnd:
      keep = std::min(keep, temp_from_);
      break;
    default:
      break;
  }
  if (name_in_page_) keep = std::min(keep, name_from_);
  if (run_from_ != run_to_) keep = std::min(keep, run_from_);
  // Moving what stays costs no more than what goes.
  if (keep == 0 || keep < size_ - keep) return;
  buffer_.erase(0, keep);
  const auto shift = [keep](std::size_t& at) { at = at >= keep ? at - keep : 0; };
  for (std::size_t* at : {&pos_, &mark_, &temp_from_, &name_from_, &run_from_, &run_to_,
                          &comment_from_, &comment_to_}) {
    shift(*at);
  }
  if (name_in_page_) shift(tag_name_to_);
  base_ += keep;
  in_ = buffer_.data();
  size_ = buffer_.size();
}

std::size_t Tokenizer::MemoryBytes() const {
  std::size_t units = owned_page_.capacity() + buffer_.capacity() + tag_units_.capacity() +
                      last_start_name_.capacity() + comment_.capacity() + doctype_name_.capacity() +
                      doctype_public_.capacity() + doctype_system_.capacity();
  for (const std::u16string& name : many_names_) units += name.capacity();
  return units * sizeof(char16_t) + pending_.capacity() * sizeof(PendingAttribute) +
         attributes_.capacity() * sizeof(Attribute);
}

Token& Tokenizer::Next() {
  if (read_ == queued_) {
    read_ = queued_ = 0;
    Run();
  }
  return queue_[read_++];
}

void Tokenizer::Starve(std::size_t from, std::size_t at_least) {
  pos_ = from;
  wait_for_ = std::max(at_least, 2 * (size_ - from));
  // The characters read so far go out now: the buffer may move before the next step.
  FlushRun();
  EmitNeedInput();
}

void Tokenizer::EndOfBuffer() {
  if (ended_) {
    EmitEndOfFile();
  } else {
    Starve(pos_);
  }
}

void Tokenizer::SwitchTo(TextState state) {
  switch (state) {
    case TextState::kData:
      state_ = State::kData;
      break;
    case TextState::kRcdata:
      state_ = State::kRcdata;
      break;
    case TextState::kRawtext:
      state_ = State::kRawtext;
      break;
    case TextState::kScriptData:
      state_ = State::kScriptData;
      break;
    case TextState::kPlaintext:
      state_ = State::kPlaintext;
      break;
    case TextState::kCdataSection:
      state_ = State::kCdataSection;
      break;
  }
}

void Tokenizer::EmitNeedInput() {
  Token& token = Queue();
  token.kind = TokenKind::kNeedInput;
  token.text = {};
}

void Tokenizer::EmitEndOfFile() {
  FlushRun();
  Token& token = Queue();
  token.kind = TokenKind::kEndOfFile;
  token.text = {};
  state_ = State::kEnded;
}

}  // namespace pagelift::html
