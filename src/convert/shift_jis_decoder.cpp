#include "convert/shift_jis_decoder.h"

#include "convert/ascii_runs.h"

namespace pagelift {

namespace {

// Decodes from `at` what the table settles, into `to`; stops at the end or at the first
// byte it does not settle.
const std::uint8_t* DecodeByTable(const ShiftJisTable& table, const std::uint8_t* at,
                                  const std::uint8_t* end, char16_t*& to) {
  const bool ascii_is_itself = table.AsciiIsItself();
  while (at < end) {
    if (ascii_is_itself && *at < 0x80) {
      ascii_runs::Widen(at, end, to);
      continue;
    }
    const std::uint8_t byte = *at;
    switch (table.KindOf(byte)) {
      case ShiftJisTable::Kind::kSingle:
        *to++ = table.Unit(byte);
        ++at;
        continue;
      case ShiftJisTable::Kind::kLead:
        if (end - at >= 2) {
          if (const char16_t unit = table.Pair(byte, at[1]); unit != 0) {
            *to++ = unit;
            at += 2;
            continue;
          }
        }
        return at;
      case ShiftJisTable::Kind::kAsk:
        return at;
    }
  }
  return at;
}

}  // namespace

ShiftJisDecoder::ShiftJisDecoder() : table_(ShiftJisTable::Get()), codec_(Charset::kShiftJis) {}

void ShiftJisDecoder::Decode(std::span<const std::uint8_t> bytes, bool last, std::u16string& out) {
  const std::uint8_t* at = bytes.data();
  const std::uint8_t* const end = at + bytes.size();
  // Neither the table nor the converter makes more than one unit of a byte; a lead that
  // the converter held from the piece before adds one.
  const std::size_t start = out.size();
  out.resize(start + bytes.size() + 2);
  char16_t* to = out.data() + start;
  char16_t* const limit = out.data() + out.size();
  if (codec_holds_bytes_) at = ThroughConverter(at, end, last, to, limit);
  while (at < end) {
    at = DecodeByTable(table_, at, end, to);
    if (at < end) at = ThroughConverter(at, end, last, to, limit);
  }
  out.resize(static_cast<std::size_t>(to - out.data()));
}

// In Shift_JIS a character is one byte or two. Whatever came before, a character ends
// with a byte that is a character of its own, as every ASCII byte is: it either ends the
// pair that a lead before it opened, or, when it cannot end that pair, the converter
// replaces the lead (ICU the lead alone, Windows the two) and reads on after it. The
// converter reads on to the start of a long run of ASCII, so that a page full of bad bytes
// does not call it for each.
const std::uint8_t* ShiftJisDecoder::ThroughConverter(const std::uint8_t* at,
                                                      const std::uint8_t* end, bool last,
                                                      char16_t*& to, char16_t* limit) {
  const std::uint8_t* const stop =
      table_.AsciiIsItself() ? ascii_runs::PastLongRunStart(codec_holds_bytes_ ? at : at + 1, end)
                             : end;
  const bool to_end = stop == end;
  to = codec_.DecodePartTo({at, static_cast<std::size_t>(stop - at)}, to_end && last, to, limit);
  codec_holds_bytes_ = to_end && !last;
  return stop;
}

}  // namespace pagelift
