#include "settings/settings_location.h"

#include "settings/atomic_file.h"

namespace pagelift {

std::filesystem::path InstalledDataFolder(const std::filesystem::path& program_folder) {
  return program_folder / ".." / "share" / "pagelift";
}

std::filesystem::path SamplesFolder(const std::filesystem::path& program_folder) {
  std::error_code error;
  const std::filesystem::path installed = InstalledDataFolder(program_folder);
  return std::filesystem::is_directory(installed, error) ? installed / "samples"
                                                         : program_folder / "samples";
}

std::filesystem::path SettingsFilePath(const std::filesystem::path& program_folder,
                                       std::u16string_view program_name,
                                       const std::filesystem::path& config_folder) {
  const std::filesystem::path name = std::u16string(program_name) + u".ini";
  const std::filesystem::path beside = program_folder / name;
  std::error_code error;
  if (std::filesystem::is_directory(InstalledDataFolder(program_folder), error)) {
    return config_folder / name;
  }
  if (std::filesystem::exists(beside, error) || CanCreateFilesIn(program_folder)) {
    return beside;
  }
  return config_folder / name;
}

}  // namespace pagelift
