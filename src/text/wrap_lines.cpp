#include "text/wrap_lines.h"

#include "base/scan_builds.h"

namespace pagelift {

namespace {

// The CR of the first CR LF in [at, end), or `end`; a lone CR stays inside its line.
const char16_t* LineEnd(const char16_t* at, const char16_t* end) {
  for (;;) {
    at = BaselineScan::FindFirstOf<u'\r'>(at, end);
    if (at == end || (at + 1 < end && at[1] == u'\n')) return at;
    ++at;
  }
}

}  // namespace

void LineWrapper::Add(std::u16string_view part, bool last) {
  const char16_t* at = part.data();
  const char16_t* const end = at + part.size();
  if (!begun_.empty()) {
    // The line begun earlier goes on to the part's first CR LF, which may have begun
    // with the CR that ends it.
    if (begun_.back() == u'\r' && at < end && *at == u'\n') {
      begun_.pop_back();
      ++at;
    } else {
      const char16_t* const line_end = LineEnd(at, end);
      begun_.append(at, line_end);
      if (line_end == end) {
        AddLineStart(begun_.data(), begun_.data() + begun_.size(), last);
        return;
      }
      at = line_end + 2;
    }
    folder_.AddLine(begun_.data(), begun_.data() + begun_.size());
    begun_.clear();
  }
  for (;;) {
    const char16_t* const line_end = LineEnd(at, end);
    if (line_end == end) break;
    folder_.AddLine(at, line_end);
    at = line_end + 2;
  }
  AddLineStart(at, end, last);
}

void LineWrapper::AddLineStart(const char16_t* start, const char16_t* end, bool last) {
  if (last) {
    folder_.AddLine(start, end);
    begun_.clear();
    return;
  }
  // A CR at the end may begin the CR LF that ends the line: it waits.
  const bool cr = start < end && end[-1] == u'\r';
  const char16_t* const taken = folder_.AddLineStart(start, end - (cr ? 1 : 0));
  if (start == begun_.data()) {
    begun_.erase(0, static_cast<std::size_t>(taken - start));
  } else {
    begun_.assign(taken, end);
  }
}

std::u16string WrapLines(std::u16string_view text, double width) {
  LineWrapper wrapper(width, text.size());
  wrapper.Add(text, true);
  return wrapper.Finish();
}

}  // namespace pagelift
