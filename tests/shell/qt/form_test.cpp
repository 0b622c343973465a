#include "shell/qt/frm_main.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <algorithm>
#include <memory>

#include "settings/profile.h"
#include "support/files.h"

namespace pagelift {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

class FormTest : public testing::Test {
 protected:
  // A form as the program makes it at start: loaded, hidden.
  std::unique_ptr<frmMain> Start() {
    auto made = std::make_unique<frmMain>(
        settings_, [this](const std::u16string& text) { messages_.push_back(text); });
    made->LoadSetting();
    return made;
  }

  // The URL entries: their URLs, "hidden:" in front of those not shown. Also checks
  // that the submenu holds them in their order after the Clipboard's entry and a
  // separator, shown when they are.
  std::vector<std::u16string> Menu() const {
    std::vector<std::u16string> entries;
    const auto& items = form_->mnuSetUrlItem;
    const QList<QAction*> actions = form_->mnuSetUrl->actions();
    EXPECT_EQ(actions.mid(0, 2), (QList<QAction*>{form_->mnuClipboardUrl, form_->mnuUrlSeparator}));
    EXPECT_EQ(actions.mid(2).toVector(), QVector<QAction*>(items.begin(), items.end()));
    EXPECT_EQ(
        form_->mnuUrlSeparator->isVisible(),
        std::any_of(items.begin(), items.end(), [](QAction* item) { return item->isVisible(); }));
    for (std::size_t i = 0; i < items.size(); ++i) {
      entries.push_back((items[i]->isVisible() ? u"" : u"hidden:") +
                        form_->UrlItemCaption(static_cast<int>(i)));
    }
    return entries;
  }

  void Type(std::u16string_view urls) {
    Settings shown = form_->Shown();
    shown.urls = urls;
    form_->Show(shown);
  }

  std::u16string Key(std::u16string_view key) const {
    return GetIniValue(u"Setting", key, u"(missing)", settings_);
  }

  TempFolder folder_;
  fs::path settings_ = folder_ / "pagelift.ini";
  std::vector<std::u16string> messages_;
  std::unique_ptr<frmMain> form_ = Start();
};

TEST_F(FormTest, WithoutAFileShowsTheDefaults) {
  EXPECT_FALSE(form_->isVisible());
  // A resting program has no controls yet; the settings read the same without them.
  EXPECT_EQ(form_->findChild<QLineEdit*>(), nullptr);
  const DialogControls& c = form_->controls();
  EXPECT_EQ(c.cmbCode->currentText(), QStringLiteral("自動判定"));
  EXPECT_EQ(c.txtMaxChar->text(), QStringLiteral("100"));
  EXPECT_EQ(Menu(), std::vector<std::u16string>{u"hidden:"});
  EXPECT_FALSE(fs::exists(settings_));
}

TEST_F(FormTest, OkShowsWhatItSavedWithOrWithoutTheControls) {
  for (const bool made : {false, true}) {
    SCOPED_TRACE(made ? "in the controls" : "before the controls");
    fs::remove(settings_);
    form_ = Start();
    if (made) form_->controls();
    Settings typed = form_->Shown();
    typed.urls = u"http://a/\r\n\r\nhttp://c/?x=1&y=2";
    typed.width = FoldWidth(u"0");
    form_->Show(typed);
    form_->cmdOk_Click();
    EXPECT_EQ(Menu(),
              (std::vector<std::u16string>{u"http://a/", u"hidden:", u"http://c/?x=1&y=2"}));
    EXPECT_EQ(form_->Shown().urls, typed.urls);
    EXPECT_EQ(form_->Shown().width.Text(), u"100");
    EXPECT_EQ(form_->controls().txtUrl->toPlainText(),
              QStringLiteral("http://a/\n\nhttp://c/?x=1&y=2"));
  }
  EXPECT_TRUE(messages_.empty());
}

TEST_F(FormTest, CancelKeepsWhatWasTypedInForceButUnsaved) {
  ASSERT_TRUE(WriteIniValue(u"Setting", u"PROXY", u"old:8080", settings_));
  form_ = Start();
  form_->mnuSetting_Click();
  EXPECT_TRUE(form_->isVisible());
  form_->controls().txtProxy->setText(QStringLiteral("new:3128"));
  Type(u"http://typed/");
  form_->cmdCancel_Click();
  EXPECT_FALSE(form_->isVisible());
  EXPECT_EQ(form_->Shown().proxy, u"new:3128");
  EXPECT_EQ(Menu(), std::vector<std::u16string>{u"hidden:"});  // URLs change only with OK
  EXPECT_EQ(Key(u"PROXY"), u"old:8080");
  form_->mnuSetting_Click();  // shown as it was left, not reloaded
  EXPECT_EQ(form_->controls().txtProxy->text(), QStringLiteral("new:3128"));
  EXPECT_EQ(Start()->Shown().proxy, u"old:8080");  // the next start
}

TEST_F(FormTest, OkThatCannotWriteSaysSoAndKeepsWhatWasTyped) {
  fs::create_directory(settings_);
  form_->LoadSetting();
  form_->mnuSetting_Click();
  form_->controls().txtProxy->setText(QStringLiteral("typed:3128"));
  Type(u"http://typed/");
  form_->cmdOk_Click();
  EXPECT_EQ(messages_, std::vector<std::u16string>{CannotSaveMessage(settings_)});
  EXPECT_EQ(form_->controls().txtProxy->text(), QStringLiteral("typed:3128"));
  EXPECT_EQ(form_->Shown().urls, u"http://typed/");
  EXPECT_EQ(Menu(), std::vector<std::u16string>{u"hidden:"});
}

TEST_F(FormTest, ControlsSitWhereTheLayoutPutsThem) {
  const struct {
    const char* name;
    const char* kind;
    QRect pixels;
    QString text;
  } controls[] = {
      {"txtUrl", "QPlainTextEdit", {6, 21, 403, 64}, {}},
      {"txtProxy", "QLineEdit", {6, 105, 403, 21}, {}},
      {"cmbCode", "QComboBox", {72, 132, 76, 20}, QStringLiteral("自動判定")},
      {"txtMaxChar", "QLineEdit", {267, 132, 34, 21}, QStringLiteral("100")},
      {"chkNoFold", "QCheckBox", {309, 134, 100, 18}, QStringLiteral("折り返さない")},
      {"cmbTextForm", "QComboBox", {72, 159, 156, 20}, QStringLiteral("タグ除去のみ")},
      {"chkWithHtml", "QCheckBox", {72, 185, 180, 18}, QStringLiteral("書式（HTML）も付ける")},
      {"cmdOk", "QPushButton", {309, 183, 47, 22}, QStringLiteral("OK")},
      {"cmdCancel", "QPushButton", {363, 183, 47, 22}, QStringLiteral("Cancel")},
      {"Label1",
       "QLabel",
       {6, 6, 403, 13},
       QStringLiteral("URL(ネットしたいURLを設定してください。１行に１URLが指定出来ます。)")},
      {"Label2",
       "QLabel",
       {6, 90, 403, 13},
       QStringLiteral("Proxy(Proxyサーバーがある場合に指定してください。)")},
      {"Label3", "QLabel", {153, 135, 112, 16}, QStringLiteral("１行のＭＡＸ文字数")},
      {"Label4", "QLabel", {6, 135, 64, 13}, QStringLiteral("文字コード")},
      {"Label5", "QLabel", {6, 162, 64, 13}, QStringLiteral("テキスト")},
  };
  EXPECT_EQ(form_->windowTitle(), QStringLiteral("Pageliftの設定"));
  EXPECT_EQ(form_->size(), QSize(416, 211));
  QWidget* focus = form_->controls().txtUrl;
  for (const auto& c : controls) {
    SCOPED_TRACE(c.name);
    auto* control = form_->findChild<QWidget*>(QString::fromLatin1(c.name));
    ASSERT_NE(control, nullptr);
    EXPECT_STREQ(control->metaObject()->className(), c.kind);
    EXPECT_EQ(control->geometry(), c.pixels);
    QString text = control->property("text").toString();
    if (auto* box = qobject_cast<QComboBox*>(control)) text = box->currentText();
    EXPECT_EQ(text, c.text);
    if (control->focusPolicy() != Qt::NoFocus) {  // the labels take no focus
      EXPECT_EQ(control, focus);
      focus = control->nextInFocusChain();
      while (focus->focusProxy() || qobject_cast<QWidget*>(focus->parent()) != form_.get()) {
        focus = focus->nextInFocusChain();  // the boxes' own scroll bars and editors
      }
    }
  }
  QStringList codes;
  const QComboBox* code_box = form_->controls().cmbCode;
  for (int i = 0; i < code_box->count(); ++i) codes << code_box->itemText(i);
  EXPECT_EQ(codes, QStringList({"自動判定", "SJIS", "JIS", "EUC", "UNICODE", "UTF-7", "UTF-8"}));
  EXPECT_FALSE(code_box->isEditable());
  // "ＭＳ ゴシック" 9 point, or the Japanese gothic that stands in for it.
  EXPECT_EQ(form_->font().pointSize(), 9);
  EXPECT_TRUE(form_->font().families().contains(QFontInfo(form_->font()).family()))
      << QFontInfo(form_->font()).family().toStdString();
  EXPECT_EQ(form_->mnuSetUrl->title(), QStringLiteral("ネット取得"));
}

TEST_F(FormTest, TheCheckBoxesAreGreyedWhereTheFormHasNoUseForThemAndKeptThroughOk) {
  const DialogControls& c = form_->controls();
  const struct {
    int form;
    bool folds;
    bool has_html;
  } cases[] = {{0, false, false}, {1, true, true}, {2, true, true}, {3, false, true}};
  for (const auto& [form, folds, has_html] : cases) {
    c.cmbTextForm->setCurrentIndex(form);
    EXPECT_EQ(c.chkNoFold->isEnabled(), folds) << form;
    EXPECT_EQ(c.chkWithHtml->isEnabled(), has_html) << form;
  }
  c.cmbTextForm->setCurrentIndex(1);
  c.chkNoFold->setChecked(true);
  c.chkWithHtml->setChecked(true);
  form_->cmdOk_Click();
  EXPECT_TRUE(LoadSettings(settings_).settings.no_fold);
  EXPECT_TRUE(LoadSettings(settings_).settings.with_html);
}

TEST_F(FormTest, UrlEntriesShowAmpersandsAsTyped) {
  Type(u"http://a/?x=1&y=2\r\nhttp://b/");
  form_->cmdOk_Click();
  // A menu would take "&" for the underline of the next letter.
  EXPECT_EQ(form_->mnuSetUrlItem[0]->text(), QStringLiteral("http://a/?x=1&&y=2"));
  EXPECT_EQ(form_->UrlItemCaption(0), u"http://a/?x=1&y=2");
}

}  // namespace
}  // namespace pagelift
