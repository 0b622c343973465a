// Downloads on Windows go through WinINet. WinINet waits without end in some places (a
// TLS server that never answers, under Wine), so a watchdog closes the session when
// nothing has arrived for as long as the limits allow, which ends whatever call waits.
#include <windows.h>

#include <wininet.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "base/huge_pages.h"
#include "capture/http_get_bytes.h"
#include "capture/transfer_url.h"
#include "convert/utf8_text.h"

namespace pagelift {

namespace {

using Clock = std::chrono::steady_clock;

// A Content-Length is only a promise: never reserve more than this ahead of the bytes.
constexpr std::int64_t kMaxReserve = std::int64_t{256} << 20;
constexpr DWORD kReadChunk = 256 * 1024;

std::wstring Wide(std::string_view ascii) {
  return std::wstring(ascii.begin(), ascii.end());
}

std::wstring Wide(const std::u16string& text) {
  return std::wstring(text.begin(), text.end());
}

// What a download and the caller waiting for it share. The download runs on a thread of
// its own, which the caller leaves behind when nothing has arrived for as long as the
// limits allow: WinINet then still waits (Wine's, for one, even after its handles are
// closed), and its thread ends when that wait does.
struct Transfer {
  std::mutex mutex;
  std::condition_variable changed;
  Clock::time_point deadline;
  std::vector<std::uint8_t> body;
  bool answered = false;  // a response came: the array is replaced, even by nothing
  DWORD status = 0;       // its HTTP status
  std::string why;        // why nothing came, when something said so
  bool done = false;
  bool left = false;  // the caller went on without it
};

// WinINet's own words for one of its errors, and the error's number.
std::string ErrorText(DWORD error) {
  wchar_t* words = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM |
          FORMAT_MESSAGE_IGNORE_INSERTS,
      GetModuleHandleW(L"wininet.dll"), error, 0, reinterpret_cast<wchar_t*>(&words), 0, nullptr);
  std::u16string text(words, words + length);
  LocalFree(words);
  while (!text.empty() && (text.back() == u'\r' || text.back() == u'\n' || text.back() == u'.'))
    text.pop_back();
  const std::string number = "WinINet error " + std::to_string(error);
  return text.empty() ? number : TextToUtf8(text) + " (" + number + ")";
}

// "host:port" of a URL, as a failure names what it could not reach.
std::string HostOf(std::string_view url) {
  const std::size_t start = url.find("://");
  if (start == std::string_view::npos) return std::string(url);
  url.remove_prefix(start + 3);
  return std::string(url.substr(0, url.find_first_of("/?#")));
}

void Fail(Transfer& transfer, std::string why) {
  const std::lock_guard lock(transfer.mutex);
  if (transfer.why.empty()) transfer.why = std::move(why);
}

DWORD QueryNumber(HINTERNET request, DWORD what) {
  DWORD number = 0;
  DWORD size = sizeof number;
  return HttpQueryInfoW(request, what | HTTP_QUERY_FLAG_NUMBER, &number, &size, nullptr) ? number
                                                                                         : 0;
}

// Where a redirect leads, resolved against `base`; empty when there is no redirect.
std::string RedirectTarget(HINTERNET request, const std::string& base) {
  const DWORD status = QueryNumber(request, HTTP_QUERY_STATUS_CODE);
  if (status != 301 && status != 302 && status != 303 && status != 307 && status != 308) return {};
  std::wstring location(2048, L'\0');
  DWORD size = static_cast<DWORD>(location.size() * sizeof(wchar_t));
  if (!HttpQueryInfoW(request, HTTP_QUERY_LOCATION, location.data(), &size, nullptr)) return {};
  location.resize(size / sizeof(wchar_t));
  std::wstring combined(4096, L'\0');
  DWORD length = static_cast<DWORD>(combined.size());
  if (!InternetCombineUrlW(Wide(base).c_str(), location.c_str(), combined.data(), &length,
                           ICU_NO_ENCODE)) {
    return {};
  }
  combined.resize(length);
  std::u16string text(combined.begin(), combined.end());
  return UrlForTransfer(text);
}

// A file: URL's path: percent-escapes read as UTF-8, "/C:/..." as "C:/...".
std::wstring LocalPath(std::string_view url) {
  url.remove_prefix(5);  // "file:"
  if (url.starts_with("//")) {
    url.remove_prefix(2);
    const std::size_t slash = url.find('/');
    if (slash == std::string_view::npos) return {};
    const std::string_view host = url.substr(0, slash);
    if (!host.empty() && host != "localhost") return {};
    url.remove_prefix(slash);
  }
  std::string bytes;
  for (std::size_t i = 0; i < url.size(); ++i) {
    const auto digit = [](char c) {
      return c >= '0' && c <= '9'   ? c - '0'
             : c >= 'A' && c <= 'F' ? c - 'A' + 10
             : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                    : -1;
    };
    if (url[i] == '%' && i + 2 < url.size() && digit(url[i + 1]) >= 0 && digit(url[i + 2]) >= 0) {
      bytes.push_back(static_cast<char>(digit(url[i + 1]) * 16 + digit(url[i + 2])));
      i += 2;
    } else {
      bytes.push_back(url[i]);
    }
  }
  std::u16string path =
      Utf8ToText({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
  if (path.size() >= 3 && path[0] == u'/' && path[2] == u':') path.erase(0, 1);
  return Wide(path);
}

std::int32_t ReadLocalPage(std::string_view url, ByteArray& bytes, std::int64_t max_bytes,
                           std::string& why) {
  const std::wstring path = LocalPath(url);
  if (path.empty()) {
    why = "not a local file: " + std::string(url);
    return 0;
  }
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  if (!file) {
    why = "cannot read " + std::string(url);
    return 0;
  }
  std::vector<std::uint8_t> body;
  char buffer[65536];
  while (static_cast<std::int64_t>(body.size()) < max_bytes && file) {
    file.read(buffer, static_cast<std::streamsize>(
                          std::min<std::int64_t>(sizeof buffer, max_bytes - body.size())));
    body.insert(body.end(), buffer, buffer + file.gcount());
  }
  if (file.bad()) {
    why = "cannot read " + std::string(url);
    return 0;
  }
  const auto count = static_cast<std::int32_t>(body.size());
  if (count == 0) why = "the file is empty";
  bytes = count > 0 ? ByteArray(std::move(body)) : ByteArray::Empty();
  return count;
}

// Downloads `target` on the calling thread into `transfer`, telling the waiting caller of
// each step.
void Download(Transfer& transfer, std::string target, const std::u16string& proxy,
              std::int64_t max_bytes, DWORD connect_ms, DWORD stall_ms, Clock::duration stall) {
  const auto step = [&transfer](Clock::duration more) {
    const std::lock_guard lock(transfer.mutex);
    transfer.deadline = Clock::now() + more;
    return !transfer.left;
  };
  // The proxy text goes to WinINet as it stands: WinINet reads its own lists
  // ("http=proxy1:8080 https=proxy2:8443"); none means the system's settings.
  const std::wstring proxy_text = Wide(proxy);
  const HINTERNET session =
      InternetOpenW(Wide(std::string_view(kUserAgent)).c_str(),
                    proxy.empty() ? INTERNET_OPEN_TYPE_PRECONFIG : INTERNET_OPEN_TYPE_PROXY,
                    proxy.empty() ? nullptr : proxy_text.c_str(), nullptr, 0);
  if (session == nullptr) {
    Fail(transfer, ErrorText(GetLastError()));
    return;
  }
  InternetSetOptionW(session, INTERNET_OPTION_CONNECT_TIMEOUT, &connect_ms, sizeof connect_ms);
  InternetSetOptionW(session, INTERNET_OPTION_RECEIVE_TIMEOUT, &stall_ms, sizeof stall_ms);
  InternetSetOptionW(session, INTERNET_OPTION_SEND_TIMEOUT, &stall_ms, sizeof stall_ms);
  // WinINet undoes gzip and deflate itself. (Wine then answers a query for the
  // Content-Encoding with the Content-Type, so none is made.)
  BOOL decode = TRUE;
  InternetSetOptionW(session, INTERNET_OPTION_HTTP_DECODING, &decode, sizeof decode);

  // RELOAD alone still writes the page into the cache. Redirects are followed here, so
  // that they go to web pages only and not too far.
  constexpr DWORD kFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                           INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_NO_UI |
                           INTERNET_FLAG_NO_COOKIES;
  // As browsers ask, so that no cache on the way answers either.
  constexpr wchar_t kHeaders[] = L"Cache-Control: no-cache\r\nPragma: no-cache\r\n";
  HINTERNET request = nullptr;
  for (long redirects = 0;; ++redirects) {
    request = InternetOpenUrlW(session, Wide(target).c_str(), kHeaders,
                               static_cast<DWORD>(std::size(kHeaders) - 1), kFlags, 0);
    if (request == nullptr) {
      Fail(transfer, HostOf(target) + ": " + ErrorText(GetLastError()));
      break;
    }
    // No status: no answer came.
    const DWORD status = QueryNumber(request, HTTP_QUERY_STATUS_CODE);
    if (status == 0) {
      Fail(transfer, HostOf(target) + ": no answer");
      break;
    }
    const std::string next = RedirectTarget(request, target);
    if (next.empty()) {
      const std::lock_guard lock(transfer.mutex);
      transfer.answered = true;
      transfer.status = status;
      break;
    }
    InternetCloseHandle(request);
    request = nullptr;
    if (redirects == kMaxRedirects) {
      Fail(transfer, "more than " + std::to_string(kMaxRedirects) + " redirects");
      break;
    }
    if (!HasScheme(next, "http") && !HasScheme(next, "https")) {
      Fail(transfer, "a redirect to what is no web page: " + next);
      break;
    }
    target = next;
    if (!step(std::chrono::milliseconds(connect_ms) + stall)) break;
  }
  if (request != nullptr && step(stall)) {
    const DWORD length = QueryNumber(request, HTTP_QUERY_CONTENT_LENGTH);
    {
      const std::lock_guard lock(transfer.mutex);
      if (length > 0) {
        ReserveLarge(transfer.body, std::min<std::int64_t>({length, max_bytes, kMaxReserve}));
      }
    }
    std::vector<std::uint8_t> chunk(kReadChunk);
    std::int64_t got = 0;
    while (got < max_bytes) {
      const DWORD wanted = static_cast<DWORD>(std::min<std::int64_t>(max_bytes - got, kReadChunk));
      // A read waits for all it asks for: it asks for what has arrived, once something has.
      DWORD ready = 0;
      if (!InternetQueryDataAvailable(request, &ready, 0, 0)) break;
      DWORD read = 0;
      if (!InternetReadFile(request, chunk.data(), std::clamp<DWORD>(ready, 1, wanted), &read) ||
          read == 0) {
        break;
      }
      got += read;
      const std::lock_guard lock(transfer.mutex);
      if (transfer.left) break;
      std::vector<std::uint8_t>& body = transfer.body;
      if (body.capacity() - body.size() < read) {
        ReserveLarge(body, std::max<std::size_t>(body.size() + read, body.capacity() * 2));
      }
      body.insert(body.end(), chunk.begin(), chunk.begin() + read);
      transfer.deadline = Clock::now() + stall;
    }
  }
  if (request != nullptr) InternetCloseHandle(request);
  InternetCloseHandle(session);
}

// The threads of downloads that were given up while WinINet still waited in them. They are
// joined once they end, never detached: winpthreads' detach races with the end of the
// thread it detaches, and the loser hands its record to the next thread made, which then
// never runs its function or runs it with nothing (seen under Wine on a busy machine: a
// download that never started, and a crash). Never destroyed, as they may outlive main.
struct LeftBehindThreads {
  std::mutex mutex;
  std::vector<std::pair<std::shared_ptr<Transfer>, std::thread>> threads;
};

void LeaveBehind(std::shared_ptr<Transfer> transfer, std::thread thread) {
  try {
    static auto* const left = new LeftBehindThreads;
    const std::lock_guard lock(left->mutex);
    std::erase_if(left->threads, [](auto& entry) {
      const std::lock_guard transfer_lock(entry.first->mutex);
      if (!entry.first->done) return false;
      entry.second.join();
      return true;
    });
    left->threads.emplace_back(std::move(transfer), std::move(thread));
  } catch (const std::exception&) {
    // No room to keep it: it is almost surely still waiting, not ending.
    if (thread.joinable()) thread.detach();
  }
}

// The download of `url`, or the local file it names; `why` says why it gave nothing.
std::int32_t Download(const std::u16string& url, ByteArray& bytes, const std::u16string& proxy,
                      const HttpLimits& limits, std::string& why) {
  if (url.empty()) {
    why = "no URL";
    return 0;
  }
  try {
    const std::int64_t max_bytes = std::clamp<std::int64_t>(limits.max_bytes, 0, 2147483647);
    const std::string target = UrlForTransfer(url);
    if (HasScheme(target, "file")) return ReadLocalPage(target, bytes, max_bytes, why);
    if (!HasScheme(target, "http") && !HasScheme(target, "https")) {
      why = "not a web page or a local file: " + target;
      return 0;
    }

    const auto seconds = [](long s) { return std::chrono::seconds(std::max(s, 1L)); };
    const Clock::duration stall = seconds(limits.stall_seconds);
    const Clock::duration connect = seconds(limits.connect_timeout_seconds);
    const auto ms = [](Clock::duration d) {
      return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
    };
    const auto transfer = std::make_shared<Transfer>();
    transfer->deadline = Clock::now() + connect + stall;
    std::thread thread([transfer, target, proxy, max_bytes, connect_ms = ms(connect),
                        stall_ms = ms(stall), stall] {
      try {
        Download(*transfer, target, proxy, max_bytes, connect_ms, stall_ms, stall);
      } catch (const std::exception&) {
      }
      const std::lock_guard lock(transfer->mutex);
      transfer->done = true;
      transfer->changed.notify_all();
    });

    std::unique_lock lock(transfer->mutex);
    while (!transfer->done && Clock::now() < transfer->deadline) {
      transfer->changed.wait_until(lock, std::min(transfer->deadline, Clock::now() + stall));
    }
    transfer->left = true;
    if (transfer->done) {
      lock.unlock();
      thread.join();  // it has nothing left to do but end
      lock.lock();
    } else {
      LeaveBehind(transfer, std::move(thread));
    }
    if (!transfer->answered && transfer->body.empty()) {  // untouched
      why = !transfer->why.empty() ? transfer->why
            : transfer->done       ? HostOf(target) + ": no answer"
                                   : HostOf(target) + ": nothing arrived within the time allowed";
      return 0;
    }
    std::vector<std::uint8_t> body = std::move(transfer->body);
    const auto count = static_cast<std::int32_t>(body.size());
    bytes = count > 0 ? ByteArray(std::move(body)) : ByteArray::Empty();
    if (count == 0) why = "the server sent no body (HTTP " + std::to_string(transfer->status) + ")";
    return count;
  } catch (const std::exception& e) {
    why = e.what();
    return 0;
  }
}

}  // namespace

std::int32_t HttpGetBytes(const std::u16string& url, ByteArray& bytes, const std::u16string& proxy,
                          const HttpLimits& limits, std::string* why) {
  std::string reason;
  const std::int32_t count = Download(url, bytes, proxy, limits, reason);
  if (why != nullptr) {
    try {
      why->assign(count == 0 ? reason : std::string());
    } catch (const std::exception&) {
      why->clear();
    }
  }
  return count;
}

}  // namespace pagelift
