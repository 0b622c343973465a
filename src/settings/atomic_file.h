#pragma once

// The file system calls the settings file needs; the platform calls sit in
// atomic_file_posix.cpp and atomic_file_windows.cpp, chosen by CMake.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace pagelift {

// Everything in the file at `path`: empty when there is no such file, nothing when
// there is one that cannot be read.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path);

// Replaces the file at `path` (through a symbolic link, the file it points to) with
// `bytes` so that a crash, a full disk or a killed process leaves either the old file or
// the new one: the bytes go to a temporary file beside it, are flushed to the disk, and
// the temporary file is renamed over the old one. An existing file keeps its
// permissions; a file that may not be written is left alone. Returns false, with the old file
// untouched and no temporary file left, when any step fails. `before_rename` runs once the
// temporary file is complete; tests use it to stop the program there.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         const std::function<void()>& before_rename = {});

// The file a write to `path` should replace: the file a symbolic link points to, since
// renaming over the link would replace the link itself; `path` when it is no link or
// the link leads nowhere.
std::filesystem::path FileBehindLink(const std::filesystem::path& path);

// Whether this process may create files in `folder`.
bool CanCreateFilesIn(const std::filesystem::path& folder);

}  // namespace pagelift
