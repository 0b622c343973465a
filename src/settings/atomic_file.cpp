#include "settings/atomic_file.h"

namespace pagelift {

std::filesystem::path FileBehindLink(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::is_symlink(path, error)) return path;
  std::filesystem::path resolved = std::filesystem::canonical(path, error);
  return error ? path : resolved;
}

}  // namespace pagelift
