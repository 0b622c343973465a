#include "shell/qt/frm_main.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenu>
#include <QPushButton>
#include <QSystemTrayIcon>

#include "app/clipboard_url.h"
#include "app/dialog_layout.h"
#include "app/tray_texts.h"
#include "shell/qt/menu_text.h"
#include "shell/qt/tray_pictures.h"

namespace pagelift {

frmMain::frmMain(std::filesystem::path settings_file, ModalMessage message_box, QWidget* parent)
    : QWidget(parent),
      mnuMenu(new QMenu(ToQString(kMenuCaption), this)),
      mnuSetting(new QAction(ToQString(kSettingEntry), this)),
      mnuSetUrl(new QMenu(ToQString(kFetchEntry), this)),
      mnuClipboardUrl(mnuSetUrl->addAction(QString())),
      mnuUrlSeparator(mnuSetUrl->addSeparator()),
      mnuEnd(new QAction(ToQString(kEndEntry), this)),
      ImageList1(TrayPictures()),
      settings_file_(std::move(settings_file)),
      message_box_(std::move(message_box)),
      tray_(new QSystemTrayIcon(this)),
      fetches_(ShellForFetches()) {
  setWindowTitle(ToQString(kDialogCaption));
  setWindowIcon(ImageList1[0]);
  setFixedSize(kDialogWidthTwips / kTwipsPerPixel, kDialogHeightTwips / kTwipsPerPixel);
  for (auto [object, name] : {std::pair<QObject*, const char*>{mnuMenu, "mnuMenu"},
                              {mnuSetting, "mnuSetting"},
                              {mnuSetUrl, "mnuSetUrl"},
                              {mnuClipboardUrl, "mnuClipboardUrl"},
                              {mnuEnd, "mnuEnd"}}) {
    object->setObjectName(QString::fromLatin1(name));
  }
  SetUrlItems({});
  mnuMenu->addAction(mnuSetting);
  mnuMenu->addMenu(mnuSetUrl);
  mnuMenu->addAction(mnuEnd);
  // The tray opens this menu on the right button by itself. Its other activations (left,
  // double and middle clicks) are left unconnected: they open nothing.
  tray_->setContextMenu(mnuMenu);
  connect(mnuSetting, &QAction::triggered, this, &frmMain::mnuSetting_Click);
  // Also when a StatusNotifierItem's host says it is about to show the submenu (dbusmenu's
  // AboutToShow).
  connect(mnuSetUrl, &QMenu::aboutToShow, this, &frmMain::mnuSetUrl_AboutToShow);
  connect(mnuClipboardUrl, &QAction::triggered, this, &frmMain::mnuClipboardUrl_Click);
  mnuClipboardUrl->setText(ToQString(kNoClipboardUrl));
  mnuClipboardUrl->setEnabled(false);
  connect(mnuEnd, &QAction::triggered, this, &frmMain::mnuEnd_Click);
}

frmMain::~frmMain() = default;

DialogControls& frmMain::controls() {
  if (controls_) return *controls_;
  controls_ = std::make_unique<DialogControls>(MakeDialogControls(this));
  connect(controls_->cmdOk, &QPushButton::clicked, this, &frmMain::cmdOk_Click);
  connect(controls_->cmdCancel, &QPushButton::clicked, this, &frmMain::cmdCancel_Click);
  Show(kept_);  // from now on the controls hold the settings
  return *controls_;
}

Settings frmMain::Shown() const {
  return controls_ ? SettingsIn(*controls_) : kept_;
}

void frmMain::Show(const Settings& settings) {
  if (controls_) {
    ShowSettingsIn(*controls_, settings);
  } else {
    kept_ = settings;
  }
}

void frmMain::SetUrlItems(std::vector<std::u16string> urls) {
  entries_.Load(std::move(urls));
  while (mnuSetUrlItem.size() > entries_.Size()) {
    delete mnuSetUrlItem.back();
    mnuSetUrlItem.pop_back();
  }
  for (std::size_t i = 0; i < entries_.Size(); ++i) {
    if (i == mnuSetUrlItem.size()) {
      QAction* item = mnuSetUrl->addAction(QString());
      item->setObjectName(QStringLiteral("mnuSetUrlItem_%1").arg(i));
      const int index = static_cast<int>(i);
      connect(item, &QAction::triggered, this, [this, index] { mnuSetUrlItem_Click(index); });
      mnuSetUrlItem.push_back(item);
    }
    // A StatusNotifierItem's menu goes out over dbusmenu, when Qt made a platform menu of it.
    mnuSetUrlItem[i]->setText(
        MenuText(entries_.Url(static_cast<int>(i)), mnuMenu->platformMenu() != nullptr));
    mnuSetUrlItem[i]->setVisible(entries_.Shown(i));
  }
  mnuUrlSeparator->setVisible(entries_.AnyShown());
}

void frmMain::mnuSetUrl_AboutToShow() {
  const std::optional<ClipboardStart> start = ReadClipboardStart();
  clipboard_url_ = start ? ClipboardUrl(*start) : std::nullopt;
  mnuClipboardUrl->setText(
      MenuText(ClipboardEntryCaption(clipboard_url_), mnuMenu->platformMenu() != nullptr));
  mnuClipboardUrl->setEnabled(clipboard_url_.has_value());
}

std::u16string frmMain::UrlItemCaption(int index) const {
  return entries_.Url(index);
}

void frmMain::LoadSetting() {
  hide();
  const SettingsRead read = LoadSettings(settings_file_);
  SetUrlItems(read.entries);
  Show(read.settings);
}

void frmMain::mnuSetting_Click() {
  controls();
  show();
  raise();
  activateWindow();
}

void frmMain::cmdOk_Click() {
  hide();
  ProcessPendingMessages();
  Settings settings = Shown();
  const bool saved = SaveSettings(settings_file_, settings);
  Show(settings);  // the width as mended
  if (!saved) {
    // Loading the old file again would throw away what the user typed.
    message_box_(CannotSaveMessage(settings_file_));
    return;
  }
  LoadSetting();
}

void frmMain::cmdCancel_Click() {
  hide();
}

void frmMain::closeEvent(QCloseEvent* event) {
  cmdCancel_Click();
  event->accept();
}

}  // namespace pagelift
