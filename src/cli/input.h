#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace pagelift::cli {

// All bytes of the file named by `operand`, or of `in` when it is empty or "-".
// Throws UsageError when the file cannot be read.
std::vector<std::uint8_t> ReadInput(const std::string& operand, std::istream& in);

}  // namespace pagelift::cli
