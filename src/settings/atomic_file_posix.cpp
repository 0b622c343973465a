#include "settings/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>

namespace pagelift {
namespace {

namespace fs = std::filesystem;

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// The rename is only durable once the folder's entry is on the disk too. A folder that
// cannot be synced (some file systems refuse) does not make the write fail.
void SyncFolder(const fs::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// A new, hidden file beside `target`, created with the usual permissions less the
// umask; -1 when none can be created.
int CreateTemporaryBeside(const fs::path& target, fs::path& temporary) {
  std::random_device seed;
  std::mt19937_64 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = target;
    temporary.replace_filename("." + target.filename().string() + "." +
                               std::to_string(random() % 1000000000) + ".tmp");
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

std::optional<std::string> ReadWholeFile(const fs::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? std::optional<std::string>("") : std::nullopt;
  std::string bytes;
  char buffer[65536];
  ssize_t count;
  while ((count = ::read(fd, buffer, sizeof buffer)) != 0) {
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) break;
    bytes.append(buffer, static_cast<std::size_t>(count));
  }
  ::close(fd);
  if (count < 0) return std::nullopt;
  return bytes;
}

bool WriteFileAtomically(const fs::path& path, std::string_view bytes,
                         const std::function<void()>& before_rename) {
  const fs::path target = FileBehindLink(path);
  struct stat old_file {};
  const bool exists = ::stat(target.c_str(), &old_file) == 0;
  // A file without write bits is the user's way of keeping it as it is, even for root.
  if (exists && ((old_file.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)) {
    return false;
  }
  fs::path temporary;
  const int fd = CreateTemporaryBeside(target, temporary);
  if (fd < 0) return false;

  bool ok = !exists || ::fchmod(fd, old_file.st_mode & 07777) == 0;
  ok = ok && WriteAll(fd, bytes) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok && before_rename) before_rename();
  ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(temporary.c_str());
    return false;
  }
  SyncFolder(target.parent_path().empty() ? fs::path(".") : target.parent_path());
  return true;
}

bool CanCreateFilesIn(const fs::path& folder) {
  return ::access(folder.c_str(), W_OK) == 0;
}

}  // namespace pagelift
