#include "cli/mapped_file.h"

// Windows reads the file instead: what a mapping saves there was not measured, and a file
// cannot shrink while it is mapped there anyway.

namespace pagelift::cli {

std::unique_ptr<MappedFile> MappedFile::Map(int, std::size_t) {
  return nullptr;
}

MappedFile::~MappedFile() = default;

bool MappedFile::Intact() const {
  return true;
}

void MappedFile::Release(std::size_t) {}

}  // namespace pagelift::cli
