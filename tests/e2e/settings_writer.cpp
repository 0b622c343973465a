// Writes a settings file as OK in the settings dialog writes it, for comparing the file
// another build writes for the same input:
//   settings_writer FILE CODE_ENTRY WIDTH PROXY FORM_ENTRY [URL...]
// CODE_ENTRY is the code box's entry (0 for "自動判定"), FORM_ENTRY the text form box's,
// the URLs are the URL box's lines; all text in UTF-8. The check boxes stay as FILE has
// them, as the dialog shows them.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/settings.h"
#include "convert/utf8_text.h"

namespace {

std::u16string Text(const char* utf8) {
  const std::string bytes(utf8);
  return pagelift::Utf8ToText({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 6) {
    std::fprintf(stderr, "usage: %s FILE CODE_ENTRY WIDTH PROXY FORM_ENTRY [URL...]\n", argv[0]);
    return 2;
  }
  pagelift::Settings settings = pagelift::LoadSettings(argv[1]).settings;
  settings.urls.clear();
  settings.code = std::atoi(argv[2]);
  settings.width = pagelift::FoldWidth(Text(argv[3]));
  settings.proxy = Text(argv[4]);
  settings.form = std::atoi(argv[5]);
  for (int i = 6; i < argc; ++i) settings.urls += (i > 6 ? u"\r\n" : u"") + Text(argv[i]);
  return pagelift::SaveSettings(argv[1], settings) ? 0 : 1;
}
