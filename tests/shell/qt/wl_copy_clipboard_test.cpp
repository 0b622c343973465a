// The Wayland Clipboard's side of wl-copy, against a stand-in script: what it is given,
// in which order, and what the user hears when it fails. The real wl-copy on real
// compositors is tried end to end (tests/e2e/wayland_clipboard.sh).
#include "shell/qt/wl_copy_clipboard.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "convert/utf8_text.h"
#include "shell/qt/event_loop.h"
#include "support/file_bytes.h"
#include "support/files.h"
#include "support/text.h"

namespace pagelift {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;

// Writes an executable shell script `body` at `path`.
void WriteScript(const std::filesystem::path& path, const std::string& body) {
  std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

TEST(WlCopyClipboard, RunsOneWlCopyAtATimeWithTheWholeTextOfTheLastRequest) {
  const test::TempFolder folder;
  // A file of this program's, which the wl-copy left behind to serve the text must not
  // keep open.
  const int ours = ::open("/dev/null", O_RDONLY);
  ASSERT_GE(ours, 0);
  // Notes when each run starts and ends, and keeps what it read; takes its time, so that
  // runs started together would overlap.
  WriteScript(folder / "wl-copy",
              "dir=$(dirname \"$0\")\n"
              "echo \"start $*\" >>\"$dir/log\"\n"
              "n=$(grep -c start \"$dir/log\")\n"
              "cat >\"$dir/input.$n\"\n"
              "test -e /proc/$$/fd/" +
                  std::to_string(ours) +
                  " && echo \"has our file\" >>\"$dir/log\"\n"
                  "sleep 0.1\n"
                  "echo end >>\"$dir/log\"");
  // The program for a text with its HTML, which it reads from descriptor 3.
  WriteScript(folder / "pagelift-wl-clipboard",
              "dir=$(dirname \"$0\")\n"
              "echo \"start-both $*\" >>\"$dir/log\"\n"
              "n=$(grep -c start \"$dir/log\")\n"
              "cat >\"$dir/input.$n\"\n"
              "cat <&3 >\"$dir/html.$n\"\n"
              "echo end >>\"$dir/log\"");
  std::vector<std::u16string> told;
  WlCopyClipboard clipboard([&told](const std::u16string& text) { told.push_back(text); },
                            QString::fromStdString((folder / "wl-copy").string()), 20s,
                            QStringLiteral("wl-paste"),
                            QString::fromStdString((folder / "pagelift-wl-clipboard").string()));

  // Line ends, a NUL, a pair and a lone surrogate, over more than any pipe holds at once.
  std::u16string last;
  while (last.size() < 1000000) last += u"日本語のページ\r\n\0😀 \xD800 end"s;
  clipboard.Clear();
  clipboard.SetText(u"replaced while it waited");
  clipboard.SetText(last);
  ASSERT_TRUE(test::WaitUntil([&] { return !clipboard.Busy(); }));

  EXPECT_EQ(test::FileBytes(folder / "log"),
            "start --clear\nend\nstart --type text/plain;charset=utf-8\nend\n");
  EXPECT_EQ(test::FileBytes(folder / "input.1"), "");
  EXPECT_TRUE(test::FileBytes(folder / "input.2") == TextToUtf8(last))
      << "the text arrived cut or changed";

  clipboard.SetText(u"短い\r\n", u"<p>短い</p>\n");
  ASSERT_TRUE(test::WaitUntil([&] { return !clipboard.Busy(); }));
  EXPECT_EQ(test::FileBytes(folder / "log"),
            "start --clear\nend\nstart --type text/plain;charset=utf-8\nend\n"
            "start-both --html-fd 3\nend\n");
  EXPECT_EQ(test::FileBytes(folder / "input.3"), "短い\r\n");
  EXPECT_EQ(test::FileBytes(folder / "html.3"), "<p>短い</p>\n");
  EXPECT_TRUE(told.empty());
  ::close(ours);
}

TEST(WlCopyClipboard, TellsWhyATextDidNotArriveButNotAFailedEmptying) {
  const struct {
    const char* name;
    const char* script;  // nullptr: there is no wl-copy
    std::chrono::milliseconds limit;
    std::u16string reason;
  } cases[] = {
      {"refused", "echo 'This seat has no keyboard' >&2; exit 1", 20s,
       u"This seat has no keyboard"},
      {"silent failure", "exit 3", 20s, u"wl-copy が終了コード 3 で終わりました。"},
      {"crash", "kill -SEGV $$", 20s, u"wl-copy が異常終了しました。"},
      {"never ends", "exec sleep 10", 300ms, u"wl-copy が 0.3 秒たっても終わりませんでした。"},
      {"missing", nullptr, 20s, u"wl-copy を起動できませんでした（wl-clipboard が要ります）。"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const test::TempFolder folder;
    if (c.script) WriteScript(folder / "wl-copy", c.script);
    std::vector<std::u16string> told;
    WlCopyClipboard clipboard([&told](const std::u16string& text) { told.push_back(text); },
                              QString::fromStdString((folder / "wl-copy").string()), c.limit);
    clipboard.Clear();
    clipboard.SetText(u"text");
    ASSERT_TRUE(test::WaitUntil([&] { return !clipboard.Busy(); }));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0], u"クリップボードに書き込めませんでした。\n" + c.reason)
        << test::Shown(told[0]);
  }
}

}  // namespace
}  // namespace pagelift
