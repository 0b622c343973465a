// The text insertion mode: the content of script, style, title, textarea and the other
// elements whose content the tokenizer reads as text, up to their end tag.
#include "html/tree_builder.h"

namespace pagelift::html {

bool TreeBuilder::Text(Token& t) {
  if (t.kind == TokenKind::kCharacters) {
    InsertText(t.text);
    return true;
  }
  if (t.kind == TokenKind::kEndOfFile) {
    Pop();
    mode_ = original_mode_;
    return false;
  }
  if (t.kind == TokenKind::kEndTag) {
    Pop();
    mode_ = original_mode_;
  }
  return true;
}

}  // namespace pagelift::html
