#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace pagelift::cli {

// A regular file's bytes as they lie in the system's cache, mapped read-only instead of
// read into memory of the program's own: no copy, and no fresh memory to clear first.
//
// A mapped file that shrinks while it is read would kill the program with a bus error at
// the first byte read past its new end. Instead, from that byte on the mapping reads as
// zeros, and Intact() turns false: the caller then knows that what it made of the bytes
// is not the file's.
class MappedFile {
 public:
  // Maps the whole file open on `fd`, `size` bytes (at least one). Nothing where the
  // platform maps no files here (Windows), when the mapping fails, or while another
  // MappedFile is alive: the caller then reads the file.
  static std::unique_ptr<MappedFile> Map(int fd, std::size_t size);
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  std::span<const std::uint8_t> Bytes() const { return {data_, size_}; }
  bool Intact() const;
  // The first `bytes` bytes are read for good: their pages leave the program's memory (they
  // stay in the system's cache, and would be read again from the file if asked for).
  void Release(std::size_t bytes);

 private:
  MappedFile(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t released_ = 0;
};

}  // namespace pagelift::cli
