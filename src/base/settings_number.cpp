#include "base/settings_number.h"

namespace pagelift {

double NumberOfText(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  double sign = 1;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    if (text[i] == u'-') sign = -1;
    ++i;
  }
  // Digits are summed as they come; a settings value never has enough of them for the
  // rounding of this to matter.
  double value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
    value = value * 10 + (text[i] - u'0');
  if (i < text.size() && text[i] == u'.') {
    double scale = 0.1;
    for (++i; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i, scale /= 10) {
      value += (text[i] - u'0') * scale;
    }
  }
  return sign * value;
}

}  // namespace pagelift
