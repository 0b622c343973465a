#include "text/page_form.h"

#include <utility>

#include "text/form_html.h"
#include "text/main_text.h"
#include "text/markdown_text.h"
#include "text/readable_text.h"

namespace pagelift {

namespace {

// A width no line reaches: the readable forms' lines are never folded.
constexpr double kNoFold = 1e300;

}  // namespace

PageForm::PageForm(TextForm form, double width, std::size_t page_bytes, std::u16string url,
                   FormOutput output)
    : form_(form), width_(width == 0 ? kNoFold : width), url_(std::move(url)), output_(output) {
  if (page_bytes > kLargestParsedPage) {
    stream_.emplace(width_);
  } else {
    // The main form reads what a page gives those without scripts.
    parser_.emplace(page_bytes, IsMainForm(form) ? html::Scripting::kOff : html::Scripting::kOn);
  }
}

void PageForm::Append(std::u16string_view piece) {
  if (stream_) {
    stream_->Append(piece);
  } else {
    parser_->Append(piece);
  }
}

void PageForm::TakeText(std::u16string& out) {
  if (stream_) stream_->TakeText(out);
}

std::u16string PageForm::Finish() {
  if (stream_) return stream_->Finish();
  const html::Document document = parser_->Finish();
  parser_.reset();  // its buffers go before the layout begins
  if (output_ == FormOutput::kHtml) return FormHtml(document, url_, IsMainForm(form_));
  if (output_ == FormOutput::kTextAndHtml) {
    FormWithHtml both = FormTextAndHtml(document, form_, width_, url_);
    html_ = std::move(both.html);
    return std::move(both.text);
  }
  switch (form_) {
    case TextForm::kMain:
      return MainTextForm(document, width_).text;
    case TextForm::kReadableMarkdown:
      return ReadableMarkdown(document, url_);
    case TextForm::kMainMarkdown:
      return MainMarkdownForm(document, url_).text;
    default:
      return ReadableText(document, width_);
  }
}

}  // namespace pagelift
