// A Windows program that reads the Clipboard as other programs do: its Unicode text
// (CF_UNICODETEXT) written to standard output as UTF-8, every character as it is, CR LF
// included. Exit status 1 when the Clipboard holds no text or cannot be opened. With
// --code-page it prints the ANSI code page the programs of this session run with instead;
// with --set TEXT it puts TEXT on the Clipboard, as another program would; with
// --foreground it prints the title of the window in the foreground, a tab and its program
// file. With --html it reads the "HTML Format" as a word processor does, by the offsets of
// its header, and prints the HTML from StartHTML to EndHTML without the fragment's marks,
// which must stand where StartFragment and EndFragment say; exit status 1 without an HTML
// Format, 3 when the header does not hold.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool OpenTheClipboard() {
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (OpenClipboard(nullptr)) return true;
    Sleep(20);
  }
  return false;
}

// The command line's last word, as the UTF-16 Windows hands it over.
int SetText() {
  int count = 0;
  wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
  if (words == nullptr || count < 3) return 2;
  const std::size_t bytes = (std::wcslen(words[count - 1]) + 1) * sizeof(wchar_t);
  HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, bytes);
  std::memcpy(GlobalLock(copy), words[count - 1], bytes);
  GlobalUnlock(copy);
  LocalFree(words);
  if (!OpenTheClipboard()) return 1;
  EmptyClipboard();
  const bool set = SetClipboardData(CF_UNICODETEXT, copy) != nullptr;
  CloseClipboard();
  return set ? 0 : 1;
}

// The value of the header's field `name` (digits), or -1.
long long HeaderNumber(const std::string& data, const std::string& name) {
  const std::size_t at = data.find(name + ":");
  if (at == std::string::npos) return -1;
  return std::atoll(data.c_str() + at + name.size() + 1);
}

int ReadHtml() {
  const UINT format = RegisterClipboardFormatW(L"HTML Format");
  if (!OpenTheClipboard()) return 1;
  std::string data;
  HANDLE handle = GetClipboardData(format);
  const auto* bytes = handle ? static_cast<const char*>(GlobalLock(handle)) : nullptr;
  if (bytes != nullptr) {
    data.assign(bytes, strnlen(bytes, GlobalSize(handle)));
    GlobalUnlock(handle);
  }
  CloseClipboard();
  if (bytes == nullptr) return 1;
  const std::string start_mark = "<!--StartFragment-->";
  const std::string end_mark = "<!--EndFragment-->";
  const long long start_html = HeaderNumber(data, "StartHTML");
  const long long end_html = HeaderNumber(data, "EndHTML");
  const long long start = HeaderNumber(data, "StartFragment");
  const long long end = HeaderNumber(data, "EndFragment");
  const auto size = static_cast<long long>(data.size());
  const bool held = data.rfind("Version:", 0) == 0 && data.find("SourceURL:") < data.find('<') &&
                    start_html > 0 && end_html == size && start_html <= start - 20 &&
                    start <= end && end + 18 <= end_html &&
                    data.compare(start - 20, 20, start_mark) == 0 &&
                    data.compare(end, 18, end_mark) == 0 && data.compare(start_html, 1, "<") == 0;
  if (!held) {
    std::fprintf(stderr, "the header does not hold: %s\n", data.substr(0, 200).c_str());
    return 3;
  }
  std::string html = data.substr(start_html);
  html.erase(end - start_html, 18);
  html.erase(start - start_html - 20, 20);
  _setmode(_fileno(stdout), _O_BINARY);
  std::fwrite(html.data(), 1, html.size(), stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "--code-page") {
    std::printf("%u", GetACP());
    return 0;
  }
  if (argc == 3 && std::string(argv[1]) == "--set") return SetText();
  if (argc == 2 && std::string(argv[1]) == "--html") return ReadHtml();
  if (argc == 2 && std::string(argv[1]) == "--foreground") {
    HWND window = GetForegroundWindow();
    wchar_t title[256] = {};
    GetWindowTextW(window, title, 256);
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    wchar_t program[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    if (HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id)) {
      QueryFullProcessImageNameW(process, 0, program, &length);
      CloseHandle(process);
    }
    const std::wstring line = std::wstring(title) + L"\t" + program;
    std::string bytes(line.size() * 3, '\0');
    bytes.resize(static_cast<std::size_t>(
        WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), bytes.data(),
                            static_cast<int>(bytes.size()), nullptr, nullptr)));
    std::printf("%s\n", bytes.c_str());
    return 0;
  }
  if (!OpenTheClipboard()) return 1;
  std::string bytes;
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  const auto* text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
  if (text != nullptr) {
    const int length = lstrlenW(text);
    bytes.resize(static_cast<std::size_t>(length) * 3);
    bytes.resize(static_cast<std::size_t>(WideCharToMultiByte(
        CP_UTF8, 0, text, length, bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr)));
    GlobalUnlock(data);
  }
  CloseClipboard();
  if (text == nullptr) return 1;
  _setmode(_fileno(stdout), _O_BINARY);  // CR LF stays CR LF
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  return 0;
}
