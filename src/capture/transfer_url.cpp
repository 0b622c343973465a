#include "capture/transfer_url.h"

#include <algorithm>

#include "convert/utf8_text.h"

namespace pagelift {

std::string UrlForTransfer(const std::u16string& url) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : TextToUtf8(url)) {
    if (c > 0x20 && c < 0x7F) {
      out.push_back(static_cast<char>(c));
    } else {
      out += {'%', kHex[c >> 4], kHex[c & 0xF]};
    }
  }
  return out;
}

bool HasScheme(std::string_view url, std::string_view scheme) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  return url.size() > scheme.size() && url[scheme.size()] == ':' &&
         std::equal(scheme.begin(), scheme.end(), url.begin(),
                    [&](char a, char b) { return lower(a) == lower(b); });
}

}  // namespace pagelift
