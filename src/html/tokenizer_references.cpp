// Character references: named ones, read in one go with the longest name that matches, and
// numeric ones, whose digits the numeric reference state reads, however many there are.
#include <algorithm>

#include "html/named_entities.h"
#include "html/tokenizer.h"
#include "html/tokenizer_states.h"

namespace pagelift::html {

namespace {

// The value of a hex digit, or -1.
int HexValue(char16_t c) {
  if (IsDigit(c)) return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// A digit's value in a numeric reference, or -1.
int DigitValue(char16_t c, bool hex) {
  return hex ? HexValue(c) : (IsDigit(c) ? c - u'0' : -1);
}

// What a numeric character reference to 0x80..0x9F stands for: Windows-1252's character
// there, or 0 where the code point stays.
constexpr char16_t kWindows1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The code point's UTF-16 units in `out`; their number.
int Utf16Of(char32_t c, char16_t* out) {
  if (c < 0x10000) {
    out[0] = static_cast<char16_t>(c);
    return 1;
  }
  c -= 0x10000;
  out[0] = static_cast<char16_t>(0xD800 + (c >> 10));
  out[1] = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
  return 2;
}

}  // namespace

void Tokenizer::CharacterReference(std::size_t amp, bool in_attribute) {
  // What was read stays as it was: the page's own units.
  const auto as_read = [&](std::size_t to) {
    if (in_attribute) {
      AppendToValue(std::u16string_view(in_ + amp, to - amp));
    } else {
      EmitRun(amp, to);
    }
    pos_ = to;
  };
  if (AtEnd()) {
    if (!ended_) return Starve(amp, 2);
    return as_read(pos_);
  }
  const char16_t c = Cur();
  if (IsAlnum(c)) {
    // The named character reference state. Without a match, the letters and digits that
    // follow are read as they are (the ambiguous ampersand state), so only the "&" is. The
    // longest name and the unit after it decide.
    if (!ended_ && size_ - pos_ <= kLongestEntityName) {
      return Starve(amp, pos_ - amp + kLongestEntityName + 1);
    }
    std::size_t length = 0;
    const NamedEntity* entity = LongestNamedEntity(in_ + pos_, in_ + size_, length);
    if (entity == nullptr) return as_read(pos_);
    const std::size_t end = pos_ + length;
    if (in_attribute && entity->name.back() != u';' && end < size_ &&
        (in_[end] == u'=' || IsAlnum(in_[end]))) {
      return as_read(end);  // kept for historical reasons: "&copy=" in a URL
    }
    pos_ = end;
    return GiveReference(entity->first, entity->second, in_attribute);
  }
  if (c != u'#') return as_read(pos_);
  // The numeric character reference states: "#", perhaps "x", and a digit decide that the
  // reference is one; kNumericReference reads its digits.
  if (!ended_ && size_ - pos_ < 3) return Starve(amp, pos_ - amp + 3);
  std::size_t at = pos_ + 1;
  numeric_hex_ = at < size_ && (in_[at] == u'x' || in_[at] == u'X');
  if (numeric_hex_) ++at;
  if (at == size_ || DigitValue(in_[at], numeric_hex_) < 0) return as_read(at);
  numeric_code_ = 0;
  numeric_in_attribute_ = in_attribute;
  numeric_back_to_ = state_;
  state_ = S::kNumericReference;
  pos_ = at;
}

void Tokenizer::GiveReference(char32_t first, char32_t second, bool in_attribute) {
  int n = Utf16Of(first, units_);
  if (second != 0) n += Utf16Of(second, units_ + n);
  const std::u16string_view units(units_, static_cast<std::size_t>(n));
  if (in_attribute) {
    AppendToValue(units);
  } else {
    EmitUnits(units);
  }
}

void Tokenizer::ReferenceStates() {
  switch (state_) {
    case S::kNumericReference: {
      std::size_t at = pos_;
      for (int value; at < size_ && (value = DigitValue(in_[at], numeric_hex_)) >= 0; ++at) {
        // Past 0x10FFFF the value no longer matters: it becomes U+FFFD.
        numeric_code_ = std::min<char32_t>(
            numeric_code_ * (numeric_hex_ ? 16 : 10) + static_cast<char32_t>(value), 0x110000);
      }
      pos_ = at;
      if (MustWait()) break;  // the digits, or the ";" after them, may go on
      if (!AtEnd() && Cur() == u';') ++pos_;
      // The numeric character reference end state.
      char32_t code = numeric_code_;
      if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        code = 0xFFFD;
      } else if (code >= 0x80 && code <= 0x9F && kWindows1252[code - 0x80] != 0) {
        code = kWindows1252[code - 0x80];
      }
      state_ = numeric_back_to_;
      GiveReference(code, 0, numeric_in_attribute_);
      break;
    }
    default:
      break;  // not a reference state: Run gives each state to its file
  }
}

}  // namespace pagelift::html
