#include "convert/code_page_932.h"

#include <algorithm>
#include <array>

#include "convert/charsets.h"

namespace pagelift {

namespace {

constexpr BestFit kBestFits[] = {
#include "convert/cp932_best_fit.inc"
};

static_assert(std::is_sorted(std::begin(kBestFits), std::end(kBestFits),
                             [](const BestFit& a, const BestFit& b) {
                               return a.character < b.character;
                             }));

}  // namespace

std::basic_string_view<BestFit> Cp932BestFits() {
  return {kBestFits, std::size(kBestFits)};
}

char16_t Cp932BestFit(char16_t c) {
  const auto* found =
      std::lower_bound(std::begin(kBestFits), std::end(kBestFits), c,
                       [](const BestFit& fit, char16_t x) { return fit.character < x; });
  return found != std::end(kBestFits) && found->character == c ? found->read_back : c;
}

std::vector<std::uint8_t> EncodeCodePage932(std::u16string_view text) {
  // A best-fit character is written as the bytes of the character they read back as,
  // which the code page holds exactly; the text is copied only when it has one.
  const auto fits = [](char16_t c) { return Cp932BestFit(c) != c; };
  if (std::none_of(text.begin(), text.end(), fits)) return Encode(Charset::kShiftJis, text);
  std::u16string fitted(text);
  for (char16_t& c : fitted) c = Cp932BestFit(c);
  return Encode(Charset::kShiftJis, fitted);
}

}  // namespace pagelift
