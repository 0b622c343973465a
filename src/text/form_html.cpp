#include "text/form_html.h"

#include "text/html_writer.h"
#include "text/main_text.h"
#include "text/readable_text.h"

namespace pagelift {

std::u16string FormHtml(const html::Document& document, std::u16string_view url, bool main,
                        const MainModel& model) {
  const std::u16string title = TitleOf(document);
  HtmlWriter writer(document, url);
  writer.Title(title);
  if (main) {
    LayOutMainForm(document, title, writer, model);
  } else {
    LayOut(document, html::Document::kRoot, writer);
  }
  return writer.Finish();
}

}  // namespace pagelift
