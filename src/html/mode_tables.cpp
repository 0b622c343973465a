// The insertion modes of tables: in table, in table text, in caption, in column group,
// in table body, in row and in cell.
#include <initializer_list>

#include "html/tree_builder.h"

namespace pagelift::html {

bool TreeBuilder::InTable(Token& t) {
  switch (t.kind) {
    case TokenKind::kCharacters:
      if (IsOneOf(Current(),
                  {Tag::kTable, Tag::kTbody, Tag::kTemplate, Tag::kTfoot, Tag::kThead, Tag::kTr})) {
        table_text_.clear();
        table_text_has_other_ = false;
        original_mode_ = mode_;
        mode_ = Mode::kInTableText;
        return false;
      }
      break;
    case TokenKind::kComment:
      InsertComment(t);
      return true;
    case TokenKind::kNeedInput:
    case TokenKind::kDoctype:
      return true;
    case TokenKind::kStartTag:
      switch (t.tag) {
        case Tag::kCaption:
          ClearStackBackTo({Tag::kTable, Tag::kTemplate, Tag::kHtml});
          formatting_.push_back(kMarker);
          InsertElement(t);
          mode_ = Mode::kInCaption;
          return true;
        case Tag::kColgroup:
          ClearStackBackTo({Tag::kTable, Tag::kTemplate, Tag::kHtml});
          InsertElement(t);
          mode_ = Mode::kInColumnGroup;
          return true;
        case Tag::kCol:
          ClearStackBackTo({Tag::kTable, Tag::kTemplate, Tag::kHtml});
          InsertElementNamed(Tag::kColgroup);
          mode_ = Mode::kInColumnGroup;
          return false;
        case Tag::kTbody:
        case Tag::kTfoot:
        case Tag::kThead:
          ClearStackBackTo({Tag::kTable, Tag::kTemplate, Tag::kHtml});
          InsertElement(t);
          mode_ = Mode::kInTableBody;
          return true;
        case Tag::kTd:
        case Tag::kTh:
        case Tag::kTr:
          ClearStackBackTo({Tag::kTable, Tag::kTemplate, Tag::kHtml});
          InsertElementNamed(Tag::kTbody);
          mode_ = Mode::kInTableBody;
          return false;
        case Tag::kTable:
          if (!InScope(Tag::kTable, Scope::kTable)) return true;
          PopUntil(Tag::kTable);
          ResetInsertionMode();
          return false;
        case Tag::kStyle:
        case Tag::kScript:
        case Tag::kTemplate:
          return InHead(t);
        case Tag::kInput: {
          const Attribute* type = FindIn(t, u"type");
          if (type == nullptr || LowerAscii(type->value) != u"hidden") break;
          InsertElement(t);
          Pop();
          return true;
        }
        case Tag::kForm:
          if (templates_open_ > 0 || form_ != kNoNode) return true;
          form_ = InsertElement(t);
          Pop();
          return true;
        default:
          break;
      }
      break;
    case TokenKind::kEndTag:
      switch (t.tag) {
        case Tag::kTable:
          if (!InScope(Tag::kTable, Scope::kTable)) return true;
          PopUntil(Tag::kTable);
          ResetInsertionMode();
          return true;
        case Tag::kBody:
        case Tag::kCaption:
        case Tag::kCol:
        case Tag::kColgroup:
        case Tag::kHtml:
        case Tag::kTbody:
        case Tag::kTd:
        case Tag::kTfoot:
        case Tag::kTh:
        case Tag::kThead:
        case Tag::kTr:
          return true;
        case Tag::kTemplate:
          return InHead(t);
        default:
          break;
      }
      break;
    case TokenKind::kEndOfFile:
      return InBody(t);
  }
  // Anything else: as in body, with foster parenting.
  foster_parenting_ = true;
  const bool done = InBody(t);
  foster_parenting_ = false;
  return done;
}

bool TreeBuilder::InTableText(Token& t) {
  if (t.kind == TokenKind::kCharacters) {
    std::u16string_view text = t.text;
    while (!text.empty()) {
      const std::size_t nul = FindNul(text);
      const std::u16string_view piece = text.substr(0, nul);
      table_text_.append(piece);
      if (!table_text_has_other_ && !AllSpace(piece)) table_text_has_other_ = true;
      if (nul == std::u16string_view::npos) break;
      text.remove_prefix(nul + 1);
    }
    return true;
  }
  if (!table_text_.empty()) {
    Token text;
    text.kind = TokenKind::kCharacters;
    text.text = table_text_;
    if (table_text_has_other_) {
      foster_parenting_ = true;
      InBody(text);
      foster_parenting_ = false;
    } else {
      InsertText(table_text_);
    }
    table_text_.clear();
  }
  mode_ = original_mode_;
  return false;
}

bool TreeBuilder::InCaption(Token& t) {
  const bool ends_caption = IsEnd(t, {Tag::kCaption}) ||
                            IsStart(t, {Tag::kCaption, Tag::kCol, Tag::kColgroup, Tag::kTbody,
                                        Tag::kTd, Tag::kTfoot, Tag::kTh, Tag::kThead, Tag::kTr}) ||
                            IsEnd(t, {Tag::kTable});
  if (ends_caption) {
    if (!InScope(Tag::kCaption, Scope::kTable)) return true;
    GenerateImpliedEndTags();
    PopUntil(Tag::kCaption);
    ClearFormattingToMarker();
    mode_ = Mode::kInTable;
    return IsEnd(t, {Tag::kCaption});
  }
  if (IsEnd(t, {Tag::kBody, Tag::kCol, Tag::kColgroup, Tag::kHtml, Tag::kTbody, Tag::kTd,
                Tag::kTfoot, Tag::kTh, Tag::kThead, Tag::kTr})) {
    return true;
  }
  return InBody(t);
}

bool TreeBuilder::InColumnGroup(Token& t) {
  switch (t.kind) {
    case TokenKind::kCharacters:
      InsertText(TakeSpace(t));
      if (t.text.empty()) return true;
      break;
    case TokenKind::kComment:
      InsertComment(t);
      return true;
    case TokenKind::kNeedInput:
    case TokenKind::kDoctype:
      return true;
    case TokenKind::kStartTag:
      if (t.tag == Tag::kHtml) return InBody(t);
      if (t.tag == Tag::kCol) {
        InsertElement(t);
        Pop();
        return true;
      }
      if (t.tag == Tag::kTemplate) return InHead(t);
      break;
    case TokenKind::kEndTag:
      if (t.tag == Tag::kColgroup) {
        if (!Is(Current(), Tag::kColgroup)) return true;
        Pop();
        mode_ = Mode::kInTable;
        return true;
      }
      if (t.tag == Tag::kCol) return true;
      if (t.tag == Tag::kTemplate) return InHead(t);
      break;
    case TokenKind::kEndOfFile:
      return InBody(t);
  }
  if (!Is(Current(), Tag::kColgroup)) return true;
  Pop();
  mode_ = Mode::kInTable;
  return false;
}

bool TreeBuilder::InTableBody(Token& t) {
  const std::initializer_list<Tag> context = {Tag::kTbody, Tag::kTfoot, Tag::kThead, Tag::kTemplate,
                                              Tag::kHtml};
  if (IsStart(t, {Tag::kTr})) {
    ClearStackBackTo(context);
    InsertElement(t);
    mode_ = Mode::kInRow;
    return true;
  }
  if (IsStart(t, {Tag::kTh, Tag::kTd})) {
    ClearStackBackTo(context);
    InsertElementNamed(Tag::kTr);
    mode_ = Mode::kInRow;
    return false;
  }
  if (IsEnd(t, {Tag::kTbody, Tag::kTfoot, Tag::kThead})) {
    if (!InScope(t.tag, Scope::kTable)) return true;
    ClearStackBackTo(context);
    Pop();
    mode_ = Mode::kInTable;
    return true;
  }
  if (IsStart(t,
              {Tag::kCaption, Tag::kCol, Tag::kColgroup, Tag::kTbody, Tag::kTfoot, Tag::kThead}) ||
      IsEnd(t, {Tag::kTable})) {
    if (!InScope(Tag::kTbody, Scope::kTable) && !InScope(Tag::kThead, Scope::kTable) &&
        !InScope(Tag::kTfoot, Scope::kTable)) {
      return true;
    }
    ClearStackBackTo(context);
    Pop();
    mode_ = Mode::kInTable;
    return false;
  }
  if (IsEnd(t, {Tag::kBody, Tag::kCaption, Tag::kCol, Tag::kColgroup, Tag::kHtml, Tag::kTd,
                Tag::kTh, Tag::kTr})) {
    return true;
  }
  return InTable(t);
}

bool TreeBuilder::InRow(Token& t) {
  const std::initializer_list<Tag> context = {Tag::kTr, Tag::kTemplate, Tag::kHtml};
  if (IsStart(t, {Tag::kTh, Tag::kTd})) {
    ClearStackBackTo(context);
    InsertElement(t);
    mode_ = Mode::kInCell;
    formatting_.push_back(kMarker);
    return true;
  }
  if (IsEnd(t, {Tag::kTr})) {
    if (!InScope(Tag::kTr, Scope::kTable)) return true;
    ClearStackBackTo(context);
    Pop();
    mode_ = Mode::kInTableBody;
    return true;
  }
  if (IsStart(t, {Tag::kCaption, Tag::kCol, Tag::kColgroup, Tag::kTbody, Tag::kTfoot, Tag::kThead,
                  Tag::kTr}) ||
      IsEnd(t, {Tag::kTable})) {
    if (!InScope(Tag::kTr, Scope::kTable)) return true;
    ClearStackBackTo(context);
    Pop();
    mode_ = Mode::kInTableBody;
    return false;
  }
  if (IsEnd(t, {Tag::kTbody, Tag::kTfoot, Tag::kThead})) {
    if (!InScope(t.tag, Scope::kTable) || !InScope(Tag::kTr, Scope::kTable)) return true;
    ClearStackBackTo(context);
    Pop();
    mode_ = Mode::kInTableBody;
    return false;
  }
  if (IsEnd(t, {Tag::kBody, Tag::kCaption, Tag::kCol, Tag::kColgroup, Tag::kHtml, Tag::kTd,
                Tag::kTh})) {
    return true;
  }
  return InTable(t);
}

bool TreeBuilder::InCell(Token& t) {
  if (IsEnd(t, {Tag::kTd, Tag::kTh})) {
    if (!InScope(t.tag, Scope::kTable)) return true;
    GenerateImpliedEndTags();
    PopUntil(t.tag);
    ClearFormattingToMarker();
    mode_ = Mode::kInRow;
    return true;
  }
  if (IsStart(t, {Tag::kCaption, Tag::kCol, Tag::kColgroup, Tag::kTbody, Tag::kTd, Tag::kTfoot,
                  Tag::kTh, Tag::kThead, Tag::kTr})) {
    if (!InScope(Tag::kTd, Scope::kTable) && !InScope(Tag::kTh, Scope::kTable)) return true;
    CloseCell();
    return false;
  }
  if (IsEnd(t, {Tag::kBody, Tag::kCaption, Tag::kCol, Tag::kColgroup, Tag::kHtml})) return true;
  if (IsEnd(t, {Tag::kTable, Tag::kTbody, Tag::kTfoot, Tag::kThead, Tag::kTr})) {
    if (!InScope(t.tag, Scope::kTable)) return true;
    CloseCell();
    return false;
  }
  return InBody(t);
}

}  // namespace pagelift::html
