#include "convert/line_ends.h"

namespace pagelift {

std::u16string CheckCrLf(const std::u16string& strUni) {
  if (strUni.find(u"\r\n") != std::u16string::npos) return u"\r\n";
  if (strUni.find(u'\n') != std::u16string::npos) return u"\n";
  return u"\r\n";
}

std::u16string ChangeCrLfToLf(const std::u16string& strUni) {
  std::u16string out;
  out.reserve(strUni.size());
  for (std::size_t i = 0; i < strUni.size(); ++i) {
    if (strUni[i] == u'\r' && i + 1 < strUni.size() && strUni[i + 1] == u'\n') continue;
    out.push_back(strUni[i]);
  }
  return out;
}

std::u16string ChangeLfToCrLf(const std::u16string& strUni) {
  // One pass with the effect of first turning CR LF into LF and then every LF into
  // CR LF: a CR right before an LF is dropped and each LF is written as CR LF.
  std::u16string out;
  out.reserve(strUni.size() + strUni.size() / 8 + 2);
  for (std::size_t i = 0; i < strUni.size(); ++i) {
    const char16_t c = strUni[i];
    if (c == u'\r' && i + 1 < strUni.size() && strUni[i + 1] == u'\n') continue;
    if (c == u'\n') out.push_back(u'\r');
    out.push_back(c);
  }
  return out;
}

}  // namespace pagelift
