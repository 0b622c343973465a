#pragma once

#include <cstdint>
#include <string>

#include "capture/http_get_bytes.h"
#include "convert/non_code_class.h"

namespace pagelift {

// What the Clipboard receives when nothing could be downloaded.
inline constexpr char16_t kFetchFailedText[] = u"ネット取得に失敗しました。";

// The settings a fetch reads from the dialog's controls at the moment it starts.
struct FetchSettings {
  std::u16string proxy;        // empty: the system's settings
  std::u16string code_choice;  // "自動判定", "SJIS", ... as the code box holds it
  std::u16string fold_width;   // the width field's text, read as a number
};

// What a fetch leaves for the Clipboard.
struct FetchResult {
  bool downloaded = false;  // false: `text` is the failure text
  std::u16string text;
};

// The text path over a download's result: with `count` 0 the failure text; otherwise the
// bytes decoded in the chosen (or judged) code, reduced to text and folded. A step that
// fails leaves its result empty and the path goes on. Raises nothing.
FetchResult PageText(std::int32_t count, const ByteArray& bytes, const FetchSettings& settings,
                     const NonCodeClass& codes);

// Downloads `url` and runs the text path over it. Touches no window or Clipboard.
FetchResult FetchPageText(const std::u16string& url, const FetchSettings& settings,
                          const NonCodeClass& codes, const HttpLimits& limits = {});

}  // namespace pagelift
