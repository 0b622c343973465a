#include "text/main_text.h"

#include "html/document.h"
#include "text/readable_layout.h"
#include "text/readable_text.h"

namespace pagelift {

MainForm MainTextForm(std::u16string_view page, double width, const MainSignals& signals) {
  if (page.size() > kLargestParsedPage) return {ReadableText(page, width), false};
  return MainTextForm(html::ParseDocument(page), width, signals);
}

MainForm MainTextForm(const html::Document& document, double width, const MainSignals& signals) {
  BlockScores scores(document, signals);
  ReadableLayout layout(width);
  ReserveForm(document, layout);
  const std::u16string title = TitleOf(document);
  layout.Title(title);
  const html::NodeId main = scores.Main();
  if (main == html::kNoNode) {
    LayOut(document, html::Document::kRoot, layout);
    return {layout.Finish(), false};
  }
  scores.SetTitle(title);
  // The main element and the lines just before it, walked from their parent, so that each
  // is entered as the readable form enters it.
  const html::NodeId parent = document.Parent(main);
  const html::NodeId lead = scores.LeadIn();
  bool within = false;
  LayOut(document, parent, layout, [&](html::NodeId node) {
    if (document.Parent(node) == parent) {
      if (node == lead) within = true;
      const bool outside = !within;
      if (node == main) within = false;
      if (outside) return true;
    }
    return document.Kind(node) == html::NodeKind::kElement && scores.LeftOut(node);
  });
  return {layout.Finish(), true};
}

std::u16string MainText(std::u16string_view page, double width) {
  return MainTextForm(page, width).text;
}

}  // namespace pagelift
