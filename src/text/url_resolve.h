#pragma once

#include <string>
#include <string_view>

namespace pagelift {

// A reference of a page (an href or src) made absolute against the page's address `base`,
// as RFC 3986 resolves references: "../b?q" against "http://a.jp/x/y" gives
// "http://a.jp/b?q". The tabs and line ends that browsers strip from a URL go, and blanks at
// its ends. A reference that names its scheme is returned as it is; where `base` is no
// absolute URL, so is every reference.
std::u16string ResolveUrl(std::u16string_view base, std::u16string_view reference);

// The scheme of an absolute URL, in lower case ("https"), or empty.
std::u16string SchemeOf(std::u16string_view url);

}  // namespace pagelift
