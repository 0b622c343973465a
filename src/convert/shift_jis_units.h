#pragma once

#include <functional>

// Reads Windows Shift_JIS one character at a time, for building ShiftJisTable: ICU's
// windows-31j with its three swapped controls put back (shift_jis_units_icu.cpp), or
// Windows' own code page 932 (shift_jis_units_windows.cpp). CMake builds one of the two.

namespace pagelift {

// A reader that gives the one UTF-16 unit that its `size` bytes (one or two) decode to
// when the converter reads them without complaint, else -1. Throws Error when the
// converter is missing.
using ShiftJisUnitReader = std::function<int(const char* bytes, int size)>;
ShiftJisUnitReader OpenShiftJisUnitReader();

}  // namespace pagelift
