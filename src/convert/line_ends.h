#pragma once

#include <string>

namespace pagelift {

// u"\r\n" when the text holds a CR LF anywhere, else u"\n" when it holds an LF, else u"\r\n".
std::u16string CheckCrLf(const std::u16string& strUni);

// Every CR LF becomes LF, left to right without overlap; lone CRs and LFs stay.
std::u16string ChangeCrLfToLf(const std::u16string& strUni);

// Every line end that is CR LF or a lone LF becomes CR LF; lone CRs stay.
std::u16string ChangeLfToCrLf(const std::u16string& strUni);

}  // namespace pagelift
