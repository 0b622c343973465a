#include "shell/wayland/clipboard_contents.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

namespace pagelift::wl_clipboard {
namespace {

constexpr std::array<std::string_view, 5> kTextTypes = {"text/plain;charset=utf-8", "text/plain",
                                                        "UTF8_STRING", "TEXT", "STRING"};
constexpr std::string_view kHtmlType = "text/html";

}  // namespace

std::vector<std::string_view> OfferedTypes(const ClipboardContents& contents) {
  std::vector<std::string_view> types(kTextTypes.begin(), kTextTypes.end());
  if (contents.html) types.push_back(kHtmlType);
  return types;
}

std::optional<std::string_view> ContentFor(const ClipboardContents& contents,
                                           std::string_view mime) {
  if (std::find(kTextTypes.begin(), kTextTypes.end(), mime) != kTextTypes.end())
    return contents.text;
  if (mime == kHtmlType && contents.html) return *contents.html;
  return std::nullopt;
}

std::string ReadToEnd(int fd, std::string& bytes) {
  // A file says how much is left, so that a text of many megabytes is read into one buffer
  // of its size; a pipe grows the buffer as it goes.
  std::size_t expected = 0;
  struct stat status {};
  if (::fstat(fd, &status) != 0) return std::strerror(errno);
  if (S_ISREG(status.st_mode)) {
    const off_t at = ::lseek(fd, 0, SEEK_CUR);
    if (at >= 0 && at < status.st_size) expected = static_cast<std::size_t>(status.st_size - at);
  }
  std::size_t size = bytes.size();
  bytes.resize(size + std::max<std::size_t>(expected + 1, 64 * 1024));
  for (;;) {
    if (size == bytes.size()) bytes.resize(bytes.size() * 2);
    const ssize_t got = ::read(fd, bytes.data() + size, bytes.size() - size);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      bytes.resize(size);
      return std::strerror(error);
    }
    size += static_cast<std::size_t>(got);
  }
  bytes.resize(size);
  return {};
}

}  // namespace pagelift::wl_clipboard
