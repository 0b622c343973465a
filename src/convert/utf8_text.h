#pragma once

#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pagelift {

// UTF-8 for the world outside the program (shells, files, libraries).

// The text of UTF-8 bytes; each invalid sequence becomes U+FFFD. Nothing else is
// changed: a byte-order mark stays as U+FEFF. Throws Error for input of 2 GB or more,
// which the converter cannot take in one piece.
std::u16string Utf8ToText(std::span<const std::uint8_t> bytes);

// Appends the text of `bytes`, less than 2 GB, to `out`.
void AppendUtf8Text(std::span<const std::uint8_t> bytes, std::u16string& out);

// Utf8ToText for bytes that come in pieces, cut anywhere: the text of all the pieces
// together is that of the whole.
class Utf8Reader {
 public:
  // Appends the text of the next piece, less than 2 GB, to `out`; `last` for the last
  // piece.
  void Read(std::span<const std::uint8_t> bytes, bool last, std::u16string& out);

 private:
  std::vector<std::uint8_t> held_;  // a sequence that the end of a piece may have cut short
};

// `text` as UTF-8, an unpaired surrogate as U+FFFD.
std::string TextToUtf8(std::u16string_view text);
// The same, written to `out` piece by piece instead of held whole.
void WriteUtf8(std::ostream& out, std::u16string_view text);

// WriteUtf8 for a text that comes in parts, cut anywhere: a surrogate pair cut in two is
// written whole.
class Utf8Writer {
 public:
  explicit Utf8Writer(std::ostream& out) : out_(out) {}
  void Write(std::u16string_view part);
  // Writes a lead surrogate that the last part ended with, unpaired.
  void Finish();

 private:
  std::ostream& out_;
  std::u16string held_;  // a lead surrogate that may begin a pair
  std::string bytes_;
};

}  // namespace pagelift
