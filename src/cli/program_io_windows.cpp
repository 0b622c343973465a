// Windows hands a program its command line in UTF-16 (argv holds it in the ANSI code page,
// which cannot hold Japanese on most systems), and opens files by UTF-16 names.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>

#include "cli/program_io.h"
#include "convert/utf8_text.h"

namespace pagelift::cli {

namespace {

std::u16string Utf16Of(const std::string& utf8) {
  return Utf8ToText({reinterpret_cast<const std::uint8_t*>(utf8.data()), utf8.size()});
}

}  // namespace

std::vector<std::string> ProgramWords(int, char**) {
  int count = 0;
  wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> out;
  if (words == nullptr) return out;
  for (int i = 1; i < count; ++i) {
    const std::wstring_view word(words[i]);
    out.push_back(TextToUtf8(std::u16string(word.begin(), word.end())));
  }
  LocalFree(words);
  return out;
}

void UseBinaryStandardStreams() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

int OpenForReading(const std::string& name) {
  const std::u16string wide = Utf16Of(name);
  return _wopen(reinterpret_cast<const wchar_t*>(wide.c_str()), _O_RDONLY | _O_BINARY);
}

}  // namespace pagelift::cli
