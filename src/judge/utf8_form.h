#pragma once

#include "judge/judges.h"

namespace pagelift {

// How a run of bytes reads as UTF-8.
enum class Utf8Form {
  kIllFormed,  // a byte or sequence that UTF-8 does not allow
  kSevenBit,   // well-formed, but no sequence of more than one byte
  kMultiByte,  // well-formed, with at least one sequence of two to four bytes
};

// Reads every byte: overlong forms, surrogates and values past U+10FFFF are ill-formed.
// A sequence cut off by the end of the bytes counts as well-formed as far as it goes, as
// a download that broke off leaves one; it is not counted as a multi-byte sequence.
Utf8Form ReadUtf8Form(PageBytes bytes);

}  // namespace pagelift
