#pragma once

#include <cstddef>
#include <istream>
#include <limits>
#include <memory>
#include <span>
#include <string>

#include "base/byte_array.h"
#include "cli/mapped_file.h"

namespace pagelift::cli {

// The bytes of the file named by `operand`, or of `in` when it is empty or "-", read up
// to `limit` bytes. Throws UsageError when the input cannot be read.
ByteArray ReadInput(const std::string& operand, std::istream& in,
                    std::size_t limit = std::numeric_limits<std::size_t>::max());

// The bytes of an input as ReadInput gives them, for a caller that only reads them: a
// regular file mapped where the platform can (see MappedFile), anything else read.
class Input {
 public:
  Input(const std::string& operand, std::istream& in);

  std::span<const std::uint8_t> Bytes() const { return mapped_ ? mapped_->Bytes() : read_.Data(); }
  // False when the file shrank while it was read: what was made of Bytes() is not its text.
  bool Intact() const { return !mapped_ || mapped_->Intact(); }
  // The first `bytes` of Bytes() are read for good (see MappedFile::Release).
  void Release(std::size_t bytes) const {
    if (mapped_) mapped_->Release(bytes);
  }

 private:
  std::unique_ptr<MappedFile> mapped_;
  ByteArray read_;
};

}  // namespace pagelift::cli
