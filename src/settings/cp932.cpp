#include "settings/cp932.h"

#include <exception>
#include <span>

#include "convert/charsets.h"
#include "convert/code_page_932.h"
#include "convert/utf8_text.h"

namespace pagelift {
namespace {

std::span<const std::uint8_t> AsBytes(std::string_view bytes) {
  return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

bool IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The length of `bytes` without a lead byte whose partner was cut off.
std::size_t WholeCharacters(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) i += IsLeadByte(static_cast<unsigned char>(bytes[i])) ? 2 : 1;
  return i > bytes.size() ? bytes.size() - 1 : bytes.size();
}

}  // namespace

std::u16string DecodeCp932(std::string_view bytes, bool complete) {
  if (!complete) bytes = bytes.substr(0, WholeCharacters(bytes));
  try {
    return Decode(Charset::kShiftJis, AsBytes(bytes));
  } catch (const std::exception&) {
    return {};
  }
}

std::string EncodeCp932(std::u16string_view text) {
  try {
    const std::vector<std::uint8_t> bytes = EncodeCodePage932(text);
    return std::string(bytes.begin(), bytes.end());
  } catch (const std::exception&) {
    return {};
  }
}

std::u16string WithCp932UrlEscapes(std::u16string_view url) {
  static constexpr char16_t kHex[] = u"0123456789ABCDEF";
  std::u16string out;
  out.reserve(url.size());
  for (std::size_t i = 0; i < url.size();) {
    const bool pair = i + 1 < url.size() && url[i] >= 0xD800 && url[i] <= 0xDBFF &&
                      url[i + 1] >= 0xDC00 && url[i + 1] <= 0xDFFF;
    const std::u16string_view character = url.substr(i, pair ? 2 : 1);
    i += character.size();
    if (character[0] < 0x80 || DecodeCp932(EncodeCp932(character)) == character) {
      out += character;
      continue;
    }
    for (const unsigned char byte : TextToUtf8(character)) {
      out += {u'%', kHex[byte >> 4], kHex[byte & 0xF]};
    }
  }
  return out;
}

}  // namespace pagelift
