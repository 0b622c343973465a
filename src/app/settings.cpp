#include "app/settings.h"

#include <optional>
#include <system_error>
#include <type_traits>

#include "app/code_box.h"
#include "app/form_box.h"
#include "app/settings_keys.h"
#include "base/settings_number.h"
#include "convert/utf8_text.h"
#include "settings/cp932.h"
#include "settings/profile.h"

namespace pagelift {

namespace {

constexpr std::u16string_view kLineEnd = u"\r\n";

// Lines of a text with CR LF between them: none for an empty text, an empty last line
// for a text ending with CR LF; a lone CR or LF stays inside its line.
std::vector<std::u16string> SplitLines(std::u16string_view text) {
  std::vector<std::u16string> lines;
  if (text.empty()) return lines;
  for (;;) {
    const std::size_t end = text.find(kLineEnd);
    lines.emplace_back(text.substr(0, end));
    if (end == std::u16string_view::npos) return lines;
    text.remove_prefix(end + kLineEnd.size());
  }
}

}  // namespace

FoldWidth::FoldWidth(std::u16string text) : text_(std::move(text)), number_(NumberOfText(text_)) {}

FoldWidth FoldWidth::Mended() const {
  return number_ > 0 ? *this : FoldWidth();
}

FetchSettings Settings::ForFetch() const {
  // 0 folds the readable and main forms nowhere; the as-is form keeps its width.
  FetchSettings fetch{proxy, CodeBoxChoice(code),
                      no_fold && FormBoxFolds(form) ? 0 : width.Number(), FormBoxChoice(form)};
  fetch.clipboard_html = with_html && FormBoxMakesHtml(form);
  return fetch;
}

SettingsRead LoadSettings(const std::filesystem::path& file) {
  const ProfileText text = ProfileText::Load(file).value_or(ProfileText());
  const auto value = [&text](std::u16string_view key, std::u16string_view fallback) {
    return GetIniValue(text, kSection, key, fallback);
  };
  SettingsRead read;
  Settings& settings = read.settings;
  settings.code = CodeBoxIndex(value(kCodeKey, kAutoCode));
  settings.width = FoldWidth(value(kWidthKey, kDefaultWidth)).Mended();
  settings.proxy = value(kProxyKey, u"");
  settings.form = FormBoxIndex(value(kTextFormKey, FormBoxText(0)));
  settings.no_fold = value(kNoFoldKey, u"0") == u"1";
  settings.with_html = value(kWithHtmlKey, u"0") == u"1";
  for (int n = 1; n <= kUrlKeys; ++n) {
    std::u16string url = value(UrlKey(n), kNoMoreUrls);
    if (url == kNoMoreUrls) break;
    // The box is still empty when leading empty values come: they leave no line.
    if (!settings.urls.empty()) settings.urls += kLineEnd;
    settings.urls += url;
    read.entries.push_back(std::move(url));
  }
  return read;
}

bool SaveSettings(const std::filesystem::path& file, Settings& settings) {
  settings.width = settings.width.Mended();
  // The keys are written into the file's text one by one and the file is replaced once,
  // so that no crash leaves half of them written.
  const std::optional<ProfileText> old_text = ProfileText::Load(file);
  // A file that cannot be read must not be replaced by the keys alone.
  if (!old_text) return false;
  ProfileText text = *old_text;
  text.Set(kSection, kCodeKey, CodeBoxText(settings.code));
  text.Set(kSection, kWidthKey, settings.width.Text());
  text.Set(kSection, kProxyKey, settings.proxy);
  text.Set(kSection, kTextFormKey, FormBoxText(settings.form));
  text.Set(kSection, kNoFoldKey, settings.no_fold ? u"1" : u"0");
  text.Set(kSection, kWithHtmlKey, settings.with_html ? u"1" : u"0");
  const std::vector<std::u16string> lines = SplitLines(settings.urls);
  for (int n = 1; n <= kUrlKeys; ++n) {
    const auto line = static_cast<std::size_t>(n - 1);
    text.Set(kSection, UrlKey(n),
             line < lines.size() ? WithCp932UrlEscapes(lines[line]) : kNoMoreUrls);
  }
  // The user's configuration folder may not exist yet.
  std::error_code ignored;
  std::filesystem::create_directories(file.parent_path(), ignored);
  return text.Save(file);
}

std::u16string PathText(const std::filesystem::path& path) {
  if constexpr (std::is_same_v<std::filesystem::path::value_type, wchar_t>) {
    return path.u16string();
  } else {
    const std::string bytes = path.string();
    return Utf8ToText({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
  }
}

std::u16string CannotSaveMessage(const std::filesystem::path& file) {
  return u"設定を保存できませんでした。\n保存先: " + PathText(file);
}

}  // namespace pagelift
