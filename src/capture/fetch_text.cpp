#include "capture/fetch_text.h"

#include <exception>

#include "convert/code_choice.h"
#include "text/html_to_text.h"
#include "text/settings_number.h"

namespace pagelift {

FetchResult PageText(std::int32_t count, const ByteArray& bytes, const FetchSettings& settings,
                     const NonCodeClass& codes) {
  if (count == 0) return {false, kFetchFailedText};
  std::u16string page;
  try {
    const std::u16string name = CodeNameForChoice(settings.code_choice, bytes);
    page = DecodeAsCodeName(codes, name, bytes);
  } catch (const std::exception&) {
    // The page stays empty; its reduction still replaces the Clipboard's text.
  }
  try {
    return {true, HtmlToText(page, NumberOfText(settings.fold_width))};
  } catch (const std::exception&) {
    return {true, u""};
  }
}

FetchResult FetchPageText(const std::u16string& url, const FetchSettings& settings,
                          const NonCodeClass& codes, const HttpLimits& limits) {
  ByteArray bytes;
  const std::int32_t count = HttpGetBytes(url, bytes, settings.proxy, limits);
  return PageText(count, bytes, settings, codes);
}

}  // namespace pagelift
