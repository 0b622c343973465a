#include "app/settings.h"

#include <gtest/gtest.h>

#include <random>

#include "app/code_box.h"
#include "app/form_box.h"
#include "settings/profile.h"
#include "support/files.h"

namespace pagelift {
namespace {

namespace fs = std::filesystem;
using test::FileBytes;
using test::TempFolder;
using test::WriteBytes;
using Lines = std::vector<std::u16string>;

class SettingsTest : public testing::Test {
 protected:
  // What OK saves when the dialog holds `typed`, and what the program then reads back.
  bool Save() { return SaveSettings(file_, typed_); }
  SettingsRead Load() const { return LoadSettings(file_); }

  // The values of URL1, URL2, ... as many as `count`.
  Lines UrlKeys(std::size_t count) const {
    Lines values;
    for (std::size_t n = 1; n <= count; ++n) {
      const std::string key = "URL" + std::to_string(n);
      values.push_back(Key(std::u16string(key.begin(), key.end())));
    }
    return values;
  }

  std::u16string Key(std::u16string_view key) const {
    return GetIniValue(u"Setting", key, u"(missing)", file_);
  }

  TempFolder folder_;
  fs::path file_ = folder_ / "pagelift.ini";
  Settings typed_;
};

TEST_F(SettingsTest, WithoutAFileGivesTheDefaults) {
  const SettingsRead read = Load();
  EXPECT_EQ(read.settings.code, 0);
  EXPECT_EQ(read.settings.width.Text(), u"100");
  EXPECT_EQ(read.settings.proxy, u"");
  EXPECT_EQ(read.settings.urls, u"");
  EXPECT_EQ(read.entries, Lines{});
  const FetchSettings fetch = read.settings.ForFetch();
  EXPECT_EQ(fetch.code, std::nullopt);
  EXPECT_EQ(fetch.fold_width, 100);
  EXPECT_FALSE(fs::exists(file_));
}

TEST_F(SettingsTest, UrlLinesSurviveSaveAndLoadAsTheyShould) {
  const struct {
    std::u16string typed;
    Lines saved;         // URL1, URL2, ...
    std::u16string box;  // after the reload
    Lines entries;       // an empty one is hidden
    Lines saved_again;   // by a second OK
  } cases[] = {
      {u"", {u"NONE"}, u"", {}, {u"NONE"}},
      {u"http://a/\r\n\r\nhttp://c/?x=1&y=2",
       {u"http://a/", u"", u"http://c/?x=1&y=2", u"NONE"},
       u"http://a/\r\n\r\nhttp://c/?x=1&y=2",
       {u"http://a/", u"", u"http://c/?x=1&y=2"},
       {u"http://a/", u"", u"http://c/?x=1&y=2", u"NONE"}},
      // Empty lines before the first URL are saved but leave no line in the box.
      {u"\r\n\r\nhttp://a/",
       {u"", u"", u"http://a/", u"NONE"},
       u"http://a/",
       {u"", u"", u"http://a/"},
       {u"http://a/", u"NONE"}},
      {u"http://a/\r\nhttp://b/\r\n",
       {u"http://a/", u"http://b/", u"", u"NONE"},
       u"http://a/\r\nhttp://b/\r\n",
       {u"http://a/", u"http://b/", u""},
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
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.typed));
    fs::remove(file_);
    typed_.urls = c.typed;
    ASSERT_TRUE(Save());
    EXPECT_EQ(UrlKeys(c.saved.size()), c.saved);
    const SettingsRead read = Load();
    EXPECT_EQ(read.settings.urls, c.box);
    EXPECT_EQ(read.entries, c.entries);
    typed_ = read.settings;
    ASSERT_TRUE(Save());
    EXPECT_EQ(UrlKeys(c.saved_again.size()), c.saved_again);
  }
}

TEST_F(SettingsTest, OnlyTheFirstHundredLinesAreSaved) {
  for (int n = 1; n <= 101; ++n) {
    const std::string url = "http://h/" + std::to_string(n);
    typed_.urls += (n > 1 ? u"\r\n" : u"") + std::u16string(url.begin(), url.end());
  }
  ASSERT_TRUE(Save());
  EXPECT_EQ(Key(u"URL100"), u"http://h/100");
  EXPECT_EQ(Key(u"URL101"), u"(missing)");
  EXPECT_EQ(FileBytes(file_).find("http://h/101"), std::string::npos);
  const SettingsRead read = Load();
  EXPECT_EQ(read.entries.size(), 100u);
  EXPECT_EQ(read.settings.urls, typed_.urls.substr(0, typed_.urls.rfind(u"\r\n")));
}

TEST_F(SettingsTest, AFoldWidthThatIsNoPositiveNumberBecomes100) {
  const struct {
    const char16_t* width;
    const char16_t* kept;
    double number;
  } cases[] = {{u"0", u"100", 100}, {u"-5", u"100", 100},     {u"abc", u"100", 100},
               {u"", u"100", 100},  {u"80abc", u"80abc", 80}, {u"10.5", u"10.5", 10.5}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::u16string(c.width)));
    typed_.width = FoldWidth(c.width);
    ASSERT_TRUE(Save());
    EXPECT_EQ(Key(u"MAXCHAR"), c.kept);
    EXPECT_EQ(typed_.width.Text(), c.kept);  // the dialog shows the mended width
    ASSERT_TRUE(WriteIniValue(u"Setting", u"MAXCHAR", c.width, file_));
    const Settings read = Load().settings;
    EXPECT_EQ(read.width.Text(), c.kept);
    EXPECT_EQ(read.ForFetch().fold_width, c.number);
  }
}

TEST_F(SettingsTest, CodeValuesSelectTheirEntryAndAnythingElseTheFirst) {
  const struct {
    const char16_t* value;
    int index;
    CodeChoice fetched;
  } cases[] = {
      {u"自動判定", 0, std::nullopt}, {u"SJIS", 1, Code::kSJIS},       {u"JIS", 2, Code::kJIS},
      {u"EUC", 3, Code::kEUC},        {u"UNICODE", 4, Code::kUNICODE}, {u"UTF-7", 5, Code::kUTF7},
      {u"UTF-8", 6, Code::kUTF8},     {u"utf-8", 0, std::nullopt},     {u"UTF8", 0, std::nullopt},
      {u"", 0, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::u16string(c.value)));
    ASSERT_TRUE(WriteIniValue(u"Setting", u"CODE", c.value, file_));
    const Settings read = Load().settings;
    EXPECT_EQ(read.code, c.index);
    EXPECT_EQ(read.ForFetch().code, c.fetched);
  }
  EXPECT_EQ(CodeBoxEntries(), 7);
  typed_.code = 5;
  ASSERT_TRUE(Save());
  EXPECT_EQ(Key(u"CODE"), u"UTF-7");
}

TEST_F(SettingsTest, TextFormValuesSelectTheirEntryAndAnythingElseTheFirst) {
  // A file of an earlier Pagelift has no such key: it gives the text it gave.
  EXPECT_EQ(Load().settings.ForFetch().form, TextForm::kAsIs);
  const struct {
    const char16_t* value;
    int index;
    TextForm fetched;
  } cases[] = {
      {u"タグ除去のみ", 0, TextForm::kAsIs},
      {u"読みやすく", 1, TextForm::kReadable},
      {u"本文のみ", 2, TextForm::kMain},
      {u"読みやすく（Markdown）", 3, TextForm::kReadableMarkdown},
      {u"本文のみ（Markdown）", 4, TextForm::kMainMarkdown},
      {u"読みやすく(Markdown)", 0, TextForm::kAsIs},  // the parentheses are full-width
      {u"readable", 0, TextForm::kAsIs},
      {u"", 0, TextForm::kAsIs},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::u16string(c.value)));
    ASSERT_TRUE(WriteIniValue(u"Setting", u"TEXTFORM", c.value, file_));
    const Settings read = Load().settings;
    EXPECT_EQ(read.form, c.index);
    EXPECT_EQ(read.ForFetch().form, c.fetched);
  }
  typed_.form = 2;
  ASSERT_TRUE(Save());
  EXPECT_EQ(Key(u"TEXTFORM"), u"本文のみ");
}

TEST_F(SettingsTest, NoFoldLeavesTheReadableFormsUnfoldedAndTheOthersAsTheyWere) {
  const struct {
    const char16_t* value;  // NOFOLD's, or none
    int form;
    double fetched_width;
  } cases[] = {
      {nullptr, 1, 80}, {u"0", 1, 80}, {u"1", 1, 0},
      {u"1", 2, 0},     {u"1", 0, 80},  // the as-is form folds as it did
      {u"1", 3, 80},                    // Markdown is never folded anyway
      {u"yes", 1, 80},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::u16string(c.value ? c.value : u"(none)")));
    std::filesystem::remove(file_);
    ASSERT_TRUE(WriteIniValue(u"Setting", u"MAXCHAR", u"80", file_));
    ASSERT_TRUE(WriteIniValue(u"Setting", u"TEXTFORM", FormBoxText(c.form), file_));
    if (c.value) {
      ASSERT_TRUE(WriteIniValue(u"Setting", u"NOFOLD", c.value, file_));
    }
    EXPECT_EQ(Load().settings.ForFetch().fold_width, c.fetched_width);
  }
  typed_.no_fold = true;
  ASSERT_TRUE(Save());
  EXPECT_EQ(Key(u"NOFOLD"), u"1");
  EXPECT_TRUE(Load().settings.no_fold);
}

TEST_F(SettingsTest, WithHtmlPutsTheHtmlBesideEveryFormButTheTagsRemoved) {
  const struct {
    const char16_t* value;  // WITHHTML's, or none
    int form;
    bool fetched;
  } cases[] = {
      {nullptr, 1, false}, {u"0", 1, false}, {u"1", 1, true},  {u"1", 2, true},
      {u"1", 3, true},     {u"1", 4, true},  {u"1", 0, false},  // the as-is form: text alone
      {u"yes", 1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::u16string(c.value ? c.value : u"(none)")));
    std::filesystem::remove(file_);
    ASSERT_TRUE(WriteIniValue(u"Setting", u"TEXTFORM", FormBoxText(c.form), file_));
    if (c.value) {
      ASSERT_TRUE(WriteIniValue(u"Setting", u"WITHHTML", c.value, file_));
    }
    EXPECT_EQ(Load().settings.ForFetch().clipboard_html, c.fetched) << c.form;
  }
  typed_.with_html = true;
  ASSERT_TRUE(Save());
  EXPECT_EQ(Key(u"WITHHTML"), u"1");
  EXPECT_TRUE(Load().settings.with_html);
}

TEST_F(SettingsTest, SaveCreatesTheFileInTheKeysOrder) {
  typed_.urls = u"http://www.example.jp/\r\nhttp://example.com/a b";
  ASSERT_TRUE(SaveSettings(folder_ / "new folder" / "pagelift.ini", typed_));
  std::string expected =
      "[Setting]\r\n"
      "CODE=\x8e\xa9\x93\xae\x94\xbb\x92\xe8\r\n"
      "MAXCHAR=100\r\n"
      "PROXY=\r\n"
      "TEXTFORM=\x83\x5e\x83\x4f\x8f\x9c\x8b\x8e\x82\xcc\x82\xdd\r\n"
      "NOFOLD=0\r\n"
      "WITHHTML=0\r\n"
      "URL1=http://www.example.jp/\r\n"
      "URL2=http://example.com/a b\r\n";
  for (int n = 3; n <= 100; ++n) expected += "URL" + std::to_string(n) + "=NONE\r\n";
  EXPECT_EQ(FileBytes(folder_ / "new folder" / "pagelift.ini"), expected);
}

TEST_F(SettingsTest, SaveKeepsCommentsAndOtherSections) {
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
  std::string expected =
      "; Pagelift\r\n"
      "[Window]\r\n"
      "Left=10\r\n"
      "\r\n"
      "[setting]\r\n"
      "; the office proxy\r\n"
      "proxy=office:8080\r\n"
      "URL1=http://a/\r\n"
      "URL2=http://b/\r\n"
      "CODE=\x8e\xa9\x93\xae\x94\xbb\x92\xe8\r\n"
      "MAXCHAR=100\r\n"
      "TEXTFORM=\x83\x5e\x83\x4f\x8f\x9c\x8b\x8e\x82\xcc\x82\xdd\r\n"
      "NOFOLD=0\r\n"
      "WITHHTML=0\r\n";
  for (int n = 3; n <= 100; ++n) expected += "URL" + std::to_string(n) + "=NONE\r\n";
  // The next section after a blank line, or at once.
  for (const std::string tail : {"\r\n[Tail]\r\nKey=\x95\x5c\r\n", "[Tail]\r\nKey=\x95\x5c\r\n"}) {
    WriteBytes(file_, head + tail);
    typed_ = Load().settings;
    typed_.urls = u"http://a/\r\nhttp://b/";
    ASSERT_TRUE(Save());
    EXPECT_EQ(FileBytes(file_), expected + tail);
    EXPECT_EQ(Key(u"URL2"), u"http://b/") << tail;
    EXPECT_EQ(GetIniValue(u"Tail", u"Key", u"(missing)", file_), u"表") << tail;
  }
}

TEST_F(SettingsTest, AFileOfRandomBytesGivesDefaultsAndSaveKeepsIt) {
  std::mt19937 random(932);
  std::string garbage(4096, '\0');
  for (char& byte : garbage) byte = static_cast<char>(random());
  WriteBytes(file_, garbage);
  typed_ = Load().settings;
  EXPECT_EQ(typed_.width.Text(), u"100");
  typed_.proxy = u"proxy:8080";
  ASSERT_TRUE(Save());
  EXPECT_EQ(FileBytes(file_).substr(0, garbage.size()), garbage);
  EXPECT_EQ(Load().settings.proxy, u"proxy:8080");
}

TEST_F(SettingsTest, ASaveThatCannotWriteLeavesTheFileAsItWas) {
  const std::string old_file = "[Setting]\r\nPROXY=old:8080\r\nURL1=http://old/\r\n";
  for (const bool full_disk : {true, false}) {
#if defined(_WIN32)  // Windows has no limit on a process's files that could stand for it
    if (full_disk) continue;
#endif
    SCOPED_TRACE(full_disk ? "full disk" : "a folder in the file's place");
    fs::remove_all(file_);
    if (full_disk) {
      WriteBytes(file_, old_file);
    } else {
      fs::create_directory(file_);
    }
    typed_.proxy = u"typed:3128";
    typed_.urls = u"http://typed/";
    {
#if !defined(_WIN32)
      const test::FileSizeLimit limit(full_disk ? old_file.size() : RLIM_INFINITY);
#endif
      EXPECT_FALSE(Save());
    }
    if (full_disk) {
      EXPECT_EQ(FileBytes(file_), old_file);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_.path()), fs::directory_iterator()), 1);
  }
  const std::u16string message = CannotSaveMessage(file_);
  EXPECT_NE(message.find(u"設定を保存できませんでした"), std::u16string::npos);
  const std::string path = file_.string();
  EXPECT_NE(message.find(std::u16string(path.begin(), path.end())), std::u16string::npos);
}

}  // namespace
}  // namespace pagelift
