#include "shell/cp932.h"

#include <exception>
#include <span>

#include "convert/charsets.h"

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
    const std::vector<std::uint8_t> bytes = Encode(Charset::kShiftJis, text);
    return std::string(bytes.begin(), bytes.end());
  } catch (const std::exception&) {
    return {};
  }
}

}  // namespace pagelift
