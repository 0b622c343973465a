#include "app/clipboard_url.h"

#include <algorithm>

namespace pagelift {

namespace {

// The units of a URL a menu entry shows: the host and the start of the path, as a rule.
constexpr std::size_t kShownUnits = 60;

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\u3000';
}

std::u16string_view Trimmed(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// `text` without one line end at its end, and the blanks before it.
std::u16string_view WithoutLineEnd(std::u16string_view text) {
  if (text.ends_with(u"\r\n")) {
    text.remove_suffix(2);
  } else if (text.ends_with(u'\n') || text.ends_with(u'\r')) {
    text.remove_suffix(1);
  }
  return Trimmed(text);
}

bool StartsWithInAnyCase(std::u16string_view text, std::u16string_view lower) {
  if (text.size() < lower.size()) return false;
  for (std::size_t k = 0; k < lower.size(); ++k) {
    char16_t c = text[k];
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + (u'a' - u'A'));
    if (c != lower[k]) return false;
  }
  return true;
}

}  // namespace

std::optional<std::u16string> ClipboardUrl(const ClipboardStart& start) {
  if (!start.whole || start.text.size() > kClipboardUrlLimit) return std::nullopt;
  const std::u16string_view url = WithoutLineEnd(Trimmed(start.text));
  std::size_t scheme = 0;
  if (StartsWithInAnyCase(url, u"http://")) {
    scheme = 7;
  } else if (StartsWithInAnyCase(url, u"https://")) {
    scheme = 8;
  } else {
    return std::nullopt;
  }
  // A host, and nothing a URL cannot hold as it stands: no blank, line end or control.
  if (url.size() == scheme || url[scheme] == u'/') return std::nullopt;
  const bool one_word = std::none_of(url.begin(), url.end(), [](char16_t c) {
    return c < 0x20 || c == 0x7F || IsBlank(c) || c == 0x2028 || c == 0x2029;
  });
  if (!one_word) return std::nullopt;
  return std::u16string(url);
}

std::u16string ClipboardEntryCaption(const std::optional<std::u16string>& url) {
  if (!url) return kNoClipboardUrl;
  std::u16string caption = u"クリップボードのURL: ";
  if (url->size() <= kShownUnits) return caption + *url;
  std::size_t cut = kShownUnits;
  if ((*url)[cut - 1] >= 0xD800 && (*url)[cut - 1] <= 0xDBFF) --cut;  // never half a pair
  return caption + url->substr(0, cut) + u"…";
}

}  // namespace pagelift
