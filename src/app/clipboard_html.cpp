#include "app/clipboard_html.h"

#include <cstdio>

#include "convert/utf8_text.h"

namespace pagelift {

namespace {

constexpr std::string_view kStartFragment = "<!--StartFragment-->";
constexpr std::string_view kEndFragment = "<!--EndFragment-->";

// An offset of the header, always ten digits, so that the header's size is known before
// the offsets are.
std::string Offset(std::size_t bytes) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%010zu", bytes);
  return digits;
}

}  // namespace

std::string WindowsHtmlFormat(std::u16string_view document, std::u16string_view url) {
  const std::string html = TextToUtf8(document);
  // The writer escapes every text, so its own tags are the only ones; a document without
  // a body has the whole of it as the fragment.
  const std::size_t body = html.find("<body>");
  std::size_t start = body == std::string::npos ? 0 : body + 6;
  if (body != std::string::npos && start < html.size() && html[start] == '\n') ++start;
  const std::size_t body_end = html.rfind("</body>");
  const std::size_t end =
      body_end == std::string::npos || body_end < start ? html.size() : body_end;

  std::string source = TextToUtf8(url);
  std::erase_if(source, [](char c) { return c == '\r' || c == '\n'; });
  // Offsets into the bytes as they go out: the header, then the document with the marks.
  const std::size_t size = html.size() + kStartFragment.size() + kEndFragment.size();
  const auto header = [&](std::size_t head) {
    return "Version:0.9\r\nStartHTML:" + Offset(head) + "\r\nEndHTML:" + Offset(head + size) +
           "\r\nStartFragment:" + Offset(head + start + kStartFragment.size()) +
           "\r\nEndFragment:" + Offset(head + end + kStartFragment.size()) +
           "\r\nSourceURL:" + source + "\r\n";
  };
  // The offsets have a fixed width: the header's size does not depend on them.
  std::string out = header(header(0).size());
  out.reserve(out.size() + size);
  const std::string_view bytes(html);
  out += bytes.substr(0, start);
  out += kStartFragment;
  out += bytes.substr(start, end - start);
  out += kEndFragment;
  out += bytes.substr(end);
  return out;
}

}  // namespace pagelift
