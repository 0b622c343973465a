#include "text/markdown_text.h"

#include "text/markdown_writer.h"
#include "text/readable_text.h"

namespace pagelift {

std::u16string ReadableMarkdown(const html::Document& document, std::u16string_view url) {
  MarkdownWriter writer(document, url);
  writer.Title(TitleOf(document));
  LayOut(document, html::Document::kRoot, writer);
  return writer.Finish();
}

MainForm MainMarkdownForm(const html::Document& document, std::u16string_view url,
                          const MainModel& model) {
  const std::u16string title = TitleOf(document);
  MarkdownWriter writer(document, url);
  writer.Title(title);
  const bool article = LayOutMainForm(document, title, writer, model);
  return {writer.Finish(), article};
}

}  // namespace pagelift
