// The tokenizer's own header, for its files alone: its states, the character classes, and the
// small steps that more than one group of states takes (character output, starting a tag or a
// comment, an attribute's value), defined here inline so that they stay inlined in each file,
// as they were when the tokenizer was one file.
//
// Run, the loop that takes a step of the state the tokenizer is in, is in
// tokenizer_data_tags.cpp with the states most pages spend their time in (data, tags,
// attributes); the other states are grouped as the standard groups them, one file each:
// tokenizer_text.cpp (RCDATA, RAWTEXT, script data and its escapes, PLAINTEXT),
// tokenizer_references.cpp (character references), tokenizer_comments.cpp (markup
// declaration open, comments, bogus comments), tokenizer_doctype.cpp and tokenizer_cdata.cpp
// (CDATA sections). tokenizer.cpp holds the input: whole or in pieces, and compacted.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/huge_pages.h"
#include "base/scan_builds.h"
#include "html/tokenizer.h"

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

namespace tokenizer_detail {

using Scan = BaselineScan;
using S = Tokenizer::State;

inline constexpr std::u16string_view kReplacement = u"\uFFFD";

inline bool IsSpace(char16_t c) {
  return c == u'\t' || c == u'\n' || c == u'\f' || c == u' ';
}
inline bool IsUpper(char16_t c) {
  return c >= u'A' && c <= u'Z';
}
inline bool IsLower(char16_t c) {
  return c >= u'a' && c <= u'z';
}
inline bool IsAlpha(char16_t c) {
  return IsUpper(c) || IsLower(c);
}
inline bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}
inline bool IsAlnum(char16_t c) {
  return IsAlpha(c) || IsDigit(c);
}
inline char16_t Lower(char16_t c) {
  return IsUpper(c) ? static_cast<char16_t>(c + 0x20) : c;
}

// Appends to a buffer that may grow as long as the page (an attribute value, a comment):
// past a few hundred kilobytes it grows in memory advised for huge pages, which is faulted in
// a fraction of the times.
inline void AppendLong(std::u16string& buffer, std::u16string_view units) {
  const std::size_t needed = buffer.size() + units.size();
  if (needed > buffer.capacity() && needed > (std::size_t{1} << 18)) {
    ReserveLarge(buffer, std::max(needed, 2 * buffer.capacity()));
  }
  buffer.append(units);
}

}  // namespace tokenizer_detail

using tokenizer_detail::AppendLong;
using tokenizer_detail::IsAlnum;
using tokenizer_detail::IsAlpha;
using tokenizer_detail::IsDigit;
using tokenizer_detail::IsLower;
using tokenizer_detail::IsSpace;
using tokenizer_detail::IsUpper;
using tokenizer_detail::kReplacement;
using tokenizer_detail::Lower;
using tokenizer_detail::S;
using tokenizer_detail::Scan;

inline Token& Tokenizer::Queue() {
  // Only what a character token leaves unset: each Emit sets the rest it uses.
  Token& token = queue_[queued_++];
  token.tag = Tag::kUnknown;
  token.self_closing = false;
  token.attributes = {};
  return token;
}

inline void Tokenizer::EmitRun(std::size_t from, std::size_t to) {
  if (run_from_ != run_to_ && run_to_ == from) {
    run_to_ = to;
    return;
  }
  FlushRun();
  run_from_ = from;
  run_to_ = to;
}

inline void Tokenizer::FlushRun() {
  if (run_from_ == run_to_) return;
  Token& token = Queue();
  token.kind = TokenKind::kCharacters;
  token.text = std::u16string_view(in_ + run_from_, run_to_ - run_from_);
  run_from_ = run_to_ = 0;
}

inline void Tokenizer::EmitUnits(std::u16string_view units) {
  FlushRun();
  Token& token = Queue();
  token.kind = TokenKind::kCharacters;
  token.text = units;
}

inline void Tokenizer::StartTag(TokenKind kind) {
  tag_kind_ = kind;
  tag_units_.clear();
  name_in_page_ = false;
  name_from_ = 0;
  tag_name_to_ = 0;
  self_closing_ = false;
  pending_.clear();
  if (!many_names_.empty()) many_names_.clear();
}

inline void Tokenizer::AppendToValue(std::u16string_view units) {
  AppendLong(tag_units_, units);
  pending_.back().value_to = tag_units_.size();
}

inline void Tokenizer::StartComment(std::size_t at) {
  comment_.clear();
  comment_from_ = comment_to_ = at;
}

inline bool Tokenizer::LookingAtCaseless(std::u16string_view word) const {
  if (size_ - pos_ < word.size()) return false;
  for (std::size_t k = 0; k < word.size(); ++k) {
    if (Lower(in_[pos_ + k]) != word[k]) return false;
  }
  return true;
}

}  // namespace pagelift::html
