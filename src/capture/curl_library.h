#pragma once

#include <curl/curl.h>

namespace pagelift {

// The libcurl functions the download calls.
struct CurlLibrary {
  decltype(&curl_global_init) global_init = nullptr;
  decltype(&curl_easy_init) easy_init = nullptr;
  decltype(&curl_easy_cleanup) easy_cleanup = nullptr;
  decltype(&curl_easy_setopt) easy_setopt = nullptr;
  decltype(&curl_easy_perform) easy_perform = nullptr;
  decltype(&curl_easy_getinfo) easy_getinfo = nullptr;
  decltype(&curl_easy_strerror) easy_strerror = nullptr;
  decltype(&curl_slist_append) slist_append = nullptr;
  decltype(&curl_slist_free_all) slist_free_all = nullptr;
};

// libcurl, ready for use (curl_global_init has run), or nullptr when it cannot be had.
// Where the platform allows, it is loaded by the first call rather than with the
// program: it brings some thirty libraries of its own, which would cost every start of
// pagelift-cli milliseconds and the resting tray program megabytes, for the downloads
// alone. Safe to call from any thread.
const CurlLibrary* Curl();

}  // namespace pagelift
