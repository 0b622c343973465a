#include "capture/fetch_text.h"

#include <algorithm>
#include <exception>
#include <new>
#include <span>

#include "base/errors.h"
#include "convert/code_choice.h"
#include "text/html_to_text.h"

namespace pagelift {

namespace {

// The folded text of the page, decoded `piece_bytes` at a time as the facade's mode 0
// decodes it whole, and reduced as it comes.
std::u16string TextOfPage(std::span<const std::uint8_t> bytes, Code code, double width,
                          std::size_t piece_bytes) {
  // No code gives more than one unit of a byte.
  PageReducer reducer(width, bytes.size());
  PageDecoder(code).DecodeAll(bytes, piece_bytes, reducer.Input(), [&reducer](bool last) {
    if (!last) reducer.Reduce();
  });
  return reducer.Finish();
}

FetchResult Failed(const std::string& problem) {
  return {false, kFetchFailedText, "the text of the page could not be made: " + problem};
}

}  // namespace

FetchResult PageText(std::int32_t count, const ByteArray& bytes, const FetchSettings& settings,
                     const NonCodeClass& codes, std::size_t piece_bytes) {
  if (count == 0) return {false, kFetchFailedText, {}};
  const double width = settings.fold_width;
  try {
    const Code code = CodeForChoice(settings.code, bytes);
    if (codes.FuncRogic() != 0) {
      // The code-page back end converts whole pages only; a conversion that fails there
      // leaves the page empty, and its reduction still replaces the Clipboard's text.
      std::u16string page;
      try {
        page = DecodeAsCode(codes, code, bytes);
      } catch (const Error&) {
      }
      return {true, HtmlToText(page, width), {}};
    }
    return {true, TextOfPage(bytes.Data(), code, width, std::max<std::size_t>(piece_bytes, 1)), {}};
  } catch (const std::bad_alloc&) {
    return Failed("there is not enough memory for the page's text");
  } catch (const std::exception& e) {
    return Failed(e.what());
  }
}

FetchResult FetchPageText(const std::u16string& url, const FetchSettings& settings,
                          const NonCodeClass& codes, const HttpLimits& limits) {
  ByteArray bytes;
  std::string why;
  const std::int32_t count = HttpGetBytes(url, bytes, settings.proxy, limits, &why);
  FetchResult result = PageText(count, bytes, settings, codes);
  if (count == 0) result.problem = std::move(why);
  return result;
}

}  // namespace pagelift
