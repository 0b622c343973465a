// The in template insertion mode: a template's content takes the mode its first tag asks
// for, kept on the stack of template insertion modes.
#include "html/tree_builder.h"

namespace pagelift::html {

bool TreeBuilder::InTemplate(Token& t) {
  switch (t.kind) {
    case TokenKind::kCharacters:
    case TokenKind::kComment:
    case TokenKind::kNeedInput:
    case TokenKind::kDoctype:
      return InBody(t);
    case TokenKind::kStartTag: {
      Mode next = Mode::kInBody;
      switch (t.tag) {
        case Tag::kBase:
        case Tag::kBasefont:
        case Tag::kBgsound:
        case Tag::kLink:
        case Tag::kMeta:
        case Tag::kNoframes:
        case Tag::kScript:
        case Tag::kStyle:
        case Tag::kTemplate:
        case Tag::kTitle:
          return InHead(t);
        case Tag::kCaption:
        case Tag::kColgroup:
        case Tag::kTbody:
        case Tag::kTfoot:
        case Tag::kThead:
          next = Mode::kInTable;
          break;
        case Tag::kCol:
          next = Mode::kInColumnGroup;
          break;
        case Tag::kTr:
          next = Mode::kInTableBody;
          break;
        case Tag::kTd:
        case Tag::kTh:
          next = Mode::kInRow;
          break;
        default:
          break;
      }
      if (!template_modes_.empty()) template_modes_.pop_back();
      template_modes_.push_back(next);
      mode_ = next;
      return false;
    }
    case TokenKind::kEndTag:
      if (t.tag == Tag::kTemplate) return InHead(t);
      return true;
    case TokenKind::kEndOfFile:
      if (templates_open_ == 0) return true;
      PopUntil(Tag::kTemplate);  // which takes its template mode with it
      ClearFormattingToMarker();
      ResetInsertionMode();
      return false;
  }
  return true;
}

}  // namespace pagelift::html
