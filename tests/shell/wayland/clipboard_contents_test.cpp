#include "shell/wayland/clipboard_contents.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <thread>

namespace pagelift::wl_clipboard {
namespace {

TEST(ClipboardContentsTest, GivesEachTypeItsBytes) {
  const ClipboardContents contents{"テキスト\r\n", "<p>テキスト</p>"};
  for (const std::string_view type : OfferedTypes(contents)) {
    const std::optional<std::string_view> bytes = ContentFor(contents, type);
    ASSERT_TRUE(bytes) << type;
    EXPECT_EQ(*bytes, type == "text/html" ? *contents.html : contents.text) << type;
  }
  for (const char* type : {"image/png", "text/plain;charset=iso-8859-1", "TEXT/PLAIN", ""})
    EXPECT_FALSE(ContentFor(contents, type)) << type;
  EXPECT_FALSE(ContentFor({"テキスト", std::nullopt}, "text/html"));
  // An empty text is offered, and read as empty.
  EXPECT_EQ(ContentFor({"", std::nullopt}, "text/plain"), std::string_view());
}

TEST(ClipboardContentsTest, ReadsAPipeToItsEnd) {
  int ends[2];
  ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
  const std::string text(300000, 'a');
  std::thread writer([&] {
    std::string_view left = text;
    while (!left.empty()) {
      const ssize_t written = ::write(ends[1], left.data(), left.size());
      if (written <= 0) break;
      left.remove_prefix(static_cast<std::size_t>(written));
    }
    ::close(ends[1]);
  });
  std::string bytes;
  EXPECT_EQ(ReadToEnd(ends[0], bytes), "");
  // A read that stopped early leaves the writer to fail, not to wait.
  std::signal(SIGPIPE, SIG_IGN);
  ::close(ends[0]);
  writer.join();
  EXPECT_EQ(bytes.size(), text.size());
  EXPECT_EQ(bytes, text);
}

}  // namespace
}  // namespace pagelift::wl_clipboard
