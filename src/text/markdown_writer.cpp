#include "text/markdown_writer.h"

#include <algorithm>

#include "text/url_resolve.h"

namespace pagelift {

using html::NodeId;
using html::Tag;

namespace {

bool IsList(Tag tag) {
  return tag == Tag::kUl || tag == Tag::kOl || tag == Tag::kMenu || tag == Tag::kDir;
}

std::int64_t NumberOr(std::optional<std::u16string_view> text, std::int64_t fallback) {
  if (!text) return fallback;
  std::u16string_view digits = *text;
  while (!digits.empty() && digits.front() == u' ') digits.remove_prefix(1);
  std::int64_t value = 0;
  std::size_t k = 0;
  for (; k < digits.size() && k < 9 && digits[k] >= u'0' && digits[k] <= u'9'; ++k) {
    value = value * 10 + (digits[k] - u'0');
  }
  return k == 0 ? fallback : value;
}

// The language of a code block, from class="language-cpp" (or "lang-cpp").
std::u16string LanguageOf(std::optional<std::u16string_view> classes) {
  if (!classes) return {};
  std::u16string_view rest = *classes;
  while (!rest.empty()) {
    const std::size_t end = std::min(rest.find(u' '), rest.size());
    std::u16string_view word = rest.substr(0, end);
    rest.remove_prefix(std::min(end + 1, rest.size()));
    for (const std::u16string_view prefix : {u"language-", u"lang-"}) {
      if (!word.starts_with(prefix) || word.size() == prefix.size()) continue;
      std::u16string language;
      for (const char16_t c : word.substr(prefix.size())) {
        const bool fits = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                          (c >= u'0' && c <= u'9') || c == u'-' || c == u'+' || c == u'_' ||
                          c == u'.' || c == u'#';
        if (!fits) return {};
        language.push_back(c);
      }
      return language;
    }
  }
  return {};
}

}  // namespace

std::u16string BaseOf(const html::Document& document, std::u16string_view url) {
  std::u16string base(url);
  // The first <base href> decides where the page's references lead.
  for (NodeId node = html::Document::kRoot; node != html::kNoNode; node = document.Next(node)) {
    if (!document.IsHtml(node, Tag::kBase)) continue;
    if (const auto href = document.FindAttribute(node, u"href")) {
      base = base.empty() ? std::u16string(*href) : ResolveUrl(base, *href);
      break;
    }
  }
  if (SchemeOf(base).empty()) base.clear();
  return base;
}

MarkdownWriter::MarkdownWriter(const html::Document& document, std::u16string_view url)
    : document_(document), base_(BaseOf(document, url)), url_(url) {
  // About the page's text with its marks: the Markdown grows without copying itself over.
  out_.reserve(document.TextUnits() + document.TextUnits() / 8);
}

void MarkdownWriter::Title(std::u16string_view title) {
  MarkdownInline heading;
  heading.Text(title);
  if (!heading.empty()) {
    out_ += u"# ";
    out_ += heading.Take(false);
    out_ += u'\n';
  }
  if (!SchemeOf(url_).empty()) {
    out_ += u'<';
    out_ += Destination(url_, false);
    out_ += u">\n";
  }
}

std::u16string MarkdownWriter::Destination(std::u16string_view reference, bool picture) const {
  const std::u16string url =
      base_.empty() ? ResolveUrl(u"", reference) : ResolveUrl(base_, reference);
  const std::u16string scheme = SchemeOf(url);
  if (url.empty() || scheme == u"javascript" || scheme == u"vbscript" || scheme == u"data" ||
      (picture && !scheme.empty() && scheme != u"http" && scheme != u"https")) {
    return {};
  }
  std::u16string out;
  out.reserve(url.size());
  for (const char16_t c : url) {
    switch (c) {
      case u' ':
        out += u"%20";
        break;
      case u'(':
        out += u"%28";
        break;
      case u')':
        out += u"%29";
        break;
      case u'<':
        out += u"%3C";
        break;
      case u'>':
        out += u"%3E";
        break;
      default:
        if (c >= u' ') out.push_back(c);
    }
  }
  return out;
}

bool IsDataTable(const html::Document& document, NodeId table) {
  bool header = false;
  for (NodeId node = document.FirstChild(table); node != html::kNoNode;) {
    if (document.Kind(node) == html::NodeKind::kElement &&
        document.NamespaceOf(node) == html::Namespace::kHtml) {
      const Tag tag = document.TagOf(node);
      if (tag == Tag::kTable) return false;
      header = header || tag == Tag::kTh || tag == Tag::kThead || tag == Tag::kCaption;
    }
    // Next in document order, but never out of the table.
    if (document.FirstChild(node) != html::kNoNode) {
      node = document.FirstChild(node);
      continue;
    }
    while (node != table && node != html::kNoNode && document.NextSibling(node) == html::kNoNode) {
      node = document.Parent(node);
    }
    if (node == table || node == html::kNoNode) break;
    node = document.NextSibling(node);
  }
  return header;
}

MarkdownWriter::Kind MarkdownWriter::KindOf(NodeId node, Tag tag, Role role,
                                            const ElementAttributes& attributes,
                                            std::u16string& url) {
  if (pre_ > 0) {
    if (tag == Tag::kCode && language_.empty()) language_ = LanguageOf(attributes.Find(u"class"));
    return Kind::kPlain;
  }
  switch (tag) {
    case Tag::kStrong:
    case Tag::kB:
      return Kind::kStrong;
    case Tag::kEm:
    case Tag::kI:
      return Kind::kEmphasis;
    case Tag::kCode:
    case Tag::kKbd:
    case Tag::kSamp:
    case Tag::kTt:
      return Kind::kCode;
    case Tag::kA:
      if (const auto href = attributes.Find(u"href")) url = Destination(*href, false);
      return Kind::kLink;
    default:
      break;
  }
  if (table_ > 0) {
    if (tag == Tag::kTr) return Kind::kRow;
    if (tag == Tag::kTd || tag == Tag::kTh) return in_cell_ ? Kind::kPlain : Kind::kCell;
    if (tag == Tag::kCaption) return Kind::kCaption;
    return Kind::kPlain;
  }
  if (tag == Tag::kTable) return IsDataTable(document_, node) ? Kind::kTable : Kind::kBlock;
  if (html::HeadingLevel(tag) > 0) return Kind::kHeading;
  if (tag == Tag::kBlockquote) return Kind::kQuote;
  if (IsList(tag)) return Kind::kList;
  if (role == Role::kListItem) return Kind::kItem;
  if (role == Role::kPre) return Kind::kPre;
  const bool block =
      role == Role::kLine || role == Role::kParagraph || role == Role::kCell || role == Role::kRow;
  return block ? Kind::kBlock : Kind::kPlain;
}

MarkdownInline& MarkdownWriter::Inline() {
  return in_cell_ ? cell_ : in_caption_ ? caption_ : inline_;
}

void MarkdownWriter::Enter(NodeId node, Tag tag, Role role, const ElementAttributes& attributes) {
  std::u16string url;
  const Kind kind = KindOf(node, tag, role, attributes, url);
  const bool block_in_cell = (in_cell_ || in_caption_) && role != Role::kInline &&
                             role != Role::kImage && role != Role::kBreak;
  // Blocks inside <pre> keep their lines, and cells their tabs, as the readable form has.
  const bool line_in_pre =
      pre_ > 0 && (role == Role::kLine || role == Role::kParagraph || role == Role::kListItem ||
                   role == Role::kRow || role == Role::kPre);
  open_.push_back({kind, url, block_in_cell, line_in_pre});
  if (block_in_cell) Inline().Space();
  if (line_in_pre) EndPreLine();
  if (pre_ > 0 && role == Role::kCell && !pre_text_.empty() && pre_text_.back() != u'\n') {
    pre_text_ += u'\t';
  }
  if (role == Role::kBreak) {
    if (pre_ > 0) {
      pre_text_ += u'\n';
    } else if (heading_ > 0 || table_ > 0) {
      Inline().Space();
    } else {
      Inline().HardBreak();
    }
    return;
  }
  if (role == Role::kImage && pre_ > 0) {
    // A code block holds no markup: a picture in it is its alternative text.
    pre_text_ += attributes.Find(u"alt").value_or(u"");
    return;
  }
  if (role == Role::kImage) {
    const auto src = attributes.Find(u"src");
    const std::u16string target = src ? Destination(*src, true) : std::u16string();
    const std::u16string alt(attributes.Find(u"alt").value_or(u""));
    if (!target.empty()) {
      Inline().Picture(alt, target);
    } else {
      Inline().Text(alt);
    }
    return;
  }
  switch (kind) {
    case Kind::kPlain:
      return;
    case Kind::kStrong:
      Inline().Open(MarkdownInline::Mark::kStrong);
      return;
    case Kind::kEmphasis:
      Inline().Open(MarkdownInline::Mark::kEmphasis);
      return;
    case Kind::kCode:
      Inline().Open(MarkdownInline::Mark::kCode);
      return;
    case Kind::kLink:
      Inline().Open(MarkdownInline::Mark::kLink);
      return;
    case Kind::kRow:
      rows_.emplace_back();
      return;
    case Kind::kCell:
      in_cell_ = true;
      if (rows_.empty()) rows_.emplace_back();
      return;
    case Kind::kCaption:
      in_caption_ = true;
      return;
    default:
      break;
  }
  if (table_ > 0) return;
  Flush();
  switch (kind) {
    case Kind::kHeading:
      heading_ = html::HeadingLevel(tag);
      break;
    case Kind::kQuote:
      containers_.push_back({true, {}});
      break;
    case Kind::kList:
      lists_.push_back({tag == Tag::kOl, NumberOr(attributes.Find(u"start"), 1)});
      break;
    case Kind::kItem: {
      if (lists_.empty()) lists_.push_back({false, 1});
      List& list = lists_.back();
      std::u16string marker = u"- ";
      if (list.ordered) {
        list.next = NumberOr(attributes.Find(u"value"), list.next);
        const std::string number = std::to_string(list.next++);
        marker = std::u16string(number.begin(), number.end()) + u". ";
      }
      containers_.push_back({false, marker});
      ++items_;
      break;
    }
    case Kind::kPre:
      ++pre_;
      pre_text_.clear();
      language_ = LanguageOf(attributes.Find(u"class"));
      break;
    case Kind::kTable:
      ++table_;
      rows_.clear();
      break;
    default:
      break;
  }
}

void MarkdownWriter::Leave() {
  if (open_.empty()) return;
  const Open open = std::move(open_.back());
  open_.pop_back();
  if (open.block) Inline().Space();
  if (open.line) EndPreLine();
  switch (open.kind) {
    case Kind::kPlain:
      return;
    case Kind::kStrong:
      Inline().Close(MarkdownInline::Mark::kStrong);
      return;
    case Kind::kEmphasis:
      Inline().Close(MarkdownInline::Mark::kEmphasis);
      return;
    case Kind::kCode:
      Inline().Close(MarkdownInline::Mark::kCode);
      return;
    case Kind::kLink:
      Inline().Close(MarkdownInline::Mark::kLink, open.url);
      return;
    case Kind::kRow:
      return;
    case Kind::kCell:
      rows_.back().push_back(cell_.Take(false));
      in_cell_ = false;
      return;
    case Kind::kCaption:
      in_caption_ = false;
      return;
    default:
      break;
  }
  if (table_ > 0 && open.kind != Kind::kTable) return;
  if (open.kind == Kind::kPre) {
    WriteCodeBlock();
    --pre_;
    return;
  }
  Flush();
  switch (open.kind) {
    case Kind::kHeading:
      heading_ = 0;
      break;
    case Kind::kQuote:
    case Kind::kItem:
      if (!containers_.empty()) {
        if (!containers_.back().quote) --items_;
        containers_.pop_back();
      }
      break;
    case Kind::kList:
      if (!lists_.empty()) lists_.pop_back();
      break;
    case Kind::kTable:
      --table_;
      WriteTable();
      break;
    default:
      break;
  }
}

void MarkdownWriter::Text(std::u16string_view text) {
  if (pre_ > 0) {
    pre_text_ += text;
  } else {
    Inline().Text(text);
  }
}

void MarkdownWriter::Flush() {
  if (inline_.empty()) return;
  std::u16string text = inline_.Take(heading_ == 0);
  if (text.empty()) return;
  if (heading_ > 0) text = std::u16string(static_cast<std::size_t>(heading_), u'#') + u" " + text;
  WriteBlock(text);
}

}  // namespace pagelift
