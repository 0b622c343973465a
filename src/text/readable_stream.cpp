#include "text/readable_stream.h"

#include <algorithm>
#include <span>

namespace pagelift {

namespace {

using html::Tag;

class TokenAttributes final : public ElementAttributes {
 public:
  explicit TokenAttributes(std::span<const html::Attribute> attributes) : attributes_(attributes) {}
  std::optional<std::u16string_view> Find(std::u16string_view name) const override {
    for (const html::Attribute& attribute : attributes_) {
      if (attribute.name == name) return attribute.value;
    }
    return std::nullopt;
  }

 private:
  std::span<const html::Attribute> attributes_;
};

template <typename... Tags>
bool IsOneOf(Tag tag, Tags... tags) {
  return ((tag == tags) || ...);
}

// Elements without content: no end tag closes them.
bool IsVoid(Tag tag) {
  return IsOneOf(tag, Tag::kArea, Tag::kBase, Tag::kBasefont, Tag::kBgsound, Tag::kBr, Tag::kCol,
                 Tag::kEmbed, Tag::kFrame, Tag::kHr, Tag::kImg, Tag::kImage, Tag::kInput,
                 Tag::kKeygen, Tag::kLink, Tag::kMeta, Tag::kParam, Tag::kSource, Tag::kTrack,
                 Tag::kWbr);
}

// Start tags that close an open paragraph.
bool ClosesParagraph(Tag tag) {
  return IsOneOf(tag, Tag::kAddress, Tag::kArticle, Tag::kAside, Tag::kBlockquote, Tag::kCenter,
                 Tag::kDetails, Tag::kDialog, Tag::kDir, Tag::kDiv, Tag::kDl, Tag::kFieldset,
                 Tag::kFigcaption, Tag::kFigure, Tag::kFooter, Tag::kForm, Tag::kH1, Tag::kH2,
                 Tag::kH3, Tag::kH4, Tag::kH5, Tag::kH6, Tag::kHeader, Tag::kHgroup, Tag::kHr,
                 Tag::kListing, Tag::kMain, Tag::kMenu, Tag::kNav, Tag::kOl, Tag::kP,
                 Tag::kPlaintext, Tag::kPre, Tag::kSearch, Tag::kSection, Tag::kSummary,
                 Tag::kTable, Tag::kUl, Tag::kXmp, Tag::kLi, Tag::kDd, Tag::kDt);
}

// The tokenizer's state for an HTML element's content, as a tree builder switches it.
std::optional<html::TextState> ContentState(Tag tag) {
  switch (tag) {
    case Tag::kScript:
      return html::TextState::kScriptData;
    case Tag::kStyle:
    case Tag::kXmp:
    case Tag::kIframe:
    case Tag::kNoembed:
    case Tag::kNoframes:
    case Tag::kNoscript:
      return html::TextState::kRawtext;
    case Tag::kTextarea:
    case Tag::kTitle:
      return html::TextState::kRcdata;
    case Tag::kPlaintext:
      return html::TextState::kPlaintext;
    default:
      return std::nullopt;
  }
}

// Browsers keep no more elements open than this; a deeper one closes the deepest first.
constexpr std::size_t kMostOpen = 512;

// The most of a title that is kept: its text waits whole until the title ends.
constexpr std::size_t kLongestTitle = std::size_t{1} << 20;

}  // namespace

ReadableStream::ReadableStream(double width) : layout_(width) {}

void ReadableStream::Append(std::u16string_view more) {
  tokenizer_.Append(more);
  Drain();
}

std::u16string ReadableStream::Finish() {
  tokenizer_.EndOfInput();
  Drain();
  // A title never closed holds the rest of the page, as it would in a tree.
  if (in_title_ && !title_given_ && !content_seen_) layout_.Title(title_);
  CloseTo(0);
  return layout_.Finish();
}

void ReadableStream::Drain() {
  for (;;) {
    tokenizer_.SetCdataAllowed(InForeign());
    html::Token& token = tokenizer_.Next();
    switch (token.kind) {
      case html::TokenKind::kNeedInput:
      case html::TokenKind::kEndOfFile:
        return;
      case html::TokenKind::kCharacters:
        Characters(token.text);
        break;
      case html::TokenKind::kStartTag:
        StartTag(token);
        break;
      case html::TokenKind::kEndTag:
        EndTag(token);
        break;
      case html::TokenKind::kComment:
      case html::TokenKind::kDoctype:
        break;
    }
  }
}

void ReadableStream::Characters(std::u16string_view text) {
  if (skip_depth_ > 0) return;
  if (in_title_) {
    // Never more than kLongestTitle units: a title never closed takes the rest of the page.
    title_ += text.substr(0, kLongestTitle - std::min(kLongestTitle, title_.size()));
    return;
  }
  if (drop_newline_ && text.starts_with(u'\n')) text.remove_prefix(1);
  drop_newline_ = false;
  if (text.empty()) return;
  content_seen_ = true;
  layout_.Text(text);
}

void ReadableStream::StartTag(html::Token& token) {
  const Tag tag = token.tag;
  const bool foreign = InForeign() || tag == Tag::kSvg || tag == Tag::kMath;
  if (!foreign) {
    if (const auto state = ContentState(tag)) tokenizer_.SwitchTo(*state);
  }
  drop_newline_ = false;
  if (skip_depth_ > 0) {
    if (tag == skipped_ && (tag != Tag::kUnknown || token.text == skipped_name_) && !IsVoid(tag) &&
        !(foreign && token.self_closing)) {
      ++skip_depth_;
    }
    return;
  }
  if (!foreign) {
    // The page's frame: its parts are taken as they come.
    if (IsOneOf(tag, Tag::kHtml, Tag::kHead, Tag::kBody)) return;
    if (tag == Tag::kTitle) {
      in_title_ = true;
      title_.clear();
      return;
    }
    if (ClosesParagraph(tag)) {
      CloseInnermost({Tag::kP}, {Tag::kTable, Tag::kTd, Tag::kTh, Tag::kCaption, Tag::kButton,
                                 Tag::kObject, Tag::kMarquee, Tag::kTemplate});
    }
    if (tag == Tag::kLi) CloseInnermost({Tag::kLi}, {Tag::kUl, Tag::kOl, Tag::kMenu, Tag::kDir});
    if (tag == Tag::kDt || tag == Tag::kDd) CloseInnermost({Tag::kDt, Tag::kDd}, {Tag::kDl});
    if (tag == Tag::kTr) CloseInnermost({Tag::kTr}, {Tag::kTable});
    if (tag == Tag::kTd || tag == Tag::kTh) {
      CloseInnermost({Tag::kTd, Tag::kTh}, {Tag::kTr, Tag::kTable});
    }
    if (tag == Tag::kOption) CloseInnermost({Tag::kOption}, {Tag::kSelect});
  }
  const TokenAttributes attributes(token.attributes);
  const Role role = RoleOf(tag, !foreign, attributes);
  const bool no_content = foreign ? token.self_closing : IsVoid(tag);
  if (role == Role::kDropped) {
    if (!no_content) {
      skipped_ = tag;
      skipped_name_ = tag == Tag::kUnknown ? std::u16string(token.text) : std::u16string();
      skip_depth_ = 1;
    }
    return;
  }
  if (open_.size() >= kMostOpen) CloseTo(open_.size() - 1);
  layout_.Enter(tag, role, attributes);
  if (no_content) {
    layout_.Leave();
    return;
  }
  open_.push_back(
      {tag, foreign, tag == Tag::kUnknown ? std::u16string(token.text) : std::u16string()});
  drop_newline_ = !foreign && (tag == Tag::kPre || tag == Tag::kListing);
}

void ReadableStream::EndTag(const html::Token& token) {
  const Tag tag = token.tag;
  if (skip_depth_ > 0) {
    if (tag == skipped_ && (tag != Tag::kUnknown || token.text == skipped_name_)) --skip_depth_;
    return;
  }
  drop_newline_ = false;
  if (tag == Tag::kTitle && in_title_) {
    in_title_ = false;
    // The title goes first, or not at all: what came before it cannot wait for it.
    if (!title_given_ && !content_seen_) layout_.Title(title_);
    title_given_ = true;
    return;
  }
  if (tag == Tag::kBr && !InForeign()) {  // </br> is taken for <br>
    const TokenAttributes none({});
    layout_.Enter(tag, Role::kBreak, none);
    layout_.Leave();
    return;
  }
  for (std::size_t k = open_.size(); k-- > 0;) {
    if (open_[k].tag == tag && (tag != Tag::kUnknown || open_[k].name == token.text)) {
      CloseTo(k);
      return;
    }
  }
}

void ReadableStream::CloseTo(std::size_t index) {
  while (open_.size() > index) {
    open_.pop_back();
    layout_.Leave();
  }
}

void ReadableStream::CloseInnermost(std::initializer_list<Tag> tags,
                                    std::initializer_list<Tag> stops) {
  for (std::size_t k = open_.size(); k-- > 0;) {
    const Tag open = open_[k].tag;
    if (std::find(tags.begin(), tags.end(), open) != tags.end()) {
      CloseTo(k);
      return;
    }
    if (std::find(stops.begin(), stops.end(), open) != stops.end()) return;
  }
}

}  // namespace pagelift
