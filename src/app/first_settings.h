#pragma once

#include <filesystem>

namespace pagelift {

// On a first start, when `settings_file` does not exist yet, writes one whose URL list
// holds the sample pages in `samples_folder` as file URLs, so that a new user has pages
// to fetch at once. An existing file is the user's and is never touched; without
// samples nothing is written. Returns whether it wrote the file.
bool WriteFirstSettings(const std::filesystem::path& settings_file,
                        const std::filesystem::path& samples_folder);

}  // namespace pagelift
