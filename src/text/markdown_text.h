#pragma once

#include <string>
#include <string_view>

#include "html/document.h"
#include "text/main_text.h"

namespace pagelift {

// The readable form of a page as Markdown (see MarkdownWriter): its title as a heading, its
// address (`url`, where known: the page's references are made absolute against it), then
// the whole page. The page is parsed as browsers parse it.
std::u16string ReadableMarkdown(const html::Document& document, std::u16string_view url);

// The main form of a page as Markdown: the same first lines, then what the main form keeps
// (see MainTextForm), from a page parsed with scripting off.
MainForm MainMarkdownForm(const html::Document& document, std::u16string_view url,
                          const MainModel& model = MainModel::Compiled());

}  // namespace pagelift
