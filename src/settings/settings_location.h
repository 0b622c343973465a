#pragma once

#include <filesystem>
#include <string_view>

namespace pagelift {

// What an installation puts beside the program's folder: <prefix>/share/pagelift for a
// program in <prefix>/bin.
std::filesystem::path InstalledDataFolder(const std::filesystem::path& program_folder);

// The sample pages the first settings list: "samples" in InstalledDataFolder for an
// installed program, else "samples" beside the program (the build puts them there).
std::filesystem::path SamplesFolder(const std::filesystem::path& program_folder);

// Where the settings file of a program lives: in `program_folder`, named `program_name`
// (the program file's name without its extension) followed by ".ini". An installed
// program (one with InstalledDataFolder beside it) keeps it in `config_folder`, the user's
// own configuration folder, whoever runs it and whatever file lies beside it: a folder
// shared by every user is no place for one user's settings. So does a program whose
// folder cannot be written and holds no such file.
std::filesystem::path SettingsFilePath(const std::filesystem::path& program_folder,
                                       std::u16string_view program_name,
                                       const std::filesystem::path& config_folder);

}  // namespace pagelift
