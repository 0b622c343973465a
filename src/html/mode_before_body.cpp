// The insertion modes before the body: initial (the doctype and quirks mode), before html,
// before head, in head, in head noscript and after head.
#include <string>

#include "html/tree_builder.h"

namespace pagelift::html {

namespace {

// Whether a doctype puts the document in quirks mode.
bool QuirksDoctype(const Token& t) {
  if (t.force_quirks || t.text != u"html") return true;
  const std::u16string pub = LowerAscii(t.public_id);
  const std::u16string sys = LowerAscii(t.system_id);
  if (t.has_system_id && sys == u"http://www.ibm.com/data/dtd/v11/ibmxhtml1-transitional.dtd") {
    return true;
  }
  if (!t.has_public_id) return false;
  if (pub == u"-//w3o//dtd w3 html strict 3.0//en//" ||
      pub == u"-/w3c/dtd html 4.0 transitional/en" || pub == u"html") {
    return true;
  }
  static constexpr std::u16string_view kPrefixes[] = {
      u"+//silmaril//dtd html pro v0r11 19970101//",
      u"-//as//dtd html 3.0 aswedit + extensions//",
      u"-//advasoft ltd//dtd html 3.0 aswedit + extensions//",
      u"-//ietf//dtd html 2.0 level 1//",
      u"-//ietf//dtd html 2.0 level 2//",
      u"-//ietf//dtd html 2.0 strict level 1//",
      u"-//ietf//dtd html 2.0 strict level 2//",
      u"-//ietf//dtd html 2.0 strict//",
      u"-//ietf//dtd html 2.0//",
      u"-//ietf//dtd html 2.1e//",
      u"-//ietf//dtd html 3.0//",
      u"-//ietf//dtd html 3.2 final//",
      u"-//ietf//dtd html 3.2//",
      u"-//ietf//dtd html 3//",
      u"-//ietf//dtd html level 0//",
      u"-//ietf//dtd html level 1//",
      u"-//ietf//dtd html level 2//",
      u"-//ietf//dtd html level 3//",
      u"-//ietf//dtd html strict level 0//",
      u"-//ietf//dtd html strict level 1//",
      u"-//ietf//dtd html strict level 2//",
      u"-//ietf//dtd html strict level 3//",
      u"-//ietf//dtd html strict//",
      u"-//ietf//dtd html//",
      u"-//metrius//dtd metrius presentational//",
      u"-//microsoft//dtd internet explorer 2.0 html strict//",
      u"-//microsoft//dtd internet explorer 2.0 html//",
      u"-//microsoft//dtd internet explorer 2.0 tables//",
      u"-//microsoft//dtd internet explorer 3.0 html strict//",
      u"-//microsoft//dtd internet explorer 3.0 html//",
      u"-//microsoft//dtd internet explorer 3.0 tables//",
      u"-//netscape comm. corp.//dtd html//",
      u"-//netscape comm. corp.//dtd strict html//",
      u"-//o'reilly and associates//dtd html 2.0//",
      u"-//o'reilly and associates//dtd html extended 1.0//",
      u"-//o'reilly and associates//dtd html extended relaxed 1.0//",
      u"-//sq//dtd html 2.0 hotmetal + extensions//",
      u"-//softquad software//dtd hotmetal pro 6.0::19990601::extensions to html 4.0//",
      u"-//softquad//dtd hotmetal pro 4.0::19971010::extensions to html 4.0//",
      u"-//spyglass//dtd html 2.0 extended//",
      u"-//sun microsystems corp.//dtd hotjava html//",
      u"-//sun microsystems corp.//dtd hotjava strict html//",
      u"-//w3c//dtd html 3 1995-03-24//",
      u"-//w3c//dtd html 3.2 draft//",
      u"-//w3c//dtd html 3.2 final//",
      u"-//w3c//dtd html 3.2//",
      u"-//w3c//dtd html 3.2s draft//",
      u"-//w3c//dtd html 4.0 frameset//",
      u"-//w3c//dtd html 4.0 transitional//",
      u"-//w3c//dtd html experimental 19960712//",
      u"-//w3c//dtd html experimental 970421//",
      u"-//w3c//dtd w3 html//",
      u"-//w3o//dtd w3 html 3.0//",
      u"-//webtechs//dtd mozilla html 2.0//",
      u"-//webtechs//dtd mozilla html//",
  };
  for (const std::u16string_view prefix : kPrefixes) {
    if (pub.starts_with(prefix)) return true;
  }
  return !t.has_system_id && (pub.starts_with(u"-//w3c//dtd html 4.01 frameset//") ||
                              pub.starts_with(u"-//w3c//dtd html 4.01 transitional//"));
}

}  // namespace

bool TreeBuilder::Initial(Token& t) {
  if (t.kind == TokenKind::kCharacters) {
    TakeSpace(t);
    if (t.text.empty()) return true;
  } else if (t.kind == TokenKind::kComment) {
    InsertComment(t, Document::kRoot);
    return true;
  } else if (t.kind == TokenKind::kDoctype) {
    const NodeId node = doc_.Add(NodeKind::kDoctype);
    doc_.nodes_[node].begin = doc_.AppendText(t.text);
    doc_.nodes_[node].size = static_cast<std::uint32_t>(t.text.size());
    doc_.Insert(Document::kRoot, node, kNoNode);
    quirks_ = QuirksDoctype(t);
    mode_ = Mode::kBeforeHtml;
    return true;
  }
  quirks_ = true;
  mode_ = Mode::kBeforeHtml;
  return false;
}

bool TreeBuilder::BeforeHtml(Token& t) {
  if (t.kind == TokenKind::kDoctype) return true;
  if (t.kind == TokenKind::kComment) {
    InsertComment(t, Document::kRoot);
    return true;
  }
  if (t.kind == TokenKind::kCharacters) {
    TakeSpace(t);
    if (t.text.empty()) return true;
  }
  if (t.kind == TokenKind::kEndTag && !IsEnd(t, {Tag::kHead, Tag::kBody, Tag::kHtml, Tag::kBr})) {
    return true;
  }
  Token html;
  html.kind = TokenKind::kStartTag;
  html.tag = Tag::kHtml;
  const bool own = IsStart(t, {Tag::kHtml});
  const NodeId node = CreateElement(own ? t : html, Namespace::kHtml);
  doc_.Insert(Document::kRoot, node, kNoNode);
  Push(node);
  mode_ = Mode::kBeforeHead;
  return own;
}

bool TreeBuilder::BeforeHead(Token& t) {
  if (t.kind == TokenKind::kCharacters) {
    TakeSpace(t);
    if (t.text.empty()) return true;
  } else if (t.kind == TokenKind::kComment) {
    InsertComment(t);
    return true;
  } else if (t.kind == TokenKind::kDoctype) {
    return true;
  } else if (IsStart(t, {Tag::kHtml})) {
    return InBody(t);
  } else if (IsStart(t, {Tag::kHead})) {
    head_ = InsertElement(t);
    mode_ = Mode::kInHead;
    return true;
  } else if (t.kind == TokenKind::kEndTag &&
             !IsEnd(t, {Tag::kHead, Tag::kBody, Tag::kHtml, Tag::kBr})) {
    return true;
  }
  head_ = InsertElementNamed(Tag::kHead);
  mode_ = Mode::kInHead;
  return false;
}

bool TreeBuilder::InHead(Token& t) {
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
      switch (t.tag) {
        case Tag::kHtml:
          return InBody(t);
        case Tag::kBase:
        case Tag::kBasefont:
        case Tag::kBgsound:
        case Tag::kLink:
        case Tag::kMeta:
          InsertElement(t);
          Pop();
          return true;
        case Tag::kTitle:
          GenericText(t, TextState::kRcdata);
          return true;
        case Tag::kNoscript:
          if (!scripting_) {
            InsertElement(t);
            mode_ = Mode::kInHeadNoscript;
            return true;
          }
          GenericText(t, TextState::kRawtext);
          return true;
        case Tag::kNoframes:
        case Tag::kStyle:
          GenericText(t, TextState::kRawtext);
          return true;
        case Tag::kScript:
          GenericText(t, TextState::kScriptData);
          return true;
        case Tag::kTemplate:
          InsertElement(t);
          formatting_.push_back(kMarker);
          frameset_ok_ = false;
          mode_ = Mode::kInTemplate;
          template_modes_.push_back(Mode::kInTemplate);
          return true;
        case Tag::kHead:
          return true;
        default:
          break;
      }
      break;
    case TokenKind::kEndTag:
      switch (t.tag) {
        case Tag::kHead:
          Pop();
          mode_ = Mode::kAfterHead;
          return true;
        case Tag::kBody:
        case Tag::kHtml:
        case Tag::kBr:
          break;
        case Tag::kTemplate:
          if (templates_open_ == 0) return true;
          GenerateAllImpliedEndTagsThoroughly();
          PopUntil(Tag::kTemplate);  // which takes its template mode with it
          ClearFormattingToMarker();
          ResetInsertionMode();
          return true;
        default:
          return true;
      }
      break;
    case TokenKind::kEndOfFile:
      break;
  }
  Pop();  // the head
  mode_ = Mode::kAfterHead;
  return false;
}

bool TreeBuilder::InHeadNoscript(Token& t) {
  switch (t.kind) {
    case TokenKind::kNeedInput:
    case TokenKind::kDoctype:
      return true;
    case TokenKind::kComment:
      return InHead(t);
    case TokenKind::kCharacters:
      InsertText(TakeSpace(t));
      if (t.text.empty()) return true;
      break;
    case TokenKind::kStartTag:
      switch (t.tag) {
        case Tag::kHtml:
          return InBody(t);
        case Tag::kBasefont:
        case Tag::kBgsound:
        case Tag::kLink:
        case Tag::kMeta:
        case Tag::kNoframes:
        case Tag::kStyle:
          return InHead(t);
        case Tag::kHead:
        case Tag::kNoscript:
          return true;
        default:
          break;
      }
      break;
    case TokenKind::kEndTag:
      if (t.tag == Tag::kNoscript) {
        Pop();
        mode_ = Mode::kInHead;
        return true;
      }
      if (t.tag != Tag::kBr) return true;
      break;
    case TokenKind::kEndOfFile:
      break;
  }
  // Anything else closes the noscript element, and is handled in the head.
  Pop();
  mode_ = Mode::kInHead;
  return false;
}

bool TreeBuilder::AfterHead(Token& t) {
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
      switch (t.tag) {
        case Tag::kHtml:
          return InBody(t);
        case Tag::kBody:
          InsertElement(t);
          frameset_ok_ = false;
          mode_ = Mode::kInBody;
          return true;
        case Tag::kFrameset:
          InsertElement(t);
          mode_ = Mode::kInFrameset;
          return true;
        case Tag::kBase:
        case Tag::kBasefont:
        case Tag::kBgsound:
        case Tag::kLink:
        case Tag::kMeta:
        case Tag::kNoframes:
        case Tag::kScript:
        case Tag::kStyle:
        case Tag::kTemplate:
        case Tag::kTitle: {
          if (head_ == kNoNode) return true;
          Push(head_);
          const bool done = InHead(t);
          RemoveFromStack(head_);
          return done;
        }
        case Tag::kHead:
          return true;
        default:
          break;
      }
      break;
    case TokenKind::kEndTag:
      if (t.tag == Tag::kTemplate) return InHead(t);
      if (!IsEnd(t, {Tag::kBody, Tag::kHtml, Tag::kBr})) return true;
      break;
    case TokenKind::kEndOfFile:
      break;
  }
  InsertElementNamed(Tag::kBody);
  mode_ = Mode::kInBody;
  return false;
}

}  // namespace pagelift::html
