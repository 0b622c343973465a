#pragma once

#include <string>
#include <string_view>

namespace pagelift {

// A URL as the text of a menu entry where "&" marks the next letter as the entry's key,
// as the menus of Windows and of Qt take it: each "&" doubled, so the URL shows as typed.
std::u16string AmpersandMenuText(std::u16string_view url);

}  // namespace pagelift
