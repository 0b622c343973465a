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

#include "settings/cp932.h"
#include "settings/profile.h"
#include "settings/settings_keys.h"
#include "shell/tray_pictures.h"
#include "text/settings_number.h"

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

frmMain::frmMain(std::filesystem::path settings_file, MessageBoxCallback message_box,
                 QWidget* parent)
    : QWidget(parent),
      txtUrl(new QPlainTextEdit(this)),
      txtProxy(new QLineEdit(this)),
      cmbCode(new QComboBox(this)),
      txtMaxChar(new QLineEdit(this)),
      cmdOk(new QPushButton(QStringLiteral("OK"), this)),
      cmdCancel(new QPushButton(QStringLiteral("Cancel"), this)),
      Label1(new QLabel(
          QStringLiteral("URL(ネットしたいURLを設定してください。１行に１URLが指定出来ます。)"),
          this)),
      Label2(
          new QLabel(QStringLiteral("Proxy(Proxyサーバーがある場合に指定してください。)"), this)),
      Label3(new QLabel(QStringLiteral("１行のＭＡＸ文字数"), this)),
      Label4(new QLabel(QStringLiteral("文字コード"), this)),
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
  setFont(DialogFont());
  setFixedSize(416, 159);

  const struct {
    QWidget* control;
    const char* name;
    QRect place;
  } controls[] = {
      {txtUrl, "txtUrl", FromTwips(90, 315, 6045, 960)},
      {txtProxy, "txtProxy", FromTwips(90, 1575, 6045, 315)},
      {cmbCode, "cmbCode", FromTwips(1080, 1980, 1140, 300)},
      {txtMaxChar, "txtMaxChar", FromTwips(4005, 1980, 510, 315)},
      {cmdOk, "cmdOk", FromTwips(4635, 1980, 705, 330)},
      {cmdCancel, "cmdCancel", FromTwips(5445, 1980, 705, 330)},
      {Label1, "Label1", FromTwips(90, 90, 6045, 195)},
      {Label2, "Label2", FromTwips(90, 1350, 6045, 195)},
      {Label3, "Label3", FromTwips(2295, 2025, 1680, 240)},
      {Label4, "Label4", FromTwips(90, 2025, 960, 195)},
  };
  QWidget* previous = nullptr;
  for (const auto& c : controls) {
    c.control->setObjectName(QString::fromLatin1(c.name));
    c.control->setGeometry(c.place);
    if (c.control->focusPolicy() == Qt::NoFocus) continue;
    if (previous) setTabOrder(previous, c.control);
    previous = c.control;
  }
  for (QLabel* label : {Label1, Label2, Label3, Label4}) {
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  }

  txtUrl->setLineWrapMode(QPlainTextEdit::NoWrap);
  txtUrl->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  txtUrl->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // Tab moves to the next control, as in every other box of the dialog.
  txtUrl->setTabChangesFocus(true);
  for (std::u16string_view code : kCodes) cmbCode->addItem(ToQString(code));

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

  connect(cmdOk, &QPushButton::clicked, this, &frmMain::cmdOk_Click);
  connect(cmdCancel, &QPushButton::clicked, this, &frmMain::cmdCancel_Click);
  connect(mnuSetting, &QAction::triggered, this, &frmMain::mnuSetting_Click);
  connect(mnuEnd, &QAction::triggered, this, &frmMain::mnuEnd_Click);
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
  return ReplaceAll(FromQString(txtUrl->toPlainText()), u"\n", kLineEnd);
}

void frmMain::SetUrlText(std::u16string_view text) {
  txtUrl->setPlainText(ToQString(ReplaceAll(std::u16string(text), kLineEnd, u"\n")));
}

void frmMain::MendWidth() {
  if (NumberOfText(FromQString(txtMaxChar->text())) <= 0)
    txtMaxChar->setText(ToQString(kDefaultWidth));
}

void frmMain::LoadSetting() {
  hide();
  const ProfileText file = ProfileText::Load(settings_file_).value_or(ProfileText());
  const auto value = [&file](std::u16string_view key, std::u16string_view fallback) {
    return GetIniValue(file, kSection, key, fallback);
  };

  const std::u16string code = value(u"CODE", kCodes[0]);
  const auto* chosen = std::find(std::begin(kCodes), std::end(kCodes), code);
  cmbCode->setCurrentIndex(
      chosen == std::end(kCodes) ? 0 : static_cast<int>(chosen - std::begin(kCodes)));

  txtMaxChar->setText(ToQString(value(u"MAXCHAR", kDefaultWidth)));
  MendWidth();

  txtProxy->setText(ToQString(value(u"PROXY", u"")));

  SetUrlText(u"");
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
  SetUrlText(urls);
}

void frmMain::mnuSetting_Click() {
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
  file.Set(kSection, u"CODE", FromQString(cmbCode->currentText()));
  MendWidth();
  file.Set(kSection, u"MAXCHAR", FromQString(txtMaxChar->text()));
  file.Set(kSection, u"PROXY", FromQString(txtProxy->text()));
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
