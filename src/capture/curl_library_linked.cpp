#include "capture/curl_library.h"

namespace pagelift {

namespace {

CurlLibrary* Load() {
  static CurlLibrary curl{curl_global_init,   curl_easy_init,    curl_easy_cleanup,
                          curl_easy_setopt,   curl_easy_perform, curl_easy_getinfo,
                          curl_easy_strerror, curl_slist_append, curl_slist_free_all};
  return curl.global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK ? &curl : nullptr;
}

}  // namespace

const CurlLibrary* Curl() {
  static const CurlLibrary* const curl = Load();
  return curl;
}

}  // namespace pagelift
