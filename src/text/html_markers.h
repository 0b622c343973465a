#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

// The markers the reduction of a page looks for: what each does, and the tables it finds
// them by.
namespace pagelift::html {

enum class Action : std::uint8_t {
  kOpenRegion,
  kCloseRegion,
  kAppend,
  kEndLine,
  kStartPre,
  kEndPre
};

struct Marker {
  std::u16string_view text;
  Action action;
  unsigned region = 0;    // the flag of the region it opens or closes
  char16_t appended = 0;  // what kAppend adds to the output
};

constexpr unsigned kComment = 1u << 0;
constexpr unsigned kScript = 1u << 1;
constexpr unsigned kNoscript = 1u << 2;
constexpr unsigned kStyle = 1u << 3;
constexpr unsigned kRegions = kComment | kScript | kNoscript | kStyle;

// Regions whose text is dropped, each opened and closed by its own markers. "<script" and
// "<noscript" end before the ">" so that their attributes fall inside the region; "<style>"
// keeps it, so a style tag with attributes is an ordinary tag.
inline constexpr Marker kOpeners[] = {
    {u"<!--", Action::kOpenRegion, kComment},
    {u"<script", Action::kOpenRegion, kScript},
    {u"<noscript", Action::kOpenRegion, kNoscript},
    {u"<style>", Action::kOpenRegion, kStyle},
};
// A comment's "-->" is no marker of its own: the scan finds it at its ">" (see Reducer::Run).
inline constexpr Marker kClosers[] = {
    {u"</script>", Action::kCloseRegion, kScript},
    {u"</noscript>", Action::kCloseRegion, kNoscript},
    {u"</style>", Action::kCloseRegion, kStyle},
};
// The markers that stand for text, outside regions only.
inline constexpr Marker kReplacements[] = {
    {u"<br>", Action::kEndLine},           {u"</td>", Action::kAppend, 0, u' '},
    {u"</tr>", Action::kEndLine},          {u"</dt>", Action::kAppend, 0, u' '},
    {u"</li>", Action::kAppend, 0, u' '},  {u"</dl>", Action::kEndLine},
    {u"&nbsp;", Action::kAppend, 0, u' '}, {u"&lt;", Action::kAppend, 0, u'<'},
    {u"&gt;", Action::kAppend, 0, u'>'},   {u"</title>", Action::kEndLine},
    {u"<pre>", Action::kStartPre},         {u"</pre>", Action::kEndPre},
};

// A marker as three 64-bit words of four units each, the units past its end matched by
// anything. All three are compared, with no branch on the marker's length.
// Letters are matched with the case bit (0x20) forced on in the text, which folds only
// capitals onto their small letters since the marker holds a letter there.
class MarkerWords {
 public:
  constexpr MarkerWords() = default;
  constexpr explicit MarkerWords(std::u16string_view text) : size_(text.size()) {
    std::array<std::array<char16_t, 4>, kWords> units{}, fold{}, care{};
    for (std::size_t k = 0; k < text.size(); ++k) {
      const char16_t c = text[k];
      text_[k] = c;
      units[k / 4][k % 4] = c;
      fold[k / 4][k % 4] = c >= u'a' && c <= u'z' ? 0x20 : 0;
      care[k / 4][k % 4] = 0xFFFF;
    }
    for (std::size_t w = 0; w < kWords; ++w) {
      units_[w] = std::bit_cast<std::uint64_t>(units[w]);
      fold_[w] = std::bit_cast<std::uint64_t>(fold[w]);
      care_[w] = std::bit_cast<std::uint64_t>(care[w]);
    }
  }

  // Whether the text at `at` starts with the marker, in any case.
  bool StartsAt(const char16_t* at, const char16_t* end) const {
    if (static_cast<std::size_t>(end - at) < 4 * kWords) return StartsNearEnd(at, end);
    std::uint64_t differ = 0;
    for (std::size_t w = 0; w < kWords; ++w) {
      std::uint64_t text;
      std::memcpy(&text, at + 4 * w, sizeof text);
      differ |= ((text | fold_[w]) & care_[w]) ^ units_[w];
    }
    return differ == 0;
  }

 private:
  static constexpr std::size_t kWords = 3;

  // Near the end, where the three words cannot be read.
  bool StartsNearEnd(const char16_t* at, const char16_t* end) const {
    if (static_cast<std::size_t>(end - at) < size_) return false;
    for (std::size_t k = 0; k < size_; ++k) {
      const char16_t c = at[k];
      if ((c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c) != text_[k]) return false;
    }
    return true;
  }

  std::size_t size_ = 0;
  std::array<char16_t, 4 * kWords> text_{};
  std::array<std::uint64_t, kWords> units_{}, fold_{}, care_{};
};

// Two lists of markers tested in order, the first list first; the first match wins. Every
// marker is at least four characters long, so an index on the third and fourth characters
// leaves only the one or two markers that can match at a position to compare. (The second
// would not do: "</" starts seven markers and most closing tags.) The index keeps the low
// five bits of each, which are the same for a capital and its small letter.
template <std::size_t N1, std::size_t N2>
class MarkerTable {
 public:
  constexpr MarkerTable(const Marker (&first)[N1], const Marker (&second)[N2]) {
    static_assert(N1 + N2 <= 16, "one bit per marker in a 16-bit mask");
    for (std::size_t i = 0; i < N1 + N2; ++i) {
      markers_[i] = i < N1 ? first[i] : second[i - N1];
      words_[i] = MarkerWords(markers_[i].text);
      index_[Key(markers_[i].text[2], markers_[i].text[3])] |= static_cast<std::uint16_t>(1u << i);
    }
  }

  // Whether a marker may start two units before `third` and `fourth`; no marker starts
  // where this is false.
  bool MayStart(char16_t third, char16_t fourth) const { return index_[Key(third, fourth)] != 0; }

  // The marker that starts at `at`, or nullptr.
  const Marker* Find(const char16_t* at, const char16_t* end) const {
    if (end - at < 4) return nullptr;
    for (unsigned mask = index_[Key(at[2], at[3])]; mask != 0; mask &= mask - 1) {
      const unsigned i = static_cast<unsigned>(std::countr_zero(mask));
      if (words_[i].StartsAt(at, end)) return &markers_[i];
    }
    return nullptr;
  }

 private:
  static constexpr std::size_t Key(char16_t third, char16_t fourth) {
    return (third & 0x1F) << 5 | (fourth & 0x1F);
  }

  std::array<Marker, N1 + N2> markers_{};
  std::array<MarkerWords, N1 + N2> words_{};
  std::array<std::uint16_t, 1 << 10> index_{};
};

// Openers are tested everywhere, in regions and tags too; closers only inside a region,
// replacements only outside.
inline constexpr MarkerTable kInRegion(kOpeners, kClosers);
inline constexpr MarkerTable kOutsideRegions(kOpeners, kReplacements);

// Whether each replacement that starts with "<" ends with ">" and holds no markup between:
// a tag, as far as bit masks of "<", ">" and "&" can tell.
constexpr bool ReplacementsAreTags() {
  for (const Marker& marker : kReplacements) {
    const std::u16string_view text = marker.text;
    if (text.front() != u'<') continue;
    if (text.back() != u'>') return false;
    if (text.substr(1, text.size() - 2).find_first_of(u"<>&") != std::u16string_view::npos) {
      return false;
    }
  }
  return true;
}
inline constexpr bool kReplacementsAreTags = ReplacementsAreTags();
static_assert(kReplacementsAreTags, "the scan acts on replacements inside its window");

// A comment's closer is found by a look back from its ">" (see Reducer::Run): across a
// cut, that look must not reach into the part before.
inline constexpr std::u16string_view kCommentCloser = u"-->";

template <typename Visit>
constexpr void ForEachMarkerText(Visit visit) {
  for (const Marker& marker : kOpeners) visit(marker.text);
  for (const Marker& marker : kClosers) visit(marker.text);
  for (const Marker& marker : kReplacements) visit(marker.text);
  visit(kCommentCloser);
}

}  // namespace pagelift::html
