#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

namespace pagelift {

// The name of the program for `settings_file` (see InstanceName): its full path with the
// letter case folded, as the file system compares names.
std::u16string InstanceNameOf(const std::filesystem::path& settings_file);

// One Pagelift per settings file, on Windows. The program that owns the mutex
// "Local\Pagelift-<hash>" (the session's own namespace) is the one for the settings file;
// it publishes its window and process in the file mapping "Local\Pagelift-<hash>-window",
// and a later start sends that window alone a registered message, which it answers once
// its dialog is shown. Windows lets go of the mutex and the mapping when their owner ends,
// however it ends.
class SingleInstance {
 public:
  enum class Start {
    kFirst,     // this program is the one for the settings file: it runs on
    kAnswered,  // the running one has shown its dialog: this one ends with status 0
    kSilent,    // one runs but did not answer within the wait: say so, end with status 1
  };

  explicit SingleInstance(const std::filesystem::path& settings_file);
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // Owns the mutex, or asks the program that owns it to show its dialog, for `wait` at
  // most; owns it after all when that program ends meanwhile. Where the mutex cannot be
  // made at all the program runs as the first.
  Start Claim(std::chrono::milliseconds wait);

  // The first start, once its dialog can be shown: publishes `window`, and from then on
  // runs `show` on the window's thread for every later start.
  void Serve(HWND window, std::function<void()> show);

 private:
  bool AskToShow(std::chrono::steady_clock::time_point deadline) const;
  static LRESULT CALLBACK Answer(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                 UINT_PTR id, DWORD_PTR self);

  std::wstring name_;  // "Local\Pagelift-<hash>"
  UINT message_ = 0;   // the request, registered for every program of the session
  HANDLE mutex_ = nullptr;
  bool owner_ = false;
  HANDLE mapping_ = nullptr;
  std::function<void()> show_;
};

}  // namespace pagelift
