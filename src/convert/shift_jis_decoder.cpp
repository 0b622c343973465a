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

ShiftJisDecoder::ShiftJisDecoder() : table_(ShiftJisTable::Get()), icu_("windows-31j") {}

void ShiftJisDecoder::Decode(std::span<const std::uint8_t> bytes, bool last, std::u16string& out) {
  const std::uint8_t* at = bytes.data();
  const std::uint8_t* const end = at + bytes.size();
  if (icu_holds_bytes_) at = ThroughIcu(at, end, last, out);
  while (at < end) {
    // The table never makes more than one unit of a byte.
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(end - at));
    char16_t* to = out.data() + start;
    at = DecodeByTable(table_, at, end, to);
    out.resize(static_cast<std::size_t>(to - out.data()));
    if (at < end) at = ThroughIcu(at, end, last, out);
  }
}

// In Shift_JIS a character is one byte or two. Whatever came before, a character ends
// with the first byte after `at` that is a character of its own: it either ends the pair
// that a lead before it opened, or, when it cannot end that pair, ICU replaces the lead
// alone and reads it as itself.
const std::uint8_t* ShiftJisDecoder::ThroughIcu(const std::uint8_t* at, const std::uint8_t* end,
                                                bool last, std::u16string& out) {
  const std::uint8_t* stop = icu_holds_bytes_ ? at : at + 1;
  while (stop < end && table_.KindOf(*stop) != ShiftJisTable::Kind::kSingle) ++stop;
  const bool to_end = stop >= end;
  if (to_end) {
    stop = end;
  } else {
    ++stop;
  }
  const std::size_t start = out.size();
  icu_.DecodePartInto({at, static_cast<std::size_t>(stop - at)}, to_end && last, out);
  for (std::size_t i = start; i < out.size(); ++i) out[i] = RestoreShiftJisControl(out[i]);
  icu_holds_bytes_ = to_end && !last;
  return stop;
}

}  // namespace pagelift
