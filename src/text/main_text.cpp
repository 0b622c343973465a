#include "text/main_text.h"

#include "html/document.h"
#include "text/main_choice.h"
#include "text/readable_layout.h"
#include "text/readable_text.h"

namespace pagelift {

MainForm MainTextForm(std::u16string_view page, double width, const MainModel& model) {
  if (page.size() > kLargestParsedPage) return {ReadableText(page, width), false};
  return MainTextForm(html::ParseDocument(page, html::Scripting::kOff), width, model);
}

MainForm MainTextForm(const html::Document& document, double width, const MainModel& model) {
  const std::u16string title = TitleOf(document);
  const MainParts parts = ChooseMainParts(document, title, model);
  ReadableLayout layout(width);
  ReserveForm(document, layout);
  layout.Title(title);
  if (parts.empty()) {
    LayOut(document, html::Document::kRoot, layout);
    return {layout.Finish(), false};
  }
  LayOutParts(document, parts, layout);
  return {layout.Finish(), true};
}

std::u16string MainText(std::u16string_view page, double width) {
  return MainTextForm(page, width).text;
}

}  // namespace pagelift
