#include "capture/fetch_text.h"

#include <algorithm>
#include <exception>
#include <functional>
#include <new>
#include <span>

#include "base/errors.h"
#include "convert/code_choice.h"
#include "text/html_to_text.h"
#include "text/page_form.h"

namespace pagelift {

namespace {

// The folded text of the page, decoded `piece_bytes` at a time as the facade's mode 0
// decodes it whole, and reduced as it comes; `reserved` units of room for the text, and
// `after_piece(reducer)` after each piece but the last.
template <typename AfterPiece>
std::u16string TextOfPage(std::span<const std::uint8_t> bytes, Code code, double width,
                          std::size_t piece_bytes, std::size_t reserved, AfterPiece after_piece) {
  PageReducer reducer(width, reserved);
  PageDecoder(code).DecodeAll(bytes, piece_bytes, reducer.Input(), [&](bool last) {
    if (last) return;
    reducer.Reduce();
    after_piece(reducer);
  });
  return reducer.Finish();
}

// The text of a page of `page_units` (or bytes) in a form that parses it (see PageForm),
// `feed(form)` handing it the page's text; `result` is told when the main form gave the
// readable one, and takes the HTML made beside the text.
template <typename Feed>
std::u16string FormOf(std::size_t page_units, const FetchSettings& settings, FetchResult& result,
                      Feed feed) {
  const FormOutput output = settings.html             ? FormOutput::kHtml
                            : settings.clipboard_html ? FormOutput::kTextAndHtml
                                                      : FormOutput::kText;
  PageForm form(settings.form, settings.fold_width, page_units, settings.page_url, output);
  feed(form);
  if (form.MainGaveReadable()) result.notice = kMainGaveReadableText;
  if (form.MarkdownGaveReadable()) result.notice = kMarkdownGaveReadableText;
  std::u16string text = form.Finish();
  result.html = form.TakeHtml();
  return text;
}

// FormOf the page decoded and parsed `piece_bytes` at a time, `after_piece(form)` after
// each piece.
template <typename AfterPiece>
std::u16string FormOfPage(std::span<const std::uint8_t> bytes, Code code,
                          const FetchSettings& settings, std::size_t piece_bytes,
                          FetchResult& result, AfterPiece after_piece) {
  return FormOf(bytes.size(), settings, result, [&](PageForm& form) {
    std::u16string piece;
    PageDecoder(code).DecodeAll(bytes, piece_bytes, piece, [&](bool) {
      form.Append(piece);
      piece.clear();
      after_piece(form);
    });
  });
}

FetchResult Failed(const std::string& problem) {
  return {false, kFetchFailedText, "the text of the page could not be made: " + problem};
}

// Runs `make_text`, which gives whether the page was downloaded, and turns what it raises
// into the failure text and why.
template <typename MakeText>
FetchResult Trapped(MakeText make_text) {
  try {
    return make_text();
  } catch (const std::bad_alloc&) {
    return Failed("there is not enough memory for the page's text");
  } catch (const std::exception& e) {
    return Failed(e.what());
  }
}

}  // namespace

FetchResult PageText(std::int32_t count, const ByteArray& bytes, const FetchSettings& settings,
                     const NonCodeClass& codes, std::size_t piece_bytes) {
  if (count == 0) return {false, kFetchFailedText, {}};
  const double width = settings.fold_width;
  return Trapped([&]() -> FetchResult {
    const Code code = CodeForChoice(settings.code, bytes);
    if (codes.FuncRogic() != 0) {
      // The code-page back end converts whole pages only; a conversion that fails there
      // leaves the page empty, and its reduction still replaces the Clipboard's text.
      std::u16string page;
      try {
        page = DecodeAsCode(codes, code, bytes);
      } catch (const Error&) {
      }
      if (settings.form == TextForm::kAsIs) return {true, HtmlToText(page, width), {}};
      FetchResult result{true, {}, {}};
      // Handed over in pieces, as the other back end's are: the parser then holds a piece at
      // a time, not a copy of the page. A piece never ends between the halves of a pair.
      result.text = FormOf(page.size(), settings, result, [&](PageForm& form) {
        for (std::u16string_view rest = page; !rest.empty();) {
          std::size_t size = std::min(rest.size(), std::max<std::size_t>(piece_bytes, 1));
          if (size < rest.size() && rest[size - 1] >= 0xD800 && rest[size - 1] <= 0xDBFF) ++size;
          form.Append(rest.substr(0, size));
          rest.remove_prefix(size);
        }
      });
      return result;
    }
    const std::span<const std::uint8_t> data = bytes.Data();
    piece_bytes = std::max<std::size_t>(piece_bytes, 1);
    if (settings.form != TextForm::kAsIs) {
      FetchResult result{true, {}, {}};
      result.text = FormOfPage(data, code, settings, piece_bytes, result, [](PageForm&) {});
      return result;
    }
    // No code gives more than one unit of a byte.
    return {true, TextOfPage(data, code, width, piece_bytes, data.size(), [](PageReducer&) {}), {}};
  });
}

FetchResult PageTextInParts(std::span<const std::uint8_t> bytes, const FetchSettings& settings,
                            const std::function<void(std::u16string&)>& take,
                            std::size_t piece_bytes, const std::function<void(std::size_t)>& read) {
  if (bytes.empty()) return {false, kFetchFailedText, {}};
  return Trapped([&]() -> FetchResult {
    const Code code = CodeForChoice(settings.code, bytes);
    piece_bytes = std::max<std::size_t>(piece_bytes, 1);
    std::size_t pieces = 0;
    const auto piece_read = [&] {
      if (read) read(std::min(bytes.size(), ++pieces * piece_bytes));
    };
    if (settings.form != TextForm::kAsIs) {
      // A page that streams gives its text as it comes; a tree, at its end.
      FetchResult result{true, {}, {}};
      std::u16string part;
      std::u16string last =
          FormOfPage(bytes, code, settings, piece_bytes, result, [&](PageForm& form) {
            piece_read();
            form.TakeText(part);
            if (!part.empty()) take(part);
          });
      take(last);
      return result;
    }
    // The text is taken after every piece, so its room is used again from the start.
    std::u16string part;
    std::u16string last = TextOfPage(bytes, code, settings.fold_width, piece_bytes, kPieceBytes,
                                     [&](PageReducer& reducer) {
                                       piece_read();
                                       reducer.TakeText(part);
                                       if (!part.empty()) take(part);
                                     });
    take(last);
    return {true, {}, {}};
  });
}

FetchResult FetchPageText(const std::u16string& url, const FetchSettings& settings,
                          const NonCodeClass& codes, const HttpLimits& limits) {
  ByteArray bytes;
  std::string why;
  const std::int32_t count = HttpGetBytes(url, bytes, settings.proxy, limits, &why);
  FetchSettings with_url = settings;
  if (with_url.page_url.empty()) with_url.page_url = url;
  FetchResult result = PageText(count, bytes, with_url, codes);
  if (count == 0) result.problem = std::move(why);
  return result;
}

}  // namespace pagelift
