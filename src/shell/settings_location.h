#pragma once

#include <filesystem>
#include <string_view>

namespace pagelift {

// Where the settings file of a program lives: in `program_folder`, named `program_name`
// (the program file's name without its extension) followed by ".ini". When that folder
// cannot be written and holds no such file, as with an installed program, the same name
// in `config_folder` (the user's own configuration folder) instead.
std::filesystem::path SettingsFilePath(const std::filesystem::path& program_folder,
                                       std::u16string_view program_name,
                                       const std::filesystem::path& config_folder);

}  // namespace pagelift
