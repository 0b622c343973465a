// The Windows tray program's window, menu, icon and Clipboard, made hidden in this process
// (under Wine in the test command).
#include "shell/win32/frm_main.h"

#include <gtest/gtest.h>

#include <array>

#include <chrono>
#include <cstdlib>
#include <fstream>

#include "app/code_box.h"
#include "app/dialog_layout.h"
#include "app/form_box.h"
#include "shell/win32/clipboard.h"
#include "shell/win32/dialog_controls.h"
#include "shell/win32/resources.h"
#include "shell/win32/windows_text.h"
#include "support/files.h"
#include "support/platform.h"
#include "support/test_pages.h"

namespace pagelift {
namespace {

namespace fs = std::filesystem;

std::u16string ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return FromWide(name);
}

std::u16string MenuEntry(HMENU menu, int position) {
  wchar_t text[512] = {};
  GetMenuStringW(menu, static_cast<UINT>(position), text, 512, MF_BYPOSITION);
  return FromWide(text);
}

std::u16string ClipboardText() {
  std::u16string text;
  if (!OpenClipboard(nullptr)) return u"(busy)";
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    text = FromWide(static_cast<const wchar_t*>(GlobalLock(data)));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

// Runs the window messages until `done` holds, for at most 10 s.
template <typename Done>
bool PumpUntil(Done done) {
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > limit) return false;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Sleep(2);
  }
  return true;
}

class FrmMainTest : public testing::Test {
 protected:
  void SetUp() override {
    // Wine makes no window without an X display; Windows always has one.
    if (form_.Window() == nullptr && std::getenv("DISPLAY") == nullptr && test::UnderWine()) {
      GTEST_SKIP() << "Wine without a display makes no window";
    }
    ASSERT_NE(form_.Window(), nullptr);
  }

  void Write(const std::string& bytes) { std::ofstream(file_, std::ios::binary) << bytes; }

  test::TempFolder folder_;
  fs::path file_ = folder_ / "Pagelift.ini";
  frmMain form_{GetModuleHandleW(nullptr), file_};
};

TEST_F(FrmMainTest, TheDialogHoldsTheControlsWhereTheLayoutPutsThem) {
  HWND dialog = form_.Window();
  EXPECT_FALSE(IsWindowVisible(dialog));
  EXPECT_EQ(WindowText(dialog), u"Pageliftの設定");
  const UINT dpi = GetDpiForWindow(dialog);
  RECT client{};
  GetClientRect(dialog, &client);
  EXPECT_EQ(client.right, MulDiv(kDialogWidthTwips, static_cast<int>(dpi), 1440));
  EXPECT_EQ(client.bottom, MulDiv(kDialogHeightTwips, static_cast<int>(dpi), 1440));
  constexpr const char16_t* kinds[] = {u"Edit",     u"Edit",   u"ComboBox", u"Edit",   u"Button",
                                       u"ComboBox", u"Button", u"Button",   u"Button", u"Static",
                                       u"Static",   u"Static", u"Static",   u"Static"};
  static_assert(std::size(kinds) == std::size(kDialogControls), "a class for every control");
  HWND focus = GetDlgItem(dialog, IDC_TXTURL);
  for (std::size_t i = 0; i < std::size(kDialogControls); ++i) {
    const DialogControl& c = kDialogControls[i];
    SCOPED_TRACE(c.name);
    HWND control = GetDlgItem(dialog, DialogControlId(i));
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(ClassOf(control), kinds[i]);
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.left, MulDiv(c.left, static_cast<int>(dpi), 1440));
    EXPECT_EQ(place.top, MulDiv(c.top, static_cast<int>(dpi), 1440));
    EXPECT_EQ(place.right - place.left, MulDiv(c.width, static_cast<int>(dpi), 1440));
    if (c.kind == ControlKind::kButton || c.kind == ControlKind::kLabel) {
      EXPECT_EQ(WindowText(control), c.caption);
    } else {
      // The boxes follow each other in the tab order, in the layout's order.
      EXPECT_EQ(control, focus);
      focus = GetNextDlgTabItem(dialog, control, FALSE);
    }
  }
  const struct {
    int id;
    int entries;
    std::u16string_view (*text)(int);
  } boxes[] = {{IDC_CMBCODE, CodeBoxEntries(), CodeBoxText},
               {IDC_CMBTEXTFORM, FormBoxEntries(), FormBoxText}};
  for (const auto& box : boxes) {
    HWND list = GetDlgItem(dialog, box.id);
    ASSERT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), box.entries);
    for (int i = 0; i < box.entries; ++i) {
      wchar_t entry[32] = {};
      SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(entry));
      EXPECT_EQ(FromWide(entry), box.text(i));
    }
  }
}

TEST_F(FrmMainTest, TheMenuListsTheUrlsAsTypedAndLeavesOutEmptyOnes) {
  Write("[Setting]\r\nURL1=http://a/?x=1&y=2\r\nURL2=\r\nURL3=http://c/news_1\r\nURL4=NONE\r\n");
  form_.Form_Load();
  HMENU menu = form_.mnuMenu();
  ASSERT_EQ(GetMenuItemCount(menu), 3);
  EXPECT_EQ(MenuEntry(menu, 0), u"設定...");
  EXPECT_EQ(MenuEntry(menu, 1), u"ネット取得");
  EXPECT_EQ(MenuEntry(menu, 2), u"終了");
  HMENU urls = GetSubMenu(menu, 1);
  ASSERT_EQ(GetMenuItemCount(urls), 4);
  // The Clipboard's entry, and a separator before the list.
  EXPECT_EQ(MenuEntry(urls, 0), u"クリップボードにURLがありません");
  EXPECT_EQ(GetMenuState(urls, 1, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
  // A menu takes "&" for the mark of the next letter.
  EXPECT_EQ(MenuEntry(urls, 2), u"http://a/?x=1&&y=2");
  EXPECT_EQ(MenuEntry(urls, 3), u"http://c/news_1");
  // The hidden entry keeps its place: the entry after it holds URL3.
  EXPECT_EQ(form_.mnuSetUrlItem().Url(2), u"http://c/news_1");
  EXPECT_EQ(form_.Tray().Tooltip(), u"Pagelift");
  EXPECT_EQ(form_.Tray().Picture(), form_.Picture(false));
}

TEST_F(FrmMainTest, AChosenPageLandsOnTheClipboardAsTheControlsSayNow) {
  const test::TestPages server;
  const std::string url = server.Url("/samples/sample.utf8.html");
  Write("[Setting]\r\nURL1=" + url + "\r\nURL2=http://127.0.0.1:1/\r\nURL3=NONE\r\n");
  form_.Form_Load();
  SetDlgItemTextW(form_.Window(), IDC_TXTMAXCHAR, L"6");  // typed, not saved
  const auto text = [&](TextForm form) {
    return FetchPageText(server.Url16("/samples/sample.utf8.html"), {u"", std::nullopt, 6, form},
                         NonCodeClass())
        .text;
  };
  const struct {
    int entry;
    int form;  // the entry of the text form box
    std::u16string clipboard;
  } cases[] = {{0, 0, text(TextForm::kAsIs)},
               {0, 2, text(TextForm::kMain)},
               {1, 2, u"ネット取得に失敗しました。"}};
  ASSERT_NE(cases[0].clipboard, cases[1].clipboard);
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "entry " << c.entry << ", form " << c.form);
    SendDlgItemMessageW(form_.Window(), IDC_CMBTEXTFORM, CB_SETCURSEL, static_cast<WPARAM>(c.form),
                        0);
    form_.mnuSetUrlItem_Click(c.entry);
    EXPECT_EQ(form_.Tray().Picture(), form_.Picture(true));
    ASSERT_TRUE(PumpUntil([&] { return form_.FetchesRunning() == 0; }));
    EXPECT_EQ(ClipboardText(), c.clipboard);
    EXPECT_EQ(form_.Tray().Picture(), form_.Picture(false));
  }
  // The URL the Clipboard holds when the submenu opens: its entry, and the same page.
  HMENU urls = GetSubMenu(form_.mnuMenu(), 1);
  for (const bool url_held : {false, true}) {
    SetClipboardText(form_.Window(),
                     url_held ? std::u16string(url.begin(), url.end()) + u"\r\n" : u"no URL");
    SendMessageW(form_.Window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(urls), 1);
    EXPECT_EQ((GetMenuState(urls, 0, MF_BYPOSITION) & MF_GRAYED) == 0, url_held);
    EXPECT_EQ(MenuEntry(urls, 0),
              url_held ? u"クリップボードのURL: " + std::u16string(url.begin(), url.end())
                       : u"クリップボードにURLがありません");
  }
  form_.mnuClipboardUrl_Click();
  ASSERT_TRUE(PumpUntil([&] { return form_.FetchesRunning() == 0; }));
  EXPECT_EQ(ClipboardText(), cases[1].clipboard);  // with the form chosen last
}

TEST_F(FrmMainTest, OkSavesWhatWasTypedAndCancelKeepsItUnsaved) {
  form_.Form_Load();
  SetDlgItemTextW(form_.Window(), IDC_TXTPROXY, L"typed:3128");
  form_.cmdCancel_Click();
  EXPECT_FALSE(fs::exists(file_));
  EXPECT_EQ(SettingsIn(form_.Window()).proxy, u"typed:3128");
  SetDlgItemTextW(form_.Window(), IDC_TXTURL, L"http://a/\r\n\r\nhttp://c/");
  SetDlgItemTextW(form_.Window(), IDC_TXTMAXCHAR, L"0");
  form_.cmdOk_Click();
  const SettingsRead read = LoadSettings(file_);
  EXPECT_EQ(read.settings.proxy, u"typed:3128");
  EXPECT_EQ(read.entries, (std::vector<std::u16string>{u"http://a/", u"", u"http://c/"}));
  EXPECT_EQ(WindowText(GetDlgItem(form_.Window(), IDC_TXTMAXCHAR)), u"100");
  EXPECT_EQ(GetMenuItemCount(GetSubMenu(form_.mnuMenu(), 1)), 4);
}

}  // namespace
}  // namespace pagelift
