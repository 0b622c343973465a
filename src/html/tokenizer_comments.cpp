// Markup declaration open (which tells a comment, a doctype and a CDATA section apart), the
// comment states and the bogus comment state, and the comment's data.
#include <string_view>

#include "html/tokenizer.h"
#include "html/tokenizer_states.h"

namespace pagelift::html {

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

void Tokenizer::CommentStates() {
  const char16_t* const end = in_ + size_;
  switch (state_) {
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
    default:
      break;  // not a comment state: Run gives each state to its file
  }
}

}  // namespace pagelift::html
