#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "html/document.h"
#include "text/main_model.h"
#include "text/readable_layout.h"

namespace pagelift {

// The largest page, in UTF-16 units (or bytes of the page, which are never fewer), that the
// forms parse into a tree; above it the readable form is laid out as the page streams in
// (see ReadableStream), and the main form gives it too: a tree takes about twice and a
// half the page's bytes.
inline constexpr std::size_t kLargestParsedPage = std::size_t{64} << 20;

// The main form of a page, and whether it found main content there.
struct MainForm {
  std::u16string text;
  // false: no block of the page stood out as its main content, and `text` is the readable
  // form of the whole page.
  bool article = false;
};

// The main form of a decoded page: its title, then its main content alone (see
// ChooseMainParts), laid out and folded at `width` as the readable form lays out and folds
// (see ReadableText): without the navigation, headers, footers, sidebars, lists of links and
// stories, comments, sharing buttons and notices around it. The page is parsed with scripting
// off, so that what it gives in noscript is there. When no block stands out, and for a page
// of more than kLargestParsedPage units, the readable form of the whole page. Throws what
// ReadableText throws.
MainForm MainTextForm(std::u16string_view page, double width,
                      const MainModel& model = MainModel::Compiled());
// The same for a page already parsed, with scripting off (html::Scripting::kOff) to find what
// noscript holds.
MainForm MainTextForm(const html::Document& document, double width,
                      const MainModel& model = MainModel::Compiled());
std::u16string MainText(std::u16string_view page, double width);

// Hands `writer` the main content of a page parsed with scripting off (see ChooseMainParts),
// or the whole page where no block stands out; true for main content.
bool LayOutMainForm(const html::Document& document, std::u16string_view title, LayoutSink& writer,
                    const MainModel& model = MainModel::Compiled());

}  // namespace pagelift
