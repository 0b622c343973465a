#include "capture/proxy_choice.h"

#include <algorithm>

namespace pagelift {

namespace {

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameWord(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Lower(x) == Lower(y); });
}

// "http" for "http://host/...": the letters before the first ":".
std::string_view SchemeOf(std::string_view url) {
  const std::size_t colon = url.find(':');
  return colon == std::string_view::npos ? std::string_view() : url.substr(0, colon);
}

}  // namespace

std::optional<std::string> ProxyForUrl(std::string_view proxy_text, std::string_view url) {
  constexpr std::string_view kApart = " \t;";
  std::optional<std::string_view> for_scheme, socks, plain;
  std::size_t at = proxy_text.find_first_not_of(kApart);
  if (at == std::string_view::npos) return std::nullopt;
  while (at != std::string_view::npos) {
    const std::size_t end = std::min(proxy_text.find_first_of(kApart, at), proxy_text.size());
    const std::string_view entry = proxy_text.substr(at, end - at);
    at = proxy_text.find_first_not_of(kApart, end);
    const std::size_t equals = entry.find('=');
    if (equals == std::string_view::npos) {
      if (!plain) plain = entry;
      continue;
    }
    const std::string_view scheme = entry.substr(0, equals);
    const std::string_view server = entry.substr(equals + 1);
    if (SameWord(scheme, SchemeOf(url)) && !for_scheme) for_scheme = server;
    if (SameWord(scheme, "socks") && !socks) socks = server;
  }
  if (for_scheme) return std::string(*for_scheme);
  // Windows speaks SOCKS version 4 to such a server.
  if (socks) return "socks4://" + std::string(*socks);
  if (plain) return std::string(*plain);
  return std::string();
}

}  // namespace pagelift
