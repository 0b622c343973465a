#include "shell/frm_main.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <algorithm>
#include <iterator>

#include "base/settings_number.h"
#include "settings/cp932.h"
#include "settings/profile.h"
#include "settings/settings_keys.h"
#include "shell/tray_pictures.h"

namespace pagelift {
namespace {

// The entries of the code box, by index; also the values of "CODE".
constexpr std::u16string_view kCodes[] = {u"自動判定", u"SJIS",  u"JIS",  u"EUC",
                                          u"UNICODE",  u"UTF-7", u"UTF-8"};
constexpr std::u16string_view kDefaultWidth = u"100";
constexpr std::u16string_view kLineEnd = u"\r\n";

// The layout was drawn in twips, 15 to a pixel.
QRect FromTwips(int left, int top, int width, int height) {
  return QRect(left / 15, top / 15, width / 15, height / 15);
}

// 9 points is 12 pixels at the 96 dots per inch the layout was drawn for. Where
// "ＭＳ ゴシック" is missing, another Japanese gothic stands in for it.
QFont DialogFont() {
  QFont font;
  font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"),
                    QStringLiteral("IPAGothic"), QStringLiteral("IPAゴシック"),
                    QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("VL Gothic")});
  font.setPointSize(9);
  return font;
}

// Lines of a text with CR LF between them: none for an empty text, an empty last line
// for a text ending with CR LF; a lone CR or LF stays inside its line.
std::vector<std::u16string> SplitLines(std::u16string_view text) {
  std::vector<std::u16string> lines;
  if (text.empty()) return lines;
  for (;;) {
    const std::size_t end = text.find(kLineEnd);
    lines.emplace_back(text.substr(0, end));
    if (end == std::u16string_view::npos) return lines;
    text.remove_prefix(end + kLineEnd.size());
  }
}

std::u16string ReplaceAll(std::u16string text, std::u16string_view from, std::u16string_view to) {
  for (std::size_t at = text.find(from); at != std::u16string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

}  // namespace

// The dialog's controls, children of the window.
struct frmMain::Controls {
  QPlainTextEdit* txtUrl;
  QLineEdit* txtProxy;
  QComboBox* cmbCode;
  QLineEdit* txtMaxChar;
  QPushButton* cmdOk;
  QPushButton* cmdCancel;
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label4;
};

frmMain::frmMain(std::filesystem::path settings_file, ModalMessage message_box, QWidget* parent)
    : QWidget(parent),
      mnuSetUrl(new QMenu(QStringLiteral("ネット取得"), this)),
      mnuMenu(new QMenu(QStringLiteral("メニュー"), this)),
      mnuSetting(new QAction(QStringLiteral("設定..."), this)),
      mnuEnd(new QAction(QStringLiteral("終了"), this)),
      ImageList1(TrayPictures()),
      settings_file_(std::move(settings_file)),
      message_box_(std::move(message_box)),
      tray_(new QSystemTrayIcon(this)) {
  setWindowTitle(QStringLiteral("Pageliftの設定"));
  setWindowIcon(ImageList1[kIdlePicture]);
  setFixedSize(416, 159);
  kept_.width = kDefaultWidth;

  mnuSetUrl->setObjectName(QStringLiteral("mnuSetUrl"));
  AddUrlItem();

  mnuMenu->setObjectName(QStringLiteral("mnuMenu"));
  mnuSetting->setObjectName(QStringLiteral("mnuSetting"));
  mnuEnd->setObjectName(QStringLiteral("mnuEnd"));
  mnuMenu->addAction(mnuSetting);
  mnuMenu->addMenu(mnuSetUrl);
  mnuMenu->addAction(mnuEnd);
  // The tray opens this menu on the right button by itself. Its other activations (left,
  // double and middle clicks) are left unconnected: they open nothing.
  tray_->setContextMenu(mnuMenu);

  connect(mnuSetting, &QAction::triggered, this, &frmMain::mnuSetting_Click);
  connect(mnuEnd, &QAction::triggered, this, &frmMain::mnuEnd_Click);
}

frmMain::~frmMain() = default;

frmMain::Controls& frmMain::MadeControls() {
  if (controls_) return *controls_;
  controls_ = std::make_unique<Controls>(Controls{
      new QPlainTextEdit(this),
      new QLineEdit(this),
      new QComboBox(this),
      new QLineEdit(this),
      new QPushButton(QStringLiteral("OK"), this),
      new QPushButton(QStringLiteral("Cancel"), this),
      new QLabel(
          QStringLiteral("URL(ネットしたいURLを設定してください。１行に１URLが指定出来ます。)"),
          this),
      new QLabel(QStringLiteral("Proxy(Proxyサーバーがある場合に指定してください。)"), this),
      new QLabel(QStringLiteral("１行のＭＡＸ文字数"), this),
      new QLabel(QStringLiteral("文字コード"), this),
  });
  Controls& c = *controls_;
  setFont(DialogFont());

  const struct {
    QWidget* control;
    const char* name;
    QRect place;
  } controls[] = {
      {c.txtUrl, "txtUrl", FromTwips(90, 315, 6045, 960)},
      {c.txtProxy, "txtProxy", FromTwips(90, 1575, 6045, 315)},
      {c.cmbCode, "cmbCode", FromTwips(1080, 1980, 1140, 300)},
      {c.txtMaxChar, "txtMaxChar", FromTwips(4005, 1980, 510, 315)},
      {c.cmdOk, "cmdOk", FromTwips(4635, 1980, 705, 330)},
      {c.cmdCancel, "cmdCancel", FromTwips(5445, 1980, 705, 330)},
      {c.Label1, "Label1", FromTwips(90, 90, 6045, 195)},
      {c.Label2, "Label2", FromTwips(90, 1350, 6045, 195)},
      {c.Label3, "Label3", FromTwips(2295, 2025, 1680, 240)},
      {c.Label4, "Label4", FromTwips(90, 2025, 960, 195)},
  };
  QWidget* previous = nullptr;
  for (const auto& control : controls) {
    control.control->setObjectName(QString::fromLatin1(control.name));
    control.control->setGeometry(control.place);
    if (control.control->focusPolicy() == Qt::NoFocus) continue;
    if (previous) setTabOrder(previous, control.control);
    previous = control.control;
  }
  for (QLabel* label : {c.Label1, c.Label2, c.Label3, c.Label4}) {
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  }

  c.txtUrl->setLineWrapMode(QPlainTextEdit::NoWrap);
  c.txtUrl->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  c.txtUrl->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // Tab moves to the next control, as in every other box of the dialog.
  c.txtUrl->setTabChangesFocus(true);
  for (std::u16string_view code : kCodes) c.cmbCode->addItem(ToQString(code));

  connect(c.cmdOk, &QPushButton::clicked, this, &frmMain::cmdOk_Click);
  connect(c.cmdCancel, &QPushButton::clicked, this, &frmMain::cmdCancel_Click);

  // From now on the controls hold the settings.
  c.cmbCode->setCurrentIndex(kept_.code);
  c.txtMaxChar->setText(ToQString(kept_.width));
  c.txtProxy->setText(ToQString(kept_.proxy));
  c.txtUrl->setPlainText(ToQString(kept_.urls));
  kept_ = Kept();
  return c;
}

QPlainTextEdit* frmMain::txtUrl() {
  return MadeControls().txtUrl;
}
QLineEdit* frmMain::txtProxy() {
  return MadeControls().txtProxy;
}
QComboBox* frmMain::cmbCode() {
  return MadeControls().cmbCode;
}
QLineEdit* frmMain::txtMaxChar() {
  return MadeControls().txtMaxChar;
}
QPushButton* frmMain::cmdOk() {
  return MadeControls().cmdOk;
}
QPushButton* frmMain::cmdCancel() {
  return MadeControls().cmdCancel;
}
QLabel* frmMain::Label1() {
  return MadeControls().Label1;
}
QLabel* frmMain::Label2() {
  return MadeControls().Label2;
}
QLabel* frmMain::Label3() {
  return MadeControls().Label3;
}
QLabel* frmMain::Label4() {
  return MadeControls().Label4;
}

std::u16string frmMain::ProxyText() const {
  return controls_ ? FromQString(controls_->txtProxy->text()) : kept_.proxy;
}

std::u16string frmMain::CodeText() const {
  return controls_ ? FromQString(controls_->cmbCode->currentText())
                   : std::u16string(kCodes[static_cast<std::size_t>(kept_.code)]);
}

std::u16string frmMain::WidthText() const {
  return controls_ ? FromQString(controls_->txtMaxChar->text()) : kept_.width;
}

void frmMain::ShowSettings(int code, const std::u16string& width, const std::u16string& proxy,
                           const std::u16string& urls) {
  if (!controls_) {
    kept_ = Kept{code, width, proxy, ReplaceAll(urls, kLineEnd, u"\n")};
    return;
  }
  controls_->cmbCode->setCurrentIndex(code);
  controls_->txtMaxChar->setText(ToQString(width));
  controls_->txtProxy->setText(ToQString(proxy));
  SetUrlText(urls);
}

QAction* frmMain::AddUrlItem() {
  const int index = static_cast<int>(mnuSetUrlItem_.size());
  QAction* item = mnuSetUrl->addAction(QString());
  item->setObjectName(QStringLiteral("mnuSetUrlItem_%1").arg(index));
  connect(item, &QAction::triggered, this, [this, index] { mnuSetUrlItem_Click(index); });
  mnuSetUrlItem_.push_back(item);
  return item;
}

std::u16string frmMain::UrlItemCaption(int index) const {
  return FromQString(mnuSetUrlItem_.at(static_cast<std::size_t>(index))->data().toString());
}

void frmMain::SetUrlItemCaption(int index, std::u16string_view url) {
  QAction* item = mnuSetUrlItem_.at(static_cast<std::size_t>(index));
  item->setData(ToQString(url));
  // A menu shows "&" as the underline of the next letter; URLs are full of them.
  item->setText(ToQString(url).replace(QLatin1Char('&'), QStringLiteral("&&")));
}

std::u16string frmMain::UrlText() const {
  const std::u16string box = controls_ ? FromQString(controls_->txtUrl->toPlainText()) : kept_.urls;
  return ReplaceAll(box, u"\n", kLineEnd);
}

void frmMain::SetUrlText(std::u16string_view text) {
  std::u16string box = ReplaceAll(std::u16string(text), kLineEnd, u"\n");
  if (controls_) {
    controls_->txtUrl->setPlainText(ToQString(box));
  } else {
    kept_.urls = std::move(box);
  }
}

void frmMain::MendWidth() {
  if (NumberOfText(WidthText()) > 0) return;
  if (controls_) {
    controls_->txtMaxChar->setText(ToQString(kDefaultWidth));
  } else {
    kept_.width = kDefaultWidth;
  }
}

void frmMain::LoadSetting() {
  hide();
  const ProfileText file = ProfileText::Load(settings_file_).value_or(ProfileText());
  const auto value = [&file](std::u16string_view key, std::u16string_view fallback) {
    return GetIniValue(file, kSection, key, fallback);
  };

  const std::u16string code = value(u"CODE", kCodes[0]);
  const auto* chosen = std::find(std::begin(kCodes), std::end(kCodes), code);
  const int code_index =
      chosen == std::end(kCodes) ? 0 : static_cast<int>(chosen - std::begin(kCodes));
  std::u16string width = value(u"MAXCHAR", kDefaultWidth);
  if (NumberOfText(width) <= 0) width = kDefaultWidth;
  const std::u16string proxy = value(u"PROXY", u"");

  SetUrlItemCaption(0, u"");
  while (mnuSetUrlItem_.size() > 1) {
    delete mnuSetUrlItem_.back();
    mnuSetUrlItem_.pop_back();
  }
  // Leading empty values leave no line: the box is still empty when they come.
  std::u16string urls;
  for (int i = 0; i < kUrlKeys; ++i) {
    const std::u16string url = value(UrlKey(i + 1), kNoMoreUrls);
    if (url == kNoMoreUrls) break;
    if (i > 0) AddUrlItem();
    urls = urls.empty() ? url : urls + std::u16string(kLineEnd) + url;
    SetUrlItemCaption(i, url);
    mnuSetUrlItem_[static_cast<std::size_t>(i)]->setVisible(!url.empty());
  }
  ShowSettings(code_index, width, proxy, urls);
}

void frmMain::mnuSetting_Click() {
  MadeControls();
  show();
  raise();
  activateWindow();
}

void frmMain::cmdOk_Click() {
  hide();
  ProcessPendingMessages();

  // The keys are written into the file's text one by one and the file is replaced
  // once, so that no crash leaves half of them written.
  const std::optional<ProfileText> old_file = ProfileText::Load(settings_file_);
  ProfileText file = old_file.value_or(ProfileText());
  file.Set(kSection, u"CODE", CodeText());
  MendWidth();
  file.Set(kSection, u"MAXCHAR", WidthText());
  file.Set(kSection, u"PROXY", ProxyText());
  const std::vector<std::u16string> lines = SplitLines(UrlText());
  for (int n = 1; n <= kUrlKeys; ++n) {
    const auto line = static_cast<std::size_t>(n - 1);
    file.Set(kSection, UrlKey(n),
             line < lines.size() ? WithCp932UrlEscapes(lines[line]) : kNoMoreUrls);
  }

  // The user's configuration folder may not exist yet.
  std::error_code ignored;
  std::filesystem::create_directories(settings_file_.parent_path(), ignored);
  // A file that cannot be read must not be replaced by the keys alone. Loading the old
  // file again would throw away what the user typed.
  if (!old_file || !file.Save(settings_file_)) {
    message_box_(u"設定を保存できませんでした。\n保存先: " +
                 FromQString(QFile::decodeName(settings_file_.c_str())));
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
