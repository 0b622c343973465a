#include "text/readable_layout.h"

#include <algorithm>
#include <charconv>

#include "html/tokenizer.h"
#include "text/unicode_tables.h"

namespace pagelift {

namespace {

using html::Tag;

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

char16_t Lower(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
}

// `text` without its blanks, in lowercase ASCII: "Display : None" is "display:none".
std::u16string Squeezed(std::u16string_view text) {
  std::u16string out;
  for (const char16_t c : text) {
    if (!IsBlank(c)) out.push_back(Lower(c));
  }
  return out;
}

}  // namespace

bool IsHidden(const ElementAttributes& attributes) {
  if (attributes.Find(u"hidden")) return true;
  if (const auto aria = attributes.Find(u"aria-hidden"); aria && Squeezed(*aria) == u"true") {
    return true;
  }
  if (const auto style = attributes.Find(u"style")) {
    const std::u16string css = Squeezed(*style);
    return css.find(u"display:none") != std::u16string::npos ||
           css.find(u"visibility:hidden") != std::u16string::npos;
  }
  return false;
}

namespace {

// A number attribute (an ordered list's start, an item's value), if it reads as one.
std::optional<std::int64_t> NumberIn(std::optional<std::u16string_view> value) {
  if (!value) return std::nullopt;
  std::string digits;
  for (const char16_t c : *value) {
    if (IsBlank(c) && digits.empty()) continue;
    if ((c < u'0' || c > u'9') && !(c == u'-' && digits.empty())) break;
    digits.push_back(static_cast<char>(c));
    if (digits.size() > 15) break;
  }
  std::int64_t number = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (error != std::errc() || end == digits.data()) return std::nullopt;
  return number;
}

// Whether an image's alternative text carries words: some letter or digit, and not the
// name of a file.
bool CarriesWords(std::u16string_view alt) {
  const bool words = std::any_of(alt.begin(), alt.end(), [](char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
           (c >= 0xC0 && !IsBlank(c) && c != 0xA0 && (c < 0x2000 || c > 0x206F) &&
            (c < 0x3000 || c > 0x303F) && (c < 0xFF00 || c > 0xFF0F));
  });
  if (!words) return false;
  const std::u16string name = Squeezed(alt);
  for (const std::u16string_view ending :
       {u".png", u".jpg", u".jpeg", u".gif", u".svg", u".webp"}) {
    if (name.ends_with(ending)) return false;
  }
  return true;
}

// Alternative text as a reader should see it. Sites' own software often escapes it twice
// (`alt="Trump&amp;#39;s"`), so the character references still in it are read once more,
// as the tokenizer reads text where "<" is no markup.
std::u16string AlternativeText(std::u16string_view alt) {
  if (alt.find(u'&') == std::u16string_view::npos) return std::u16string(alt);
  html::Tokenizer tokenizer(alt);
  tokenizer.SwitchTo(html::TextState::kRcdata);
  tokenizer.SetLastStartTag(u"\uFFFF");  // no end tag ends it
  std::u16string text;
  for (const html::Token* token = &tokenizer.Next(); token->kind != html::TokenKind::kEndOfFile;
       token = &tokenizer.Next()) {
    if (token->kind == html::TokenKind::kCharacters) text += token->text;
  }
  return text;
}

bool IsList(Tag tag) {
  return tag == Tag::kUl || tag == Tag::kOl || tag == Tag::kMenu || tag == Tag::kDir;
}

// The next code point of `text` from `at`, which moves past it.
char32_t NextCodePoint(std::u16string_view text, std::size_t& at) {
  const char16_t c = text[at++];
  if (c >= 0xD800 && c <= 0xDBFF && at < text.size() && text[at] >= 0xDC00 && text[at] <= 0xDFFF) {
    return 0x10000 + ((char32_t{c} - 0xD800) << 10) + (text[at++] - 0xDC00);
  }
  return c;
}

}  // namespace

Role RoleOf(Tag tag, bool html, const ElementAttributes& attributes) {
  return IsHidden(attributes) ? Role::kDropped : RoleOfShown(tag, html);
}

Role RoleOfShown(Tag tag, bool html) {
  if (!html) {
    // In SVG a title or a description is a tooltip, not text on the page.
    return tag == Tag::kTitle || tag == Tag::kDesc ? Role::kDropped : Role::kInline;
  }
  switch (tag) {
    case Tag::kScript:
    case Tag::kStyle:
    case Tag::kTemplate:
    case Tag::kNoscript:
    case Tag::kHead:
    case Tag::kTitle:
    case Tag::kRt:
    case Tag::kRp:
    case Tag::kRtc:
    case Tag::kIframe:
    case Tag::kNoembed:
    case Tag::kNoframes:
    case Tag::kFrameset:
    case Tag::kSelect:
    case Tag::kDatalist:
    case Tag::kTextarea:
    case Tag::kInput:
    case Tag::kCanvas:
    case Tag::kAudio:
    case Tag::kVideo:
    case Tag::kMeta:
    case Tag::kLink:
    case Tag::kBase:
    case Tag::kParam:
    case Tag::kSource:
    case Tag::kTrack:
      return Role::kDropped;
    case Tag::kP:
    case Tag::kH1:
    case Tag::kH2:
    case Tag::kH3:
    case Tag::kH4:
    case Tag::kH5:
    case Tag::kH6:
    case Tag::kBlockquote:
    case Tag::kUl:
    case Tag::kOl:
    case Tag::kMenu:
    case Tag::kDir:
    case Tag::kDl:
    case Tag::kTable:
    case Tag::kFigure:
    case Tag::kHr:
    case Tag::kAddress:
    case Tag::kFieldset:
      return Role::kParagraph;
    case Tag::kPre:
    case Tag::kListing:
    case Tag::kXmp:
    case Tag::kPlaintext:
      return Role::kPre;
    case Tag::kLi:
      return Role::kListItem;
    case Tag::kTd:
    case Tag::kTh:
      return Role::kCell;
    case Tag::kTr:
      return Role::kRow;
    case Tag::kBr:
      return Role::kBreak;
    case Tag::kImg:
      return Role::kImage;
    case Tag::kHtml:
    case Tag::kBody:
    case Tag::kDiv:
    case Tag::kSection:
    case Tag::kArticle:
    case Tag::kHeader:
    case Tag::kFooter:
    case Tag::kNav:
    case Tag::kAside:
    case Tag::kMain:
    case Tag::kSearch:
    case Tag::kDt:
    case Tag::kDd:
    case Tag::kCaption:
    case Tag::kFigcaption:
    case Tag::kLegend:
    case Tag::kDetails:
    case Tag::kSummary:
    case Tag::kDialog:
    case Tag::kCenter:
    case Tag::kForm:
    case Tag::kHgroup:
    case Tag::kOption:
    case Tag::kOptgroup:
      return Role::kLine;
    default:
      return Role::kInline;
  }
}

ReadableLayout::ReadableLayout(double width) : folder_(width) {}

void ReadableLayout::Title(std::u16string_view title) {
  AppendCollapsing(title);
  RequestBreak(Break::kBlank);
}

void ReadableLayout::Enter(Tag tag, Role role, const ElementAttributes& attributes) {
  // Inside a list item or a table cell, paragraphs are lines: blank lines there would
  // tear the list or the row apart.
  const bool within = items_and_cells_ > 0;
  const Break block = role == Role::kParagraph || role == Role::kPre
                          ? (within ? Break::kLine : Break::kBlank)
                          : Break::kLine;
  switch (role) {
    case Role::kInline:
    case Role::kDropped:
      break;
    case Role::kLine:
    case Role::kParagraph:
    case Role::kRow:
      RequestBreak(block);
      if (role == Role::kRow) cells_in_row_ = 0;
      break;
    case Role::kPre:
      RequestBreak(block);
      ++pre_depth_;
      break;
    case Role::kListItem: {
      RequestBreak(Break::kLine);
      if (lists_.empty() || !lists_.back().ordered) {
        mark_ = u"・";
        break;
      }
      List& list = lists_.back();
      if (const auto value = NumberIn(attributes.Find(u"value"))) list.next = *value;
      const std::string number = std::to_string(list.next++) + ". ";
      mark_.assign(number.begin(), number.end());
      break;
    }
    case Role::kCell:
      if (cells_in_row_++ > 0) ++cell_tabs_;
      break;
    case Role::kBreak:
      if (!line_.empty()) {
        EndLine();
      } else if (wrote_) {
        break_ = Break::kBlank;
      }
      break;
    case Role::kImage:
      if (const auto alt = attributes.Find(u"alt"); alt && CarriesWords(*alt)) {
        space_ = true;
        AppendCollapsing(AlternativeText(*alt));
        space_ = true;
      }
      break;
  }
  if (IsList(tag)) {
    lists_.push_back({tag == Tag::kOl, NumberIn(attributes.Find(u"start")).value_or(1)});
  }
  if (role == Role::kListItem || role == Role::kCell) ++items_and_cells_;
  open_.push_back({tag, role == Role::kPre || role == Role::kParagraph
                            ? (block == Break::kBlank ? Role::kParagraph : Role::kLine)
                            : role});
}

void ReadableLayout::Leave() {
  if (open_.empty()) return;
  const Open open = open_.back();
  open_.pop_back();
  switch (open.role) {
    case Role::kParagraph:
      RequestBreak(Break::kBlank);
      break;
    case Role::kLine:
    case Role::kRow:
      RequestBreak(Break::kLine);
      break;
    case Role::kListItem:
      RequestBreak(Break::kLine);
      mark_.clear();
      --items_and_cells_;
      break;
    case Role::kCell:
      --items_and_cells_;
      break;
    default:
      break;
  }
  if (open.tag == Tag::kPre || open.tag == Tag::kListing || open.tag == Tag::kXmp ||
      open.tag == Tag::kPlaintext) {
    pre_depth_ = std::max(0, pre_depth_ - 1);
  }
  if (IsList(open.tag) && !lists_.empty()) lists_.pop_back();
}

void ReadableLayout::Text(std::u16string_view text) {
  if (InPre()) {
    AppendPreformatted(text);
  } else {
    AppendCollapsing(text);
  }
}

std::u16string ReadableLayout::Finish() {
  EndLine();
  return folder_.Finish();
}

void ReadableLayout::RequestBreak(Break level) {
  EndLine();
  break_ = std::max(break_, level);
  space_ = false;
  space_held_line_ = false;
  cell_tabs_ = 0;
}

void ReadableLayout::EndLine() {
  if (line_.empty()) return;
  folder_.AddLine(line_, line_pre_);
  line_.clear();
  line_pre_ = false;
  wrote_ = true;
  last_ = 0;
}

void ReadableLayout::BeginContent(char32_t first) {
  const bool starts_line = line_.empty();
  if (starts_line) {
    if (break_ == Break::kBlank && wrote_) folder_.AddLine(u"", false);
    break_ = Break::kNone;
    line_ += mark_;
    mark_.clear();
    line_pre_ = InPre();
  }
  if (cell_tabs_ > 0) {
    // Empty cells keep their places: a row pasted into a spreadsheet fills its columns.
    line_.append(static_cast<std::size_t>(cell_tabs_), u'\t');
  } else if (!starts_line && space_ &&
             !(space_held_line_ && IsEastAsianWide(last_) && IsEastAsianWide(first))) {
    line_.push_back(u' ');
  }
  space_ = false;
  space_held_line_ = false;
  cell_tabs_ = 0;
}

void ReadableLayout::AppendCollapsing(std::u16string_view text) {
  std::size_t at = 0;
  while (at < text.size()) {
    const char16_t c = text[at];
    if (IsBlank(c)) {
      space_ = true;
      if (c == u'\n' || c == u'\r') space_held_line_ = true;
      ++at;
      continue;
    }
    // A run of text up to the next blank, copied at once.
    std::size_t end = at + 1;
    while (end < text.size() && !IsBlank(text[end])) ++end;
    std::size_t first = at;
    // A pair may come cut in two, its high surrogate at the end of the last piece of text.
    const char32_t before = space_ ? 0 : last_;
    BeginContent(NextCodePoint(text, first));
    const std::size_t start = line_.size();
    line_.append(text.substr(at, end - at));
    std::replace(line_.begin() + static_cast<std::ptrdiff_t>(start), line_.end(), u'\u00A0', u' ');
    std::size_t last = end - 1;
    // A low surrogate ends a pair only after a high one; alone it is the last character.
    if (last > at && text[last] >= 0xDC00 && text[last] <= 0xDFFF && text[last - 1] >= 0xD800 &&
        text[last - 1] <= 0xDBFF) {
      --last;
    }
    const bool alone = last == at;
    last_ = NextCodePoint(text, last);
    if (alone && last_ >= 0xDC00 && last_ <= 0xDFFF && before >= 0xD800 && before <= 0xDBFF) {
      last_ = 0x10000 + ((before - 0xD800) << 10) + (last_ - 0xDC00);
    }
    at = end;
  }
}

void ReadableLayout::AppendPreformatted(std::u16string_view text) {
  while (!text.empty()) {
    const std::size_t end = std::min(text.find(u'\n'), text.size());
    const std::u16string_view segment = text.substr(0, end);
    if (!segment.empty()) {
      std::size_t first = 0;
      BeginContent(NextCodePoint(segment, first));
      line_.append(segment);
    }
    if (end == text.size()) break;
    // A line end in <pre> ends the line, an empty one too.
    if (line_.empty()) BeginContent(0);
    folder_.AddLine(line_, true);
    line_.clear();
    line_pre_ = false;
    wrote_ = true;
    last_ = 0;
    text.remove_prefix(end + 1);
  }
}

}  // namespace pagelift
