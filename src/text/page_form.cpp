#include "text/page_form.h"

#include "text/main_text.h"
#include "text/readable_text.h"

namespace pagelift {

PageForm::PageForm(TextForm form, double width, std::size_t page_bytes)
    : form_(form), width_(width) {
  if (page_bytes > kLargestParsedPage) {
    stream_.emplace(width);
  } else {
    // The main form reads what a page gives those without scripts.
    parser_.emplace(page_bytes,
                    form == TextForm::kMain ? html::Scripting::kOff : html::Scripting::kOn);
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
  return form_ == TextForm::kMain ? MainTextForm(document, width_).text
                                  : ReadableText(document, width_);
}

}  // namespace pagelift
