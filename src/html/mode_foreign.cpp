// The rules for parsing tokens in foreign content: inside svg and math, until an HTML start
// tag (or </br>, </p>) breaks out of it.
#include "html/tree_builder.h"

namespace pagelift::html {

bool TreeBuilder::ForeignContent(Token& t) {
  switch (t.kind) {
    case TokenKind::kCharacters: {
      std::u16string_view text = t.text;
      while (!text.empty()) {
        const std::size_t nul = FindNul(text);
        const std::u16string_view piece = text.substr(0, nul);
        InsertText(piece);
        if (frameset_ok_ && !AllSpace(piece)) frameset_ok_ = false;
        if (nul == std::u16string_view::npos) break;
        InsertText(u"\uFFFD");
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
    case TokenKind::kStartTag: {
      bool breaks_out = false;
      switch (t.tag) {
        case Tag::kB:
        case Tag::kBig:
        case Tag::kBlockquote:
        case Tag::kBody:
        case Tag::kBr:
        case Tag::kCenter:
        case Tag::kCode:
        case Tag::kDd:
        case Tag::kDiv:
        case Tag::kDl:
        case Tag::kDt:
        case Tag::kEm:
        case Tag::kEmbed:
        case Tag::kH1:
        case Tag::kH2:
        case Tag::kH3:
        case Tag::kH4:
        case Tag::kH5:
        case Tag::kH6:
        case Tag::kHead:
        case Tag::kHr:
        case Tag::kI:
        case Tag::kImg:
        case Tag::kLi:
        case Tag::kListing:
        case Tag::kMenu:
        case Tag::kMeta:
        case Tag::kNobr:
        case Tag::kOl:
        case Tag::kP:
        case Tag::kPre:
        case Tag::kRuby:
        case Tag::kS:
        case Tag::kSmall:
        case Tag::kSpan:
        case Tag::kStrong:
        case Tag::kStrike:
        case Tag::kSub:
        case Tag::kSup:
        case Tag::kTable:
        case Tag::kTt:
        case Tag::kU:
        case Tag::kUl:
        case Tag::kVar:
          breaks_out = true;
          break;
        case Tag::kFont:
          breaks_out = FindIn(t, u"color") || FindIn(t, u"face") || FindIn(t, u"size");
          break;
        default:
          break;
      }
      if (!breaks_out) {
        InsertElement(t, doc_.NamespaceOf(Current()));
        if (t.self_closing) Pop();
        return true;
      }
      break;
    }
    case TokenKind::kEndTag: {
      if (t.tag == Tag::kBr || t.tag == Tag::kP) break;
      for (std::size_t k = open_.size(); k-- > 1;) {
        const NodeId node = open_[k];
        if (doc_.nodes_[node].name == static_cast<std::uint32_t>(t.tag)) {
          while (open_.size() > k) Pop();
          return true;
        }
        if (doc_.NamespaceOf(open_[k - 1]) == Namespace::kHtml) return InMode(mode_, t);
      }
      return true;
    }
    case TokenKind::kEndOfFile:
      return InMode(mode_, t);
  }
  // An HTML start tag (or </br>, </p>) leaves foreign content.
  while (open_.size() > 1 && doc_.NamespaceOf(Current()) != Namespace::kHtml &&
         !IsMathMlTextIntegrationPoint(Current()) && !IsHtmlIntegrationPoint(Current())) {
    Pop();
  }
  return InMode(mode_, t);
}

}  // namespace pagelift::html
