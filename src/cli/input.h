#pragma once

#include <cstddef>
#include <istream>
#include <limits>
#include <string>

#include "base/byte_array.h"

namespace pagelift::cli {

// The bytes of the file named by `operand`, or of `in` when it is empty or "-", read up
// to `limit` bytes. Throws UsageError when the input cannot be read.
ByteArray ReadInput(const std::string& operand, std::istream& in,
                    std::size_t limit = std::numeric_limits<std::size_t>::max());

}  // namespace pagelift::cli
