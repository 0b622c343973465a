#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "capture/fetch_text.h"
#include "convert/code_choice.h"
#include "support/test_pages.h"
#include "support/tiny_proxy.h"
#include "text/html_to_text.h"
#include "text/main_text.h"

namespace pagelift {
namespace {

std::string FileBytes(const std::string& name) {
  std::ifstream file(std::string(PAGELIFT_SAMPLES) + "/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

FetchSettings Settings(CodeChoice code, double width = 100, std::u16string proxy = u"") {
  return {std::move(proxy), code, width};
}

class FetchPageTextTest : public testing::Test {
 protected:
  test::TestPages server_;
  const NonCodeClass codes_;
};

TEST_F(FetchPageTextTest, EverySampleComesBackAsTheSameText) {
  const FetchResult utf8 =
      FetchPageText(server_.Url16("/samples/sample.utf8.html"), Settings(Code::kUTF8), codes_);
  ASSERT_TRUE(utf8.downloaded);
  EXPECT_NE(utf8.text.find(u"今日の天気"), std::u16string::npos);
  for (const char* file :
       {"sample.sjis.html", "sample.jis.html", "sample.euc.html", "sample.utf16.html",
        "sample.utf7.html", "sample.utf8.html", "sample.utf16be.html"}) {
    const FetchResult result = FetchPageText(server_.Url16(std::string("/samples/") + file),
                                             Settings(std::nullopt), codes_);
    EXPECT_TRUE(result.downloaded) << file;
    EXPECT_EQ(result.text, utf8.text) << file;
  }
}

TEST_F(FetchPageTextTest, AnErrorPageInUtf8AfterALongHeadIsReadAsUtf8) {
  const FetchResult result =
      FetchPageText(server_.Url16("/not-found"), Settings(std::nullopt), codes_);
  ASSERT_TRUE(result.downloaded);
  EXPECT_NE(result.text.find(u"404"), std::u16string::npos);
  EXPECT_NE(result.text.find(u"見つかりません"), std::u16string::npos);
}

TEST_F(FetchPageTextTest, AFixedCodeOverridesTheJudgement) {
  const FetchResult result =
      FetchPageText(server_.Url16("/samples/sample.utf8.html"), Settings(Code::kSJIS), codes_);
  EXPECT_TRUE(result.downloaded);
  EXPECT_EQ(result.text.find(u"今日の天気"), std::u16string::npos);
  const std::string page = FileBytes("sample.utf8.html");
  const ByteArray page_bytes(std::vector<std::uint8_t>(page.begin(), page.end()));
  EXPECT_EQ(result.text, PageText(static_cast<std::int32_t>(page.size()), page_bytes,
                                  Settings(Code::kSJIS), codes_)
                             .text);
}

TEST_F(FetchPageTextTest, NothingDownloadedGivesTheFailureTextAndWhy) {
  const struct {
    std::string url;
    std::string why;
  } cases[] = {
      {"http://127.0.0.1:1/", "127.0.0.1:1: "},
      {server_.Url("/empty"), "the server sent no body (HTTP 200)"},
      {"nonsense", "nonsense"},
  };
  for (const auto& c : cases) {
    const FetchResult result =
        FetchPageText(std::u16string(c.url.begin(), c.url.end()), Settings(std::nullopt), codes_);
    EXPECT_FALSE(result.downloaded) << c.url;
    EXPECT_EQ(result.text, u"ネット取得に失敗しました。") << c.url;
    EXPECT_NE(result.problem.find(c.why), std::string::npos) << c.url << ": " << result.problem;
  }
}

TEST_F(FetchPageTextTest, APageThatReducesToNothingStillGivesItsFoldedText) {
  const FetchResult result =
      FetchPageText(server_.Url16("/nothing-left"), Settings(std::nullopt), codes_);
  EXPECT_TRUE(result.downloaded);
  EXPECT_EQ(result.text, u"\r\n");
}

TEST_F(FetchPageTextTest, FoldsAtTheWidthFieldsNumberAndGoesThroughTheProxy) {
  test::TinyProxy proxy;
  ASSERT_TRUE(proxy.running());
  const std::string text = proxy.address();
  const std::u16string address(text.begin(), text.end());
  const FetchResult result = FetchPageText(server_.Url16("/samples/sample.utf8.html"),
                                           Settings(std::nullopt, 10, address), codes_);
  EXPECT_TRUE(result.downloaded);
  EXPECT_EQ(result.text.substr(0, 9), u"ぱーじりふ\r\nとの");  // 10 columns: five wide
  EXPECT_NE(proxy.Log().find("/samples/sample.utf8.html"), std::string::npos);
}

TEST(PageText, GivesTheTextOfTheWholePageWhateverThePieces) {
  const NonCodeClass codes;
  const struct {
    const char* file;
    CodeChoice code;
  } pages[] = {
      {"sample.sjis.html", Code::kSJIS},  {"sample.jis.html", Code::kJIS},
      {"sample.euc.html", Code::kEUC},    {"sample.utf16.html", Code::kUNICODE},
      {"sample.utf7.html", Code::kUTF7},  {"sample.utf8.html", Code::kUTF8},
      {"sample.utf8.html", std::nullopt},
  };
  for (const auto& page : pages) {
    const std::string file = FileBytes(page.file);
    const ByteArray bytes(std::vector<std::uint8_t>(file.begin(), file.end()));
    const auto count = static_cast<std::int32_t>(file.size());
    for (const double width : {1, 7, 100}) {
      const FetchSettings settings = Settings(page.code, width);
      // The text as the steps make it of the whole page, one after the other.
      const Code code = CodeForChoice(settings.code, bytes);
      const std::u16string whole = HtmlToText(DecodeAsCode(codes, code, bytes), width);
      for (const std::size_t piece : {1, 2, 3, 5, 64}) {
        const FetchResult result = PageText(count, bytes, settings, codes, piece);
        EXPECT_TRUE(result.downloaded);
        EXPECT_EQ(result.text, whole) << page.file << ", W=" << width << ", pieces of " << piece;
        // And handed on in parts as it is made.
        std::u16string parts;
        const auto take = [&parts](std::u16string& part) {
          parts += part;
          part.clear();
        };
        EXPECT_TRUE(PageTextInParts(bytes.Data(), settings, take, piece).downloaded);
        EXPECT_EQ(parts, whole) << page.file << ", W=" << width << ", in parts, pieces of "
                                << piece;
      }
    }
  }
  // The code-page back end decodes a page whole; the forms that parse it give the same text.
  NonCodeClass code_pages;
  code_pages.FuncRogic(1);
  const std::string file = FileBytes("sample.sjis.html");
  const ByteArray bytes(std::vector<std::uint8_t>(file.begin(), file.end()));
  for (const TextForm form : {TextForm::kReadable, TextForm::kMain}) {
    const FetchSettings settings{u"", Code::kSJIS, 100, form};
    const std::u16string text = PageText(1, bytes, settings, code_pages).text;
    EXPECT_NE(text, PageText(1, bytes, Settings(Code::kSJIS), code_pages).text);
    EXPECT_EQ(text, PageText(1, bytes, settings, codes).text);
  }
}

TEST(PageText, TheHtmlBesideTheTextIsTheFormsOwnAndTheTagsRemovedHaveNone) {
  const std::string file = FileBytes("sample.sjis.html");
  const ByteArray bytes(std::vector<std::uint8_t>(file.begin(), file.end()));
  for (const TextForm form : {TextForm::kAsIs, TextForm::kReadable, TextForm::kMain,
                              TextForm::kReadableMarkdown, TextForm::kMainMarkdown}) {
    SCOPED_TRACE(static_cast<int>(form));
    FetchSettings settings{u"", Code::kSJIS, 40, form, u"http://a.jp/"};
    const FetchResult alone = PageText(1, bytes, settings, NonCodeClass());
    settings.html = true;
    const std::u16string html = PageText(1, bytes, settings, NonCodeClass()).text;
    settings.html = false;
    settings.clipboard_html = true;
    const FetchResult both = PageText(1, bytes, settings, NonCodeClass());
    EXPECT_EQ(both.text, alone.text);
    EXPECT_TRUE(alone.html.empty());
    if (form == TextForm::kAsIs) {
      EXPECT_TRUE(both.html.empty());
    } else {
      EXPECT_EQ(both.html, html);
      EXPECT_NE(html.find(u"<body>"), std::u16string::npos);
    }
  }
}

TEST(PageText, APageTooLargeForATreeStreamsInTheReadableFormAndSaysSo) {
  const std::string paragraph = "<p>ab</p>";
  const std::size_t count = kLargestParsedPage / paragraph.size() + 1;
  std::vector<std::uint8_t> page;
  page.reserve(count * paragraph.size());
  for (std::size_t i = 0; i < count; ++i)
    page.insert(page.end(), paragraph.begin(), paragraph.end());
  std::u16string expected;
  for (std::size_t i = 1; i < count; ++i) expected += u"ab\r\n\r\n";
  expected += u"ab\r\n";
  for (const TextForm form : {TextForm::kReadable, TextForm::kMain}) {
    std::u16string text;
    int parts = 0;
    FetchSettings settings{u"", Code::kUTF8, 100, form};
    settings.clipboard_html = true;  // no tree, so no HTML
    const FetchResult result = PageTextInParts(page, settings, [&](std::u16string& part) {
      text += part;
      part.clear();
      ++parts;
    });
    EXPECT_TRUE(result.downloaded);
    EXPECT_TRUE(text == expected) << text.size() << " units against " << expected.size();
    EXPECT_GT(parts, 1);  // written out as it came, not at the end
    EXPECT_EQ(result.notice, form == TextForm::kMain ? kMainGaveReadableText : u"");
    EXPECT_TRUE(result.html.empty());
  }
}

TEST(PageText, ZeroBytesGiveTheFailureTextWhateverTheSettings) {
  const FetchResult result =
      PageText(0, ByteArray::Empty(), Settings(Code::kUTF8, 0), NonCodeClass());
  EXPECT_FALSE(result.downloaded);
  EXPECT_EQ(result.text, kFetchFailedText);
}

}  // namespace
}  // namespace pagelift
