#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "capture/fetch_text.h"

namespace pagelift {

inline constexpr std::u16string_view kDefaultWidth = u"100";

// The fold width as its field holds it, and the number that text stands for, read once.
class FoldWidth {
 public:
  FoldWidth() : FoldWidth(std::u16string(kDefaultWidth)) {}
  explicit FoldWidth(std::u16string text);

  const std::u16string& Text() const { return text_; }
  double Number() const { return number_; }
  // A width whose number is not greater than 0 becomes "100"; any other stays as typed
  // ("80abc" too).
  FoldWidth Mended() const;

 private:
  std::u16string text_;
  double number_;
};

// The settings as the dialog shows them, which are the settings in force.
struct Settings {
  int code = 0;  // the entry of the code box (see code_box.h)
  FoldWidth width;
  std::u16string proxy;
  std::u16string urls;   // the URL box: one URL a line, CR LF between the lines
  int form = 0;          // the entry of the text form box (see form_box.h)
  bool no_fold = false;  // "折り返さない": the readable and main forms are not folded
  // "書式（HTML）も付ける": the form's HTML goes on the Clipboard beside its text
  bool with_html = false;

  // What a fetch started now reads.
  FetchSettings ForFetch() const;
};

// What the settings file holds.
struct SettingsRead {
  Settings settings;
  // The values of "URL1", "URL2", ... before the first "NONE": the URL entries of the
  // tray menu, in order. An empty one stands for an empty line and is not shown.
  std::vector<std::u16string> entries;
};

// Reads the settings file. A missing or unreadable file or key gives the default; a "CODE"
// no entry of the code box spells gives "自動判定", and a "TEXTFORM" no entry of the form
// box spells its first entry; a width whose number is not greater than 0 gives "100".
// Empty URL values before the first URL leave no line in the box.
SettingsRead LoadSettings(const std::filesystem::path& file);

// OK: mends the width of `settings` (the dialog then shows the mended one) and writes
// every key into the file in one step, the URL box's lines as "URL1" to "URL100" and
// "NONE" after the last. Creates the file's folder. Keeps the file's other lines. False,
// and the file as it was, when it cannot be read or written.
bool SaveSettings(const std::filesystem::path& file, Settings& settings);

// A path as the user reads it; bytes that are no UTF-8 show as U+FFFD.
std::u16string PathText(const std::filesystem::path& path);

// What the user is told when SaveSettings fails.
std::u16string CannotSaveMessage(const std::filesystem::path& file);

}  // namespace pagelift
