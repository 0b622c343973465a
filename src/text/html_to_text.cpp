#include "text/html_to_text.h"

#include <array>
#include <bit>
#include <cstdint>
#include <memory>

#include "text/wrap_lines.h"

namespace pagelift {

namespace {

// Markers are lower-case ASCII, so folding the ASCII capitals of the text is enough to
// match them case-insensitively, without lower-casing the text itself.
constexpr char16_t Folded(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
}

enum class Action : std::uint8_t { kOpenRegion, kCloseRegion, kAppend, kStartPre, kEndPre };

struct Marker {
  std::u16string_view text;
  Action action;
  unsigned region = 0;                // the flag of the region it opens or closes
  std::u16string_view appended = {};  // what kAppend adds to the output
};

constexpr unsigned kComment = 1u << 0;
constexpr unsigned kScript = 1u << 1;
constexpr unsigned kNoscript = 1u << 2;
constexpr unsigned kStyle = 1u << 3;

// Regions whose text is dropped, each opened and closed by its own markers. "<script" and
// "<noscript" end before the ">" so that their attributes fall inside the region; "<style>"
// keeps it, so a style tag with attributes is an ordinary tag.
constexpr Marker kOpeners[] = {
    {u"<!--", Action::kOpenRegion, kComment},
    {u"<script", Action::kOpenRegion, kScript},
    {u"<noscript", Action::kOpenRegion, kNoscript},
    {u"<style>", Action::kOpenRegion, kStyle},
};
constexpr Marker kClosers[] = {
    {u"-->", Action::kCloseRegion, kComment},
    {u"</script>", Action::kCloseRegion, kScript},
    {u"</noscript>", Action::kCloseRegion, kNoscript},
    {u"</style>", Action::kCloseRegion, kStyle},
};
// The markers that stand for text, outside regions only.
constexpr Marker kReplacements[] = {
    {u"<br>", Action::kAppend, 0, u"\r\n"},  {u"</td>", Action::kAppend, 0, u" "},
    {u"</tr>", Action::kAppend, 0, u"\r\n"}, {u"</dt>", Action::kAppend, 0, u" "},
    {u"</li>", Action::kAppend, 0, u" "},    {u"</dl>", Action::kAppend, 0, u"\r\n"},
    {u"&nbsp;", Action::kAppend, 0, u" "},   {u"&lt;", Action::kAppend, 0, u"<"},
    {u"&gt;", Action::kAppend, 0, u">"},     {u"</title>", Action::kAppend, 0, u"\r\n"},
    {u"<pre>", Action::kStartPre},           {u"</pre>", Action::kEndPre},
};

// Two lists of markers tested in order, the first list first; the first match wins. Every
// marker is at least three characters long, so an index on the second and third
// characters leaves only the one or two markers that can match at a position to compare.
template <std::size_t N1, std::size_t N2>
class MarkerTable {
 public:
  constexpr MarkerTable(const Marker (&first)[N1], const Marker (&second)[N2]) {
    static_assert(N1 + N2 <= 16, "one bit per marker in a 16-bit mask");
    for (std::size_t i = 0; i < N1 + N2; ++i) {
      markers_[i] = i < N1 ? first[i] : second[i - N1];
      index_[Key(markers_[i].text[1], markers_[i].text[2])] |= static_cast<std::uint16_t>(1u << i);
    }
  }

  // The marker that starts at `at`, or nullptr.
  const Marker* Find(const char16_t* at, const char16_t* end) const {
    if (end - at < 3) return nullptr;
    const char16_t second = Folded(at[1]);
    const char16_t third = Folded(at[2]);
    if (second >= 0x80 || third >= 0x80) return nullptr;
    for (unsigned mask = index_[Key(second, third)]; mask != 0; mask &= mask - 1) {
      const Marker& marker = markers_[std::countr_zero(mask)];
      if (Matches(marker.text, at, end)) return &marker;
    }
    return nullptr;
  }

 private:
  static constexpr std::size_t Key(char16_t second, char16_t third) {
    return (second & 0x1F) << 5 | (third & 0x1F);
  }

  static bool Matches(std::u16string_view marker, const char16_t* at, const char16_t* end) {
    if (end - at < static_cast<std::ptrdiff_t>(marker.size())) return false;
    for (std::size_t k = 0; k < marker.size(); ++k) {
      if (Folded(at[k]) != marker[k]) return false;
    }
    return true;
  }

  std::array<Marker, N1 + N2> markers_{};
  std::array<std::uint16_t, 1 << 10> index_{};
};

// Openers are tested everywhere, in regions and tags too; closers only inside a region,
// replacements only outside.
constexpr MarkerTable kInRegion(kOpeners, kClosers);
constexpr MarkerTable kOutsideRegions(kOpeners, kReplacements);

// Sets of characters below 64, one bit each: what ends a run that is skipped or copied.
constexpr std::uint64_t Bits(std::u16string_view chars) {
  std::uint64_t bits = 0;
  for (char16_t c : chars) bits |= std::uint64_t{1} << c;
  return bits;
}
constexpr std::uint64_t kEndsRegionRun = Bits(u"<-");
constexpr std::uint64_t kEndsTagRun = Bits(u"<&>");
constexpr std::uint64_t kEndsTextRun = Bits(u"<&\t\n\r ");
constexpr std::uint64_t kEndsPreRun = Bits(u"<&\n\r");

constexpr bool EndsRun(char16_t c, std::uint64_t ends) {
  return c < 64 && (ends >> c & 1) != 0;
}

// One left-to-right scan. Runs of characters that can start no marker are skipped or
// copied whole; each "<", "&", blank (and "-" inside a region) is examined on its own.
//
// Line ends become CR LF as the text is copied, with the same result as normalising the
// whole text first: no marker holds a CR or an LF, and outside "<pre>" both are dropped.
class Reducer {
 public:
  // Each character gives at most two (an LF in "<pre>" gives CR LF).
  explicit Reducer(std::u16string_view text)
      : at_(text.data()),
        end_(text.data() + text.size()),
        buffer_(new char16_t[2 * text.size()]),
        out_(buffer_.get()) {}

  // The reduced text, valid while the reducer lives.
  std::u16string_view Run() {
    while (at_ < end_) {
      if (regions_ != 0) {
        SkipInRegion();
      } else if (in_tag_) {
        SkipInTag();
      } else {
        CopyText();
      }
    }
    return {buffer_.get(), static_cast<std::size_t>(out_ - buffer_.get())};
  }

 private:
  void SkipUntil(std::uint64_t ends) {
    const char16_t* at = at_;
    while (at < end_ && !EndsRun(*at, ends)) ++at;
    at_ = at;
  }

  void Append(std::u16string_view text) {
    for (char16_t c : text) *out_++ = c;
  }

  // Nothing inside a region is copied. A closer clears only its own region, so a region
  // opened inside another must be closed as well before text comes back.
  void SkipInRegion() {
    SkipUntil(kEndsRegionRun);
    if (at_ == end_) return;
    const Marker* marker = kInRegion.Find(at_, end_);
    if (marker == nullptr) {
      ++at_;
      return;
    }
    if (marker->action == Action::kOpenRegion) {
      regions_ |= marker->region;
    } else {
      regions_ &= ~marker->region;
    }
    at_ += marker->text.size();
  }

  // Nothing inside a tag is copied, but markers still act there; ">" ends the tag.
  void SkipInTag() {
    SkipUntil(kEndsTagRun);
    if (at_ == end_) return;
    if (*at_ == u'>') {
      in_tag_ = false;
      ++at_;
    } else {
      ExamineMarkup();
    }
  }

  // Outside regions and tags: copies everything up to the next "<" or "&", leaving out
  // whitespace except inside "<pre>". A ">" here is copied like any other character.
  void CopyText() {
    const std::uint64_t ends = in_pre_ ? kEndsPreRun : kEndsTextRun;
    const char16_t* at = at_;
    char16_t* out = out_;
    for (;;) {
      while (at < end_ && !EndsRun(*at, ends)) *out++ = *at++;
      if (at == end_ || *at == u'<' || *at == u'&') break;
      if (in_pre_) {
        // A CR before an LF goes: the LF brings the CR LF.
        if (*at == u'\n') {
          *out++ = u'\r';
          *out++ = u'\n';
        } else if (at + 1 == end_ || at[1] != u'\n') {
          *out++ = u'\r';
        }
      }
      ++at;  // a blank, dropped outside "<pre>"
    }
    at_ = at;
    out_ = out;
    if (at_ != end_) ExamineMarkup();
  }

  // A "<" or "&" outside regions, in a tag or not.
  void ExamineMarkup() {
    const Marker* marker = kOutsideRegions.Find(at_, end_);
    if (marker == nullptr) {
      if (*at_ == u'<') {
        in_tag_ = true;  // a "<" that starts no marker opens a tag up to the next ">"
      } else if (!in_tag_) {
        *out_++ = u'&';  // an entity other than the three is text
      }
      ++at_;
      return;
    }
    switch (marker->action) {
      case Action::kOpenRegion:
        regions_ |= marker->region;
        break;
      case Action::kAppend:
        Append(marker->appended);
        break;
      case Action::kStartPre:
        in_pre_ = true;
        break;
      case Action::kEndPre:
        in_pre_ = false;
        break;
      case Action::kCloseRegion:
        break;  // not in this table
    }
    at_ += marker->text.size();
  }

  const char16_t* at_;
  const char16_t* const end_;
  std::unique_ptr<char16_t[]> buffer_;
  char16_t* out_;
  unsigned regions_ = 0;  // the flags of the open regions
  bool in_tag_ = false;
  bool in_pre_ = false;
};

}  // namespace

std::u16string HtmlToText(std::u16string_view page, double width) {
  Reducer reducer(page);
  return WrapLines(reducer.Run(), width);
}

}  // namespace pagelift
