#pragma once

#include <string>
#include <string_view>

#include "html/document.h"
#include "text/main_model.h"
#include "text/text_form.h"

namespace pagelift {

// The clean HTML (see HtmlWriter) of the readable form of a page parsed as browsers parse
// it, or, with `main`, of the main form of a page parsed with scripting off: the document
// that goes on the Clipboard beside the text.
std::u16string FormHtml(const html::Document& document, std::u16string_view url, bool main,
                        const MainModel& model = MainModel::Compiled());

// A form's text and its clean HTML, for the Clipboard.
struct FormWithHtml {
  std::u16string text;
  // Empty when memory ran out for it: the text then stands alone.
  std::u16string html;
};

// The text of `form` (readable, main, or either as Markdown; folded at `width` where the
// form folds), exactly as the form alone gives it, and beside it the FormHtml of the same
// content: both from one walk of the page, so that the main form chooses its parts once.
// The page is parsed as the form reads it (scripting off for the main forms).
FormWithHtml FormTextAndHtml(const html::Document& document, TextForm form, double width,
                             std::u16string_view url,
                             const MainModel& model = MainModel::Compiled());

}  // namespace pagelift
