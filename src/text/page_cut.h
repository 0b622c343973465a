#pragma once

namespace pagelift::html {

// The last place near the end of [begin, end) where it may be cut, or `begin`. A cut is
// nearly always within a few units of the end: every "<", every character beyond ASCII
// and most letters make one.
const char16_t* LastCut(const char16_t* begin, const char16_t* end);

}  // namespace pagelift::html
