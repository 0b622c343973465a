#include "cli/input.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "cli/usage_error.h"

namespace pagelift::cli {

namespace {

std::vector<std::uint8_t> ReadStream(std::istream& in) {
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>());
}

}  // namespace

std::vector<std::uint8_t> ReadInput(const std::string& operand, std::istream& in) {
  if (operand.empty() || operand == "-") return ReadStream(in);
  std::error_code ec;
  if (std::filesystem::is_directory(operand, ec)) {
    throw UsageError("cannot read " + operand + ": it is a directory");
  }
  std::ifstream file(operand, std::ios::binary);
  if (!file) throw UsageError("cannot read " + operand + ": " + std::strerror(errno));
  std::vector<std::uint8_t> bytes = ReadStream(file);
  if (file.bad()) throw UsageError("cannot read " + operand + ": read error");
  return bytes;
}

}  // namespace pagelift::cli
