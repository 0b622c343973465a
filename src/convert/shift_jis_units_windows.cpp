#include <windows.h>

#include "convert/shift_jis_units.h"

namespace pagelift {

ShiftJisUnitReader OpenShiftJisUnitReader() {
  return [](const char* bytes, int size) -> int {
    wchar_t units[2];
    // Bytes that code page 932 does not map fail rather than come out as its default
    // character.
    const int length = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes, size, units, 2);
    return length == 1 ? static_cast<char16_t>(units[0]) : -1;
  };
}

}  // namespace pagelift
