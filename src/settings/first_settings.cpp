#include "settings/first_settings.h"

#include <algorithm>
#include <string>
#include <system_error>
#include <vector>

#include "settings/profile.h"
#include "settings/settings_keys.h"

namespace pagelift {

namespace {

// A file URL for an absolute path: its UTF-8 bytes with "/" between folders (and one in
// front of a Windows drive: file:///C:/...), every byte but letters, digits and "-._~/:"
// as %XX.
std::u16string FileUrl(const std::filesystem::path& path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::u16string url = u"file://";
  const std::u8string bytes = path.generic_u8string();
  if (!bytes.starts_with(u8"/")) url.push_back(u'/');
  for (const unsigned char c : bytes) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '.' || c == '_' || c == '~' || c == '/' || c == ':';
    if (plain) {
      url.push_back(c);
    } else {
      url += {u'%', static_cast<char16_t>(kHex[c >> 4]), static_cast<char16_t>(kHex[c & 0xF])};
    }
  }
  return url;
}

}  // namespace

bool WriteFirstSettings(const std::filesystem::path& settings_file,
                        const std::filesystem::path& samples_folder) {
  std::error_code error;
  if (std::filesystem::exists(settings_file, error) || error) return false;
  std::vector<std::filesystem::path> pages;
  for (const auto& entry : std::filesystem::directory_iterator(samples_folder, error)) {
    if (entry.path().extension() == ".html")
      pages.push_back(std::filesystem::absolute(entry.path()).lexically_normal());
  }
  if (pages.empty()) return false;
  std::sort(pages.begin(), pages.end());

  ProfileText file;
  int n = 0;
  for (const auto& page : pages) {
    if (n == kUrlKeys) break;
    file.Set(kSection, UrlKey(++n), FileUrl(page));
  }
  if (n < kUrlKeys) file.Set(kSection, UrlKey(n + 1), kNoMoreUrls);
  std::filesystem::create_directories(settings_file.parent_path(), error);
  return file.Save(settings_file);
}

}  // namespace pagelift
