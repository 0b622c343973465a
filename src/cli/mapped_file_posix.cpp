#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>

#include "cli/mapped_file.h"

namespace pagelift::cli {

namespace {

// The one mapping a bus error may come from: [start, end), whole pages.
std::atomic<std::uintptr_t> g_start{0};
std::atomic<std::uintptr_t> g_end{0};
std::atomic<std::uintptr_t> g_page{4096};
std::atomic<bool> g_shrank{false};
struct sigaction g_before {};

// A read past the end of a file that shrank: zero pages take the place of the file's from
// the page read to the mapping's end, and the read is made again. A bus error anywhere else
// is no concern of this: the handler that was there before takes the next one, which the
// same read raises again at once.
void OnBusError(int, siginfo_t* info, void*) {
  const auto at = reinterpret_cast<std::uintptr_t>(info->si_addr);
  const std::uintptr_t start = g_start.load();
  const std::uintptr_t end = g_end.load();
  if (at >= start && at < end) {
    // (mmap is a plain system call on Linux, safe in a handler.)
    const std::uintptr_t page = at & ~(g_page.load() - 1);
    if (mmap(reinterpret_cast<void*>(page), end - page, PROT_READ,
             MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
      g_shrank.store(true);
      return;
    }
  }
  sigaction(SIGBUS, &g_before, nullptr);
}

std::size_t WholePages(std::size_t size) {
  const std::uintptr_t page = g_page.load();
  return (size + page - 1) / page * page;
}

}  // namespace

std::unique_ptr<MappedFile> MappedFile::Map(int fd, std::size_t size) {
  if (size == 0 || g_start.load() != 0) return nullptr;
  // Every page at once, in one call, rather than a fault for each few of them.
  void* const data = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
  if (data == MAP_FAILED) return nullptr;
  struct sigaction action {};
  action.sa_sigaction = OnBusError;
  action.sa_flags = SA_SIGINFO;
  sigemptyset(&action.sa_mask);
  if (sigaction(SIGBUS, &action, &g_before) != 0) {
    munmap(data, size);
    return nullptr;
  }
  g_shrank.store(false);
  g_page.store(static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE)));
  g_end.store(reinterpret_cast<std::uintptr_t>(data) + WholePages(size));
  g_start.store(reinterpret_cast<std::uintptr_t>(data));
  return std::unique_ptr<MappedFile>(new MappedFile(static_cast<const std::uint8_t*>(data), size));
}

MappedFile::~MappedFile() {
  g_start.store(0);
  g_end.store(0);
  sigaction(SIGBUS, &g_before, nullptr);
  munmap(const_cast<std::uint8_t*>(data_), size_);
}

bool MappedFile::Intact() const {
  return !g_shrank.load();
}

void MappedFile::Release(std::size_t bytes) {
  const std::uintptr_t page = g_page.load();
  const std::size_t whole = std::min(bytes, size_) / page * page;
  if (whole <= released_) return;
  madvise(const_cast<std::uint8_t*>(data_) + released_, whole - released_, MADV_DONTNEED);
  released_ = whole;
}

}  // namespace pagelift::cli
