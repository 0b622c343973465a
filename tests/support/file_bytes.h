#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace pagelift::test {

// Every byte of a file; empty when it cannot be read.
inline std::string FileBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace pagelift::test
