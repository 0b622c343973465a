#include "shell/win32/single_instance.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>

#include "app/single_instance.h"
#include "shell/win32/windows_text.h"

namespace pagelift {
namespace {

using Clock = std::chrono::steady_clock;

// What the first writes into the mapping: `ready` last, once the rest is there.
struct Published {
  LONG ready;
  DWORD process;
  ULONGLONG window;
};
constexpr LONG kReady = 1;

// The first's answer: a window that is not ours answers something else, or nothing.
constexpr LRESULT kShown = 0x50676c66;

constexpr UINT_PTR kSubclassId = 1;

}  // namespace

std::u16string InstanceNameOf(const std::filesystem::path& settings_file) {
  std::wstring path = settings_file.wstring();
  if (const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr); size > 0) {
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (length > 0 && length < size) path = full.substr(0, length);
  }
  // Upper case, as NTFS compares names (σ and ς are one letter there, Σ).
  std::wstring folded(path.size(), L'\0');
  const int length = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, path.c_str(),
                                   static_cast<int>(path.size()), folded.data(),
                                   static_cast<int>(folded.size()), nullptr, nullptr, 0);
  if (length > 0) path = folded.substr(0, static_cast<std::size_t>(length));
  return InstanceName(FromWide(path));
}

SingleInstance::SingleInstance(const std::filesystem::path& settings_file)
    : name_(L"Local\\" + Wide(InstanceNameOf(settings_file))),
      message_(RegisterWindowMessageW(L"Pagelift-ShowSettings")) {}

SingleInstance::~SingleInstance() {
  // The window, and its subclass with it, went before: frmMain outlives no SingleInstance
  // made before it.
  if (mapping_ != nullptr) CloseHandle(mapping_);
  if (owner_) ReleaseMutex(mutex_);
  if (mutex_ != nullptr) CloseHandle(mutex_);
}

SingleInstance::Start SingleInstance::Claim(std::chrono::milliseconds wait) {
  const Clock::time_point deadline = Clock::now() + wait;
  for (;;) {
    if (mutex_ == nullptr) {
      mutex_ = CreateMutexW(nullptr, FALSE, name_.c_str());
      // Denied: a program with other rights (run as administrator) made it; ask that one.
      if (mutex_ == nullptr && GetLastError() != ERROR_ACCESS_DENIED) return Start::kFirst;
    }
    if (mutex_ != nullptr) {
      // Owning it, not its being there, makes the first: a later start holds it open too
      // while it waits, and a mutex whose owner died comes back abandoned.
      const DWORD result = WaitForSingleObject(mutex_, 0);
      if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) {
        owner_ = true;
        return Start::kFirst;
      }
      if (result == WAIT_FAILED) return Start::kFirst;
    }
    if (AskToShow(deadline)) return Start::kAnswered;
    if (Clock::now() >= deadline) return Start::kSilent;
    // The first may not have published its window yet: it started a moment ago.
    Sleep(10);
  }
}

bool SingleInstance::AskToShow(Clock::time_point deadline) const {
  const HANDLE mapping = OpenFileMappingW(FILE_MAP_READ, FALSE, (name_ + L"-window").c_str());
  if (mapping == nullptr) return false;
  Published published{};
  const auto* view =
      static_cast<const Published*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof published));
  if (view != nullptr) {
    published.ready = *static_cast<const volatile LONG*>(&view->ready);
    std::atomic_thread_fence(std::memory_order_acquire);
    published.process = view->process;
    published.window = view->window;
    UnmapViewOfFile(view);
  }
  CloseHandle(mapping);
  if (published.ready != kReady) return false;

  const auto window = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(published.window));
  DWORD process = 0;
  if (GetWindowThreadProcessId(window, &process) == 0 || process != published.process) {
    return false;
  }
  // This start was the user's doing, so it may hand the foreground on to the first.
  AllowSetForegroundWindow(process);
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
  if (left <= 0) return false;
  // Sent, not posted: the answer tells whether the first showed its dialog within the wait.
  DWORD_PTR answer = 0;
  return SendMessageTimeoutW(window, message_, 0, 0, SMTO_ABORTIFHUNG | SMTO_ERRORONEXIT,
                             static_cast<UINT>(left), &answer) != 0 &&
         static_cast<LRESULT>(answer) == kShown;
}

void SingleInstance::Serve(HWND window, std::function<void()> show) {
  if (!owner_ || message_ == 0) return;
  show_ = std::move(show);
  SetWindowSubclass(window, Answer, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  // A later start without administrator's rights may ask a first that has them.
  ChangeWindowMessageFilterEx(window, message_, MSGFLT_ALLOW, nullptr);
  mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Published),
                                (name_ + L"-window").c_str());
  if (mapping_ == nullptr) return;
  auto* view = static_cast<Published*>(MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, 0, 0));
  if (view == nullptr) return;
  // A mapping a crashed first left, still open in a later start, holds that one's window.
  InterlockedExchange(&view->ready, 0);
  view->process = GetCurrentProcessId();
  view->window = reinterpret_cast<ULONG_PTR>(window);
  InterlockedExchange(&view->ready, kReady);
  UnmapViewOfFile(view);
}

LRESULT CALLBACK SingleInstance::Answer(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                        UINT_PTR, DWORD_PTR self) {
  auto* instance = reinterpret_cast<SingleInstance*>(self);
  if (message != instance->message_) return DefSubclassProc(window, message, wparam, lparam);
  instance->show_();
  return kShown;
}

}  // namespace pagelift
