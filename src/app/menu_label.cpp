#include "app/menu_label.h"

namespace pagelift {

std::u16string AmpersandMenuText(std::u16string_view url) {
  std::u16string text;
  text.reserve(url.size() + 8);
  for (const char16_t c : url) {
    if (c == u'&') text += u'&';
    text += c;
  }
  return text;
}

}  // namespace pagelift
