#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "text/unicode_tables.h"

namespace pagelift {

// What a run of text is made of, as the main form counts it. Characters count by what they
// say: an East Asian wide one two (a Japanese sentence says in 40 characters what an English
// one says in 80); blanks not at all.
struct TextCounts {
  std::uint32_t text = 0;
  std::uint32_t marks = 0;   // punctuation: . , ! ? ; 、 。 and their full-width forms
  std::uint32_t stops = 0;   // sentence ends: . ! ? 。 and their full-width forms
  std::uint32_t digits = 0;  // ASCII and full-width
  std::uint32_t words = 0;   // runs of letters and digits
  std::uint32_t wide = 0;    // East Asian wide characters
  std::uint32_t money = 0;   // currency signs: $ € £ ¥ and the yen's full-width and kanji forms
  std::uint32_t separators = 0;  // | · • ｜ and the like
  std::uint32_t capitals = 0;    // A to Z
  std::uint32_t hash = 0;  // of the characters but the blanks, carried on from the text before
  bool in_word = false;    // the text ended inside a word (carried on too)
  bool ends_stop = false;  // the last character that is no blank ends a sentence
};

namespace text_counts {

enum : std::uint8_t { kOther, kBlank, kMark, kStop, kDigit, kLetter, kCapital, kMoney, kSeparator };

constexpr auto kAscii = [] {
  std::array<std::uint8_t, 0x80> kinds{};
  for (const char c : {' ', '\t', '\n', '\r', '\f'}) kinds[static_cast<std::size_t>(c)] = kBlank;
  for (const char c : {',', ';'}) kinds[static_cast<std::size_t>(c)] = kMark;
  for (const char c : {'.', '!', '?'}) kinds[static_cast<std::size_t>(c)] = kStop;
  for (char c = '0'; c <= '9'; ++c) kinds[static_cast<std::size_t>(c)] = kDigit;
  for (char c = 'a'; c <= 'z'; ++c) kinds[static_cast<std::size_t>(c)] = kLetter;
  for (char c = 'A'; c <= 'Z'; ++c) kinds[static_cast<std::size_t>(c)] = kCapital;
  kinds['$'] = kMoney;
  kinds['|'] = kSeparator;
  kinds['_'] = kLetter;
  return kinds;
}();

inline std::uint8_t KindOfWide(char16_t c) {
  switch (c) {
    case 0xA0:
    case 0x3000:
      return kBlank;
    case 0x00A3:  // £
    case 0x00A5:  // ¥
    case 0x20AC:  // €
    case 0x5186:  // 円
    case 0xFFE5:  // ￥
      return kMoney;
    case 0x00B7:  // ·
    case 0x2022:  // •
    case 0xFF5C:  // ｜
    case 0x30FB:  // ・
      return kSeparator;
    case 0x3001:  // 、
    case 0xFF0C:  // ，
      return kMark;
    case 0x3002:  // 。
    case 0xFF01:  // ！
    case 0xFF0E:  // ．
    case 0xFF1F:  // ？
      return kStop;
    default:
      break;
  }
  if (c >= 0xFF10 && c <= 0xFF19) return kDigit;
  // Punctuation and symbols of the general, CJK and full-width blocks are no letters.
  if ((c >= 0x2000 && c <= 0x2BFF) || (c >= 0x3000 && c <= 0x303F) ||
      (c >= 0xFF00 && c <= 0xFF0F) || (c >= 0xFF1A && c <= 0xFF20) || c < 0xC0) {
    return kOther;
  }
  return kLetter;
}

// A character's weight: an East Asian wide one says about what two Latin letters say.
inline std::uint32_t Weight(char16_t c) {
  if (c < 0x1100) return 1;
  // Kana and the common ideographs, without looking them up.
  if ((c >= 0x3040 && c <= 0x30FF) || (c >= 0x4E00 && c <= 0x9FFF)) return 2;
  return c >= 0xD800 && c <= 0xDFFF ? 1 : IsEastAsianWide(c) ? 2 : 1;
}

inline constexpr std::uint32_t kHashPrime = 0x01000193;

}  // namespace text_counts

// Adds what `text` is made of to `counts`.
inline void CountCharacters(std::u16string_view text, TextCounts& counts) {
  using namespace text_counts;
  std::uint32_t hash = counts.hash;
  bool in_word = counts.in_word;
  for (const char16_t c : text) {
    std::uint8_t kind;
    std::uint32_t weight = 1;
    if (c < 0x80) {
      kind = kAscii[c];
    } else {
      kind = KindOfWide(c);
      weight = Weight(c);
      if (weight == 2) ++counts.wide;
    }
    if (kind == kBlank) {
      in_word = false;
      continue;
    }
    counts.text += weight;
    counts.ends_stop = kind == kStop;
    if (kind == kLetter || kind == kDigit || kind == kCapital) {
      if (!in_word) ++counts.words;
      in_word = true;
      if (kind == kDigit) ++counts.digits;
      if (kind == kCapital) ++counts.capitals;
    } else {
      if (kind == kMoney) ++counts.money;
      if (kind == kSeparator) ++counts.separators;
      in_word = false;
      if (kind == kMark) ++counts.marks;
      if (kind == kStop) {
        ++counts.marks;
        ++counts.stops;
      }
    }
    hash = (hash ^ c) * kHashPrime;
  }
  counts.hash = hash;
  counts.in_word = in_word;
}

}  // namespace pagelift
