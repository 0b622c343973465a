#pragma once

namespace pagelift {

// The forms a page's text is given in.
enum class TextForm {
  kAsIs,              // the reduction of HtmlToText, folded as WrapLines folds
  kReadable,          // the whole page laid out as a person reads it (ReadableText)
  kMain,              // the article or main text alone, in the readable layout (MainText)
  kReadableMarkdown,  // the readable form as Markdown, never folded (ReadableMarkdown)
  kMainMarkdown,      // the main form as Markdown, never folded (MainMarkdownForm)
};

// Whether the form is written as Markdown.
inline bool IsMarkdown(TextForm form) {
  return form == TextForm::kReadableMarkdown || form == TextForm::kMainMarkdown;
}

// Whether the form reads the page as the main form does: with scripting off, its main parts.
inline bool IsMainForm(TextForm form) {
  return form == TextForm::kMain || form == TextForm::kMainMarkdown;
}

}  // namespace pagelift
