#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "base/settings_number.h"
#include "capture/fetch_text.h"
#include "convert/code_choice.h"
#include "support/loopback_server.h"
#include "support/tiny_proxy.h"
#include "text/html_to_text.h"

namespace pagelift {
namespace {

std::string FileBytes(const std::string& name) {
  std::ifstream file(std::string(PAGELIFT_SAMPLES) + "/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

FetchSettings Settings(std::u16string code, std::u16string width = u"100",
                       std::u16string proxy = u"") {
  return {std::move(proxy), std::move(code), std::move(width)};
}

class FetchPageTextTest : public testing::Test {
 protected:
  void SetUp() override {
    server_.http.Get(R"(/samples/(.+))",
                     [](const httplib::Request& request, httplib::Response& response) {
                       response.set_content(FileBytes(request.matches[1]), "text/html");
                     });
    server_.http.Get("/empty", [](const httplib::Request&, httplib::Response& response) {
      response.set_content("", "text/html");
    });
    // A server's error page: a long head of style, then a line in UTF-8 without a mark.
    server_.http.Get("/not-found", [](const httplib::Request&, httplib::Response& response) {
      std::string page = "<html><head><style>";
      for (int i = 0; i < 40; ++i) page += "nav a { color: #333; text-decoration: none; }\n";
      page +=
          "</style></head><body><h1>404</h1><p>\xE8\xA6\x8B\xE3\x81\xA4\xE3\x81\x8B"
          "\xE3\x82\x8A\xE3\x81\xBE\xE3\x81\x9B\xE3\x82\x93</p></body></html>";
      response.status = 404;
      response.set_content(page, "text/html");
    });
    server_.http.Get("/nothing-left", [](const httplib::Request&, httplib::Response& response) {
      response.set_content("<script>x</script>   ", "text/html");
    });
    server_.Start();
  }

  test::LoopbackServer server_;
  const NonCodeClass codes_;
};

TEST_F(FetchPageTextTest, EverySampleComesBackAsTheSameText) {
  const FetchResult utf8 =
      FetchPageText(server_.Url16("/samples/sample.utf8.html"), Settings(u"UTF-8"), codes_);
  ASSERT_TRUE(utf8.downloaded);
  EXPECT_NE(utf8.text.find(u"今日の天気"), std::u16string::npos);
  for (const char* file : {"sample.sjis.html", "sample.jis.html", "sample.euc.html",
                           "sample.utf16.html", "sample.utf7.html", "sample.utf8.html"}) {
    const FetchResult result = FetchPageText(server_.Url16(std::string("/samples/") + file),
                                             Settings(u"自動判定"), codes_);
    EXPECT_TRUE(result.downloaded) << file;
    EXPECT_EQ(result.text, utf8.text) << file;
  }
}

TEST_F(FetchPageTextTest, AnErrorPageInUtf8AfterALongHeadIsReadAsUtf8) {
  const FetchResult result =
      FetchPageText(server_.Url16("/not-found"), Settings(u"自動判定"), codes_);
  ASSERT_TRUE(result.downloaded);
  EXPECT_NE(result.text.find(u"404"), std::u16string::npos);
  EXPECT_NE(result.text.find(u"見つかりません"), std::u16string::npos);
}

TEST_F(FetchPageTextTest, AFixedCodeOverridesTheJudgement) {
  const FetchResult result =
      FetchPageText(server_.Url16("/samples/sample.utf8.html"), Settings(u"SJIS"), codes_);
  EXPECT_TRUE(result.downloaded);
  EXPECT_EQ(result.text.find(u"今日の天気"), std::u16string::npos);
  const std::string page = FileBytes("sample.utf8.html");
  const ByteArray page_bytes(std::vector<std::uint8_t>(page.begin(), page.end()));
  EXPECT_EQ(
      result.text,
      PageText(static_cast<std::int32_t>(page.size()), page_bytes, Settings(u"SJIS"), codes_).text);
}

TEST_F(FetchPageTextTest, NothingDownloadedGivesTheFailureText) {
  for (const std::string& url :
       {std::string("http://127.0.0.1:1/"), server_.Url("/empty"), std::string("nonsense")}) {
    const FetchResult result =
        FetchPageText(std::u16string(url.begin(), url.end()), Settings(u"自動判定"), codes_);
    EXPECT_FALSE(result.downloaded) << url;
    EXPECT_EQ(result.text, u"ネット取得に失敗しました。") << url;
  }
}

TEST_F(FetchPageTextTest, APageThatReducesToNothingStillGivesItsFoldedText) {
  const FetchResult result =
      FetchPageText(server_.Url16("/nothing-left"), Settings(u"自動判定"), codes_);
  EXPECT_TRUE(result.downloaded);
  EXPECT_EQ(result.text, u"\r\n");
}

TEST_F(FetchPageTextTest, FoldsAtTheWidthFieldsNumberAndGoesThroughTheProxy) {
  test::TinyProxy proxy;
  ASSERT_TRUE(proxy.running());
  const std::string text = proxy.address();
  const std::u16string address(text.begin(), text.end());
  const FetchResult result = FetchPageText(server_.Url16("/samples/sample.utf8.html"),
                                           Settings(u"自動判定", u"10abc", address), codes_);
  EXPECT_TRUE(result.downloaded);
  EXPECT_EQ(result.text.substr(0, 9), u"ぱーじりふ\r\nとの");  // 10 columns: five wide
  EXPECT_NE(proxy.Log().find("/samples/sample.utf8.html"), std::string::npos);
}

TEST(PageText, GivesTheTextOfTheWholePageWhateverThePieces) {
  const NonCodeClass codes;
  const struct {
    const char* file;
    std::u16string code;
  } pages[] = {
      {"sample.sjis.html", u"SJIS"},     {"sample.jis.html", u"JIS"},
      {"sample.euc.html", u"EUC"},       {"sample.utf16.html", u"UNICODE"},
      {"sample.utf7.html", u"UTF-7"},    {"sample.utf8.html", u"UTF-8"},
      {"sample.utf8.html", u"自動判定"},
  };
  for (const auto& page : pages) {
    const std::string file = FileBytes(page.file);
    const ByteArray bytes(std::vector<std::uint8_t>(file.begin(), file.end()));
    const auto count = static_cast<std::int32_t>(file.size());
    for (const std::u16string width : {u"1", u"7", u"100"}) {
      const FetchSettings settings = Settings(page.code, width);
      // The text as the steps make it of the whole page, one after the other.
      const std::u16string name = CodeNameForChoice(settings.code_choice, bytes);
      const std::u16string whole =
          HtmlToText(DecodeAsCodeName(codes, name, bytes), NumberOfText(width));
      for (const std::size_t piece : {1, 2, 3, 5, 64}) {
        const FetchResult result = PageText(count, bytes, settings, codes, piece);
        EXPECT_TRUE(result.downloaded);
        EXPECT_EQ(result.text, whole)
            << page.file << ", W=" << NumberOfText(width) << ", pieces of " << piece;
      }
    }
  }
}

TEST(PageText, ZeroBytesGiveTheFailureTextWhateverTheSettings) {
  const FetchResult result =
      PageText(0, ByteArray::Empty(), Settings(u"UTF-8", u"abc"), NonCodeClass());
  EXPECT_FALSE(result.downloaded);
  EXPECT_EQ(result.text, kFetchFailedText);
}

}  // namespace
}  // namespace pagelift
