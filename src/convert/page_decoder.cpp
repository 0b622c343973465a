#include "convert/page_decoder.h"

namespace pagelift {

namespace {

// The bytes in order as 16-bit units, low or high byte first; an odd byte waits for its
// partner.
void AppendUtf16(std::span<const std::uint8_t> bytes, bool big_endian,
                 std::optional<std::uint8_t>& odd_byte, std::u16string& out) {
  const auto unit = [big_endian](std::uint8_t first, std::uint8_t second) {
    return static_cast<char16_t>(big_endian ? first << 8 | second : first | second << 8);
  };
  if (bytes.empty()) return;
  if (odd_byte) {
    out.push_back(unit(*odd_byte, bytes[0]));
    odd_byte.reset();
    bytes = bytes.subspan(1);
  }
  const std::size_t start = out.size();
  out.resize(start + bytes.size() / 2);
  for (std::size_t i = 0; i < bytes.size() / 2; ++i) {
    out[start + i] = unit(bytes[2 * i], bytes[2 * i + 1]);
  }
  if (bytes.size() % 2 != 0) odd_byte = bytes.back();
}

}  // namespace

PageDecoder::PageDecoder(Code code) : big_endian_(code == Code::kUTF16BE) {
  const CodeFacts& facts = FactsOf(code);
  if (!facts.mark.empty()) marks_.emplace(std::vector(facts.mark.begin(), facts.mark.end()));
  if (facts.charset.empty()) return;  // UTF-16 needs no converter
  charset_ = std::make_unique<CharsetDecoder>(CharsetNamed(facts.charset).value());
}

void PageDecoder::Decode(std::span<const std::uint8_t> bytes, bool last, std::u16string& out) {
  if (marks_) bytes = marks_->Cut(bytes, last);
  if (!charset_) {
    AppendUtf16(bytes, big_endian_, odd_byte_, out);  // an odd last byte forms nothing
  } else {
    charset_->Decode(bytes, last, out);
  }
}

}  // namespace pagelift
