// The CDATA section states, which the tokenizer enters only in foreign content.
#include "html/tokenizer.h"
#include "html/tokenizer_states.h"

namespace pagelift::html {

void Tokenizer::CdataStates() {
  const char16_t* const end = in_ + size_;
  switch (state_) {
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
    default:
      break;  // not a CDATA section state: Run gives each state to its file
  }
}

}  // namespace pagelift::html
