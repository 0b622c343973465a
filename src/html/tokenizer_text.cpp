// The text states: RCDATA, RAWTEXT, script data (escaped and double escaped too) and PLAINTEXT,
// with their less-than sign, end tag open and end tag name states.
#include "html/tokenizer.h"
#include "html/tokenizer_states.h"

namespace pagelift::html {

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

void Tokenizer::TextStates() {
  const char16_t* const end = in_ + size_;
  switch (state_) {
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
        state_ =
            state_ == S::kScriptEscapeStart ? S::kScriptEscapeStartDash : S::kScriptEscapedDashDash;
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
    default:
      break;  // not a text state: Run gives each state to its file
  }
}

}  // namespace pagelift::html
