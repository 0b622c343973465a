#pragma once

#include <string>
#include <string_view>

#include "html/document.h"
#include "text/main_model.h"

namespace pagelift {

// The clean HTML (see HtmlWriter) of the readable form of a page parsed as browsers parse
// it, or, with `main`, of the main form of a page parsed with scripting off: the document
// that goes on the Clipboard beside the text.
std::u16string FormHtml(const html::Document& document, std::u16string_view url, bool main,
                        const MainModel& model = MainModel::Compiled());

}  // namespace pagelift
