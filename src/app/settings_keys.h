#pragma once

#include <string>
#include <string_view>

namespace pagelift {

// The names in the settings file.
inline constexpr std::u16string_view kSection = u"Setting";
inline constexpr std::u16string_view kCodeKey = u"CODE";
inline constexpr std::u16string_view kWidthKey = u"MAXCHAR";
inline constexpr std::u16string_view kProxyKey = u"PROXY";
inline constexpr std::u16string_view kTextFormKey = u"TEXTFORM";
// "1": the readable and main forms are not folded; "0", or no key: they are.
inline constexpr std::u16string_view kNoFoldKey = u"NOFOLD";
// "1": the Clipboard holds the form's HTML beside its text; "0", or no key: the text alone.
inline constexpr std::u16string_view kWithHtmlKey = u"WITHHTML";
inline constexpr int kUrlKeys = 100;
// Ends the URL list in the file; a missing key reads as this too.
inline constexpr std::u16string_view kNoMoreUrls = u"NONE";

// "URL1" to "URL100".
inline std::u16string UrlKey(int number) {
  const std::string digits = std::to_string(number);
  return u"URL" + std::u16string(digits.begin(), digits.end());
}

}  // namespace pagelift
