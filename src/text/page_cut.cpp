#include "text/page_cut.h"

#include <array>
#include <cstddef>
#include <string_view>

#include "text/html_markers.h"

namespace pagelift::html {

namespace {

// The ASCII characters that stand in no marker but first (in either case), where every
// cut is safe. An LF is not among them: it may end a CR LF.
constexpr std::array<bool, 128> CutAnywhereBefore() {
  std::array<bool, 128> anywhere{};
  anywhere.fill(true);
  ForEachMarkerText([&anywhere](std::u16string_view text) {
    for (std::size_t k = 1; k < text.size(); ++k) {
      anywhere[text[k]] = false;
      if (text[k] >= u'a' && text[k] <= u'z') anywhere[text[k] - (u'a' - u'A')] = false;
    }
  });
  anywhere[u'\n'] = false;
  return anywhere;
}
constexpr std::array<bool, 128> kCutAnywhereBefore = CutAnywhereBefore();

bool StartsWithInAnyCase(const char16_t* at, std::u16string_view text) {
  for (std::size_t k = 0; k < text.size(); ++k) {
    const char16_t c = at[k];
    if ((c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c) != text[k]) return false;
  }
  return true;
}

// Whether the page may be cut before `at` (begin < at < end), its two sides reduced one
// after the other with the text they give together: no marker, comment closer or CR LF
// may run across the cut. The scan's state at `at` carries over; nothing else looks
// across it. False also when `end` comes too soon to tell.
bool MayCutBefore(const char16_t* begin, const char16_t* at, const char16_t* end) {
  if (*at >= 0x80 || kCutAnywhereBefore[*at]) return true;
  if (*at == u'\n' && at[-1] == u'\r') return false;
  bool may = true;
  ForEachMarkerText([&](std::u16string_view text) {
    for (std::size_t k = 1; may && k < text.size() && at - begin >= static_cast<std::ptrdiff_t>(k);
         ++k) {
      const char16_t* const start = at - k;
      may = end - start >= static_cast<std::ptrdiff_t>(text.size()) &&
            !StartsWithInAnyCase(start, text);
    }
  });
  return may;
}

}  // namespace

const char16_t* LastCut(const char16_t* begin, const char16_t* end) {
  constexpr std::ptrdiff_t kLooked = 256;
  for (const char16_t* at = end - 1; at > begin && end - at <= kLooked; --at) {
    if (MayCutBefore(begin, at, end)) return at;
  }
  return begin;
}

}  // namespace pagelift::html
