// The tokenizer's loop, Run, which takes a step of the state it is in until a token is queued,
// and the states it spends most of its time in, kept in its switch: data, tag open, end tag
// open, tag name, the attribute states and self-closing start tag. The other states' steps
// are in their own files (tokenizer_states.h lists them).
#include <string_view>

#include "html/tokenizer.h"
#include "html/tokenizer_states.h"

namespace pagelift::html {

void Tokenizer::AppendName(std::size_t from, std::size_t to) {
  const std::size_t at = tag_units_.size();
  tag_units_.resize(at + (to - from));
  char16_t* out = tag_units_.data() + at;
  for (std::size_t k = from; k < to; ++k) {
    const char16_t c = in_[k];
    *out++ = c == u'\0' ? u'\uFFFD' : Lower(c);
  }
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
      // The other groups of states, each in its file.
      case S::kRcdata:
      case S::kRawtext:
      case S::kScriptData:
      case S::kPlaintext:
      case S::kRcdataLessThan:
      case S::kRcdataEndTagOpen:
      case S::kRcdataEndTagName:
      case S::kRawtextLessThan:
      case S::kRawtextEndTagOpen:
      case S::kRawtextEndTagName:
      case S::kScriptLessThan:
      case S::kScriptEndTagOpen:
      case S::kScriptEndTagName:
      case S::kScriptEscapeStart:
      case S::kScriptEscapeStartDash:
      case S::kScriptEscaped:
      case S::kScriptEscapedDash:
      case S::kScriptEscapedDashDash:
      case S::kScriptEscapedLessThan:
      case S::kScriptEscapedEndTagOpen:
      case S::kScriptEscapedEndTagName:
      case S::kScriptDoubleEscapeStart:
      case S::kScriptDoubleEscaped:
      case S::kScriptDoubleEscapedDash:
      case S::kScriptDoubleEscapedDashDash:
      case S::kScriptDoubleEscapedLessThan:
      case S::kScriptDoubleEscapeEnd:
        TextStates();  // tokenizer_text.cpp
        break;
      case S::kNumericReference:
        ReferenceStates();  // tokenizer_references.cpp
        break;
      case S::kMarkupDeclarationOpen:
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
        CommentStates();  // tokenizer_comments.cpp
        break;
      case S::kDoctype:
      case S::kBeforeDoctypeName:
      case S::kDoctypeName:
      case S::kAfterDoctypeName:
      case S::kAfterDoctypePublicKeyword:
      case S::kBeforeDoctypePublicIdentifier:
      case S::kDoctypePublicIdentifierDoubleQuoted:
      case S::kDoctypePublicIdentifierSingleQuoted:
      case S::kAfterDoctypePublicIdentifier:
      case S::kBetweenDoctypePublicAndSystemIdentifiers:
      case S::kAfterDoctypeSystemKeyword:
      case S::kBeforeDoctypeSystemIdentifier:
      case S::kDoctypeSystemIdentifierDoubleQuoted:
      case S::kDoctypeSystemIdentifierSingleQuoted:
      case S::kAfterDoctypeSystemIdentifier:
      case S::kBogusDoctype:
        DoctypeStates();  // tokenizer_doctype.cpp
        break;
      case S::kCdataSection:
      case S::kCdataSectionBracket:
      case S::kCdataSectionEnd:
        CdataStates();  // tokenizer_cdata.cpp
        break;
      case S::kEnded:
        EmitEndOfFile();
        break;
    }
  }
}

}  // namespace pagelift::html
