#include "app/first_settings.h"

#include <algorithm>
#include <string>
#include <system_error>
#include <vector>

#include "app/form_box.h"
#include "app/settings_keys.h"
#include "settings/profile.h"

namespace pagelift {

namespace {

// A file URL for an absolute path: every byte of its UTF-8 but letters, digits and
// "-._~/:" as %XX. A path that starts with a drive letter gets a third slash.
std::u16string FileUrl(const std::filesystem::path& path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const std::u8string bytes = path.generic_u8string();
  std::u16string url = bytes.starts_with(u8'/') ? u"file://" : u"file:///";
  for (const char8_t c : bytes) {
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
  // A new user gets the text a person reads; a file without the key gives the tags removed.
  file.Set(kSection, kTextFormKey, FormBoxText(FormBoxIndexOf(TextForm::kReadable)));
  // ... and its structure beside it for a paste into a word processor or a mail.
  file.Set(kSection, kWithHtmlKey, u"1");
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
