#include "capture/http_get_bytes.h"

#include <netdb.h>
#include <sys/socket.h>

#include <algorithm>
#include <exception>
#include <memory>
#include <new>
#include <string_view>
#include <system_error>
#include <vector>

#include "base/huge_pages.h"
#include "capture/curl_library.h"
#include "capture/proxy_choice.h"
#include "capture/transfer_url.h"
#include "convert/utf8_text.h"

namespace pagelift {

namespace {

// A Content-Length is only a promise: never reserve more than this ahead of the bytes.
constexpr std::int64_t kMaxReserve = std::int64_t{256} << 20;
// Large reads mean fewer calls for a large page; libcurl's default is 16 KB.
constexpr long kReadBuffer = 512 * 1024;

struct Transfer {
  const CurlLibrary* library = nullptr;
  CURL* curl = nullptr;
  std::vector<std::uint8_t> body;
  std::int64_t max_bytes = 0;
  bool reserved = false;
  std::string address;  // of the last connection tried: "127.0.0.1:80", "[::1]:80"
};

// With a known length the body lands in one allocation instead of growing into it.
void ReserveForContentLength(Transfer& transfer) {
  transfer.reserved = true;
  curl_off_t length = -1;
  if (transfer.library->easy_getinfo(transfer.curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) ==
          CURLE_OK &&
      length > 0) {
    ReserveLarge(transfer.body, static_cast<std::size_t>(std::min<std::int64_t>(
                                    {length, transfer.max_bytes, kMaxReserve})));
  }
}

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
  auto* transfer = static_cast<Transfer*>(user);
  const std::size_t length = size * count;
  if (!transfer->reserved) ReserveForContentLength(*transfer);
  const auto room = static_cast<std::size_t>(transfer->max_bytes) - transfer->body.size();
  const std::size_t taken = std::min(length, room);
  try {
    std::vector<std::uint8_t>& body = transfer->body;
    if (body.capacity() - body.size() < taken) {
      ReserveLarge(body, std::max(body.size() + taken, body.capacity() * 2));  // geometric growth
    }
    body.insert(body.end(), data, data + taken);
  } catch (const std::exception&) {
    return 0;  // out of memory: end the transfer with what arrived
  }
  // A short count makes libcurl stop.
  return taken < length ? 0 : length;
}

// "127.0.0.1:80" or "[::1]:80"; empty when the address cannot be written.
std::string NumericAddress(const sockaddr* address, socklen_t length) {
  char host[NI_MAXHOST];
  char port[NI_MAXSERV];
  if (::getnameinfo(address, length, host, sizeof host, port, sizeof port,
                    NI_NUMERICHOST | NI_NUMERICSERV) != 0) {
    return {};
  }
  // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) of "[" + std::string.
  std::string name;
  if (address->sa_family == AF_INET6) {
    name += '[';
    name += host;
    name += ']';
  } else {
    name = host;
  }
  name += ':';
  name += port;
  return name;
}

// Opens the socket as libcurl would, noting where it is to connect: libcurl does not tell
// the address of a connection that failed. Close-on-exec, so that a program the tray
// starts (wl-copy) never inherits a download's connection.
curl_socket_t OnOpenSocket(void* user, curlsocktype, curl_sockaddr* target) {
  auto* transfer = static_cast<Transfer*>(user);
  try {
    transfer->address = NumericAddress(&target->addr, target->addrlen);
  } catch (const std::exception&) {
    transfer->address.clear();
  }
  return ::socket(target->family, target->socktype | SOCK_CLOEXEC, target->protocol);
}

// Why a transfer brought no byte, in one line, as curl says it.
std::string WhyNothing(const Transfer& transfer, CURLcode result, const char* error_text) {
  const CurlLibrary& library = *transfer.library;
  if (result == CURLE_OK) {
    long status = 0;
    library.easy_getinfo(transfer.curl, CURLINFO_RESPONSE_CODE, &status);
    if (status == 0) return "the file is empty";
    return "the server sent no body (HTTP " + std::to_string(status) + ")";
  }
  long os_error = 0;
  library.easy_getinfo(transfer.curl, CURLINFO_OS_ERRNO, &os_error);
  if (result == CURLE_COULDNT_CONNECT && os_error != 0 && !transfer.address.empty()) {
    return transfer.address + ": " + std::generic_category().message(static_cast<int>(os_error));
  }
  const std::string_view text = *error_text != '\0' ? error_text : library.easy_strerror(result);
  return std::string(text.substr(0, text.find_first_of("\r\n")));
}

// Puts `text` in `why`, when there is one; leaves it empty when even that fails.
void Tell(std::string* why, std::string_view text) noexcept {
  if (why == nullptr) return;
  try {
    why->assign(text);
  } catch (const std::exception&) {
    why->clear();
  }
}

using CurlHandle = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;
using HeaderList = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;

}  // namespace

std::int32_t HttpGetBytes(const std::u16string& url, ByteArray& bytes, const std::u16string& proxy,
                          const HttpLimits& limits, std::string* why) {
  Tell(why, "");
  if (url.empty()) {
    Tell(why, "no URL");
    return 0;
  }
  try {
    const CurlLibrary* const library = Curl();
    if (library == nullptr) {
      Tell(why, "libcurl cannot be loaded");
      return 0;
    }
    char error_text[CURL_ERROR_SIZE] = "";  // outlives the handle that writes it
    CurlHandle curl(library->easy_init(), library->easy_cleanup);
    if (!curl) throw std::bad_alloc();
    CURL* c = curl.get();

    HeaderList headers(library->slist_append(nullptr, "Cache-Control: no-cache"),
                       library->slist_free_all);
    if (!headers) throw std::bad_alloc();
    library->slist_append(headers.get(), "Pragma: no-cache");

    Transfer transfer;
    transfer.library = library;
    transfer.curl = c;
    transfer.max_bytes = std::clamp<std::int64_t>(limits.max_bytes, 0, 2147483647);
    const std::string target = UrlForTransfer(url);
    const auto setopt = library->easy_setopt;
    setopt(c, CURLOPT_URL, target.c_str());
    setopt(c, CURLOPT_PROTOCOLS_STR, "http,https,file");
    setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    setopt(c, CURLOPT_MAXREDIRS, kMaxRedirects);
    setopt(c, CURLOPT_USERAGENT, kUserAgent);
    setopt(c, CURLOPT_HTTPHEADER, headers.get());
    // Compressed as every server can, and quickly: a server may compress a page for brotli
    // or zstd at their slowest setting as it sends it (ten times gzip's time, 0.6 s for a
    // 50 MB page on loopback), longer than the whole of the text's making.
    setopt(c, CURLOPT_ACCEPT_ENCODING, "gzip, deflate");
    setopt(c, CURLOPT_NOSIGNAL, 1L);  // downloads run on worker threads
    setopt(c, CURLOPT_CONNECTTIMEOUT, limits.connect_timeout_seconds);
    setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    setopt(c, CURLOPT_LOW_SPEED_TIME, limits.stall_seconds);
    setopt(c, CURLOPT_BUFFERSIZE, kReadBuffer);
    setopt(c, CURLOPT_WRITEFUNCTION, OnBody);
    setopt(c, CURLOPT_WRITEDATA, &transfer);
    setopt(c, CURLOPT_OPENSOCKETFUNCTION, OnOpenSocket);
    setopt(c, CURLOPT_OPENSOCKETDATA, &transfer);
    setopt(c, CURLOPT_ERRORBUFFER, error_text);
    // Without CURLOPT_PROXY libcurl follows the proxy environment variables; an empty
    // one means no proxy at all.
    const std::optional<std::string> chosen = ProxyForUrl(TextToUtf8(proxy), target);
    if (chosen) setopt(c, CURLOPT_PROXY, chosen->c_str());

    const CURLcode result = library->easy_perform(c);
    if (transfer.body.empty() && why != nullptr) *why = WhyNothing(transfer, result, error_text);
    if (result != CURLE_OK && transfer.body.empty()) return 0;  // nothing received: untouched
    // The room reserved past the count was never written, so it takes no memory: the body
    // is not copied to trim it.
    const auto count = static_cast<std::int32_t>(transfer.body.size());
    bytes = count > 0 ? ByteArray(std::move(transfer.body)) : ByteArray::Empty();
    return count;
  } catch (const std::bad_alloc&) {
    Tell(why, "there is not enough memory");
  } catch (const std::exception& e) {
    Tell(why, e.what());
  }
  return 0;
}

}  // namespace pagelift
