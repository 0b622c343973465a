// The settings file on Windows: written to a temporary file beside it, flushed, and put in
// its place with ReplaceFileW, which keeps the old file's attributes and permissions.
#include <windows.h>

#include <random>

#include "settings/atomic_file.h"

namespace pagelift {
namespace {

namespace fs = std::filesystem;

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  bool Close() {
    if (!valid()) return true;
    const bool closed = CloseHandle(handle_) != 0;
    handle_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE handle_;
};

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = bytes.size() > 1u << 30 ? 1u << 30 : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

// A new, hidden file beside `target`; invalid when none can be created.
HANDLE CreateTemporaryBeside(const fs::path& target, fs::path& temporary) {
  std::random_device seed;
  std::mt19937_64 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = target;
    temporary.replace_filename(L"." + target.filename().wstring() + L"." +
                               std::to_wstring(random() % 1000000000) + L".tmp");
    const HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

}  // namespace

std::optional<std::string> ReadWholeFile(const fs::path& path) {
  Handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return std::string();
    return std::nullopt;
  }
  std::string bytes;
  char buffer[65536];
  DWORD count = 0;
  for (;;) {
    if (!ReadFile(file.get(), buffer, sizeof buffer, &count, nullptr)) return std::nullopt;
    if (count == 0) return bytes;
    bytes.append(buffer, count);
  }
}

bool WriteFileAtomically(const fs::path& path, std::string_view bytes,
                         const std::function<void()>& before_rename) {
  const fs::path target = FileBehindLink(path);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  // A read-only file is the user's way of keeping it as it is.
  if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    return false;
  }
  fs::path temporary;
  Handle file(CreateTemporaryBeside(target, temporary));
  if (!file.valid()) return false;

  bool ok = WriteAll(file.get(), bytes) && FlushFileBuffers(file.get()) != 0;
  ok = file.Close() && ok;
  if (ok && before_rename) before_rename();
  if (ok) {
    ok = exists ? ReplaceFileW(target.c_str(), temporary.c_str(), nullptr,
                               REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0
                : MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
  }
  if (!ok) DeleteFileW(temporary.c_str());
  return ok;
}

bool CanCreateFilesIn(const fs::path& folder) {
  fs::path probe;
  Handle file(CreateTemporaryBeside(folder / L"pagelift", probe));
  if (!file.valid()) return false;
  file.Close();
  DeleteFileW(probe.c_str());
  return true;
}

}  // namespace pagelift
