#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

#include "base/scalar_scan.h"
#include "base/window_masks.h"
#include "text/html_markers.h"
#include "text/line_folder.h"
#include "text/open_line.h"

namespace pagelift::html {

// The scan's other two states, kept in the same word as the regions' flags so that text
// outside all of them, the common case, is known by one test.
constexpr unsigned kInTag = 1u << 4;
constexpr unsigned kInPre = 1u << 5;
static_assert(((kInTag | kInPre) & kRegions) == 0);

// One left-to-right scan, which looks at the page through a window of 64 units and bit
// masks of where "<", ">", "&" and blanks are in it (see WindowMasks).
//
// Text and tags outside regions and "<pre>" are taken a window at a time: what is kept is
// worked out from the masks, and copied a run at a time. A marker that stands for text is
// acted on where it is found. The scan stops for a closer look only at "&", at a marker that
// opens a region or "<pre>", and where "<" and ">" do not take turns. Elsewhere (tags
// inside "<pre>", a tag's end looked for ahead) the next markup is a shift and a bit count
// away. Regions are looked at through windows of their own (see NextAngleBracket).
//
// Line ends become CR LF as the text is copied, with the same result as normalising the
// whole text first: no marker holds a CR or an LF, and outside "<pre>" both are dropped.
// So every CR LF of the reduced text is one the scan puts there, and the scan hands each
// line to the fold as it ends, while it is still in cache, instead of the whole text at
// the end. The line's buffer is then used again from its start.
//
// The page may come in parts, each scanned in turn where it may be cut (see page_cut.cpp):
// the state and the line begun carry over (see OpenLine), and the fold takes what it can
// of that line.
//
// `Build` is the build of the scan for one instruction set (see scan_builds.h): it makes the
// masks and finds and copies runs.
template <typename Build>
class Reducer {
 public:
  // Scans [begin, end), the page's next part, going on from `line`.
  Reducer(const char16_t* begin, const char16_t* end, OpenLine& line)
      : begin_(begin),
        end_(end),
        buffer_(line.RoomFor(static_cast<std::size_t>(end - begin))),
        line_(line),
        folder_(line.folder),
        state_(line.state) {
    MoveWindow(begin_);
  }

  // `last` ends the page.
  void Run(bool last) {
    const char16_t* at = begin_;
    char16_t* out = buffer_ + line_.kept;
    while (at < end_) {
      if ((state_ & ~kInTag) == 0) {
        at = InTextAndTags(at, out);
      } else if ((state_ & kRegions) != 0) {
        at = InRegion(at);
      } else if ((state_ & kInTag) != 0) {
        at = InTagInPre(at, out);
      } else {
        at = InPre(at, out);
      }
    }
    if (last) {
      EndLine(out);
    } else {
      // The line goes on in the next part: what the fold does not take yet stays.
      const char16_t* const taken = folder_.AddLineStart(buffer_, out);
      out = std::copy(taken, static_cast<const char16_t*>(out), buffer_);
    }
    line_.kept = static_cast<std::size_t>(out - buffer_);
    line_.state = state_;
  }

 private:
  static constexpr std::size_t kWindow = 64;
  static constexpr std::size_t kSlack = OpenLine::kSlack;

  // The scan in each of its states, from `at` (before `end_`); each returns where the scan
  // goes on, in the state it has then.

  // Text and tags, outside regions and "<pre>", are taken a window at a time. Markup that
  // follows markup is examined at once: a page made mostly of it would otherwise pay for a
  // window's worth of work at every unit.
  [[gnu::always_inline]] const char16_t* InTextAndTags(const char16_t* at, char16_t*& out) {
    if (!IsOneOf<u'<', u'&', u'>'>(*at)) {
      at = TextAndTags(at, out);
      if (at == end_ || (state_ & ~kInTag) != 0) return at;  // or a region or "<pre>" opened
    }
    if (*at == u'>') {
      if ((state_ & kInTag) == 0) *out++ = u'>';  // a ">" outside a tag is text
      state_ &= ~kInTag;
      return at + 1;
    }
    return ExamineMarkup(at, out);
  }

  // Nothing inside a region is copied. A closer clears only its own region, so a region
  // opened inside another must be closed as well before text comes back.
  //
  // Every marker but "-->" starts with "<", so the scan stops at angle brackets only: a
  // "-->" ends at the first ">" after where the scan went on, and counts when its two
  // dashes lie in what the scan passed over (and so were consumed by nothing).
  [[gnu::always_inline]] const char16_t* InRegion(const char16_t* at) {
    const char16_t* const passed = at;
    at = NextAngleBracket(at);
    if (at == end_) return at;
    if (*at == u'>') {
      if (at - passed >= 2 && at[-1] == u'-' && at[-2] == u'-') state_ &= ~kComment;
      return at + 1;
    }
    const Marker* marker = kInRegion.Find(at, end_);
    if (marker == nullptr) return at + 1;
    state_ =
        marker->action == Action::kOpenRegion ? state_ | marker->region : state_ & ~marker->region;
    return at + marker->text.size();
  }

  // A tag inside "<pre>": nothing in it is copied, but markers still act there; ">" ends
  // the tag.
  [[gnu::always_inline]] const char16_t* InTagInPre(const char16_t* at, char16_t*& out) {
    if (!IsOneOf<u'<', u'&', u'>'>(*at)) {
      at = NextMarkup(at);
      if (at == end_) return at;
    }
    if (*at == u'>') {
      state_ &= ~kInTag;
      return at + 1;
    }
    return ExamineMarkup(at, out);
  }

  // In "<pre>". Markup and line ends often follow one another; a run is looked for only
  // when one starts here.
  [[gnu::always_inline]] const char16_t* InPre(const char16_t* at, char16_t*& out) {
    if (!IsOneOf<u'<', u'&', u'\n', u'\r'>(*at)) {
      Build::template CopyUntil<u'<', u'&', u'\n', u'\r'>(at, end_, out);
      if (at == end_) return at;
    }
    if (*at == u'\n') {
      EndLine(out);
      return at + 1;
    }
    if (*at == u'\r') {
      // A CR before an LF goes: the LF brings the CR LF.
      if (at + 1 == end_ || at[1] != u'\n') *out++ = u'\r';
      return at + 1;
    }
    return ExamineMarkup(at, out);
  }

  // The window: where markup and blanks are in the 64 units from `window_`. The last window
  // is read from a copy padded with a unit that is neither; that copy, and the page
  // elsewhere, can be read 8 units past the window.
  void MoveWindow(const char16_t* start) {
    window_ = start;
    units_ = start;
    if (end_ - start < static_cast<std::ptrdiff_t>(kWindow + kSlack)) {
      tail_.fill(u'x');
      std::copy(start, std::min(end_, start + kWindow + kSlack), tail_.begin());
      units_ = tail_.data();
    }
    const WindowMasks masks = Build::Masks(units_);
    opens_ = masks.opens;
    closes_ = masks.closes;
    angle_parity_ = masks.angle_parity;
    dropped_ = masks.closes | masks.blanks;
    markup_ = masks.opens | masks.closes | masks.amps;
    stops_ = masks.amps | From(static_cast<std::size_t>(end_ - start));
  }

  // Bits from `n` up, none when `n` is 64 or more.
  static std::uint64_t From(std::size_t n) { return n >= kWindow ? 0 : ~std::uint64_t{0} << n; }
  static std::uint64_t Below(std::size_t n) { return ~From(n); }

  // Text and tags from `at`, to the end, to markup that needs a closer look ("&", a "<"
  // inside a tag, a ">" outside one), or past a marker that opens a region or "<pre>".
  //
  // Within a window the scan needs no stop of its own for a tag: while "<" and ">" take
  // turns, a unit is in a tag when the number of them up to it, and the tag state at the
  // start, add up to an odd number. What is kept is then a mask, copied a run at a time.
  // The markers that stand for text read as tags to the masks (see kReplacementsAreTags),
  // so acting on one changes nothing else.
  [[gnu::always_inline]] const char16_t* TextAndTags(const char16_t* at, char16_t*& out) {
    auto offset = static_cast<std::size_t>(at - window_);
    if (offset >= kWindow) {
      MoveWindow(at);
      offset = 0;
    }
    for (;;) {
      const std::uint64_t from = From(offset);
      // Whether the scan is in a tag at `at`, against the angle brackets before it.
      const std::uint64_t flip =
          0 - (((angle_parity_ << 1 >> offset) & 1) ^ ((state_ & kInTag) != 0 ? 1 : 0));
      const std::uint64_t in_tag = angle_parity_ ^ flip;
      const std::uint64_t out_of_turn = (opens_ & ~in_tag) | (closes_ & in_tag);
      auto limit = static_cast<std::size_t>(std::countr_zero((stops_ | out_of_turn) & from));
      // The kept units not copied yet: those in tags and ">" and blanks never are.
      std::uint64_t keep = ~(in_tag | dropped_) & from;
      for (std::uint64_t opens = opens_ & from & Below(limit); opens != 0; opens &= opens - 1) {
        const auto k = static_cast<std::size_t>(std::countr_zero(opens));
        if (!kOutsideRegions.MayStart(units_[k + 2], units_[k + 3])) continue;
        const Marker* marker = kOutsideRegions.Find(window_ + k, end_);
        if (marker == nullptr) continue;  // a tag like any other
        CopyKept(keep & Below(k), out);
        const std::size_t after = k + marker->text.size();
        keep &= From(after);
        Act(*marker, out);
        if ((state_ & ~kInTag) != 0) {
          // A region or "<pre>" opened, where the scan goes on from outside any tag.
          state_ &= ~kInTag;
          return window_ + after;
        }
      }
      CopyKept(keep & Below(limit), out);
      if (limit > offset) {
        state_ = (in_tag >> (limit - 1) & 1) != 0 ? state_ | kInTag : state_ & ~kInTag;
      }
      if (limit < kWindow) return window_ + limit;
      // The next window's place does not wait for this one's masks.
      if (end_ - window_ == kWindow) return end_;
      MoveWindow(window_ + kWindow);
      offset = 0;
    }
  }

  // Copies the units of the window that `keep` has bits for, a run at a time.
  void CopyKept(std::uint64_t keep, char16_t*& out) const {
    while (keep != 0) {
      const int start = std::countr_zero(keep);
      Build::CopyShort(units_ + start, static_cast<unsigned>(std::countr_one(keep >> start)), out);
      keep &= keep + (keep & (0 - keep));  // drops the run just copied
    }
  }

  // The first markup unit from `at`, or `end_`.
  [[gnu::always_inline]] const char16_t* NextMarkup(const char16_t* at) {
    if (const auto offset = static_cast<std::size_t>(at - window_); offset < kWindow) {
      if (const std::uint64_t bits = markup_ >> offset; bits != 0) {
        return at + std::countr_zero(bits);
      }
    }
    return NextMarkupPastWindow(at);
  }

  // The first "<" or ">" from `at`, or `end_`. Past the window, a region's script or style
  // sheet is looked at through windows of its own that find only these two, which take
  // half the work of the full masks.
  [[gnu::always_inline]] const char16_t* NextAngleBracket(const char16_t* at) {
    if (const auto offset = static_cast<std::size_t>(at - window_); offset < kWindow) {
      if (const std::uint64_t bits = (opens_ | closes_) >> offset; bits != 0) {
        return at + std::countr_zero(bits);
      }
      at = WindowEnd();
      if (at == end_) return end_;  // nothing left, and `angles_at_` may be `end_`
    }
    if (const auto offset = static_cast<std::size_t>(at - angles_at_); offset < kWindow) {
      if (const std::uint64_t bits = angles_ >> offset; bits != 0) {
        return at + std::countr_zero(bits);
      }
      at = angles_at_ + kWindow;
    }
    return NextAngleBracketPastWindows(at);
  }

  const char16_t* NextAngleBracketPastWindows(const char16_t* at) {
    for (; end_ - at >= static_cast<std::ptrdiff_t>(kWindow); at += kWindow) {
      angles_at_ = at;
      angles_ = Build::Angles(at);
      if (angles_ != 0) return at + std::countr_zero(angles_);
    }
    return Build::template FindFirstOf<u'<', u'>'>(at, end_);
  }

  const char16_t* WindowEnd() const {
    return window_ + std::min<std::ptrdiff_t>(kWindow, end_ - window_);
  }

  const char16_t* NextMarkupPastWindow(const char16_t* at) {
    // Windows follow one another from where the scan first needs one. The scan comes back
    // behind the window only after a tag's end was looked for ahead and a marker matched
    // instead; the end looked for is the first markup after the marker's "<", and no
    // marker holds markup after its first unit but its last, so nothing is looked at more
    // than twice.
    if (at >= window_) at = std::max(at, WindowEnd());
    for (; at < end_; at = WindowEnd()) {
      MoveWindow(at);
      if (markup_ != 0) return at + std::countr_zero(markup_);
    }
    return end_;
  }

  void EndLine(char16_t*& out) {
    folder_.AddLine(buffer_, out);
    out = buffer_;
  }

  // A "<" or "&" outside regions, in a tag or not; returns where the scan goes on.
  [[gnu::always_inline]] const char16_t* ExamineMarkup(const char16_t* at, char16_t*& out) {
    // A "<" that starts no marker opens a tag up to the next ">". Most tags hold no markup,
    // so their end is looked for at once, while the markers are compared.
    const bool opens_tag = *at == u'<';
    const char16_t* tag_end = at + 1;
    if (opens_tag && tag_end < end_ && !IsOneOf<u'<', u'&', u'>'>(*tag_end)) {
      tag_end = NextMarkup(tag_end);
    }
    const Marker* marker = kOutsideRegions.Find(at, end_);
    if (marker == nullptr) {
      if (opens_tag) {
        if (tag_end != end_ && *tag_end == u'>') {
          state_ &= ~kInTag;
          return tag_end + 1;
        }
        state_ |= kInTag;
        return tag_end;
      }
      if ((state_ & kInTag) == 0) {
        *out++ = u'&';  // an entity other than the three is text
      }
      return at + 1;
    }
    Act(*marker, out);
    return at + marker->text.size();
  }

  // What a marker found outside regions does.
  void Act(const Marker& marker, char16_t*& out) {
    switch (marker.action) {
      case Action::kOpenRegion:
        state_ |= marker.region;
        break;
      case Action::kAppend:
        *out++ = marker.appended;
        break;
      case Action::kEndLine:
        EndLine(out);
        break;
      case Action::kStartPre:
        state_ |= kInPre;
        break;
      case Action::kEndPre:
        state_ &= ~kInPre;
        break;
      case Action::kCloseRegion:
        break;  // not in this table
    }
  }

  const char16_t* const begin_;
  const char16_t* const end_;
  char16_t* const buffer_;  // the line being reduced
  OpenLine& line_;
  // The window (see MoveWindow).
  const char16_t* window_ = nullptr;
  const char16_t* units_ = nullptr;  // where its units are read: `window_`, or `tail_` for the last
  std::uint64_t opens_ = 0;
  std::uint64_t closes_ = 0;
  std::uint64_t markup_ = 0;        // "<", "&" and ">"
  std::uint64_t dropped_ = 0;       // ">" and blanks, which text and tags never copy
  std::uint64_t stops_ = 0;         // "&", and the units past the page's end
  std::uint64_t angle_parity_ = 0;  // see WindowMasks
  // The last window that only "<" and ">" were looked for in (see NextAngleBracket), at
  // `end_` until there is one. The page's last 63 units are searched without one.
  const char16_t* angles_at_ = end_;
  std::uint64_t angles_ = 0;
  std::array<char16_t, kWindow + kSlack> tail_{};
  LineFolder& folder_;
  unsigned state_;  // the open regions' flags, kInTag and kInPre
};

}  // namespace pagelift::html
