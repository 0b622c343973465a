#pragma once

#include "judge/byte_array.h"

namespace pagelift {

// `bytCode` without any occurrence of `BOM`, scanning left to right without overlap; a
// mark that does not fit before the end stays. Returns the marker array when no byte
// is kept. SubscriptError for an unset argument, ArgumentError for a mark of no bytes.
ByteArray CutBOM(const ByteArray& bytCode, const ByteArray& BOM);

// `BOM` followed by `bytCode`, whether or not `bytCode` already starts with the mark.
// Same errors as CutBOM.
ByteArray AddBOM(const ByteArray& bytCode, const ByteArray& BOM);

}  // namespace pagelift
