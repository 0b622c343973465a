#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

// What tests need to know of the platform they run on: platform_posix.cpp, or
// platform_windows.cpp on Windows.

namespace pagelift::test {

#if defined(_WIN32)
inline constexpr bool kWindows = true;
#else
inline constexpr bool kWindows = false;
#endif

// Whether the code-page back end has `code_page` here. Wine lacks 50220, 50221, 50222 and
// 51932, which Windows has.
bool HasCodePage(int code_page);

// Whether the tests run under Wine, whose MLang lacks some of what Windows' has.
bool UnderWine();

// The cases a table-driven test leaves out on this platform, named at its end by a skip,
// so that none is silently absent.
class LeftOut {
 public:
  // `present`; otherwise notes `what` and `why` and gives false.
  bool Unless(bool present, std::string_view what, std::string_view why) {
    if (!present)
      said_ += (said_.empty() ? "" : "; ") + std::string(what) + ": " + std::string(why);
    return present;
  }
  // Marks the test skipped, naming every case left out, when there is one.
  void SkipIfAny() const {
    if (!said_.empty()) GTEST_SKIP() << "left out here: " << said_;
  }

 private:
  std::string said_;
};

}  // namespace pagelift::test
