#include "convert/page_decoder.h"

namespace pagelift {

namespace {

Charset CharsetOf(Code code) {
  switch (code) {
    case Code::kJIS:
      return Charset::kIso2022Jp;
    case Code::kEUC:
      return Charset::kEucJp;
    case Code::kUTF7:
      return Charset::kUtf7;
    case Code::kUTF8:
      return Charset::kUtf8;
    case Code::kSJIS:
    case Code::kUNICODE:
      break;
  }
  return Charset::kShiftJis;
}

// The bytes in order as little-endian units; an odd byte waits for its partner.
void AppendUtf16(std::span<const std::uint8_t> bytes, std::optional<std::uint8_t>& odd_byte,
                 std::u16string& out) {
  if (bytes.empty()) return;
  if (odd_byte) {
    out.push_back(static_cast<char16_t>(*odd_byte | bytes[0] << 8));
    odd_byte.reset();
    bytes = bytes.subspan(1);
  }
  const std::size_t start = out.size();
  out.resize(start + bytes.size() / 2);
  for (std::size_t i = 0; i < bytes.size() / 2; ++i) {
    out[start + i] = static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
  }
  if (bytes.size() % 2 != 0) odd_byte = bytes.back();
}

}  // namespace

PageDecoder::PageDecoder(std::u16string_view code_name) : code_(CodeNamed(code_name)) {
  if (code_ == Code::kUNICODE) {
    marks_.emplace(std::vector<std::uint8_t>{0xFF, 0xFE});
    return;
  }
  if (code_ == Code::kUTF8) marks_.emplace(std::vector<std::uint8_t>{0xEF, 0xBB, 0xBF});
  charset_ = std::make_unique<CharsetDecoder>(CharsetOf(code_));
}

void PageDecoder::Decode(std::span<const std::uint8_t> bytes, bool last, std::u16string& out) {
  if (marks_) bytes = marks_->Cut(bytes, last);
  if (code_ == Code::kUNICODE) {
    AppendUtf16(bytes, odd_byte_, out);  // an odd last byte forms nothing
  } else {
    charset_->Decode(bytes, last, out);
  }
}

}  // namespace pagelift
