// The insertion modes of select: in select, and in select in table.
#include <initializer_list>

#include "html/tree_builder.h"

namespace pagelift::html {

bool TreeBuilder::InSelect(Token& t) {
  switch (t.kind) {
    case TokenKind::kCharacters: {
      std::u16string_view text = t.text;
      while (!text.empty()) {
        const std::size_t nul = FindNul(text);
        InsertText(text.substr(0, nul));
        if (nul == std::u16string_view::npos) break;
        text.remove_prefix(nul + 1);
      }
      return true;
    }
    case TokenKind::kComment:
      InsertComment(t);
      return true;
    case TokenKind::kNeedInput:
    case TokenKind::kDoctype:
      return true;
    case TokenKind::kStartTag:
      switch (t.tag) {
        case Tag::kHtml:
          return InBody(t);
        case Tag::kOption:
          if (Is(Current(), Tag::kOption)) Pop();
          InsertElement(t);
          return true;
        case Tag::kOptgroup:
        case Tag::kHr:
          if (Is(Current(), Tag::kOption)) Pop();
          if (Is(Current(), Tag::kOptgroup)) Pop();
          InsertElement(t);
          if (t.tag == Tag::kHr) Pop();
          return true;
        case Tag::kSelect:
          if (!InScope(Tag::kSelect, Scope::kSelect)) return true;
          PopUntil(Tag::kSelect);
          ResetInsertionMode();
          return true;
        case Tag::kInput:
        case Tag::kKeygen:
        case Tag::kTextarea:
          if (!InScope(Tag::kSelect, Scope::kSelect)) return true;
          PopUntil(Tag::kSelect);
          ResetInsertionMode();
          return false;
        case Tag::kScript:
        case Tag::kTemplate:
          return InHead(t);
        default:
          return true;
      }
    case TokenKind::kEndTag:
      switch (t.tag) {
        case Tag::kOptgroup:
          if (Is(Current(), Tag::kOption) && open_.size() > 1 &&
              Is(open_[open_.size() - 2], Tag::kOptgroup)) {
            Pop();
          }
          if (Is(Current(), Tag::kOptgroup)) Pop();
          return true;
        case Tag::kOption:
          if (Is(Current(), Tag::kOption)) Pop();
          return true;
        case Tag::kSelect:
          if (!InScope(Tag::kSelect, Scope::kSelect)) return true;
          PopUntil(Tag::kSelect);
          ResetInsertionMode();
          return true;
        case Tag::kTemplate:
          return InHead(t);
        default:
          return true;
      }
    case TokenKind::kEndOfFile:
      return InBody(t);
  }
  return true;
}

bool TreeBuilder::InSelectInTable(Token& t) {
  const std::initializer_list<Tag> table = {Tag::kCaption, Tag::kTable, Tag::kTbody, Tag::kTfoot,
                                            Tag::kThead,   Tag::kTr,    Tag::kTd,    Tag::kTh};
  if (IsStart(t, table)) {
    PopUntil(Tag::kSelect);
    ResetInsertionMode();
    return false;
  }
  if (IsEnd(t, table)) {
    if (!InScope(t.tag, Scope::kTable)) return true;
    PopUntil(Tag::kSelect);
    ResetInsertionMode();
    return false;
  }
  return InSelect(t);
}

}  // namespace pagelift::html
