#include "shell/win32/frm_main.h"

#include "app/clipboard_url.h"
#include "app/menu_label.h"
#include "app/tray_texts.h"
#include "shell/win32/application.h"
#include "shell/win32/clipboard.h"
#include "shell/win32/dialog_controls.h"
#include "shell/win32/resources.h"
#include "shell/win32/windows_text.h"

namespace pagelift {

namespace {

// The tray icon's mouse messages, and the tasks the fetch threads hand over.
constexpr UINT kTrayMessage = WM_APP + 1;
constexpr UINT kTaskMessage = WM_APP + 2;

// The popup menu's commands; URL entry i is kFirstUrlCommand + i.
constexpr UINT kSettingCommand = 1;
constexpr UINT kEndCommand = 2;
constexpr UINT kClipboardCommand = 3;
constexpr UINT kFirstUrlCommand = 100;

HICON LoadPicture(HINSTANCE instance, int id, UINT dpi) {
  const int size = GetSystemMetricsForDpi(SM_CXSMICON, dpi);
  return static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

// Runs the window messages already queued, then returns.
void ProcessPendingMessages(HWND dialog) {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (IsDialogMessageW(dialog, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace

frmMain::frmMain(HINSTANCE instance, std::filesystem::path settings_file)
    : instance_(instance), settings_file_(std::move(settings_file)) {
  taskbar_created_ = RegisterWindowMessageW(L"TaskbarCreated");
  menu_ = CreatePopupMenu();
  url_menu_ = CreatePopupMenu();
  AppendMenuW(menu_, MF_STRING, kSettingCommand, Wide(kSettingEntry).c_str());
  AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(url_menu_), Wide(kFetchEntry).c_str());
  AppendMenuW(menu_, MF_STRING, kEndCommand, Wide(kEndEntry).c_str());
  window_ = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_FRMMAIN), nullptr, DialogProc,
                               reinterpret_cast<LPARAM>(this));
  tray_ = TrayIcon(window_, kTrayMessage);
  fetches_ = std::make_unique<FetchCoordinator>(ShellForFetches());
  SetUrlItems({});
}

frmMain::~frmMain() {
  // Its threads end first; the results they handed over are dropped with their messages.
  fetches_.reset();
  MSG message;
  while (PeekMessageW(&message, window_, kTaskMessage, kTaskMessage, PM_REMOVE)) {
    delete reinterpret_cast<std::function<void()>*>(message.lParam);
  }
  tray_.Delete();
  DestroyWindow(window_);
  DestroyMenu(menu_);  // and the submenu with it
  DeleteObject(font_);
  DestroyIcon(idle_);
  DestroyIcon(busy_);
}

INT_PTR CALLBACK frmMain::DialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrW(window, DWLP_USER, lparam);
  auto* form = reinterpret_cast<frmMain*>(GetWindowLongPtrW(window, DWLP_USER));
  if (form == nullptr) return FALSE;
  if (message == WM_INITDIALOG) form->window_ = window;
  return form->Handle(message, wparam, lparam);
}

INT_PTR frmMain::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      const UINT dpi = GetDpiForWindow(window_);
      font_ = MakeDialogFont(dpi);
      idle_ = LoadPicture(instance_, IDI_IDLE, dpi);
      busy_ = LoadPicture(instance_, IDI_BUSY, dpi);
      SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(idle_));
      SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(idle_));
      SetWindowTextW(window_, Wide(kDialogCaption).c_str());
      LayOutDialog(window_, font_);
      return FALSE;  // the window stays hidden; no control takes the focus yet
    }
    case WM_DPICHANGED: {
      DeleteObject(font_);
      font_ = MakeDialogFont(HIWORD(wparam));
      LayOutDialog(window_, font_);
      const RECT* suggested = reinterpret_cast<const RECT*>(lparam);
      SetWindowPos(window_, nullptr, suggested->left, suggested->top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return TRUE;
    }
    case kTrayMessage:
      // Only the right button's press opens the menu; every other event is ignored.
      if (LOWORD(lparam) == WM_RBUTTONDOWN) ShowPopupMenu();
      return TRUE;
    case kTaskMessage: {
      const std::unique_ptr<std::function<void()>> task(
          reinterpret_cast<std::function<void()>*>(lparam));
      (*task)();
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK) cmdOk_Click();
      if (LOWORD(wparam) == IDCANCEL) cmdCancel_Click();
      if (LOWORD(wparam) == IDC_CMBTEXTFORM && HIWORD(wparam) == CBN_SELCHANGE) {
        GreyFormChoices(window_);
      }
      return TRUE;
    case WM_CLOSE:
      // Closing the window from its title bar is Cancel: a stray close must not end a
      // resident program.
      cmdCancel_Click();
      return TRUE;
    case WM_QUERYENDSESSION:
      SetWindowLongPtrW(window_, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_ENDSESSION:
      if (wparam != FALSE) Form_Unload();
      return TRUE;
    case WM_INITMENUPOPUP:
      if (reinterpret_cast<HMENU>(wparam) == url_menu_) mnuSetUrl_InitPopup();
      return FALSE;
    default:
      if (message == taskbar_created_ && message != 0) {
        tray_.Restore();
        return TRUE;
      }
      return FALSE;
  }
}

void frmMain::Form_Load() {
  LoadSetting();
  tray_.Add(idle_, kProgramTitle);
}

void frmMain::Form_Unload() {
  tray_.Delete();
  PostQuitMessage(0);
}

void frmMain::mnuEnd_Click() {
  tray_.Delete();
  PostQuitMessage(0);
}

void frmMain::mnuSetting_Click() {
  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
}

void frmMain::LoadSetting() {
  ShowWindow(window_, SW_HIDE);
  const SettingsRead read = LoadSettings(settings_file_);
  SetUrlItems(read.entries);
  ShowSettingsIn(window_, read.settings);
}

void frmMain::cmdOk_Click() {
  ShowWindow(window_, SW_HIDE);
  ProcessPendingMessages(window_);
  Settings settings = SettingsIn(window_);
  const bool saved = SaveSettings(settings_file_, settings);
  ShowSettingsIn(window_, settings);  // the width as mended
  if (!saved) {
    // Loading the old file again would throw away what the user typed.
    ShowMessageBox(window_, CannotSaveMessage(settings_file_));
    return;
  }
  LoadSetting();
}

void frmMain::cmdCancel_Click() {
  ShowWindow(window_, SW_HIDE);
}

void frmMain::SetUrlItems(std::vector<std::u16string> urls) {
  entries_.Load(std::move(urls));
  // A Windows menu has no hidden entries: an entry not shown is not in it.
  while (GetMenuItemCount(url_menu_) > 0) DeleteMenu(url_menu_, 0, MF_BYPOSITION);
  AppendMenuW(url_menu_, MF_STRING | MF_GRAYED, kClipboardCommand, Wide(kNoClipboardUrl).c_str());
  if (entries_.AnyShown()) AppendMenuW(url_menu_, MF_SEPARATOR, 0, nullptr);
  for (std::size_t i = 0; i < entries_.Size(); ++i) {
    if (!entries_.Shown(i)) continue;
    AppendMenuW(url_menu_, MF_STRING, kFirstUrlCommand + i,
                Wide(AmpersandMenuText(entries_.Url(static_cast<int>(i)))).c_str());
  }
}

void frmMain::ShowPopupMenu() {
  POINT at{};
  GetCursorPos(&at);
  // Without the window in front, the menu would not close when the user clicks
  // elsewhere; the message after it lets the menu go away for good.
  SetForegroundWindow(window_);
  const auto chosen = static_cast<UINT>(
      TrackPopupMenu(menu_, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x,
                     at.y, 0, window_, nullptr));
  PostMessageW(window_, WM_NULL, 0, 0);
  if (chosen == kSettingCommand) mnuSetting_Click();
  if (chosen == kEndCommand) mnuEnd_Click();
  if (chosen == kClipboardCommand) mnuClipboardUrl_Click();
  if (chosen >= kFirstUrlCommand) mnuSetUrlItem_Click(static_cast<int>(chosen - kFirstUrlCommand));
}

void frmMain::mnuSetUrl_InitPopup() {
  const std::optional<ClipboardStart> start = ReadClipboardStart(window_, kClipboardUrlLimit);
  clipboard_url_ = start ? ClipboardUrl(*start) : std::nullopt;
  ModifyMenuW(url_menu_, kClipboardCommand,
              MF_BYCOMMAND | MF_STRING | (clipboard_url_ ? MF_ENABLED : MF_GRAYED),
              kClipboardCommand,
              Wide(AmpersandMenuText(ClipboardEntryCaption(clipboard_url_))).c_str());
}

void frmMain::mnuClipboardUrl_Click() {
  // The URL as the submenu read it when it opened, with the settings in force now.
  if (clipboard_url_) fetches_->Choose(*clipboard_url_, SettingsIn(window_).ForFetch());
}

void frmMain::mnuSetUrlItem_Click(int index) {
  // The settings as the controls hold them now, typed and cancelled or not.
  fetches_->Choose(entries_.Url(index), SettingsIn(window_).ForFetch());
}

FetchShell frmMain::ShellForFetches() {
  return {
      [window = window_](std::function<void()> task) {
        auto* posted = new std::function<void()>(std::move(task));
        if (!PostMessageW(window, kTaskMessage, 0, reinterpret_cast<LPARAM>(posted))) delete posted;
      },
      [this](bool busy) { tray_.Modify(Picture(busy), kProgramTitle); },
      [this] { ClearClipboard(window_); },
      [this](const std::u16string& text, const std::u16string& html, const std::u16string& url) {
        SetClipboardText(window_, text, html, url);
      },
      [this](const std::u16string& title, const std::u16string& text) {
        tray_.ShowNotice(title, text);
      },
  };
}

}  // namespace pagelift
