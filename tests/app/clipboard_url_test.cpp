#include "app/clipboard_url.h"

#include <gtest/gtest.h>

#include <string>

namespace pagelift {
namespace {

TEST(ClipboardUrl, TakesOneWebUrlWithTheBlanksAroundItAndNothingElse) {
  const std::u16string long_url = u"https://a.jp/" + std::u16string(kClipboardUrlLimit - 13, u'x');
  const struct {
    std::u16string text;
    bool whole;
    std::optional<std::u16string> url;
  } cases[] = {
      {u"https://www.example.jp/news/1", true, u"https://www.example.jp/news/1"},
      {u"  HTTP://a.jp/?x=1&y=_2 \r\n", true, u"HTTP://a.jp/?x=1&y=_2"},
      {u"\thttp://a.jp/\n", true, u"http://a.jp/"},
      {long_url, true, long_url},
      {long_url + u"x", true, std::nullopt},          // more than may be read
      {u"https://a.jp/", false, std::nullopt},        // the Clipboard held more than was read
      {u"http://a.jp/\r\n\r\n", true, std::nullopt},  // two line ends
      {u"http://a.jp/\nhttp://b.jp/", true, std::nullopt},
      {u"see http://a.jp/", true, std::nullopt},
      {u"http://a.jp/ and more", true, std::nullopt},
      {u"http://a.jp/\u3000説明", true, std::nullopt},  // a full-width space is a blank
      {u"\u3000http://a.jp/\u3000", true, u"http://a.jp/"},
      {u"file:///etc/passwd", true, std::nullopt},
      {u"ftp://a.jp/", true, std::nullopt},
      {u"http://", true, std::nullopt},
      {u"http:///path", true, std::nullopt},
      {u"", true, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ClipboardUrl({c.text, c.whole}), c.url)
        << testing::PrintToString(c.text.substr(0, 40)) << ", whole " << c.whole;
  }
}

TEST(ClipboardUrl, NamesItInTheEntryCutToWhatAMenuShows) {
  EXPECT_EQ(ClipboardEntryCaption(u"http://a.jp/"), u"クリップボードのURL: http://a.jp/");
  const std::u16string long_url = u"https://www.example.jp/" + std::u16string(100, u'x');
  EXPECT_EQ(ClipboardEntryCaption(long_url),
            u"クリップボードのURL: " + long_url.substr(0, 60) + u"…");
  EXPECT_EQ(ClipboardEntryCaption(std::nullopt), u"クリップボードにURLがありません");
}

}  // namespace
}  // namespace pagelift
