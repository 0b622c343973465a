#include "convert/utf8_text.h"

#include <algorithm>
#include <limits>

#include "base/errors.h"
#include "base/fault_ahead.h"
#include "convert/ascii_runs.h"
#include "convert/utf8_units.h"

namespace pagelift {

namespace {

bool IsLeadSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsTrailSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}
bool IsContinuation(std::uint8_t byte) {
  return (byte & 0xC0) == 0x80;
}

// Converts `text` in pieces, so that no length passes the converter's 32-bit limit, into
// `bytes`; a piece never ends between the two halves of a surrogate pair.
template <typename Sink>
void ForEachUtf8Piece(std::u16string_view text, std::string& bytes, Sink sink) {
  constexpr std::size_t kPiece = 1 << 16;
  bytes.resize(std::max(bytes.size(), std::min(text.size(), kPiece) * 3));
  while (!text.empty()) {
    std::size_t size = std::min(text.size(), kPiece);
    if (size < text.size() && IsLeadSurrogate(text[size - 1])) --size;
    // ASCII runs are copied; the converter converts what lies between them, each a whole number of
    // characters, since no surrogate pair holds an ASCII unit.
    const char16_t* at = text.data();
    const char16_t* const end = at + size;
    char* to = bytes.data();
    while (at < end) {
      ascii_runs::Narrow(at, end, to);
      const char16_t* other = at;
      while (other < end && *other >= 0x80) ++other;
      if (other == at) continue;
      to = UnitsToUtf8(at, static_cast<std::size_t>(other - at), to,
                       static_cast<std::size_t>(bytes.data() + bytes.size() - to));
      at = other;
    }
    sink(std::string_view(bytes.data(), static_cast<std::size_t>(to - bytes.data())));
    text.remove_prefix(size);
  }
}

}  // namespace

std::u16string Utf8ToText(std::span<const std::uint8_t> bytes) {
  if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
    throw Error("the text is too large (2 GB or more)");
  }
  std::u16string text;
  AppendUtf8Text(bytes, text);
  return text;
}

void AppendUtf8Text(std::span<const std::uint8_t> bytes, std::u16string& out) {
  if (bytes.empty()) return;
  // UTF-8 never takes fewer bytes than UTF-16 takes units. The room is made a step at a
  // time, so that of the units a step may need, no more are cleared than the text fills:
  // Japanese takes three bytes a unit, and clearing the rest would fault in memory for
  // nothing.
  out.reserve(out.size() + bytes.size());
  constexpr std::size_t kStep = std::size_t{1} << 16;
  std::size_t used = out.size();
  FaultAhead fault_ahead;
  const std::uint8_t* at = bytes.data();
  const std::uint8_t* const end = at + bytes.size();
  while (at < end) {
    // A step ends before a byte that is no continuation: no sequence is cut.
    const std::uint8_t* step_end = static_cast<std::size_t>(end - at) > kStep ? at + kStep : end;
    while (step_end < end && IsContinuation(*step_end)) ++step_end;
    fault_ahead.Reach(out.data(), out.data() + used, out.data() + out.capacity());
    out.resize(used + static_cast<std::size_t>(step_end - at));
    char16_t* to = out.data() + used;
    // Long ASCII runs are copied; the converter converts what lies between them, short
    // runs included, at its own speed. An ASCII byte is never part of a sequence, and ends
    // one cut short, so each stretch that ends at one converts as it would within the whole.
    while (at < step_end) {
      ascii_runs::Widen(at, step_end, to);
      if (at == step_end) break;
      const std::uint8_t* other = ascii_runs::PastLongRunStart(at, step_end);
      to = Utf8ToUnits(at, static_cast<std::size_t>(other - at), to);
      at = other;
    }
    used = static_cast<std::size_t>(to - out.data());
  }
  out.resize(used);
}

namespace {

// How many bytes at the end of `bytes` begin a sequence that they may not finish: those
// from the last byte that is no continuation, when it is among the last three and leads.
std::size_t OpenTail(std::span<const std::uint8_t> bytes) {
  for (std::size_t k = 1; k <= 3 && k <= bytes.size(); ++k) {
    const std::uint8_t byte = bytes[bytes.size() - k];
    if (!IsContinuation(byte)) return byte >= 0xC0 ? k : 0;
  }
  return 0;
}

}  // namespace

// A byte that is no continuation always begins a sequence of its own, whatever came
// before, so the text can be cut there; a lead and the continuations after it, of which
// there are at most three, are read together.
void Utf8Reader::Read(std::span<const std::uint8_t> bytes, bool last, std::u16string& out) {
  if (!held_.empty()) {
    // The held sequence goes on with the continuations that follow it, three at most.
    std::size_t more = 0;
    while (more < 3 && more < bytes.size() && IsContinuation(bytes[more])) ++more;
    held_.insert(held_.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(more));
    bytes = bytes.subspan(more);
    if (bytes.empty() && !last) return;  // the next piece may go on with it still
    AppendUtf8Text(held_, out);
    held_.clear();
  }
  const std::size_t open = last ? 0 : OpenTail(bytes);
  AppendUtf8Text(bytes.first(bytes.size() - open), out);
  held_.assign(bytes.end() - static_cast<std::ptrdiff_t>(open), bytes.end());
}

std::string TextToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  std::string bytes;
  ForEachUtf8Piece(text, bytes, [&out](std::string_view piece) { out += piece; });
  return out;
}

void WriteUtf8(std::ostream& out, std::u16string_view text) {
  Utf8Writer writer(out);
  writer.Write(text);
  writer.Finish();
}

void Utf8Writer::Write(std::u16string_view part) {
  const auto write = [this](std::string_view piece) {
    out_.write(piece.data(), static_cast<std::streamsize>(piece.size()));
  };
  if (!held_.empty() && !part.empty()) {
    // The held lead and the unit after it, as a pair when they are one.
    if (IsTrailSurrogate(part.front())) {
      held_.push_back(part.front());
      part.remove_prefix(1);
    }
    ForEachUtf8Piece(held_, bytes_, write);
    held_.clear();
  }
  if (!part.empty() && IsLeadSurrogate(part.back())) {
    held_.push_back(part.back());
    part.remove_suffix(1);
  }
  ForEachUtf8Piece(part, bytes_, write);
}

void Utf8Writer::Finish() {
  const auto write = [this](std::string_view piece) {
    out_.write(piece.data(), static_cast<std::streamsize>(piece.size()));
  };
  ForEachUtf8Piece(held_, bytes_, write);
  held_.clear();
}

}  // namespace pagelift
