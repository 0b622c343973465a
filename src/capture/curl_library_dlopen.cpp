#include <dlfcn.h>

#include "capture/curl_library.h"

namespace pagelift {

namespace {

template <typename Function>
bool Resolve(void* library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(::dlsym(library, name));
  return function != nullptr;
}

CurlLibrary* Load() {
  // Kept for the life of the program, as a linked library would be.
  void* library = ::dlopen(PAGELIFT_CURL_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return nullptr;
  static CurlLibrary curl;
  const bool complete = Resolve(library, "curl_global_init", curl.global_init) &&
                        Resolve(library, "curl_easy_init", curl.easy_init) &&
                        Resolve(library, "curl_easy_cleanup", curl.easy_cleanup) &&
                        Resolve(library, "curl_easy_setopt", curl.easy_setopt) &&
                        Resolve(library, "curl_easy_perform", curl.easy_perform) &&
                        Resolve(library, "curl_easy_getinfo", curl.easy_getinfo) &&
                        Resolve(library, "curl_easy_strerror", curl.easy_strerror) &&
                        Resolve(library, "curl_slist_append", curl.slist_append) &&
                        Resolve(library, "curl_slist_free_all", curl.slist_free_all);
  if (!complete || curl.global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) return nullptr;
  return &curl;
}

}  // namespace

const CurlLibrary* Curl() {
  static const CurlLibrary* const curl = Load();
  return curl;
}

}  // namespace pagelift
