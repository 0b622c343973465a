// The doctype states: its name, its public and system identifiers, and the bogus doctype.
#include <string>

#include "html/tokenizer.h"
#include "html/tokenizer_states.h"

namespace pagelift::html {

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

void Tokenizer::DoctypeStates() {
  const char16_t* const end = in_ + size_;
  switch (state_) {
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
        state_ = is_public ? S::kBeforeDoctypePublicIdentifier : S::kBeforeDoctypeSystemIdentifier;
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
          state_ = is_public ? S::kAfterDoctypePublicIdentifier : S::kAfterDoctypeSystemIdentifier;
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
    default:
      break;  // not a doctype state: Run gives each state to its file
  }
}

}  // namespace pagelift::html
