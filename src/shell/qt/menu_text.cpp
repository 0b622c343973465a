#include "shell/qt/menu_text.h"

#include "app/menu_label.h"
#include "shell/qt/toolkit.h"

namespace pagelift {

QString MenuText(std::u16string_view url, bool dbusmenu) {
  if (!dbusmenu) return ToQString(AmpersandMenuText(url));
  const std::size_t first_ampersand = url.find(u'&');
  const std::size_t first_underscore = url.find(u'_');
  std::u16string text;
  text.reserve(url.size() + 8);
  for (std::size_t i = 0; i < url.size(); ++i) {
    const char16_t c = url[i];
    if (c == u'_') {
      // Qt turns this "&" into "_", which makes the pair.
      const bool turned = i == first_underscore && first_underscore < first_ampersand &&
                          first_ampersand != std::u16string_view::npos;
      text += turned ? u"&_" : u"__";
    } else if (c == u'&' && i == first_ampersand && first_underscore > first_ampersand) {
      text += u"&&";
    } else {
      text += c;
    }
  }
  return ToQString(text);
}

}  // namespace pagelift
