// How MarkdownWriter lays its blocks out: the prefixes of quotations and list items, the
// blank lines between blocks, code blocks and pipe tables.
#include <algorithm>
#include <vector>

#include "text/markdown_writer.h"

namespace pagelift {

std::vector<std::size_t> MarkdownWriter::Shown() const {
  // Deeper than kShownDepth, the containers between the outer ones and the innermost add
  // nothing to a line's prefix: 10,000 nested lists give lines of bounded length, in time
  // bounded by the depth shown.
  std::vector<std::size_t> shown;
  const std::size_t size = containers_.size();
  const std::size_t outer = size > kShownDepth ? kShownDepth - 1 : size;
  for (std::size_t k = 0; k < outer; ++k) shown.push_back(k);
  if (outer < size) shown.push_back(size - 1);
  return shown;
}

std::u16string MarkdownWriter::Prefix(bool first_line) {
  std::u16string prefix;
  for (const std::size_t k : Shown()) {
    Container& c = containers_[k];
    if (c.quote) {
      prefix += u"> ";
      c.started = true;
    } else if (first_line && !c.started) {
      prefix += c.marker;
      c.started = true;
    } else {
      prefix.append(c.marker.size(), u' ');
    }
  }
  return prefix;
}

void MarkdownWriter::WriteBlock(std::u16string_view lines) {
  // A list's items follow one another; anything else stands a blank line apart.
  // An item begins that follows another of its list, or the first of a list inside an item
  // begun: no blank line, so that neither is read as a list apart nor a loose one.
  const bool item_begins = !containers_.empty() && !containers_.back().quote &&
                           !containers_.back().started && !lists_.empty() &&
                           (lists_.back().written || (containers_.size() >= 2 &&
                                                      !containers_[containers_.size() - 2].quote &&
                                                      containers_[containers_.size() - 2].started));
  if (!containers_.empty() && !containers_.back().quote && !lists_.empty()) {
    lists_.back().written = true;
  }
  const bool in_item = items_ > 0;
  if (!out_.empty()) {
    if (!(item_begins && last_in_item_)) {
      // The blank line keeps the quotations the last block was in, at their indents; a new
      // one begins after it.
      std::u16string blank;
      for (const std::size_t k : Shown()) {
        const Container& c = containers_[k];
        if (!c.started) break;
        blank += c.quote ? std::u16string(u"> ") : std::u16string(c.marker.size(), u' ');
      }
      while (!blank.empty() && blank.back() == u' ') blank.pop_back();
      if (blank.find(u'>') == std::u16string::npos) blank.clear();
      out_ += blank;
      out_ += u'\n';
    }
  }
  bool first = true;
  while (true) {
    const std::size_t end = std::min(lines.find(u'\n'), lines.size());
    std::u16string prefix = Prefix(first);
    const std::u16string_view line = lines.substr(0, end);
    if (line.empty()) {
      while (!prefix.empty() && prefix.back() == u' ') prefix.pop_back();
    }
    out_ += prefix;
    out_ += line;
    out_ += u'\n';
    first = false;
    if (end == lines.size()) break;
    lines.remove_prefix(end + 1);
  }
  last_in_item_ = in_item;
}

void MarkdownWriter::EndPreLine() {
  if (!pre_text_.empty() && pre_text_.back() != u'\n') pre_text_ += u'\n';
}

void MarkdownWriter::WriteCodeBlock() {
  while (!pre_text_.empty() && (pre_text_.back() == u'\n' || pre_text_.back() == u' ')) {
    pre_text_.pop_back();
  }
  if (pre_text_.empty()) return;
  std::size_t longest = 0;
  for (std::size_t k = 0, run = 0; k < pre_text_.size(); ++k) {
    run = pre_text_[k] == u'`' ? run + 1 : 0;
    longest = std::max(longest, run);
  }
  const std::u16string fence(std::max<std::size_t>(3, longest + 1), u'`');
  WriteBlock(fence + language_ + u"\n" + pre_text_ + u"\n" + fence);
  pre_text_.clear();
}

void MarkdownWriter::WriteTable() {
  std::u16string caption = caption_.Take();
  if (!caption.empty()) WriteBlock(caption);
  std::size_t columns = 0;
  for (const auto& row : rows_) columns = std::max(columns, row.size());
  if (columns == 0) return;
  std::u16string table;
  for (std::size_t r = 0; r < rows_.size(); ++r) {
    if (r > 0) table += u'\n';
    table += u"|";
    for (std::size_t c = 0; c < columns; ++c) {
      table += u" ";
      if (c < rows_[r].size()) table += rows_[r][c];
      table += u" |";
    }
    if (r == 0) {
      table += u"\n|";
      for (std::size_t c = 0; c < columns; ++c) table += u" --- |";
    }
  }
  rows_.clear();
  WriteBlock(table);
}

std::u16string MarkdownWriter::Finish() {
  Flush();
  std::u16string text;
  text.reserve(out_.size() + out_.size() / 16);
  for (const char16_t c : out_) {
    if (c == u'\n') text += u'\r';
    text += c;
  }
  return text;
}

}  // namespace pagelift
