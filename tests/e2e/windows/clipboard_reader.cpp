// A Windows program that reads the Clipboard as other programs do: its Unicode text
// (CF_UNICODETEXT) written to standard output as UTF-8, every character as it is, CR LF
// included. Exit status 1 when the Clipboard holds no text or cannot be opened. With
// --code-page it prints the ANSI code page the programs of this session run with instead;
// with --foreground the title of the window in the foreground, a tab and its program file.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "--code-page") {
    std::printf("%u", GetACP());
    return 0;
  }
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
  bool open = false;
  for (int attempt = 0; attempt < 50 && !open; ++attempt) {
    open = OpenClipboard(nullptr) != FALSE;
    if (!open) Sleep(20);
  }
  if (!open) return 1;
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
