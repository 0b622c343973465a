#include "text/html_writer.h"

#include "text/markdown_writer.h"
#include "text/unicode_tables.h"
#include "text/url_resolve.h"

namespace pagelift {

using html::NodeId;
using html::Tag;

namespace {

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

// The element written for a page's element, or null for none (its content stays).
const char16_t* ElementFor(Tag tag, Role role, bool in_pre) {
  switch (tag) {
    case Tag::kH1:
      return u"h1";
    case Tag::kH2:
      return u"h2";
    case Tag::kH3:
      return u"h3";
    case Tag::kH4:
      return u"h4";
    case Tag::kH5:
      return u"h5";
    case Tag::kH6:
      return u"h6";
    case Tag::kUl:
    case Tag::kMenu:
    case Tag::kDir:
      return in_pre ? nullptr : u"ul";
    case Tag::kOl:
      return in_pre ? nullptr : u"ol";
    case Tag::kBlockquote:
      return u"blockquote";
    case Tag::kStrong:
    case Tag::kB:
      return u"strong";
    case Tag::kEm:
    case Tag::kI:
      return u"em";
    case Tag::kCode:
    case Tag::kKbd:
    case Tag::kSamp:
    case Tag::kTt:
      return u"code";
    default:
      break;
  }
  if (in_pre || tag == Tag::kHtml || tag == Tag::kBody) return nullptr;
  if (tag == Tag::kP) return u"p";
  switch (role) {
    case Role::kParagraph:
      return u"div";
    case Role::kListItem:
      return u"li";
    case Role::kPre:
      return u"pre";
    case Role::kLine:
    case Role::kRow:
    case Role::kCell:
      return u"div";
    default:
      return nullptr;
  }
}

}  // namespace

HtmlWriter::HtmlWriter(const html::Document& document, std::u16string_view url)
    : document_(document), base_(BaseOf(document, url)), url_(url) {
  // About the page's text with its tags: the document grows without copying itself over.
  body_.reserve(document.TextUnits() + document.TextUnits() / 4);
}

std::u16string HtmlWriter::Address(std::u16string_view reference) const {
  const std::u16string url =
      base_.empty() ? ResolveUrl(u"", reference) : ResolveUrl(base_, reference);
  const std::u16string scheme = SchemeOf(url);
  return scheme == u"http" || scheme == u"https" ? url : std::u16string();
}

void HtmlWriter::Escape(std::u16string_view text, bool attribute) {
  for (const char16_t c : text) {
    switch (c) {
      case u'&':
        body_ += u"&amp;";
        break;
      case u'<':
        body_ += u"&lt;";
        break;
      case u'>':
        body_ += u"&gt;";
        break;
      case u'"':
        body_ += attribute ? u"&quot;" : u"\"";
        break;
      case u'\0':
        break;
      default:
        body_.push_back(c);
    }
  }
}

void HtmlWriter::Title(std::u16string_view title) {
  if (!title.empty()) {
    body_ += u"<h1>";
    Escape(title, false);
    body_ += u"</h1>\n";
  }
  if (const std::u16string address = Address(url_); !address.empty()) {
    body_ += u"<p><a href=\"";
    Escape(address, true);
    body_ += u"\">";
    Escape(address, false);
    body_ += u"</a></p>\n";
  }
}

void HtmlWriter::Enter(NodeId node, Tag tag, Role role, const ElementAttributes& attributes) {
  const char16_t* element = nullptr;
  // A blank before inline content goes before its tag.
  if (space_ && pre_ == 0 && (role == Role::kInline || role == Role::kImage) && !body_.empty() &&
      body_.back() != u'\n' && !spaced_) {
    body_ += u' ';
    spaced_ = true;
  }
  space_ = space_ && !spaced_;
  if (role == Role::kBreak) {
    body_ += pre_ > 0 ? u"\n" : u"<br>";
  } else if (role == Role::kImage) {
    const auto src = attributes.Find(u"src");
    const std::u16string address = src ? Address(*src) : std::u16string();
    const std::u16string_view alt = attributes.Find(u"alt").value_or(u"");
    if (!address.empty() && pre_ == 0) {
      body_ += u"<img src=\"";
      Escape(address, true);
      body_ += u"\" alt=\"";
      Escape(alt, true);
      body_ += u"\">";
    } else {
      Escape(alt, false);
    }
    spaced_ = false;
  } else if (tag == Tag::kA && pre_ == 0) {
    const auto href = attributes.Find(u"href");
    if (const std::u16string address = href ? Address(*href) : std::u16string(); !address.empty()) {
      body_ += u"<a href=\"";
      Escape(address, true);
      body_ += u"\">";
      element = u"a";
    }
  } else if (tag == Tag::kTable && pre_ == 0 && IsDataTable(document_, node)) {
    ++table_;
    element = u"table";
  } else if (table_ > 0 && pre_ == 0 && (tag == Tag::kTr || tag == Tag::kTd || tag == Tag::kTh)) {
    element = tag == Tag::kTr ? u"tr" : tag == Tag::kTd ? u"td" : u"th";
  } else {
    element = ElementFor(tag, role, pre_ > 0);
    if (element != nullptr && table_ > 0 && std::u16string_view(element) == u"div")
      element = nullptr;
  }
  if (role == Role::kPre && pre_ == 0) ++pre_, element = u"pre";
  if (element != nullptr && tag != Tag::kA) {
    body_ += u'<';
    body_ += element;
    body_ += u'>';
  }
  if (element != nullptr && std::u16string_view(element) != u"a" &&
      std::u16string_view(element) != u"strong" && std::u16string_view(element) != u"em" &&
      std::u16string_view(element) != u"code") {
    space_ = false;
    spaced_ = false;
  }
  closes_.push_back(element);
}

void HtmlWriter::Leave() {
  if (closes_.empty()) return;
  const char16_t* element = closes_.back();
  closes_.pop_back();
  if (element == nullptr) return;
  const std::u16string_view name(element);
  body_ += u"</";
  body_ += name;
  body_ += u'>';
  if (name == u"pre") --pre_;
  if (name == u"table") --table_;
  const bool inline_element = name == u"a" || name == u"strong" || name == u"em" || name == u"code";
  if (!inline_element) body_ += u'\n';
}

void HtmlWriter::Text(std::u16string_view text) {
  if (pre_ > 0) {
    Escape(text, false);
    return;
  }
  // White space collapses, and a line end between two wide characters goes, as in the
  // readable form.
  std::size_t at = 0;
  while (at < text.size()) {
    if (IsBlank(text[at])) {
      const std::size_t end = text.find_first_not_of(u" \t\n\r\f", at);
      const bool line_end =
          text.substr(at, end - at).find_first_of(u"\n\r") != std::u16string_view::npos;
      const char16_t before = body_.empty() ? u' ' : body_.back();
      const char16_t after = end == std::u16string_view::npos ? u' ' : text[end];
      if (!(line_end && IsEastAsianWide(before) && IsEastAsianWide(after))) space_ = true;
      at = end == std::u16string_view::npos ? text.size() : end;
      continue;
    }
    const std::size_t end = std::min(text.find_first_of(u" \t\n\r\f", at), text.size());
    if (space_ && !spaced_ && !body_.empty() && body_.back() != u'\n') body_ += u' ';
    space_ = false;
    spaced_ = false;
    Escape(text.substr(at, end - at), false);
    at = end;
  }
}

std::u16string HtmlWriter::Finish() {
  // The title is the first heading; a <title> beside it would be pasted twice by some.
  std::u16string out = u"<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"></head><body>\n";
  out += body_;
  out += u"</body></html>\n";
  return out;
}

}  // namespace pagelift
