#pragma once

namespace pagelift {

// The forms a page's text is given in.
enum class TextForm {
  kAsIs,      // the reduction of HtmlToText, folded as WrapLines folds
  kReadable,  // the whole page laid out as a person reads it (ReadableText)
  kMain,      // the article or main text alone, in the readable layout (MainText)
};

}  // namespace pagelift
