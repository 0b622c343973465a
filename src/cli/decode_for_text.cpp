#include "cli/decode_for_text.h"

#include <vector>

#include "cli/usage_error.h"
#include "cli/utf8.h"
#include "convert/bom.h"

namespace pagelift::cli {

std::u16string DecodeForText(const std::string& code, std::span<const std::uint8_t> bytes) {
  if (code != "UTF-8" && code != "UTF8") throw UsageError("code not supported yet: " + code);
  const ByteArray page(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
  return TextOfUtf8(CutBOM(page, ByteArray{0xEF, 0xBB, 0xBF}).Data());
}

}  // namespace pagelift::cli
