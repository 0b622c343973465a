#include <windows.h>

#include "support/platform.h"

namespace pagelift::test {

bool HasCodePage(int code_page) {
  return IsValidCodePage(static_cast<UINT>(code_page)) != 0;
}

bool UnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace pagelift::test
