#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "html/document.h"
#include "text/readable_stream.h"
#include "text/text_form.h"

namespace pagelift {

// The text of a page in a form that parses it (readable or main), from the page's decoded
// text as it comes, in pieces cut anywhere, so that the page is never held whole: its tree
// is built as the pieces come, or, for a page of more than kLargestParsedPage bytes, the
// readable form is laid out as it streams in (ReadableStream), whichever form was asked for.
// What PageForm gives of the form: its text, its clean HTML (see FormHtml) instead, or
// the text with the HTML beside it (see Html).
enum class FormOutput { kText, kHtml, kTextAndHtml };

class PageForm {
 public:
  // `page_bytes`: the page's size in bytes, which its text has no more units than. `width`
  // 0 folds the readable forms nowhere; Markdown is never folded. `url`: the page's address,
  // which the Markdown forms make its references absolute against.
  PageForm(TextForm form, double width, std::size_t page_bytes, std::u16string url = {},
           FormOutput output = FormOutput::kText);

  void Append(std::u16string_view piece);
  // Moves the folded text made so far to the end of `out`: some only while the page streams.
  void TakeText(std::u16string& out);
  // Ends the page: the rest of the folded text. Call once.
  std::u16string Finish();
  // After Finish, with FormOutput::kTextAndHtml: the HTML beside the text, moved out. Empty
  // for a page that streamed, or when memory ran out for it.
  std::u16string TakeHtml() { return std::move(html_); }

  // Whether the main form was asked for and the page streamed: the text is the readable
  // form's.
  bool MainGaveReadable() const { return form_ == TextForm::kMain && stream_.has_value(); }
  // Whether a Markdown form was asked for and the page streamed: the text is the readable
  // form's, as plain text.
  bool MarkdownGaveReadable() const {
    return (IsMarkdown(form_) || output_ == FormOutput::kHtml) && stream_.has_value();
  }

 private:
  TextForm form_;
  double width_;
  std::u16string url_;
  FormOutput output_;
  std::u16string html_;
  std::optional<html::DocumentParser> parser_;
  std::optional<ReadableStream> stream_;
};

}  // namespace pagelift
