#include "text/form_html.h"

#include <new>
#include <optional>

#include "text/html_writer.h"
#include "text/main_text.h"
#include "text/markdown_writer.h"
#include "text/readable_text.h"

namespace pagelift {

namespace {

// Hands each element and text of a walk to the form's writer and to the HTML writer. The
// HTML is the extra: when memory runs out for it, it is dropped and the text goes on.
class TextAndHtmlSinks final : public LayoutSink {
 public:
  TextAndHtmlSinks(LayoutSink& text, std::optional<HtmlWriter>& html) : text_(text), html_(html) {}

  void Enter(html::NodeId node, html::Tag tag, Role role,
             const ElementAttributes& attributes) override {
    text_.Enter(node, tag, role, attributes);
    ToHtml([&] { html_->Enter(node, tag, role, attributes); });
  }
  void Leave() override {
    text_.Leave();
    ToHtml([&] { html_->Leave(); });
  }
  void Text(std::u16string_view text) override {
    text_.Text(text);
    ToHtml([&] { html_->Text(text); });
  }

 private:
  template <typename Call>
  void ToHtml(Call call) {
    if (!html_) return;
    try {
      call();
    } catch (const std::bad_alloc&) {
      html_.reset();
    }
  }

  LayoutSink& text_;
  std::optional<HtmlWriter>& html_;
};

// FormTextAndHtml with `writer`, the form's own, given its title already.
template <typename Writer>
FormWithHtml WalkForBoth(const html::Document& document, TextForm form, Writer& writer,
                         std::u16string_view title, std::u16string_view url,
                         const MainModel& model) {
  std::optional<HtmlWriter> html;
  try {
    html.emplace(document, url);
    html->Title(title);
  } catch (const std::bad_alloc&) {
    html.reset();
  }
  TextAndHtmlSinks sinks(writer, html);
  if (IsMainForm(form)) {
    LayOutMainForm(document, title, sinks, model);
  } else {
    LayOut(document, html::Document::kRoot, sinks);
  }
  FormWithHtml both{writer.Finish(), {}};
  if (html) {
    try {
      both.html = html->Finish();
    } catch (const std::bad_alloc&) {
    }
  }
  return both;
}

}  // namespace

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

FormWithHtml FormTextAndHtml(const html::Document& document, TextForm form, double width,
                             std::u16string_view url, const MainModel& model) {
  const std::u16string title = TitleOf(document);
  if (IsMarkdown(form)) {
    MarkdownWriter writer(document, url);
    writer.Title(title);
    return WalkForBoth(document, form, writer, title, url, model);
  }
  ReadableLayout layout(width);
  ReserveForm(document, layout);
  layout.Title(title);
  return WalkForBoth(document, form, layout, title, url, model);
}

}  // namespace pagelift
