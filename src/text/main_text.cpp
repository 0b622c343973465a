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

bool LayOutMainForm(const html::Document& document, std::u16string_view title, LayoutSink& writer,
                    const MainModel& model) {
  const MainParts parts = ChooseMainParts(document, title, model);
  if (parts.empty()) {
    LayOut(document, html::Document::kRoot, writer);
    return false;
  }
  LayOutParts(document, parts, writer);
  return true;
}

MainForm MainTextForm(const html::Document& document, double width, const MainModel& model) {
  const std::u16string title = TitleOf(document);
  ReadableLayout layout(width);
  ReserveForm(document, layout);
  layout.Title(title);
  const bool article = LayOutMainForm(document, title, layout, model);
  return {layout.Finish(), article};
}

std::u16string MainText(std::u16string_view page, double width) {
  return MainTextForm(page, width).text;
}

}  // namespace pagelift
