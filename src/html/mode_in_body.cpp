// The in body insertion mode: characters, and each start tag and end tag that it names.
#include <algorithm>
#include <initializer_list>

#include "html/tree_builder.h"

namespace pagelift::html {

bool TreeBuilder::InBody(Token& t) {
  switch (t.kind) {
    case TokenKind::kCharacters: {
      // U+0000 is dropped; the rest is inserted in pieces between them.
      std::u16string_view text = t.text;
      while (!text.empty()) {
        const std::size_t nul = FindNul(text);
        const std::u16string_view piece = text.substr(0, nul);
        if (!piece.empty()) {
          ReconstructFormatting();
          InsertText(piece);
          if (frameset_ok_ && !AllSpace(piece)) frameset_ok_ = false;
        }
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
      return InBodyStartTag(t);
    case TokenKind::kEndTag:
      return InBodyEndTag(t);
    case TokenKind::kEndOfFile:
      if (!template_modes_.empty()) return InTemplate(t);
      return true;
  }
  return true;
}

bool TreeBuilder::InBodyStartTag(Token& t) {
  switch (t.tag) {
    case Tag::kHtml:
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
    case Tag::kTitle:
      return InHead(t);
    case Tag::kBody:
      if (open_.size() > 1 && Is(open_[1], Tag::kBody) && templates_open_ == 0) {
        frameset_ok_ = false;
      }
      return true;
    case Tag::kFrameset:
      if (open_.size() < 2 || !Is(open_[1], Tag::kBody) || !frameset_ok_) return true;
      doc_.Remove(open_[1]);
      while (open_.size() > 1) Pop();
      InsertElement(t);
      mode_ = Mode::kInFrameset;
      return true;
    case Tag::kAddress:
    case Tag::kArticle:
    case Tag::kAside:
    case Tag::kBlockquote:
    case Tag::kCenter:
    case Tag::kDetails:
    case Tag::kDialog:
    case Tag::kDir:
    case Tag::kDiv:
    case Tag::kDl:
    case Tag::kFieldset:
    case Tag::kFigcaption:
    case Tag::kFigure:
    case Tag::kFooter:
    case Tag::kHeader:
    case Tag::kHgroup:
    case Tag::kMain:
    case Tag::kMenu:
    case Tag::kNav:
    case Tag::kOl:
    case Tag::kP:
    case Tag::kSearch:
    case Tag::kSection:
    case Tag::kSummary:
    case Tag::kUl:
      if (InScope(Tag::kP, Scope::kButton)) ClosePElement();
      InsertElement(t);
      return true;
    case Tag::kH1:
    case Tag::kH2:
    case Tag::kH3:
    case Tag::kH4:
    case Tag::kH5:
    case Tag::kH6:
      if (InScope(Tag::kP, Scope::kButton)) ClosePElement();
      if (IsOneOf(Current(), {Tag::kH1, Tag::kH2, Tag::kH3, Tag::kH4, Tag::kH5, Tag::kH6})) {
        Pop();
      }
      InsertElement(t);
      return true;
    case Tag::kPre:
    case Tag::kListing:
      if (InScope(Tag::kP, Scope::kButton)) ClosePElement();
      InsertElement(t);
      skip_newline_ = true;
      frameset_ok_ = false;
      return true;
    case Tag::kForm:
      if (form_ != kNoNode && templates_open_ == 0) return true;
      if (InScope(Tag::kP, Scope::kButton)) ClosePElement();
      {
        const NodeId form = InsertElement(t);
        if (templates_open_ == 0) form_ = form;
      }
      return true;
    case Tag::kLi:
    case Tag::kDd:
    case Tag::kDt: {
      frameset_ok_ = false;
      for (std::size_t k = open_.size(); k-- > 0;) {
        const NodeId node = open_[k];
        const bool li = t.tag == Tag::kLi;
        if (li ? Is(node, Tag::kLi) : IsOneOf(node, {Tag::kDd, Tag::kDt})) {
          const Tag tag = doc_.TagOf(node);
          GenerateImpliedEndTags(tag);
          PopUntil(tag);
          break;
        }
        if (IsSpecial(node) && !IsOneOf(node, {Tag::kAddress, Tag::kDiv, Tag::kP})) break;
      }
      if (InScope(Tag::kP, Scope::kButton)) ClosePElement();
      InsertElement(t);
      return true;
    }
    case Tag::kPlaintext:
      if (InScope(Tag::kP, Scope::kButton)) ClosePElement();
      InsertElement(t);
      tokenizer_.SwitchTo(TextState::kPlaintext);
      return true;
    case Tag::kButton:
      if (InScope(Tag::kButton)) {
        GenerateImpliedEndTags();
        PopUntil(Tag::kButton);
      }
      ReconstructFormatting();
      InsertElement(t);
      frameset_ok_ = false;
      return true;
    case Tag::kA: {
      for (std::size_t k = formatting_.size(); k-- > 0;) {
        if (formatting_[k] == kMarker) break;
        if (Is(formatting_[k], Tag::kA)) {
          const NodeId a = formatting_[k];
          Token end = t;
          end.kind = TokenKind::kEndTag;
          if (!AdoptionAgency(end)) AnyOtherEndTag(end);
          const std::size_t entry = FormattingIndex(a);
          if (entry != formatting_.size()) {
            formatting_.erase(formatting_.begin() + static_cast<std::ptrdiff_t>(entry));
          }
          RemoveFromStack(a);
          break;
        }
      }
      ReconstructFormatting();
      PushFormatting(InsertElement(t));
      return true;
    }
    case Tag::kB:
    case Tag::kBig:
    case Tag::kCode:
    case Tag::kEm:
    case Tag::kFont:
    case Tag::kI:
    case Tag::kS:
    case Tag::kSmall:
    case Tag::kStrike:
    case Tag::kStrong:
    case Tag::kTt:
    case Tag::kU:
      ReconstructFormatting();
      PushFormatting(InsertElement(t));
      return true;
    case Tag::kNobr:
      ReconstructFormatting();
      if (InScope(Tag::kNobr)) {
        Token end = t;
        end.kind = TokenKind::kEndTag;
        if (!AdoptionAgency(end)) AnyOtherEndTag(end);
        ReconstructFormatting();
      }
      PushFormatting(InsertElement(t));
      return true;
    case Tag::kApplet:
    case Tag::kMarquee:
    case Tag::kObject:
      ReconstructFormatting();
      InsertElement(t);
      formatting_.push_back(kMarker);
      frameset_ok_ = false;
      return true;
    case Tag::kTable:
      if (!quirks_ && InScope(Tag::kP, Scope::kButton)) ClosePElement();
      InsertElement(t);
      frameset_ok_ = false;
      mode_ = Mode::kInTable;
      return true;
    case Tag::kArea:
    case Tag::kBr:
    case Tag::kEmbed:
    case Tag::kImg:
    case Tag::kKeygen:
    case Tag::kWbr:
      ReconstructFormatting();
      InsertElement(t);
      Pop();
      frameset_ok_ = false;
      return true;
    case Tag::kInput: {
      ReconstructFormatting();
      InsertElement(t);
      Pop();
      const Attribute* type = FindIn(t, u"type");
      if (type == nullptr || LowerAscii(type->value) != u"hidden") frameset_ok_ = false;
      return true;
    }
    case Tag::kParam:
    case Tag::kSource:
    case Tag::kTrack:
      InsertElement(t);
      Pop();
      return true;
    case Tag::kHr:
      if (InScope(Tag::kP, Scope::kButton)) ClosePElement();
      InsertElement(t);
      Pop();
      frameset_ok_ = false;
      return true;
    case Tag::kImage:
      t.tag = Tag::kImg;
      t.text = u"img";
      return false;
    case Tag::kTextarea:
      InsertElement(t);
      skip_newline_ = true;
      tokenizer_.SwitchTo(TextState::kRcdata);
      original_mode_ = mode_;
      frameset_ok_ = false;
      mode_ = Mode::kText;
      return true;
    case Tag::kXmp:
      if (InScope(Tag::kP, Scope::kButton)) ClosePElement();
      ReconstructFormatting();
      frameset_ok_ = false;
      GenericText(t, TextState::kRawtext);
      return true;
    case Tag::kIframe:
      frameset_ok_ = false;
      GenericText(t, TextState::kRawtext);
      return true;
    case Tag::kNoscript:
      if (!scripting_) {
        ReconstructFormatting();
        InsertElement(t);
        return true;
      }
      GenericText(t, TextState::kRawtext);
      return true;
    case Tag::kNoembed:
      GenericText(t, TextState::kRawtext);
      return true;
    case Tag::kSelect:
      ReconstructFormatting();
      InsertElement(t);
      frameset_ok_ = false;
      mode_ = (mode_ == Mode::kInTable || mode_ == Mode::kInCaption ||
               mode_ == Mode::kInTableBody || mode_ == Mode::kInRow || mode_ == Mode::kInCell)
                  ? Mode::kInSelectInTable
                  : Mode::kInSelect;
      return true;
    case Tag::kOptgroup:
    case Tag::kOption:
      if (Is(Current(), Tag::kOption)) Pop();
      ReconstructFormatting();
      InsertElement(t);
      return true;
    case Tag::kRb:
    case Tag::kRtc:
      if (InScope(Tag::kRuby)) GenerateImpliedEndTags();
      InsertElement(t);
      return true;
    case Tag::kRp:
    case Tag::kRt:
      if (InScope(Tag::kRuby)) GenerateImpliedEndTags(Tag::kRtc);
      InsertElement(t);
      return true;
    case Tag::kMath:
    case Tag::kSvg:
      ReconstructFormatting();
      InsertElement(t, t.tag == Tag::kMath ? Namespace::kMathMl : Namespace::kSvg);
      if (t.self_closing) Pop();
      return true;
    case Tag::kCaption:
    case Tag::kCol:
    case Tag::kColgroup:
    case Tag::kFrame:
    case Tag::kHead:
    case Tag::kTbody:
    case Tag::kTd:
    case Tag::kTfoot:
    case Tag::kTh:
    case Tag::kThead:
    case Tag::kTr:
      return true;
    default:
      ReconstructFormatting();
      InsertElement(t);
      return true;
  }
}

bool TreeBuilder::InBodyEndTag(Token& t) {
  switch (t.tag) {
    case Tag::kTemplate:
      return InHead(t);
    case Tag::kBody:
      if (InScope(Tag::kBody)) mode_ = Mode::kAfterBody;
      return true;
    case Tag::kHtml:
      if (!InScope(Tag::kBody)) return true;
      mode_ = Mode::kAfterBody;
      return false;
    case Tag::kAddress:
    case Tag::kArticle:
    case Tag::kAside:
    case Tag::kBlockquote:
    case Tag::kButton:
    case Tag::kCenter:
    case Tag::kDetails:
    case Tag::kDialog:
    case Tag::kDir:
    case Tag::kDiv:
    case Tag::kDl:
    case Tag::kFieldset:
    case Tag::kFigcaption:
    case Tag::kFigure:
    case Tag::kFooter:
    case Tag::kHeader:
    case Tag::kHgroup:
    case Tag::kListing:
    case Tag::kMain:
    case Tag::kMenu:
    case Tag::kNav:
    case Tag::kOl:
    case Tag::kPre:
    case Tag::kSearch:
    case Tag::kSection:
    case Tag::kSummary:
    case Tag::kUl:
      if (!InScope(t.tag)) return true;
      GenerateImpliedEndTags();
      PopUntil(t.tag);
      return true;
    case Tag::kForm:
      if (templates_open_ == 0) {
        const NodeId form = form_;
        form_ = kNoNode;
        if (form == kNoNode || !NodeInScope(form)) return true;
        GenerateImpliedEndTags();
        RemoveFromStack(form);
      } else {
        if (!InScope(Tag::kForm)) return true;
        GenerateImpliedEndTags();
        PopUntil(Tag::kForm);
      }
      return true;
    case Tag::kP:
      if (!InScope(Tag::kP, Scope::kButton)) InsertElementNamed(Tag::kP);
      ClosePElement();
      return true;
    case Tag::kLi:
      if (!InScope(Tag::kLi, Scope::kListItem)) return true;
      GenerateImpliedEndTags(Tag::kLi);
      PopUntil(Tag::kLi);
      return true;
    case Tag::kDd:
    case Tag::kDt:
      if (!InScope(t.tag)) return true;
      GenerateImpliedEndTags(t.tag);
      PopUntil(t.tag);
      return true;
    case Tag::kH1:
    case Tag::kH2:
    case Tag::kH3:
    case Tag::kH4:
    case Tag::kH5:
    case Tag::kH6: {
      const std::initializer_list<Tag> headings = {Tag::kH1, Tag::kH2, Tag::kH3,
                                                   Tag::kH4, Tag::kH5, Tag::kH6};
      if (std::none_of(headings.begin(), headings.end(), [&](Tag h) { return InScope(h); })) {
        return true;
      }
      GenerateImpliedEndTags();
      PopUntilOneOf(headings);
      return true;
    }
    case Tag::kA:
    case Tag::kB:
    case Tag::kBig:
    case Tag::kCode:
    case Tag::kEm:
    case Tag::kFont:
    case Tag::kI:
    case Tag::kNobr:
    case Tag::kS:
    case Tag::kSmall:
    case Tag::kStrike:
    case Tag::kStrong:
    case Tag::kTt:
    case Tag::kU:
      if (!AdoptionAgency(t)) AnyOtherEndTag(t);
      return true;
    case Tag::kApplet:
    case Tag::kMarquee:
    case Tag::kObject:
      if (!InScope(t.tag)) return true;
      GenerateImpliedEndTags();
      PopUntil(t.tag);
      ClearFormattingToMarker();
      return true;
    case Tag::kBr: {
      Token br = t;
      br.kind = TokenKind::kStartTag;
      br.attributes = {};
      return InBodyStartTag(br);
    }
    default:
      AnyOtherEndTag(t);
      return true;
  }
}

}  // namespace pagelift::html
