#include "text/markdown_inline.h"

#include <algorithm>

#include "text/unicode_tables.h"

namespace pagelift {

namespace {

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

// White space as CommonMark's flanking rules see it.
bool IsWhite(char16_t c) {
  return IsBlank(c) || c == 0xA0 || c == 0x3000 || (c >= 0x2000 && c <= 0x200A);
}

bool IsAsciiPunctuation(char16_t c) {
  return (c >= u'!' && c <= u'/') || (c >= u':' && c <= u'@') || (c >= u'[' && c <= u'`') ||
         (c >= u'{' && c <= u'~');
}

// Punctuation and symbols as CommonMark's flanking rules see them: ASCII's, Latin-1's, the
// general punctuation and the CJK and full-width forms Japanese text uses (「」、。！).
bool IsPunctuation(char16_t c) {
  return IsAsciiPunctuation(c) || (c >= 0xA1 && c <= 0xBF && c != 0xAA && c != 0xBA) || c == 0xD7 ||
         c == 0xF7 || (c >= 0x2010 && c <= 0x2027) || (c >= 0x2030 && c <= 0x205E) ||
         (c >= 0x2190 && c <= 0x2BFF) || (c >= 0x3001 && c <= 0x3003) ||
         (c >= 0x3008 && c <= 0x3020) || c == 0x30FB || (c >= 0xFF01 && c <= 0xFF0F) ||
         (c >= 0xFF1A && c <= 0xFF20) || (c >= 0xFF3B && c <= 0xFF40) ||
         (c >= 0xFF5B && c <= 0xFF65);
}

bool LeftFlanking(char16_t before, char16_t after) {
  return !IsWhite(after) && (!IsPunctuation(after) || IsWhite(before) || IsPunctuation(before));
}

bool RightFlanking(char16_t before, char16_t after) {
  return !IsWhite(before) && (!IsPunctuation(before) || IsWhite(after) || IsPunctuation(after));
}

char32_t CodePointAt(std::u16string_view text, std::size_t at) {
  const char16_t c = text[at];
  if (c >= 0xD800 && c <= 0xDBFF && at + 1 < text.size() && text[at + 1] >= 0xDC00 &&
      text[at + 1] <= 0xDFFF) {
    return 0x10000 + ((char32_t{c} - 0xD800) << 10) + (text[at + 1] - 0xDC00);
  }
  return c;
}

// The backslashes a line needs at its start (`line`: the escaped text from there to the
// line's end), so that it begins no heading, quote, list or thematic break.
std::size_t LineStartEscape(std::u16string_view line, bool& escape) {
  escape = false;
  if (line.empty()) return 0;
  const char16_t c = line[0];
  auto ends_marker = [&](std::size_t k) { return k >= line.size() || line[k] == u' '; };
  auto only = [&](char16_t mark) {
    return line.find_first_not_of(std::u16string{mark, u' '}) == std::u16string_view::npos;
  };
  if (c == u'#') {
    std::size_t k = 0;
    while (k < line.size() && line[k] == u'#') ++k;
    escape = k <= 6 && ends_marker(k);
  } else if (c == u'>') {
    escape = true;
  } else if (c == u'-' || c == u'+' || c == u'*') {
    escape = ends_marker(1) || (c == u'-' && only(u'-'));
  } else if (c == u'=') {
    escape = only(u'=');
  } else if (c >= u'0' && c <= u'9') {
    std::size_t k = 0;
    while (k < line.size() && k < 10 && line[k] >= u'0' && line[k] <= u'9') ++k;
    if (k <= 9 && k < line.size() && (line[k] == u'.' || line[k] == u')') && ends_marker(k + 1)) {
      escape = true;
      return k;  // the backslash goes before the "." or ")"
    }
  }
  return 0;
}

}  // namespace

void MarkdownInline::BeginContent(char32_t first) {
  if (!text_.empty() && text_.back() != u'\n' && space_ &&
      !(space_held_line_ && IsEastAsianWide(last_) && IsEastAsianWide(first))) {
    text_.push_back(u' ');
  }
  space_ = false;
  space_held_line_ = false;
}

void MarkdownInline::Text(std::u16string_view text) {
  std::size_t at = 0;
  while (at < text.size()) {
    if (IsBlank(text[at])) {
      space_ = true;
      if (text[at] == u'\n' || text[at] == u'\r') space_held_line_ = true;
      ++at;
      continue;
    }
    std::size_t end = at + 1;
    while (end < text.size() && !IsBlank(text[end])) ++end;
    BeginContent(CodePointAt(text, at));
    const char16_t before = text_.empty() || text_.back() == u'\n' ? u' ' : text_.back();
    Escaped(text.substr(at, end - at), before, end < text.size() ? u' ' : 0);
    std::size_t last = end - 1;
    if (last > at && text[last] >= 0xDC00 && text[last] <= 0xDFFF) --last;
    last_ = CodePointAt(text, last);
    at = end;
  }
}

void MarkdownInline::Escaped(std::u16string_view run, char16_t before_run, char16_t after_run) {
  if (code_ > 0) {
    text_.append(run);
    return;
  }
  // GitHub's reader links a bare address in text without reading escapes in it: from where
  // one begins to a "<", which ends it, nothing is escaped.
  std::size_t link_from = std::u16string_view::npos;
  for (const std::u16string_view start : {u"http://", u"https://", u"www."}) {
    link_from = std::min(link_from, run.find(start));
  }
  const std::size_t link_to = link_from == std::u16string_view::npos
                                  ? link_from
                                  : std::min(run.find(u'<', link_from), run.size());
  for (std::size_t k = 0; k < run.size(); ++k) {
    const char16_t c = run[k];
    if (k >= link_from && k < link_to && !(cell_ && c == u'|')) {
      text_.push_back(c);
      continue;
    }
    const char16_t before = k > 0 ? run[k - 1] : before_run;
    // 0: the run ends the piece, and what follows is not known yet.
    const char16_t after = k + 1 < run.size() ? run[k + 1] : after_run;
    const bool word_before = !IsWhite(before) && !IsPunctuation(before);
    const bool word_after = after != 0 && !IsWhite(after) && !IsPunctuation(after);
    const bool apart = IsWhite(before) && after != 0 && IsWhite(after);
    bool escape = false;
    switch (c) {
      case u'\\':
        escape = after == 0 || IsAsciiPunctuation(after);
        break;
      case u'*':
        escape = !apart;
        break;
      case u'_':
        escape = !apart && !(word_before && word_after);
        break;
      case u'`':
      case u'[':
      case u'~':
        escape = true;
        break;
      case u']':
        escape = links_ > 0;
        break;
      case u'|':
        escape = cell_;
        break;
      case u'<':
        escape = after == 0 || (after >= u'a' && after <= u'z') ||
                 (after >= u'A' && after <= u'Z') || after == u'/' || after == u'!' ||
                 after == u'?';
        break;
      case u'&':
        escape = after == 0 || after == u'#' || (after >= u'a' && after <= u'z') ||
                 (after >= u'A' && after <= u'Z') || (after >= u'0' && after <= u'9');
        break;
      default:
        break;
    }
    if (escape) text_.push_back(u'\\');
    text_.push_back(c);
  }
}

void MarkdownInline::Open(Mark mark) {
  open_.push_back(marks_.size());
  marks_.push_back({text_.size(), mark, true, 0, {}, code_ > 0});
  if (mark == Mark::kCode) ++code_;
  if (mark == Mark::kLink) ++links_;
}

void MarkdownInline::Close(Mark mark, std::u16string_view url) {
  const auto found = std::find_if(open_.rbegin(), open_.rend(),
                                  [&](std::size_t index) { return marks_[index].mark == mark; });
  if (found == open_.rend()) return;
  const std::size_t index = *found;
  open_.erase(std::next(found).base());
  marks_[index].pair = marks_.size();
  marks_.push_back({text_.size(), mark, false, index, std::u16string(url), marks_[index].inert});
  if (mark == Mark::kCode) --code_;
  if (mark == Mark::kLink) --links_;
}

void MarkdownInline::Picture(std::u16string_view alt, std::u16string_view url) {
  BeginContent(u'!');
  text_ += u"![";
  ++links_;
  // The alternative text on one line, its blanks collapsed.
  std::u16string words;
  for (const char16_t c : alt) {
    if (!IsBlank(c)) {
      words.push_back(c);
    } else if (!words.empty() && words.back() != u' ') {
      words.push_back(u' ');
    }
  }
  while (!words.empty() && words.back() == u' ') words.pop_back();
  Escaped(words, u'[', u']');
  --links_;
  text_ += u"](";
  text_ += url;
  text_ += u')';
  last_ = u')';
}

void MarkdownInline::HardBreak() {
  if (code_ > 0) {
    space_ = true;
    return;
  }
  if (!text_.empty() && text_.back() != u'\n') text_.push_back(u'\n');
  space_ = false;
  space_held_line_ = false;
  last_ = 0;
}

bool MarkdownInline::Flanks(const Placed& open, const Placed& close, bool before_open_marked,
                            bool after_open_marked, bool before_close_marked,
                            bool after_close_marked) const {
  if (open.mark != Mark::kStrong && open.mark != Mark::kEmphasis) return true;
  const char16_t before_open = before_open_marked ? u'*' : open.at > 0 ? text_[open.at - 1] : u' ';
  const char16_t after_open = after_open_marked ? u'[' : text_[open.at];
  const char16_t before_close = before_close_marked ? u')' : text_[close.at - 1];
  const char16_t after_close = after_close_marked        ? u'*'
                               : close.at < text_.size() ? text_[close.at]
                                                         : u' ';
  return LeftFlanking(before_open, after_open) && RightFlanking(before_close, after_close);
}

void MarkdownInline::WriteOpen(const Placed& open, bool markdown, std::u16string& out) const {
  switch (open.mark) {
    case Mark::kStrong:
      out += markdown ? u"**" : u"<strong>";
      break;
    case Mark::kEmphasis:
      out += markdown ? u"*" : u"<em>";
      break;
    case Mark::kLink:
      out += u'[';
      break;
    case Mark::kCode:
      break;  // written with its close, which knows the fence
  }
}

void MarkdownInline::WriteClose(const Placed& open, const Placed& close, bool markdown,
                                std::u16string& out) const {
  switch (open.mark) {
    case Mark::kStrong:
      out += markdown ? u"**" : u"</strong>";
      break;
    case Mark::kEmphasis:
      out += markdown ? u"*" : u"</em>";
      break;
    case Mark::kLink:
      out += u"](";
      out += close.url;
      out += u')';
      break;
    case Mark::kCode:
      break;
  }
}

std::u16string MarkdownInline::Take(bool block_start) {
  // Marks still open end with the block and open again in the next one.
  std::vector<Mark> reopen;
  for (const std::size_t index : open_) reopen.push_back(marks_[index].mark);
  while (!open_.empty()) Close(marks_[open_.back()].mark);
  while (!text_.empty() && (text_.back() == u' ' || text_.back() == u'\n')) text_.pop_back();
  // Each pair hugs its text: blanks inside its ends go outside them.
  std::vector<bool> written(marks_.size(), true);
  for (std::size_t k = 0; k < marks_.size(); ++k) {
    Placed& open = marks_[k];
    if (!open.open) continue;
    Placed& close = marks_[open.pair];
    open.at = std::min(open.at, text_.size());
    close.at = std::min(close.at, text_.size());
    while (open.at < close.at && (text_[open.at] == u' ' || text_[open.at] == u'\n')) ++open.at;
    while (close.at > open.at && (text_[close.at - 1] == u' ' || text_[close.at - 1] == u'\n')) {
      --close.at;
    }
    const bool empty = open.at == close.at || (open.mark == Mark::kLink && close.url.empty());
    written[k] = written[open.pair] = !empty && !open.inert;
  }
  std::vector<std::size_t> order(marks_.size());
  for (std::size_t k = 0; k < order.size(); ++k) order[k] = k;
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return marks_[a].at < marks_[b].at; });
  // A span that ends where another of its kind begins is one span: "**a****b**" would
  // read as neither.
  for (std::size_t k = 0; k + 1 < order.size(); ++k) {
    const std::size_t a = order[k], b = order[k + 1];
    if (written[a] && written[b] && !marks_[a].open && marks_[b].open &&
        marks_[a].at == marks_[b].at && marks_[a].mark == marks_[b].mark &&
        marks_[a].mark != Mark::kLink && marks_[a].mark != Mark::kCode) {
      // The first span's open now pairs with the second's close.
      const std::size_t first_open = marks_[a].pair, second_close = marks_[b].pair;
      marks_[first_open].pair = second_close;
      marks_[second_close].pair = first_open;
      written[a] = written[b] = false;
    }
  }
  // Whether a written mark stands right before, or right after, each mark in the order.
  std::vector<std::size_t> rank(marks_.size());
  for (std::size_t r = 0; r < order.size(); ++r) rank[order[r]] = r;
  constexpr std::size_t kNone = std::u16string::npos;
  auto beside = [&](std::size_t index, int step) {
    const std::size_t at = marks_[index].at;
    for (std::size_t r = rank[index];;) {
      if (step < 0 ? r == 0 : r + 1 == order.size()) return kNone;
      r = step < 0 ? r - 1 : r + 1;
      if (marks_[order[r]].at != at) return kNone;
      if (written[order[r]]) return order[r];
    }
  };
  auto asterisks = [&](std::size_t index, bool open) {
    return index != kNone && marks_[index].open == open &&
           (marks_[index].mark == Mark::kStrong || marks_[index].mark == Mark::kEmphasis);
  };
  std::vector<bool> markdown(marks_.size(), true);
  for (std::size_t k = 0; k < marks_.size(); ++k) {
    if (!marks_[k].open || !written[k]) continue;
    const std::size_t close = marks_[k].pair;
    const std::size_t before_open = beside(k, -1), after_close = beside(close, 1);
    // Asterisks that end one span and begin the next run together ("*a***b**"), and
    // CommonMark reads the run otherwise.
    const bool runs_together = asterisks(before_open, false) || asterisks(after_close, true);
    markdown[k] = !runs_together &&
                  Flanks(marks_[k], marks_[close], before_open != kNone, beside(k, 1) != kNone,
                         beside(close, -1) != kNone, after_close != kNone);
  }

  std::u16string out;
  out.reserve(text_.size() + text_.size() / 8 + 16);
  std::size_t next_mark = 0;
  bool line_start = true;
  std::size_t escape_at = std::u16string::npos;
  for (std::size_t at = 0; at <= text_.size(); ++at) {
    for (; next_mark < order.size() && marks_[order[next_mark]].at == at; ++next_mark) {
      const std::size_t index = order[next_mark];
      if (!written[index]) continue;
      const Placed& mark = marks_[index];
      const Placed& open = mark.open ? mark : marks_[mark.pair];
      if (mark.mark == Mark::kCode) {
        // A fence longer than any run of backticks inside, and a blank inside it where the
        // code begins or ends with one.
        const std::u16string_view code =
            std::u16string_view(text_).substr(open.at, marks_[open.pair].at - open.at);
        std::size_t longest = 0;
        for (std::size_t k = 0, run = 0; k < code.size(); ++k) {
          run = code[k] == u'`' ? run + 1 : 0;
          longest = std::max(longest, run);
        }
        const bool pad = code.front() == u'`' || code.back() == u'`' ||
                         (code.front() == u' ' && code.back() == u' ');
        const std::u16string fence(longest + 1, u'`');
        out += mark.open ? fence + (pad ? u" " : u"") : (pad ? u" " : u"") + fence;
      } else if (mark.open) {
        WriteOpen(mark, markdown[index], out);
      } else {
        WriteClose(open, mark, markdown[mark.pair], out);
      }
      line_start = false;
    }
    if (at == text_.size()) break;
    const char16_t c = text_[at];
    if (c == u'\n') {
      out += u"\\\n";
      line_start = true;
      continue;
    }
    if (line_start && block_start) {
      const std::size_t end = std::min(text_.find(u'\n', at), text_.size());
      bool escape = false;
      const std::size_t offset =
          LineStartEscape(std::u16string_view(text_).substr(at, end - at), escape);
      if (escape) escape_at = at + offset;
    }
    line_start = false;
    if (at == escape_at) out.push_back(u'\\');
    out.push_back(c);
  }
  text_.clear();
  marks_.clear();
  space_ = false;
  space_held_line_ = false;
  last_ = 0;
  code_ = 0;
  links_ = 0;
  for (const Mark mark : reopen) Open(mark);
  return out;
}

}  // namespace pagelift
