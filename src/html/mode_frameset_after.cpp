// The insertion modes after the body and of framesets: after body, in frameset, after
// frameset, after after body and after after frameset.
#include <string>

#include "html/tree_builder.h"

namespace pagelift::html {

bool TreeBuilder::AfterBody(Token& t) {
  if (t.kind == TokenKind::kCharacters) {
    const std::u16string_view space = TakeSpace(t);
    if (!space.empty()) {
      Token s = t;
      s.text = space;
      InBody(s);
    }
    if (t.text.empty()) return true;
  } else if (t.kind == TokenKind::kComment) {
    InsertComment(t, open_.front());
    return true;
  } else if (t.kind == TokenKind::kDoctype) {
    return true;
  } else if (IsStart(t, {Tag::kHtml})) {
    return InBody(t);
  } else if (IsEnd(t, {Tag::kHtml})) {
    mode_ = Mode::kAfterAfterBody;
    return true;
  } else if (t.kind == TokenKind::kEndOfFile) {
    return true;
  }
  mode_ = Mode::kInBody;
  return false;
}

bool TreeBuilder::InFrameset(Token& t) {
  switch (t.kind) {
    case TokenKind::kCharacters: {
      std::u16string space;
      for (const char16_t c : t.text) {
        if (IsSpaceUnit(c)) space.push_back(c);
      }
      InsertText(space);
      return true;
    }
    case TokenKind::kComment:
      InsertComment(t);
      return true;
    case TokenKind::kStartTag:
      if (t.tag == Tag::kHtml) return InBody(t);
      if (t.tag == Tag::kFrameset) {
        InsertElement(t);
      } else if (t.tag == Tag::kFrame) {
        InsertElement(t);
        Pop();
      } else if (t.tag == Tag::kNoframes) {
        return InHead(t);
      }
      return true;
    case TokenKind::kEndTag:
      if (t.tag == Tag::kFrameset && open_.size() > 1) {
        Pop();
        if (!Is(Current(), Tag::kFrameset)) mode_ = Mode::kAfterFrameset;
      }
      return true;
    default:
      return true;
  }
}

bool TreeBuilder::AfterFrameset(Token& t) {
  switch (t.kind) {
    case TokenKind::kCharacters: {
      std::u16string space;
      for (const char16_t c : t.text) {
        if (IsSpaceUnit(c)) space.push_back(c);
      }
      InsertText(space);
      return true;
    }
    case TokenKind::kComment:
      InsertComment(t);
      return true;
    case TokenKind::kStartTag:
      if (t.tag == Tag::kHtml) return InBody(t);
      if (t.tag == Tag::kNoframes) return InHead(t);
      return true;
    case TokenKind::kEndTag:
      if (t.tag == Tag::kHtml) mode_ = Mode::kAfterAfterFrameset;
      return true;
    default:
      return true;
  }
}

bool TreeBuilder::AfterAfterBody(Token& t) {
  if (t.kind == TokenKind::kComment) {
    InsertComment(t, Document::kRoot);
    return true;
  }
  if (t.kind == TokenKind::kCharacters) {
    const std::u16string_view space = TakeSpace(t);
    if (!space.empty()) {
      Token s = t;
      s.text = space;
      InBody(s);
    }
    if (t.text.empty()) return true;
  } else if (t.kind == TokenKind::kDoctype || IsStart(t, {Tag::kHtml})) {
    return InBody(t);
  } else if (t.kind == TokenKind::kEndOfFile) {
    return true;
  }
  mode_ = Mode::kInBody;
  return false;
}

bool TreeBuilder::AfterAfterFrameset(Token& t) {
  if (t.kind == TokenKind::kComment) {
    InsertComment(t, Document::kRoot);
    return true;
  }
  if (t.kind == TokenKind::kCharacters) {
    // Whitespace as in body; anything else is dropped.
    std::u16string space;
    for (const char16_t c : t.text) {
      if (IsSpaceUnit(c)) space.push_back(c);
    }
    Token s = t;
    s.text = space;
    return InBody(s);
  }
  if (t.kind == TokenKind::kDoctype || IsStart(t, {Tag::kHtml})) return InBody(t);
  if (IsStart(t, {Tag::kNoframes})) return InHead(t);
  return true;
}

}  // namespace pagelift::html
