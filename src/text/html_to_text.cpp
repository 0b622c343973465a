#include "text/html_to_text.h"

#include <cstdint>
#include <string_view>
#include <utility>

#include "convert/line_ends.h"
#include "text/wrap_lines.h"

namespace pagelift {

namespace {

// Markers are lower-case ASCII, so folding the ASCII capitals of the text is enough to
// match them case-insensitively, without lower-casing the text itself.
bool MatchesAt(std::u16string_view text, std::size_t pos, std::u16string_view marker) {
  if (text.size() - pos < marker.size()) return false;
  for (std::size_t k = 0; k < marker.size(); ++k) {
    char16_t c = text[pos + k];
    if (c >= u'A' && c <= u'Z') c += u'a' - u'A';
    if (c != marker[k]) return false;
  }
  return true;
}

// The regions whose text is dropped, each opened and closed by its own markers. "<script"
// and "<noscript" end before the ">" so that their attributes fall inside the region;
// "<style>" keeps it, so a style tag with attributes is an ordinary tag.
struct Region {
  std::u16string_view opener;
  std::u16string_view closer;
};
constexpr Region kRegions[] = {
    {u"<!--", u"-->"},
    {u"<script", u"</script>"},
    {u"<noscript", u"</noscript>"},
    {u"<style>", u"</style>"},
};

enum class PreEffect : std::uint8_t { kNone, kStart, kEnd };

// The markers that stand for text, tested in this order.
struct Replacement {
  std::u16string_view marker;
  std::u16string_view text;
  PreEffect pre = PreEffect::kNone;
};
constexpr Replacement kReplacements[] = {
    {u"<br>", u"\r\n"},
    {u"</td>", u" "},
    {u"</tr>", u"\r\n"},
    {u"</dt>", u" "},
    {u"</li>", u" "},
    {u"</dl>", u"\r\n"},
    {u"&nbsp;", u" "},
    {u"&lt;", u"<"},
    {u"&gt;", u">"},
    {u"</title>", u"\r\n"},
    {u"<pre>", u"", PreEffect::kStart},
    {u"</pre>", u"", PreEffect::kEnd},
};

bool IsBlank(char16_t c) {
  return c == u'\t' || c == u'\n' || c == u'\r' || c == u' ';
}

// One left-to-right scan. Runs of characters that can start no marker are skipped or
// copied whole; each "<", "&" (and "-" inside a region) is examined on its own.
class Reducer {
 public:
  explicit Reducer(std::u16string_view text) : text_(text) { out_.reserve(text.size()); }

  std::u16string Run() && {
    while (pos_ < text_.size()) {
      if (regions_ != 0) {
        SkipInRegion();
      } else if (in_tag_) {
        SkipInTag();
      } else {
        CopyText();
      }
    }
    return std::move(out_);
  }

 private:
  // Openers are tested everywhere, inside regions and tags too. Returns whether one
  // matched; it is then consumed.
  bool TryOpenRegion() {
    if (text_[pos_] != u'<') return false;
    for (std::size_t r = 0; r < std::size(kRegions); ++r) {
      if (MatchesAt(text_, pos_, kRegions[r].opener)) {
        regions_ |= 1u << r;
        pos_ += kRegions[r].opener.size();
        return true;
      }
    }
    return false;
  }

  // Nothing inside a region is copied. A closer clears only its own region, so a region
  // opened inside another must be closed as well before text comes back.
  void SkipInRegion() {
    while (pos_ < text_.size() && text_[pos_] != u'<' && text_[pos_] != u'-') ++pos_;
    if (pos_ == text_.size() || TryOpenRegion()) return;
    for (std::size_t r = 0; r < std::size(kRegions); ++r) {
      if (MatchesAt(text_, pos_, kRegions[r].closer)) {
        regions_ &= ~(1u << r);
        pos_ += kRegions[r].closer.size();
        return;
      }
    }
    ++pos_;
  }

  // Nothing inside a tag is copied, but markers still act there; ">" ends the tag.
  void SkipInTag() {
    while (pos_ < text_.size() && text_[pos_] != u'<' && text_[pos_] != u'&' &&
           text_[pos_] != u'>') {
      ++pos_;
    }
    if (pos_ == text_.size()) return;
    if (text_[pos_] == u'>') {
      in_tag_ = false;
      ++pos_;
      return;
    }
    ExamineMarkup();
  }

  // Outside regions and tags: copies everything up to the next "<" or "&", leaving out
  // whitespace unless inside "<pre>". A ">" here is copied like any other character.
  void CopyText() {
    const std::size_t run_start = pos_;
    while (pos_ < text_.size() && IsCopied(text_[pos_])) ++pos_;
    out_.append(text_.substr(run_start, pos_ - run_start));
    if (pos_ == text_.size()) return;
    if (text_[pos_] == u'<' || text_[pos_] == u'&') {
      ExamineMarkup();
    } else {
      ++pos_;  // whitespace outside "<pre>"
    }
  }

  bool IsCopied(char16_t c) const {
    // Blanks and "&" lie at or below "&"; above it only "<" is not copied.
    if (c > u'&') return c != u'<';
    return c != u'&' && (in_pre_ || !IsBlank(c));
  }

  // A "<" or "&" outside regions, in a tag or not.
  void ExamineMarkup() {
    if (TryOpenRegion()) return;
    for (const Replacement& replacement : kReplacements) {
      if (MatchesAt(text_, pos_, replacement.marker)) {
        out_.append(replacement.text);
        if (replacement.pre != PreEffect::kNone) in_pre_ = replacement.pre == PreEffect::kStart;
        pos_ += replacement.marker.size();
        return;
      }
    }
    if (text_[pos_] == u'<') {
      in_tag_ = true;  // a "<" that starts no marker opens a tag up to the next ">"
    } else if (!in_tag_) {
      out_.push_back(u'&');  // an entity other than the three is text
    }
    ++pos_;
  }

  std::u16string_view text_;
  std::size_t pos_ = 0;
  unsigned regions_ = 0;  // one bit per entry of kRegions
  bool in_tag_ = false;
  bool in_pre_ = false;
  std::u16string out_;
};

}  // namespace

std::u16string HtmlToText(const std::u16string& page, double width) {
  const std::u16string text = ChangeLfToCrLf(page);
  return WrapLines(Reducer(text).Run(), width);
}

}  // namespace pagelift
