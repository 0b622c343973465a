#include "cli/input.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <vector>

#include "base/huge_pages.h"
#include "cli/program_io.h"
#include "cli/usage_error.h"

namespace pagelift::cli {

namespace {

constexpr std::size_t kFirstRead = 64 * 1024;

[[noreturn]] void CannotRead(const std::string& name, const std::string& why) {
  throw UsageError("cannot read " + name + ": " + why);
}

// Makes room for `size` bytes, growing the buffer geometrically.
void GrowTo(std::vector<std::uint8_t>& bytes, std::size_t size) {
  if (size > bytes.capacity()) ReserveLarge(bytes, std::max(size, 2 * bytes.capacity()));
  bytes.resize(size);
}

// A regular file's size is known before its first byte: the buffer is made that size at
// once (one more byte finds the end), and the bytes are read straight into it. Pipes and
// the like are read in growing pieces.
ByteArray ReadDescriptor(int fd, const std::string& name, std::size_t limit) {
  struct stat status {};
  if (::fstat(fd, &status) != 0) CannotRead(name, std::strerror(errno));
  if (S_ISDIR(status.st_mode)) CannotRead(name, "it is a directory");
  const std::size_t known = S_ISREG(status.st_mode) && status.st_size > 0
                                ? static_cast<std::size_t>(status.st_size) + 1
                                : kFirstRead;
  std::vector<std::uint8_t> bytes;
  std::size_t got = 0;
  GrowTo(bytes, std::min(limit, known));
  while (got < limit) {
    if (got == bytes.size()) GrowTo(bytes, std::min(limit, std::max(2 * got, kFirstRead)));
    // Windows reads at most 2 GB less a byte at a time.
    const auto count = ::read(
        fd, bytes.data() + got,
        static_cast<unsigned>(std::min<std::size_t>(bytes.size() - got, std::size_t{1} << 30)));
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) CannotRead(name, std::strerror(errno));
    if (count == 0) break;
    got += static_cast<std::size_t>(count);
  }
  bytes.resize(got);
  return ByteArray(std::move(bytes));
}

ByteArray ReadStream(std::istream& in, std::size_t limit) {
  std::vector<std::uint8_t> bytes;
  std::size_t got = 0;
  while (got < limit) {
    GrowTo(bytes, std::min(limit, std::max(2 * got, kFirstRead)));
    const std::streamsize count =
        in.rdbuf()->sgetn(reinterpret_cast<char*>(bytes.data() + got),
                          static_cast<std::streamsize>(bytes.size() - got));
    if (count <= 0) break;
    got += static_cast<std::size_t>(count);
  }
  bytes.resize(got);
  return ByteArray(std::move(bytes));
}

}  // namespace

Input::Input(const std::string& operand, std::istream& in) {
  if (operand.empty() || operand == "-") {
    read_ = ReadInput(operand, in);
    return;
  }
  const int fd = OpenForReading(operand);
  if (fd < 0) CannotRead(operand, std::strerror(errno));
  try {
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0) {
      mapped_ = MappedFile::Map(fd, static_cast<std::size_t>(status.st_size));
    }
    if (!mapped_) read_ = ReadDescriptor(fd, operand, std::numeric_limits<std::size_t>::max());
    ::close(fd);
  } catch (...) {
    ::close(fd);
    throw;
  }
}

ByteArray ReadInput(const std::string& operand, std::istream& in, std::size_t limit) {
  if (operand.empty() || operand == "-") {
    // The program's own standard input is read as a file is, past the stream's buffer.
    if (in.rdbuf() == std::cin.rdbuf())
      return ReadDescriptor(STDIN_FILENO, "standard input", limit);
    return ReadStream(in, limit);
  }
  const int fd = OpenForReading(operand);
  if (fd < 0) CannotRead(operand, std::strerror(errno));
  try {
    ByteArray bytes = ReadDescriptor(fd, operand, limit);
    ::close(fd);
    return bytes;
  } catch (...) {
    ::close(fd);
    throw;
  }
}

}  // namespace pagelift::cli
