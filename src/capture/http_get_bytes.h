#pragma once

#include <cstdint>
#include <string>

#include "base/byte_array.h"

namespace pagelift {

// How long a download may take and how much it may bring; tests shorten them.
struct HttpLimits {
  long connect_timeout_seconds = 30;
  long stall_seconds = 60;              // given up when under 1 byte/s for this long
  std::int64_t max_bytes = 2147483647;  // a larger body stops here, as a failed read does
};

// Downloads `url` (http, https or file) into `bytes`, through `proxy` when it is not
// empty (host:port or a URL, as typed, or a list as Windows writes one) and otherwise
// through the system's settings (the proxy environment variables; on Windows, its
// Internet settings). libcurl on Linux (http_get_bytes_curl.cpp), WinINet on Windows
// (http_get_bytes_windows.cpp). Returns the number of bytes received, whatever the HTTP
// status. 0 and `bytes` untouched when the URL is empty or nothing could be received; 0
// and an empty array for an empty body. A transfer that breaks off returns what arrived
// before. With 0, `why` (when given) receives one line saying why, as curl would say it
// ("127.0.0.1:9: Connection refused", the certificate's complaint, the HTTP status of a
// response without a body); it is emptied otherwise. Raises nothing.
std::int32_t HttpGetBytes(const std::u16string& url, ByteArray& bytes, const std::u16string& proxy,
                          const HttpLimits& limits = {}, std::string* why = nullptr);

}  // namespace pagelift
