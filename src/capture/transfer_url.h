#pragma once

#include <string>
#include <string_view>

namespace pagelift {

// What every download sends and how far it goes, on every platform.
inline constexpr char kUserAgent[] = "WinInet Test";
inline constexpr long kMaxRedirects = 10;

// `url` as a download sends it: as browsers send a typed URL, with blanks, controls and
// non-ASCII characters percent-encoded as UTF-8. ASCII only.
std::string UrlForTransfer(const std::u16string& url);

// Whether `url` begins with the scheme `scheme` ("http") and a colon, in any letter case.
bool HasScheme(std::string_view url, std::string_view scheme);

}  // namespace pagelift
