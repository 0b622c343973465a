#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pagelift {

// The proxy for one download, from the proxy text as typed: either a plain "host:port"
// (or a proxy URL), or a list as Windows writes one, entries apart by blanks or ";":
// "http=proxy1:8080 https=proxy2:8443 socks=host:1080". For a list, the entry for the
// URL's scheme counts, else a "socks=" entry, else an entry without a scheme; nothing
// matching means no proxy at all, an empty string. Nothing for an empty text: the
// system's settings.
std::optional<std::string> ProxyForUrl(std::string_view proxy_text, std::string_view url);

}  // namespace pagelift
