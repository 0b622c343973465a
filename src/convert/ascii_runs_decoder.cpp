#include "convert/ascii_runs_decoder.h"

#include <algorithm>
#include <array>

#include "convert/ascii_runs.h"

namespace pagelift {

namespace {

// The converters never make more units of these charsets than they take bytes; bytes held
// from the piece before may add a few.
constexpr std::size_t kHeldRoom = 8;

}  // namespace

AsciiRunsDecoder::AsciiRunsDecoder(Charset charset) : codec_(charset) {
  std::array<std::uint8_t, 0x80> ascii{};
  for (std::size_t byte = 0; byte < ascii.size(); ++byte) {
    ascii[byte] = static_cast<std::uint8_t>(byte);
  }
  std::u16string text;
  codec_.DecodeInto(ascii, text);
  ascii_is_itself_ =
      codec_.AsciiStandsAlone() && std::equal(text.begin(), text.end(), ascii.begin(), ascii.end());
}

void AsciiRunsDecoder::Decode(std::span<const std::uint8_t> bytes, bool last, std::u16string& out) {
  if (!ascii_is_itself_) {
    codec_.DecodePartInto(bytes, last, out);
    return;
  }
  const std::uint8_t* at = bytes.data();
  const std::uint8_t* const end = at + bytes.size();
  const std::size_t start = out.size();
  out.resize(start + bytes.size() + kHeldRoom);
  char16_t* to = out.data() + start;
  char16_t* const limit = out.data() + out.size();
  if (codec_holds_bytes_) at = ThroughConverter(at, end, last, to, limit);
  while (at < end) {
    ascii_runs::Widen(at, end, to);
    if (at < end) at = ThroughConverter(at, end, last, to, limit);
  }
  out.resize(static_cast<std::size_t>(to - out.data()));
}

const std::uint8_t* AsciiRunsDecoder::ThroughConverter(const std::uint8_t* at,
                                                       const std::uint8_t* end, bool last,
                                                       char16_t*& to, char16_t* limit) {
  const std::uint8_t* const stop = ascii_runs::PastLongRunStart(at, end);
  const bool to_end = stop == end;
  to = codec_.DecodePartTo({at, static_cast<std::size_t>(stop - at)}, to_end && last, to, limit);
  codec_holds_bytes_ = to_end && !last;
  return stop;
}

}  // namespace pagelift
