#include "html/tokenizer.h"

#include <algorithm>

#include "base/huge_pages.h"
#include "base/scan_builds.h"
#include "html/named_entities.h"

namespace pagelift::html {

// The states of the WHATWG HTML standard's tokenizer, less the character reference states,
// which CharacterReference reads in one go (waiting for the rest of a reference that a piece
// cuts), but for the digits of a numeric one, which may be any number (kNumericReference);
// and kEnded.
enum class Tokenizer::State : std::uint8_t {
  kData,
  kRcdata,
  kRawtext,
  kScriptData,
  kPlaintext,
  kTagOpen,
  kEndTagOpen,
  kTagName,
  kRcdataLessThan,
  kRcdataEndTagOpen,
  kRcdataEndTagName,
  kRawtextLessThan,
  kRawtextEndTagOpen,
  kRawtextEndTagName,
  kScriptLessThan,
  kScriptEndTagOpen,
  kScriptEndTagName,
  kScriptEscapeStart,
  kScriptEscapeStartDash,
  kScriptEscaped,
  kScriptEscapedDash,
  kScriptEscapedDashDash,
  kScriptEscapedLessThan,
  kScriptEscapedEndTagOpen,
  kScriptEscapedEndTagName,
  kScriptDoubleEscapeStart,
  kScriptDoubleEscaped,
  kScriptDoubleEscapedDash,
  kScriptDoubleEscapedDashDash,
  kScriptDoubleEscapedLessThan,
  kScriptDoubleEscapeEnd,
  kBeforeAttributeName,
  kAttributeName,
  kAfterAttributeName,
  kBeforeAttributeValue,
  kAttributeValueDoubleQuoted,
  kAttributeValueSingleQuoted,
  kAttributeValueUnquoted,
  kAfterAttributeValueQuoted,
  kSelfClosingStartTag,
  kBogusComment,
  kMarkupDeclarationOpen,
  kCommentStart,
  kCommentStartDash,
  kComment,
  kCommentLessThan,
  kCommentLessThanBang,
  kCommentLessThanBangDash,
  kCommentLessThanBangDashDash,
  kCommentEndDash,
  kCommentEnd,
  kCommentEndBang,
  kDoctype,
  kBeforeDoctypeName,
  kDoctypeName,
  kAfterDoctypeName,
  kAfterDoctypePublicKeyword,
  kBeforeDoctypePublicIdentifier,
  kDoctypePublicIdentifierDoubleQuoted,
  kDoctypePublicIdentifierSingleQuoted,
  kAfterDoctypePublicIdentifier,
  kBetweenDoctypePublicAndSystemIdentifiers,
  kAfterDoctypeSystemKeyword,
  kBeforeDoctypeSystemIdentifier,
  kDoctypeSystemIdentifierDoubleQuoted,
  kDoctypeSystemIdentifierSingleQuoted,
  kAfterDoctypeSystemIdentifier,
  kBogusDoctype,
  kCdataSection,
  kCdataSectionBracket,
  kCdataSectionEnd,
  kNumericReference,
  kEnded,
};

namespace {

using Scan = BaselineScan;
using S = Tokenizer::State;

constexpr std::u16string_view kReplacement = u"\uFFFD";

bool IsSpace(char16_t c) {
  return c == u'\t' || c == u'\n' || c == u'\f' || c == u' ';
}
bool IsUpper(char16_t c) {
  return c >= u'A' && c <= u'Z';
}
bool IsLower(char16_t c) {
  return c >= u'a' && c <= u'z';
}
bool IsAlpha(char16_t c) {
  return IsUpper(c) || IsLower(c);
}
bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}
bool IsAlnum(char16_t c) {
  return IsAlpha(c) || IsDigit(c);
}
char16_t Lower(char16_t c) {
  return IsUpper(c) ? static_cast<char16_t>(c + 0x20) : c;
}

// The value of a hex digit, or -1.
int HexValue(char16_t c) {
  if (IsDigit(c)) return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// A digit's value in a numeric reference, or -1.
int DigitValue(char16_t c, bool hex) {
  return hex ? HexValue(c) : (IsDigit(c) ? c - u'0' : -1);
}

// What a numeric character reference to 0x80..0x9F stands for: Windows-1252's character
// there, or 0 where the code point stays.
constexpr char16_t kWindows1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The code point's UTF-16 units in `out`; their number.
int Utf16Of(char32_t c, char16_t* out) {
  if (c < 0x10000) {
    out[0] = static_cast<char16_t>(c);
    return 1;
  }
  c -= 0x10000;
  out[0] = static_cast<char16_t>(0xD800 + (c >> 10));
  out[1] = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
  return 2;
}

// Appends to a buffer that may grow as long as the page (an attribute value, a comment):
// past a few hundred kilobytes it grows in memory advised for huge pages, which is faulted in
// a fraction of the times.
void AppendLong(std::u16string& buffer, std::u16string_view units) {
  const std::size_t needed = buffer.size() + units.size();
  if (needed > buffer.capacity() && needed > (std::size_t{1} << 18)) {
    ReserveLarge(buffer, std::max(needed, 2 * buffer.capacity()));
  }
  buffer.append(units);
}

}  // namespace

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

Token& Tokenizer::Queue() {
  // Only what a character token leaves unset: each Emit sets the rest it uses.
  Token& token = queue_[queued_++];
  token.tag = Tag::kUnknown;
  token.self_closing = false;
  token.attributes = {};
  return token;
}

void Tokenizer::AppendName(std::size_t from, std::size_t to) {
  const std::size_t at = tag_units_.size();
  tag_units_.resize(at + (to - from));
  char16_t* out = tag_units_.data() + at;
  for (std::size_t k = from; k < to; ++k) {
    const char16_t c = in_[k];
    *out++ = c == u'\0' ? u'\uFFFD' : Lower(c);
  }
}

void Tokenizer::EmitRun(std::size_t from, std::size_t to) {
  if (run_from_ != run_to_ && run_to_ == from) {
    run_to_ = to;
    return;
  }
  FlushRun();
  run_from_ = from;
  run_to_ = to;
}

void Tokenizer::FlushRun() {
  if (run_from_ == run_to_) return;
  Token& token = Queue();
  token.kind = TokenKind::kCharacters;
  token.text = std::u16string_view(in_ + run_from_, run_to_ - run_from_);
  run_from_ = run_to_ = 0;
}

void Tokenizer::EmitUnits(std::u16string_view units) {
  FlushRun();
  Token& token = Queue();
  token.kind = TokenKind::kCharacters;
  token.text = units;
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

void Tokenizer::StartTag(TokenKind kind) {
  tag_kind_ = kind;
  tag_units_.clear();
  name_in_page_ = false;
  name_from_ = 0;
  tag_name_to_ = 0;
  self_closing_ = false;
  pending_.clear();
  if (!many_names_.empty()) many_names_.clear();
}

void Tokenizer::StartAttribute() {
  const std::size_t at = tag_units_.size();
  pending_.push_back({at, at, at, false});
}

void Tokenizer::EndAttributeName() {
  PendingAttribute& attribute = pending_.back();
  attribute.name_to = attribute.value_to = tag_units_.size();
  const std::u16string_view units(tag_units_);
  const auto name_of = [&](const PendingAttribute& a) {
    return units.substr(a.name_from, a.name_to - a.name_from);
  };
  const std::u16string_view name = name_of(attribute);
  // A tag with many attributes looks its names up in a set, so that no tag costs the
  // square of its attributes.
  constexpr std::size_t kFew = 16;
  if (pending_.size() <= kFew) {
    for (std::size_t k = 0; k + 1 < pending_.size(); ++k) {
      if (name_of(pending_[k]) == name) {
        attribute.dropped = true;
        return;
      }
    }
    return;
  }
  if (many_names_.empty()) {
    for (std::size_t k = 0; k + 1 < pending_.size(); ++k) {
      if (!pending_[k].dropped) many_names_.emplace(name_of(pending_[k]));
    }
  }
  attribute.dropped = !many_names_.emplace(name).second;
}

void Tokenizer::AppendToValue(std::u16string_view units) {
  AppendLong(tag_units_, units);
  pending_.back().value_to = tag_units_.size();
}

void Tokenizer::EmitTag() {
  FlushRun();
  const std::u16string_view units(tag_units_);
  Token& token = Queue();
  token.kind = tag_kind_;
  token.text = name_in_page_ ? std::u16string_view(in_ + name_from_, tag_name_to_ - name_from_)
                             : units.substr(0, tag_name_to_);
  token.tag = TagOf(token.text);
  token.self_closing = self_closing_;
  attributes_.clear();
  for (const PendingAttribute& a : pending_) {
    if (a.dropped) continue;
    attributes_.push_back({units.substr(a.name_from, a.name_to - a.name_from),
                           units.substr(a.name_to, a.value_to - a.name_to)});
  }
  token.attributes = attributes_;
  if (tag_kind_ == TokenKind::kStartTag) {
    // Most names are known tags, kept as their number; another is copied.
    last_start_tag_ = token.tag;
    if (token.tag == Tag::kUnknown) last_start_name_.assign(token.text);
  }
  name_in_page_ = false;  // the buffer need not keep it past this token
}

bool Tokenizer::IsAppropriateEndTag() const {
  const std::u16string_view last = LastStartTag();
  return tag_kind_ == TokenKind::kEndTag && !last.empty() &&
         std::u16string_view(tag_units_) == last;
}

void Tokenizer::StartComment(std::size_t at) {
  comment_.clear();
  comment_from_ = comment_to_ = at;
}

void Tokenizer::CommentInput(std::size_t from, std::size_t to) {
  if (comment_from_ == comment_to_) comment_from_ = comment_to_ = from;
  if (comment_to_ != from) {
    FlushComment();
    comment_from_ = comment_to_ = from;
  }
  comment_to_ = to;
}

void Tokenizer::CommentUnits(std::u16string_view units) {
  FlushComment();
  AppendLong(comment_, units);
}

void Tokenizer::FlushComment() {
  AppendLong(comment_, std::u16string_view(in_ + comment_from_, comment_to_ - comment_from_));
  comment_from_ = comment_to_;
}

void Tokenizer::EmitComment() {
  FlushRun();
  Token& token = Queue();
  token.kind = TokenKind::kComment;
  if (comment_.empty()) {
    token.text = std::u16string_view(in_ + comment_from_, comment_to_ - comment_from_);
  } else {
    FlushComment();
    token.text = comment_;
  }
}

void Tokenizer::StartDoctype() {
  doctype_name_.clear();
  doctype_public_.clear();
  doctype_system_.clear();
  doctype_has_name_ = doctype_has_public_ = doctype_has_system_ = doctype_quirks_ = false;
}

void Tokenizer::EmitDoctype(bool force_quirks) {
  FlushRun();
  Token& token = Queue();
  token.kind = TokenKind::kDoctype;
  token.text = doctype_name_;
  token.public_id = doctype_public_;
  token.system_id = doctype_system_;
  token.has_name = doctype_has_name_;
  token.has_public_id = doctype_has_public_;
  token.has_system_id = doctype_has_system_;
  token.force_quirks = doctype_quirks_ || force_quirks;
}

void Tokenizer::OpenIdentifier(bool is_public, char16_t quote) {
  ++pos_;
  if (is_public) {
    doctype_has_public_ = true;
    state_ = quote == u'"' ? S::kDoctypePublicIdentifierDoubleQuoted
                           : S::kDoctypePublicIdentifierSingleQuoted;
  } else {
    doctype_has_system_ = true;
    state_ = quote == u'"' ? S::kDoctypeSystemIdentifierDoubleQuoted
                           : S::kDoctypeSystemIdentifierSingleQuoted;
  }
}

bool Tokenizer::LookingAtCaseless(std::u16string_view word) const {
  if (size_ - pos_ < word.size()) return false;
  for (std::size_t k = 0; k < word.size(); ++k) {
    if (Lower(in_[pos_ + k]) != word[k]) return false;
  }
  return true;
}

void Tokenizer::CharacterReference(std::size_t amp, bool in_attribute) {
  // What was read stays as it was: the page's own units.
  const auto as_read = [&](std::size_t to) {
    if (in_attribute) {
      AppendToValue(std::u16string_view(in_ + amp, to - amp));
    } else {
      EmitRun(amp, to);
    }
    pos_ = to;
  };
  if (AtEnd()) {
    if (!ended_) return Starve(amp, 2);
    return as_read(pos_);
  }
  const char16_t c = Cur();
  if (IsAlnum(c)) {
    // The named character reference state. Without a match, the letters and digits that
    // follow are read as they are (the ambiguous ampersand state), so only the "&" is. The
    // longest name and the unit after it decide.
    if (!ended_ && size_ - pos_ <= kLongestEntityName) {
      return Starve(amp, pos_ - amp + kLongestEntityName + 1);
    }
    std::size_t length = 0;
    const NamedEntity* entity = LongestNamedEntity(in_ + pos_, in_ + size_, length);
    if (entity == nullptr) return as_read(pos_);
    const std::size_t end = pos_ + length;
    if (in_attribute && entity->name.back() != u';' && end < size_ &&
        (in_[end] == u'=' || IsAlnum(in_[end]))) {
      return as_read(end);  // kept for historical reasons: "&copy=" in a URL
    }
    pos_ = end;
    return GiveReference(entity->first, entity->second, in_attribute);
  }
  if (c != u'#') return as_read(pos_);
  // The numeric character reference states: "#", perhaps "x", and a digit decide that the
  // reference is one; kNumericReference reads its digits.
  if (!ended_ && size_ - pos_ < 3) return Starve(amp, pos_ - amp + 3);
  std::size_t at = pos_ + 1;
  numeric_hex_ = at < size_ && (in_[at] == u'x' || in_[at] == u'X');
  if (numeric_hex_) ++at;
  if (at == size_ || DigitValue(in_[at], numeric_hex_) < 0) return as_read(at);
  numeric_code_ = 0;
  numeric_in_attribute_ = in_attribute;
  numeric_back_to_ = state_;
  state_ = S::kNumericReference;
  pos_ = at;
}

void Tokenizer::GiveReference(char32_t first, char32_t second, bool in_attribute) {
  int n = Utf16Of(first, units_);
  if (second != 0) n += Utf16Of(second, units_ + n);
  const std::u16string_view units(units_, static_cast<std::size_t>(n));
  if (in_attribute) {
    AppendToValue(units);
  } else {
    EmitUnits(units);
  }
}

void Tokenizer::TextEndTagName(State text_state) {
  while (!AtEnd()) {
    const char16_t c = Cur();
    if (IsSpace(c) || c == u'/' || c == u'>') {
      if (!IsAppropriateEndTag()) break;
      ++pos_;
      EndTagName();
      if (c == u'>') {
        state_ = S::kData;
        EmitTag();
      } else {
        state_ = c == u'/' ? S::kSelfClosingStartTag : S::kBeforeAttributeName;
      }
      return;
    }
    // A name longer than the last start tag's cannot end the text: its letters are text,
    // read as such from here on.
    if (!IsAlpha(c) || tag_units_.size() == LastStartTag().size()) break;
    tag_units_.push_back(Lower(c));
    ++pos_;
  }
  if (MustWait()) return;
  // "</" and the temporary buffer: the page's units from the "<".
  EmitRun(mark_, pos_);
  state_ = text_state;
}

void Tokenizer::Run() {
  if (!ended_ && size_ - pos_ < wait_for_) return EmitNeedInput();
  wait_for_ = 0;
  const char16_t* const end = in_ + size_;
  while (queued_ == 0) {
    switch (state_) {
      case S::kData: {
        const std::size_t at = Scan::FindFirstOf<u'<', u'&', u'\0'>(in_ + pos_, end) - in_;
        if (at > pos_) EmitRun(pos_, at);
        pos_ = at;
        if (AtEnd()) {
          EndOfBuffer();
          break;
        }
        const char16_t c = in_[pos_++];
        if (c == u'<') {
          // The usual tags: a letter after "<" or "</" opens the name at once, without the
          // round through the tag open states, which would decide the same.
          const bool end_tag = pos_ < size_ && in_[pos_] == u'/';
          if (pos_ + end_tag < size_ && IsAlpha(in_[pos_ + end_tag])) {
            StartTag(end_tag ? TokenKind::kEndTag : TokenKind::kStartTag);
            pos_ += end_tag;
            name_in_page_ = true;
            name_from_ = pos_;
            state_ = S::kTagName;
          } else {
            state_ = S::kTagOpen;
          }
        } else if (c == u'&') {
          CharacterReference(pos_ - 1, false);
        } else {
          EmitRun(pos_ - 1, pos_);  // U+0000 stays in data
        }
        break;
      }
      case S::kRcdata: {
        const std::size_t at = Scan::FindFirstOf<u'<', u'&', u'\0'>(in_ + pos_, end) - in_;
        if (at > pos_) EmitRun(pos_, at);
        pos_ = at;
        if (AtEnd()) {
          EndOfBuffer();
          break;
        }
        const char16_t c = in_[pos_++];
        if (c == u'<') {
          mark_ = pos_ - 1;
          state_ = S::kRcdataLessThan;
        } else if (c == u'&') {
          CharacterReference(pos_ - 1, false);
        } else {
          EmitUnits(kReplacement);
        }
        break;
      }
      case S::kRawtext:
      case S::kScriptData: {
        const std::size_t at = Scan::FindFirstOf<u'<', u'\0'>(in_ + pos_, end) - in_;
        if (at > pos_) EmitRun(pos_, at);
        pos_ = at;
        if (AtEnd()) {
          EndOfBuffer();
          break;
        }
        if (in_[pos_++] == u'<') {
          mark_ = pos_ - 1;
          state_ = state_ == S::kRawtext ? S::kRawtextLessThan : S::kScriptLessThan;
        } else {
          EmitUnits(kReplacement);
        }
        break;
      }
      case S::kPlaintext: {
        const std::size_t at = Scan::FindFirstOf<u'\0'>(in_ + pos_, end) - in_;
        if (at > pos_) EmitRun(pos_, at);
        pos_ = at;
        if (AtEnd()) {
          EndOfBuffer();
          break;
        }
        ++pos_;
        EmitUnits(kReplacement);
        break;
      }
      case S::kTagOpen: {
        if (MustWait()) break;
        if (AtEnd()) {
          EmitRun(pos_ - 1, pos_);
          EmitEndOfFile();
          break;
        }
        const char16_t c = Cur();
        if (c == u'!') {
          ++pos_;
          state_ = S::kMarkupDeclarationOpen;
        } else if (c == u'/') {
          ++pos_;
          state_ = S::kEndTagOpen;
        } else if (IsAlpha(c)) {
          StartTag(TokenKind::kStartTag);
          name_in_page_ = true;
          name_from_ = pos_;
          state_ = S::kTagName;
        } else if (c == u'?') {
          StartComment(pos_);
          state_ = S::kBogusComment;
        } else {
          EmitRun(pos_ - 1, pos_);
          state_ = S::kData;
        }
        break;
      }
      case S::kEndTagOpen: {
        if (MustWait()) break;
        if (AtEnd()) {
          EmitRun(pos_ - 2, pos_);
          EmitEndOfFile();
          break;
        }
        const char16_t c = Cur();
        if (IsAlpha(c)) {
          StartTag(TokenKind::kEndTag);
          name_in_page_ = true;
          name_from_ = pos_;
          state_ = S::kTagName;
        } else if (c == u'>') {
          ++pos_;
          state_ = S::kData;
        } else {
          StartComment(pos_);
          state_ = S::kBogusComment;
        }
        break;
      }
      case S::kTagName: {
        // A name already in lowercase, as most are, is the page's own stretch; the first unit
        // that is not moves it to tag_units_.
        std::size_t at = pos_;
        bool as_is = true;
        for (; at < size_ && !IsSpace(in_[at]) && in_[at] != u'/' && in_[at] != u'>'; ++at) {
          if (IsUpper(in_[at]) || in_[at] == u'\0') as_is = false;
        }
        if (name_in_page_ && !as_is) {
          AppendName(name_from_, pos_);
          name_in_page_ = false;
        }
        if (!name_in_page_) AppendName(pos_, at);
        pos_ = at;
        if (MustWait()) break;
        if (!AtEnd()) {
          const char16_t c = in_[pos_++];
          if (IsSpace(c)) {
            EndTagName();
            state_ = S::kBeforeAttributeName;
            break;
          }
          if (c == u'/') {
            EndTagName();
            state_ = S::kSelfClosingStartTag;
            break;
          }
          if (c == u'>') {
            EndTagName();
            state_ = S::kData;
            EmitTag();
          }
        }
        if (state_ == S::kTagName) EmitEndOfFile();
        break;
      }
      case S::kRcdataLessThan:
      case S::kRawtextLessThan: {
        if (MustWait()) break;
        const bool rcdata = state_ == S::kRcdataLessThan;
        if (!AtEnd() && Cur() == u'/') {
          ++pos_;
          state_ = rcdata ? S::kRcdataEndTagOpen : S::kRawtextEndTagOpen;
        } else {
          EmitRun(mark_, pos_);
          state_ = rcdata ? S::kRcdata : S::kRawtext;
        }
        break;
      }
      case S::kRcdataEndTagOpen:
      case S::kRawtextEndTagOpen:
      case S::kScriptEndTagOpen:
      case S::kScriptEscapedEndTagOpen: {
        if (MustWait()) break;
        const State text = state_ == S::kRcdataEndTagOpen    ? S::kRcdata
                           : state_ == S::kRawtextEndTagOpen ? S::kRawtext
                           : state_ == S::kScriptEndTagOpen  ? S::kScriptData
                                                             : S::kScriptEscaped;
        if (!AtEnd() && IsAlpha(Cur())) {
          StartTag(TokenKind::kEndTag);
          state_ = text == S::kRcdata       ? S::kRcdataEndTagName
                   : text == S::kRawtext    ? S::kRawtextEndTagName
                   : text == S::kScriptData ? S::kScriptEndTagName
                                            : S::kScriptEscapedEndTagName;
        } else {
          EmitRun(mark_, pos_);
          state_ = text;
        }
        break;
      }
      case S::kRcdataEndTagName:
        TextEndTagName(S::kRcdata);
        break;
      case S::kRawtextEndTagName:
        TextEndTagName(S::kRawtext);
        break;
      case S::kScriptEndTagName:
        TextEndTagName(S::kScriptData);
        break;
      case S::kScriptEscapedEndTagName:
        TextEndTagName(S::kScriptEscaped);
        break;
      case S::kScriptLessThan: {
        if (MustWait()) break;
        if (!AtEnd() && Cur() == u'/') {
          ++pos_;
          state_ = S::kScriptEndTagOpen;
        } else if (!AtEnd() && Cur() == u'!') {
          ++pos_;
          EmitRun(mark_, pos_);
          state_ = S::kScriptEscapeStart;
        } else {
          EmitRun(mark_, pos_);
          state_ = S::kScriptData;
        }
        break;
      }
      case S::kScriptEscapeStart:
      case S::kScriptEscapeStartDash: {
        if (MustWait()) break;
        if (!AtEnd() && Cur() == u'-') {
          ++pos_;
          EmitRun(pos_ - 1, pos_);
          state_ = state_ == S::kScriptEscapeStart ? S::kScriptEscapeStartDash
                                                   : S::kScriptEscapedDashDash;
        } else {
          state_ = S::kScriptData;
        }
        break;
      }
      case S::kScriptEscaped:
      case S::kScriptDoubleEscaped: {
        const bool doubled = state_ == S::kScriptDoubleEscaped;
        const std::size_t at = Scan::FindFirstOf<u'-', u'<', u'\0'>(in_ + pos_, end) - in_;
        if (at > pos_) EmitRun(pos_, at);
        pos_ = at;
        if (AtEnd()) {
          EndOfBuffer();
          break;
        }
        const char16_t c = in_[pos_++];
        if (c == u'-') {
          EmitRun(pos_ - 1, pos_);
          state_ = doubled ? S::kScriptDoubleEscapedDash : S::kScriptEscapedDash;
        } else if (c == u'<') {
          if (doubled) {
            EmitRun(pos_ - 1, pos_);
            state_ = S::kScriptDoubleEscapedLessThan;
          } else {
            mark_ = pos_ - 1;
            state_ = S::kScriptEscapedLessThan;
          }
        } else {
          EmitUnits(kReplacement);
        }
        break;
      }
      case S::kScriptEscapedDash:
      case S::kScriptEscapedDashDash:
      case S::kScriptDoubleEscapedDash:
      case S::kScriptDoubleEscapedDashDash: {
        const bool doubled =
            state_ == S::kScriptDoubleEscapedDash || state_ == S::kScriptDoubleEscapedDashDash;
        const bool dash_dash =
            state_ == S::kScriptEscapedDashDash || state_ == S::kScriptDoubleEscapedDashDash;
        const State escaped = doubled ? S::kScriptDoubleEscaped : S::kScriptEscaped;
        if (AtEnd()) {
          EndOfBuffer();
          break;
        }
        const char16_t c = in_[pos_++];
        if (c == u'-') {
          EmitRun(pos_ - 1, pos_);
          state_ = doubled ? S::kScriptDoubleEscapedDashDash : S::kScriptEscapedDashDash;
        } else if (c == u'<') {
          if (doubled) {
            EmitRun(pos_ - 1, pos_);
            state_ = S::kScriptDoubleEscapedLessThan;
          } else {
            mark_ = pos_ - 1;
            state_ = S::kScriptEscapedLessThan;
          }
        } else if (c == u'>' && dash_dash) {
          EmitRun(pos_ - 1, pos_);
          state_ = S::kScriptData;
        } else if (c == u'\0') {
          EmitUnits(kReplacement);
          state_ = escaped;
        } else {
          EmitRun(pos_ - 1, pos_);
          state_ = escaped;
        }
        break;
      }
      case S::kScriptEscapedLessThan: {
        if (MustWait()) break;
        if (!AtEnd() && Cur() == u'/') {
          ++pos_;
          state_ = S::kScriptEscapedEndTagOpen;
        } else if (!AtEnd() && IsAlpha(Cur())) {
          EmitRun(mark_, pos_);
          temp_from_ = pos_;
          state_ = S::kScriptDoubleEscapeStart;
        } else {
          EmitRun(mark_, pos_);
          state_ = S::kScriptEscaped;
        }
        break;
      }
      case S::kScriptDoubleEscapeStart:
      case S::kScriptDoubleEscapeEnd: {
        const bool start = state_ == S::kScriptDoubleEscapeStart;
        const State stay = start ? S::kScriptEscaped : S::kScriptDoubleEscaped;
        // Letters go out as they are read. Past the six of "script" the name cannot change
        // the state: its other letters are text in `stay`.
        const std::size_t from = pos_;
        while (!AtEnd() && IsAlpha(Cur()) && pos_ - temp_from_ <= 6) ++pos_;
        if (pos_ > from) EmitRun(from, pos_);
        if (pos_ - temp_from_ > 6) {
          state_ = stay;
          break;
        }
        if (MustWait()) break;
        if (!AtEnd() && (IsSpace(Cur()) || Cur() == u'/' || Cur() == u'>')) {
          const std::size_t name_to = pos_;
          const std::size_t name_from = temp_from_;
          bool script = name_to - name_from == 6;
          for (std::size_t k = 0; script && k < 6; ++k) {
            script = Lower(in_[name_from + k]) == u"script"[k];
          }
          ++pos_;
          EmitRun(pos_ - 1, pos_);
          state_ = script ? (start ? S::kScriptDoubleEscaped : S::kScriptEscaped) : stay;
        } else {
          state_ = stay;
        }
        break;
      }
      case S::kScriptDoubleEscapedLessThan: {
        if (MustWait()) break;
        if (!AtEnd() && Cur() == u'/') {
          ++pos_;
          EmitRun(pos_ - 1, pos_);
          temp_from_ = pos_;
          state_ = S::kScriptDoubleEscapeEnd;
        } else {
          state_ = S::kScriptDoubleEscaped;
        }
        break;
      }
      case S::kBeforeAttributeName: {
        while (!AtEnd() && IsSpace(Cur())) ++pos_;
        if (MustWait()) break;
        if (AtEnd() || Cur() == u'/' || Cur() == u'>') {
          state_ = S::kAfterAttributeName;
        } else {
          StartAttribute();
          if (Cur() == u'=') {
            tag_units_.push_back(u'=');
            ++pos_;
          }
          state_ = S::kAttributeName;
        }
        break;
      }
      case S::kAttributeName: {
        std::size_t at = pos_;
        while (at < size_ && !IsSpace(in_[at]) && in_[at] != u'/' && in_[at] != u'>' &&
               in_[at] != u'=') {
          ++at;
        }
        AppendName(pos_, at);
        pos_ = at;
        if (MustWait()) break;  // the name may go on
        EndAttributeName();
        if (!AtEnd() && Cur() == u'=') {
          ++pos_;
          state_ = S::kBeforeAttributeValue;
        } else {
          state_ = S::kAfterAttributeName;
        }
        break;
      }
      case S::kAfterAttributeName: {
        while (!AtEnd() && IsSpace(Cur())) ++pos_;
        if (AtEnd()) {
          EndOfBuffer();
          break;
        }
        const char16_t c = Cur();
        if (c == u'/') {
          ++pos_;
          state_ = S::kSelfClosingStartTag;
        } else if (c == u'=') {
          ++pos_;
          state_ = S::kBeforeAttributeValue;
        } else if (c == u'>') {
          ++pos_;
          state_ = S::kData;
          EmitTag();
        } else {
          StartAttribute();
          state_ = S::kAttributeName;
        }
        break;
      }
      case S::kBeforeAttributeValue: {
        while (!AtEnd() && IsSpace(Cur())) ++pos_;
        if (MustWait()) break;
        if (!AtEnd() && Cur() == u'"') {
          ++pos_;
          state_ = S::kAttributeValueDoubleQuoted;
        } else if (!AtEnd() && Cur() == u'\'') {
          ++pos_;
          state_ = S::kAttributeValueSingleQuoted;
        } else if (!AtEnd() && Cur() == u'>') {
          ++pos_;
          state_ = S::kData;
          EmitTag();
        } else {
          state_ = S::kAttributeValueUnquoted;
        }
        break;
      }
      case S::kAttributeValueDoubleQuoted:
      case S::kAttributeValueSingleQuoted: {
        const bool doubled = state_ == S::kAttributeValueDoubleQuoted;
        const char16_t* stop = doubled ? Scan::FindFirstOf<u'"', u'&', u'\0'>(in_ + pos_, end)
                                       : Scan::FindFirstOf<u'\'', u'&', u'\0'>(in_ + pos_, end);
        const std::size_t at = stop - in_;
        if (at > pos_) AppendToValue(std::u16string_view(in_ + pos_, at - pos_));
        pos_ = at;
        if (AtEnd()) {
          EndOfBuffer();
          break;
        }
        const char16_t c = in_[pos_++];
        if (c == u'&') {
          CharacterReference(pos_ - 1, true);
        } else if (c == u'\0') {
          AppendToValue(kReplacement);
        } else {
          state_ = S::kAfterAttributeValueQuoted;
        }
        break;
      }
      case S::kAttributeValueUnquoted: {
        const std::size_t at =
            Scan::FindFirstOf<u'\t', u'\n', u'\f', u' ', u'&', u'>', u'\0'>(in_ + pos_, end) - in_;
        if (at > pos_) AppendToValue(std::u16string_view(in_ + pos_, at - pos_));
        pos_ = at;
        if (AtEnd()) {
          EndOfBuffer();
          break;
        }
        const char16_t c = in_[pos_++];
        if (c == u'&') {
          CharacterReference(pos_ - 1, true);
        } else if (c == u'\0') {
          AppendToValue(kReplacement);
        } else if (c == u'>') {
          state_ = S::kData;
          EmitTag();
        } else {
          state_ = S::kBeforeAttributeName;
        }
        break;
      }
      case S::kAfterAttributeValueQuoted:
      case S::kSelfClosingStartTag: {
        if (AtEnd()) {
          EndOfBuffer();
          break;
        }
        const char16_t c = Cur();
        if (c == u'>') {
          ++pos_;
          if (state_ == S::kSelfClosingStartTag) self_closing_ = true;
          state_ = S::kData;
          EmitTag();
        } else if (state_ == S::kAfterAttributeValueQuoted && IsSpace(c)) {
          ++pos_;
          state_ = S::kBeforeAttributeName;
        } else if (state_ == S::kAfterAttributeValueQuoted && c == u'/') {
          ++pos_;
          state_ = S::kSelfClosingStartTag;
        } else {
          state_ = S::kBeforeAttributeName;
        }
        break;
      }
      case S::kBogusComment: {
        const std::size_t at = Scan::FindFirstOf<u'>', u'\0'>(in_ + pos_, end) - in_;
        CommentInput(pos_, at);
        pos_ = at;
        if (MustWait()) break;
        if (AtEnd()) {
          EmitComment();
          EmitEndOfFile();
        } else if (in_[pos_++] == u'>') {
          state_ = S::kData;
          EmitComment();
        } else {
          CommentUnits(kReplacement);
        }
        break;
      }
      case S::kMarkupDeclarationOpen: {
        if (MustWait(7)) break;  // "doctype" and "[CDATA[" decide with seven units
        if (size_ - pos_ >= 2 && in_[pos_] == u'-' && in_[pos_ + 1] == u'-') {
          pos_ += 2;
          StartComment(pos_);
          state_ = S::kCommentStart;
        } else if (LookingAtCaseless(u"doctype")) {
          pos_ += 7;
          state_ = S::kDoctype;
        } else if (std::u16string_view(in_ + pos_, size_ - pos_).starts_with(u"[CDATA[")) {
          pos_ += 7;
          if (cdata_allowed_) {
            state_ = S::kCdataSection;
          } else {
            StartComment(pos_ - 7);
            CommentInput(pos_ - 7, pos_);  // "[CDATA[" starts the comment
            state_ = S::kBogusComment;
          }
        } else {
          StartComment(pos_);
          state_ = S::kBogusComment;
        }
        break;
      }
      case S::kCommentStart:
      case S::kCommentStartDash: {
        if (MustWait()) break;
        const bool dash = state_ == S::kCommentStartDash;
        if (AtEnd()) {
          state_ = S::kComment;  // which ends the comment at the end of the page
        } else if (Cur() == u'-') {
          ++pos_;
          state_ = dash ? S::kCommentEnd : S::kCommentStartDash;
        } else if (Cur() == u'>') {
          ++pos_;
          state_ = S::kData;
          EmitComment();
        } else {
          if (dash) CommentInput(pos_ - 1, pos_);  // the "-" read
          state_ = S::kComment;
        }
        break;
      }
      case S::kComment: {
        const std::size_t at = Scan::FindFirstOf<u'<', u'-', u'\0'>(in_ + pos_, end) - in_;
        CommentInput(pos_, at);
        pos_ = at;
        if (MustWait()) break;
        if (AtEnd()) {
          EmitComment();
          EmitEndOfFile();
          break;
        }
        const char16_t c = in_[pos_++];
        if (c == u'<') {
          CommentInput(pos_ - 1, pos_);
          state_ = S::kCommentLessThan;
        } else if (c == u'-') {
          state_ = S::kCommentEndDash;
        } else {
          CommentUnits(kReplacement);
        }
        break;
      }
      case S::kCommentLessThan: {
        if (MustWait()) break;
        if (!AtEnd() && Cur() == u'!') {
          CommentInput(pos_, pos_ + 1);
          ++pos_;
          state_ = S::kCommentLessThanBang;
        } else if (!AtEnd() && Cur() == u'<') {
          CommentInput(pos_, pos_ + 1);
          ++pos_;
        } else {
          state_ = S::kComment;
        }
        break;
      }
      case S::kCommentLessThanBang:
      case S::kCommentLessThanBangDash: {
        if (MustWait()) break;
        const bool dash = state_ == S::kCommentLessThanBangDash;
        if (!AtEnd() && Cur() == u'-') {
          ++pos_;
          state_ = dash ? S::kCommentLessThanBangDashDash : S::kCommentLessThanBangDash;
        } else {
          state_ = dash ? S::kCommentEndDash : S::kComment;
        }
        break;
      }
      case S::kCommentLessThanBangDashDash:
        state_ = S::kCommentEnd;
        break;
      case S::kCommentEndDash: {
        if (MustWait()) break;
        if (AtEnd()) {
          EmitComment();
          EmitEndOfFile();
        } else if (Cur() == u'-') {
          ++pos_;
          state_ = S::kCommentEnd;
        } else {
          CommentInput(pos_ - 1, pos_);  // the "-" read
          state_ = S::kComment;
        }
        break;
      }
      case S::kCommentEnd: {
        if (MustWait()) break;
        if (AtEnd()) {
          EmitComment();
          EmitEndOfFile();
          break;
        }
        const char16_t c = Cur();
        if (c == u'>') {
          ++pos_;
          state_ = S::kData;
          EmitComment();
        } else if (c == u'!') {
          ++pos_;
          state_ = S::kCommentEndBang;
        } else if (c == u'-') {
          // Of three "-" in a row the first is data; the last two may still end the comment.
          ++pos_;
          CommentInput(pos_ - 3, pos_ - 2);
        } else {
          CommentInput(pos_ - 2, pos_);  // the "--" read
          state_ = S::kComment;
        }
        break;
      }
      case S::kCommentEndBang: {
        if (MustWait()) break;
        if (AtEnd()) {
          EmitComment();
          EmitEndOfFile();
        } else if (Cur() == u'-') {
          ++pos_;
          CommentInput(pos_ - 4, pos_ - 1);  // the "--!" read
          state_ = S::kCommentEndDash;
        } else if (Cur() == u'>') {
          ++pos_;
          state_ = S::kData;
          EmitComment();
        } else {
          CommentInput(pos_ - 3, pos_);  // the "--!" read
          state_ = S::kComment;
        }
        break;
      }
      case S::kDoctype: {
        if (MustWait()) break;
        if (AtEnd()) {
          StartDoctype();
          EmitDoctype(true);
          EmitEndOfFile();
          break;
        }
        if (IsSpace(Cur())) ++pos_;
        state_ = S::kBeforeDoctypeName;
        break;
      }
      case S::kBeforeDoctypeName: {
        while (!AtEnd() && IsSpace(Cur())) ++pos_;
        if (MustWait()) break;
        StartDoctype();
        if (AtEnd()) {
          EmitDoctype(true);
          EmitEndOfFile();
        } else if (Cur() == u'>') {
          ++pos_;
          state_ = S::kData;
          EmitDoctype(true);
        } else {
          doctype_has_name_ = true;
          state_ = S::kDoctypeName;
        }
        break;
      }
      case S::kDoctypeName: {
        while (!AtEnd()) {
          const char16_t c = in_[pos_++];
          if (IsSpace(c)) {
            state_ = S::kAfterDoctypeName;
            break;
          }
          if (c == u'>') {
            state_ = S::kData;
            EmitDoctype(false);
            break;
          }
          doctype_name_.push_back(c == u'\0' ? u'\uFFFD' : Lower(c));
        }
        if (state_ == S::kDoctypeName) {
          if (MustWait()) break;
          EmitDoctype(true);
          EmitEndOfFile();
        }
        break;
      }
      case S::kAfterDoctypeName: {
        while (!AtEnd() && IsSpace(Cur())) ++pos_;
        if (MustWait(6)) break;  // "public" or "system"
        if (AtEnd()) {
          EmitDoctype(true);
          EmitEndOfFile();
        } else if (Cur() == u'>') {
          ++pos_;
          state_ = S::kData;
          EmitDoctype(false);
        } else if (LookingAtCaseless(u"public")) {
          pos_ += 6;
          state_ = S::kAfterDoctypePublicKeyword;
        } else if (LookingAtCaseless(u"system")) {
          pos_ += 6;
          state_ = S::kAfterDoctypeSystemKeyword;
        } else {
          doctype_quirks_ = true;
          state_ = S::kBogusDoctype;
        }
        break;
      }
      case S::kAfterDoctypePublicKeyword:
      case S::kBeforeDoctypePublicIdentifier:
      case S::kAfterDoctypeSystemKeyword:
      case S::kBeforeDoctypeSystemIdentifier: {
        const bool is_public =
            state_ == S::kAfterDoctypePublicKeyword || state_ == S::kBeforeDoctypePublicIdentifier;
        const bool after_keyword =
            state_ == S::kAfterDoctypePublicKeyword || state_ == S::kAfterDoctypeSystemKeyword;
        if (MustWait()) break;
        if (after_keyword && !AtEnd() && IsSpace(Cur())) {
          ++pos_;
          state_ =
              is_public ? S::kBeforeDoctypePublicIdentifier : S::kBeforeDoctypeSystemIdentifier;
          break;
        }
        while (!AtEnd() && IsSpace(Cur())) ++pos_;
        if (MustWait()) break;
        if (AtEnd()) {
          EmitDoctype(true);
          EmitEndOfFile();
        } else if (Cur() == u'"' || Cur() == u'\'') {
          OpenIdentifier(is_public, Cur());
        } else if (Cur() == u'>') {
          ++pos_;
          state_ = S::kData;
          EmitDoctype(true);
        } else {
          doctype_quirks_ = true;
          state_ = S::kBogusDoctype;
        }
        break;
      }
      case S::kDoctypePublicIdentifierDoubleQuoted:
      case S::kDoctypePublicIdentifierSingleQuoted:
      case S::kDoctypeSystemIdentifierDoubleQuoted:
      case S::kDoctypeSystemIdentifierSingleQuoted: {
        const bool is_public = state_ == S::kDoctypePublicIdentifierDoubleQuoted ||
                               state_ == S::kDoctypePublicIdentifierSingleQuoted;
        const char16_t quote = state_ == S::kDoctypePublicIdentifierDoubleQuoted ||
                                       state_ == S::kDoctypeSystemIdentifierDoubleQuoted
                                   ? u'"'
                                   : u'\'';
        std::u16string& id = is_public ? doctype_public_ : doctype_system_;
        const State here = state_;
        while (!AtEnd()) {
          const char16_t c = in_[pos_++];
          if (c == quote) {
            state_ =
                is_public ? S::kAfterDoctypePublicIdentifier : S::kAfterDoctypeSystemIdentifier;
            break;
          }
          if (c == u'>') {
            state_ = S::kData;
            EmitDoctype(true);
            break;
          }
          id.push_back(c == u'\0' ? u'\uFFFD' : c);
        }
        if (state_ == here) {  // the end of the input, before the quote
          if (MustWait()) break;
          EmitDoctype(true);
          EmitEndOfFile();
        }
        break;
      }
      case S::kAfterDoctypePublicIdentifier:
      case S::kBetweenDoctypePublicAndSystemIdentifiers: {
        if (MustWait()) break;
        if (state_ == S::kAfterDoctypePublicIdentifier && !AtEnd() && IsSpace(Cur())) {
          ++pos_;
          state_ = S::kBetweenDoctypePublicAndSystemIdentifiers;
          break;
        }
        while (!AtEnd() && IsSpace(Cur())) ++pos_;
        if (MustWait()) break;
        if (AtEnd()) {
          EmitDoctype(true);
          EmitEndOfFile();
        } else if (Cur() == u'>') {
          ++pos_;
          state_ = S::kData;
          EmitDoctype(false);
        } else if (Cur() == u'"' || Cur() == u'\'') {
          OpenIdentifier(false, Cur());
        } else {
          doctype_quirks_ = true;
          state_ = S::kBogusDoctype;
        }
        break;
      }
      case S::kAfterDoctypeSystemIdentifier: {
        while (!AtEnd() && IsSpace(Cur())) ++pos_;
        if (MustWait()) break;
        if (AtEnd()) {
          EmitDoctype(true);
          EmitEndOfFile();
        } else if (Cur() == u'>') {
          ++pos_;
          state_ = S::kData;
          EmitDoctype(false);
        } else {
          state_ = S::kBogusDoctype;  // without forcing quirks
        }
        break;
      }
      case S::kBogusDoctype: {
        pos_ = Scan::FindFirstOf<u'>'>(in_ + pos_, end) - in_;
        if (MustWait()) break;
        if (AtEnd()) {
          EmitDoctype(false);
          EmitEndOfFile();
        } else {
          ++pos_;
          state_ = S::kData;
          EmitDoctype(false);
        }
        break;
      }
      case S::kCdataSection: {
        const std::size_t at = Scan::FindFirstOf<u']'>(in_ + pos_, end) - in_;
        if (at > pos_) EmitRun(pos_, at);
        pos_ = at;
        if (AtEnd()) {
          EndOfBuffer();
        } else {
          ++pos_;
          state_ = S::kCdataSectionBracket;
        }
        break;
      }
      case S::kCdataSectionBracket: {
        if (MustWait()) break;
        if (!AtEnd() && Cur() == u']') {
          ++pos_;
          state_ = S::kCdataSectionEnd;
        } else {
          EmitRun(pos_ - 1, pos_);
          state_ = S::kCdataSection;
        }
        break;
      }
      case S::kCdataSectionEnd: {
        if (MustWait()) break;
        // The two "]" read before pos_ wait; a third gives out the first of them.
        if (!AtEnd() && Cur() == u']') {
          EmitRun(pos_ - 2, pos_ - 1);
          ++pos_;
        } else if (!AtEnd() && Cur() == u'>') {
          ++pos_;
          state_ = S::kData;
        } else {
          EmitRun(pos_ - 2, pos_);
          state_ = S::kCdataSection;
        }
        break;
      }
      case S::kNumericReference: {
        std::size_t at = pos_;
        for (int value; at < size_ && (value = DigitValue(in_[at], numeric_hex_)) >= 0; ++at) {
          // Past 0x10FFFF the value no longer matters: it becomes U+FFFD.
          numeric_code_ = std::min<char32_t>(
              numeric_code_ * (numeric_hex_ ? 16 : 10) + static_cast<char32_t>(value), 0x110000);
        }
        pos_ = at;
        if (MustWait()) break;  // the digits, or the ";" after them, may go on
        if (!AtEnd() && Cur() == u';') ++pos_;
        // The numeric character reference end state.
        char32_t code = numeric_code_;
        if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
          code = 0xFFFD;
        } else if (code >= 0x80 && code <= 0x9F && kWindows1252[code - 0x80] != 0) {
          code = kWindows1252[code - 0x80];
        }
        state_ = numeric_back_to_;
        GiveReference(code, 0, numeric_in_attribute_);
        break;
      }
      case S::kEnded:
        EmitEndOfFile();
        break;
    }
  }
}

}  // namespace pagelift::html
