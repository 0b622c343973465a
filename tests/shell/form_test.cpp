#include "shell/frm_main.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <memory>
#include <random>

#include "settings/profile.h"
#include "support/files.h"

namespace pagelift {
namespace {

namespace fs = std::filesystem;
using test::FileBytes;
using test::FileSizeLimit;
using test::TempFolder;
using test::WriteBytes;

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
  // that the submenu holds them in their order.
  std::vector<std::u16string> Menu() const {
    std::vector<std::u16string> entries;
    const auto& items = form_->mnuSetUrlItem();
    EXPECT_EQ(form_->mnuSetUrl->actions().toVector(),
              QVector<QAction*>(items.begin(), items.end()));
    for (std::size_t i = 0; i < items.size(); ++i) {
      entries.push_back((items[i]->isVisible() ? u"" : u"hidden:") +
                        form_->UrlItemCaption(static_cast<int>(i)));
    }
    return entries;
  }

  // The values of URL1, URL2, ... as many as `count`.
  std::vector<std::u16string> UrlKeys(std::size_t count) const {
    std::vector<std::u16string> values;
    for (std::size_t n = 1; n <= count; ++n) {
      const std::string key = "URL" + std::to_string(n);
      values.push_back(
          GetIniValue(u"Setting", std::u16string(key.begin(), key.end()), u"(missing)", settings_));
    }
    return values;
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
  EXPECT_EQ(form_->CodeText(), u"自動判定");
  EXPECT_EQ(form_->WidthText(), u"100");
  EXPECT_EQ(form_->ProxyText(), u"");
  EXPECT_EQ(form_->cmbCode()->currentIndex(), 0);
  EXPECT_EQ(form_->cmbCode()->currentText(), QStringLiteral("自動判定"));
  EXPECT_EQ(form_->txtMaxChar()->text(), QStringLiteral("100"));
  EXPECT_EQ(form_->txtProxy()->text(), QString());
  EXPECT_EQ(form_->UrlText(), u"");
  EXPECT_EQ(Menu(), std::vector<std::u16string>{u""});
  EXPECT_FALSE(fs::exists(settings_));
}

TEST_F(FormTest, UrlLinesSurviveOkAndReloadAsTheyShould) {
  using Lines = std::vector<std::u16string>;
  const struct {
    std::u16string typed;
    Lines saved;         // URL1, URL2, ...
    std::u16string box;  // after the reload
    Lines menu;
    Lines saved_again;  // by a second OK
  } cases[] = {
      {u"", {u"NONE"}, u"", {u""}, {u"NONE"}},
      {u"http://a/\r\n\r\nhttp://c/?x=1&y=2",
       {u"http://a/", u"", u"http://c/?x=1&y=2", u"NONE"},
       u"http://a/\r\n\r\nhttp://c/?x=1&y=2",
       {u"http://a/", u"hidden:", u"http://c/?x=1&y=2"},
       {u"http://a/", u"", u"http://c/?x=1&y=2", u"NONE"}},
      // Empty lines before the first URL are saved but leave no line in the box.
      {u"\r\n\r\nhttp://a/",
       {u"", u"", u"http://a/", u"NONE"},
       u"http://a/",
       {u"hidden:", u"hidden:", u"http://a/"},
       {u"http://a/", u"NONE"}},
      {u"http://a/\r\nhttp://b/\r\n",
       {u"http://a/", u"http://b/", u"", u"NONE"},
       u"http://a/\r\nhttp://b/\r\n",
       {u"http://a/", u"http://b/", u"hidden:"},
       {u"http://a/", u"http://b/", u"", u"NONE"}},
      // What code page 932 cannot hold is saved as the download sends it.
      {u"http://例え.jp/café?q=¥😀",
       {u"http://例え.jp/caf%C3%A9?q=%C2%A5%F0%9F%98%80", u"NONE"},
       u"http://例え.jp/caf%C3%A9?q=%C2%A5%F0%9F%98%80",
       {u"http://例え.jp/caf%C3%A9?q=%C2%A5%F0%9F%98%80"},
       {u"http://例え.jp/caf%C3%A9?q=%C2%A5%F0%9F%98%80", u"NONE"}},
      // "NONE" ends the list: what follows it is gone after the next OK.
      {u"http://a/\r\nNONE\r\nhttp://c/",
       {u"http://a/", u"NONE", u"http://c/", u"NONE"},
       u"http://a/",
       {u"http://a/"},
       {u"http://a/", u"NONE", u"NONE"}},
  };
  // Before the controls are made, and in them.
  for (const bool made : {false, true}) {
    if (made) form_->txtUrl();
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::PrintToString(c.typed) + (made ? " in the controls" : ""));
      fs::remove(settings_);
      form_->LoadSetting();
      form_->SetUrlText(c.typed);
      form_->cmdOk_Click();
      EXPECT_EQ(UrlKeys(c.saved.size()), c.saved);
      EXPECT_EQ(form_->UrlText(), c.box);
      EXPECT_EQ(Menu(), c.menu);
      form_->cmdOk_Click();
      EXPECT_EQ(UrlKeys(c.saved_again.size()), c.saved_again);
    }
  }
  EXPECT_TRUE(messages_.empty());
}

TEST_F(FormTest, OnlyTheFirstHundredLinesAreSaved) {
  std::u16string typed;
  for (int n = 1; n <= 101; ++n) {
    const std::string url = "http://h/" + std::to_string(n);
    typed += (n > 1 ? u"\r\n" : u"") + std::u16string(url.begin(), url.end());
  }
  form_->SetUrlText(typed);
  form_->cmdOk_Click();
  EXPECT_EQ(Key(u"URL100"), u"http://h/100");
  EXPECT_EQ(Key(u"URL101"), u"(missing)");
  EXPECT_EQ(FileBytes(settings_).find("http://h/101"), std::string::npos);
  EXPECT_EQ(form_->mnuSetUrlItem().size(), 100u);
  EXPECT_EQ(form_->UrlText(), typed.substr(0, typed.rfind(u"\r\n")));
}

TEST_F(FormTest, AFoldWidthThatIsNoPositiveNumberBecomes100) {
  const struct {
    const char16_t* width;
    const char16_t* kept;
  } cases[] = {{u"0", u"100"}, {u"-5", u"100"},      {u"abc", u"100"},
               {u"", u"100"},  {u"80abc", u"80abc"}, {u"10.5", u"10.5"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::u16string(c.width)));
    form_->txtMaxChar()->setText(QString::fromUtf16(c.width));
    form_->cmdOk_Click();
    EXPECT_EQ(Key(u"MAXCHAR"), c.kept);
    EXPECT_EQ(FromQString(form_->txtMaxChar()->text()), c.kept);
    ASSERT_TRUE(WriteIniValue(u"Setting", u"MAXCHAR", c.width, settings_));
    form_->LoadSetting();
    EXPECT_EQ(FromQString(form_->txtMaxChar()->text()), c.kept);
  }
}

TEST_F(FormTest, CodeValuesSelectTheirEntryAndAnythingElseTheFirst) {
  const struct {
    const char16_t* value;
    int index;
  } cases[] = {{u"自動判定", 0}, {u"SJIS", 1},  {u"JIS", 2},   {u"EUC", 3},  {u"UNICODE", 4},
               {u"UTF-7", 5},    {u"UTF-8", 6}, {u"utf-8", 0}, {u"UTF8", 0}, {u"", 0}};
  for (const auto& c : cases) {
    ASSERT_TRUE(WriteIniValue(u"Setting", u"CODE", c.value, settings_));
    form_->LoadSetting();
    EXPECT_EQ(form_->cmbCode()->currentIndex(), c.index)
        << testing::PrintToString(std::u16string(c.value));
  }
  form_->cmbCode()->setCurrentIndex(5);
  form_->cmdOk_Click();
  EXPECT_EQ(Key(u"CODE"), u"UTF-7");
}

TEST_F(FormTest, CancelKeepsWhatWasTypedInForceButUnsaved) {
  ASSERT_TRUE(WriteIniValue(u"Setting", u"PROXY", u"old:8080", settings_));
  form_ = Start();
  form_->mnuSetting_Click();
  EXPECT_TRUE(form_->isVisible());
  form_->txtProxy()->setText(QStringLiteral("new:3128"));
  form_->SetUrlText(u"http://typed/");
  form_->cmdCancel_Click();
  EXPECT_FALSE(form_->isVisible());
  EXPECT_EQ(form_->txtProxy()->text(), QStringLiteral("new:3128"));
  EXPECT_EQ(Menu(), std::vector<std::u16string>{u""});  // URLs change only with OK
  EXPECT_EQ(Key(u"PROXY"), u"old:8080");
  form_->mnuSetting_Click();  // shown as it was left, not reloaded
  EXPECT_EQ(form_->txtProxy()->text(), QStringLiteral("new:3128"));
  EXPECT_EQ(Start()->txtProxy()->text(), QStringLiteral("old:8080"));  // the next start
}

TEST_F(FormTest, OkCreatesTheFileInTheKeysOrder) {
  form_->SetUrlText(u"http://www.example.jp/\r\nhttp://example.com/a b");
  form_->cmdOk_Click();
  std::string expected =
      "[Setting]\r\n"
      "CODE=\x8e\xa9\x93\xae\x94\xbb\x92\xe8\r\n"
      "MAXCHAR=100\r\n"
      "PROXY=\r\n"
      "URL1=http://www.example.jp/\r\n"
      "URL2=http://example.com/a b\r\n";
  for (int n = 3; n <= 100; ++n) expected += "URL" + std::to_string(n) + "=NONE\r\n";
  EXPECT_EQ(FileBytes(settings_), expected);
  EXPECT_EQ(Menu(),
            (std::vector<std::u16string>{u"http://www.example.jp/", u"http://example.com/a b"}));
}

TEST_F(FormTest, OkKeepsCommentsAndOtherSections) {
  const std::string head =
      "; Pagelift\r\n"
      "[Window]\r\n"
      "Left=10\r\n"
      "\r\n"
      "[setting]\r\n"
      "; the office proxy\r\n"
      "proxy = office:8080\r\n"
      "URL1=http://a/\r\n"
      "URL2=NONE\r\n";
  const std::string tail = "\r\n[Tail]\r\nKey=\x95\x5c\r\n";
  WriteBytes(settings_, head + tail);
  form_->LoadSetting();
  form_->cmdOk_Click();
  std::string expected =
      "; Pagelift\r\n"
      "[Window]\r\n"
      "Left=10\r\n"
      "\r\n"
      "[setting]\r\n"
      "; the office proxy\r\n"
      "proxy=office:8080\r\n"
      "URL1=http://a/\r\n"
      "URL2=NONE\r\n"
      "CODE=\x8e\xa9\x93\xae\x94\xbb\x92\xe8\r\n"
      "MAXCHAR=100\r\n";
  for (int n = 3; n <= 100; ++n) expected += "URL" + std::to_string(n) + "=NONE\r\n";
  EXPECT_EQ(FileBytes(settings_), expected + tail);
}

TEST_F(FormTest, AFileOfRandomBytesGivesDefaultsAndStaysInFront) {
  std::mt19937 random(932);
  std::string garbage(4096, '\0');
  for (char& byte : garbage) byte = static_cast<char>(random());
  WriteBytes(settings_, garbage);
  form_->LoadSetting();
  EXPECT_EQ(form_->txtMaxChar()->text(), QStringLiteral("100"));
  form_->txtProxy()->setText(QStringLiteral("proxy:8080"));
  form_->cmdOk_Click();
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(FileBytes(settings_).substr(0, garbage.size()), garbage);
  EXPECT_EQ(form_->txtProxy()->text(), QStringLiteral("proxy:8080"));
}

TEST_F(FormTest, OkThatCannotWriteSaysSoAndKeepsWhatWasTyped) {
  const std::string old_file = "[Setting]\r\nPROXY=old:8080\r\nURL1=http://old/\r\n";
  for (const bool full_disk : {true, false}) {
    SCOPED_TRACE(full_disk ? "full disk" : "a folder in the file's place");
    fs::remove_all(settings_);
    if (full_disk) {
      WriteBytes(settings_, old_file);
    } else {
      fs::create_directory(settings_);
    }
    messages_.clear();
    form_->LoadSetting();
    const auto menu = Menu();
    form_->mnuSetting_Click();
    form_->txtProxy()->setText(QStringLiteral("typed:3128"));
    form_->SetUrlText(u"http://typed/");
    {
      const FileSizeLimit limit(full_disk ? old_file.size() : RLIM_INFINITY);
      form_->cmdOk_Click();
    }
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_NE(messages_[0].find(u"設定を保存できませんでした"), std::u16string::npos);
    EXPECT_NE(messages_[0].find(FromQString(QString::fromStdString(settings_.string()))),
              std::u16string::npos);
    EXPECT_EQ(form_->txtProxy()->text(), QStringLiteral("typed:3128"));
    EXPECT_EQ(form_->UrlText(), u"http://typed/");
    EXPECT_EQ(Menu(), menu);
    if (full_disk) {
      EXPECT_EQ(FileBytes(settings_), old_file);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_.path()), fs::directory_iterator()), 1);
  }
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
      {"cmdOk", "QPushButton", {309, 132, 47, 22}, QStringLiteral("OK")},
      {"cmdCancel", "QPushButton", {363, 132, 47, 22}, QStringLiteral("Cancel")},
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
  };
  EXPECT_EQ(form_->windowTitle(), QStringLiteral("Pageliftの設定"));
  EXPECT_EQ(form_->size(), QSize(416, 159));
  QWidget* focus = form_->txtUrl();
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
  for (int i = 0; i < form_->cmbCode()->count(); ++i) codes << form_->cmbCode()->itemText(i);
  EXPECT_EQ(codes, QStringList({"自動判定", "SJIS", "JIS", "EUC", "UNICODE", "UTF-7", "UTF-8"}));
  EXPECT_FALSE(form_->cmbCode()->isEditable());
  // "ＭＳ ゴシック" 9 point, or the Japanese gothic that stands in for it.
  EXPECT_EQ(form_->font().pointSize(), 9);
  EXPECT_TRUE(form_->font().families().contains(QFontInfo(form_->font()).family()))
      << QFontInfo(form_->font()).family().toStdString();
  EXPECT_EQ(form_->mnuSetUrl->title(), QStringLiteral("ネット取得"));
}

TEST_F(FormTest, UrlEntriesShowAmpersandsAsTyped) {
  form_->SetUrlText(u"http://a/?x=1&y=2\r\nhttp://b/");
  form_->cmdOk_Click();
  // A menu would take "&" for the underline of the next letter.
  EXPECT_EQ(form_->mnuSetUrlItem()[0]->text(), QStringLiteral("http://a/?x=1&&y=2"));
  EXPECT_EQ(form_->UrlItemCaption(0), u"http://a/?x=1&y=2");
}

}  // namespace
}  // namespace pagelift
