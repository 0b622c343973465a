#include "shell/wayland/command_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace pagelift::wl_clipboard {
namespace {

CommandLine Parse(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "pagelift-wl-clipboard");
  return ParseCommandLine(static_cast<int>(arguments.size()), arguments.data());
}

TEST(CommandLineTest, ReadsRequests) {
  struct Row {
    std::vector<const char*> arguments;
    bool clear;
    std::optional<int> html_fd;
  };
  const Row rows[] = {
      {{}, false, std::nullopt},
      {{"--html-fd", "3"}, false, 3},
      {{"--html-fd=12"}, false, 12},
      {{"--clear"}, true, std::nullopt},
  };
  for (const Row& row : rows) {
    const CommandLine line = Parse(row.arguments);
    ASSERT_TRUE(line.request) << line.error;
    EXPECT_EQ(line.request->clear, row.clear);
    EXPECT_EQ(line.request->html_fd, row.html_fd);
    EXPECT_FALSE(line.help);
  }
}

TEST(CommandLineTest, AsksForHelp) {
  for (const char* help : {"--help", "-h"}) {
    const CommandLine line = Parse({"--html-fd", "3", help});
    EXPECT_TRUE(line.help) << help;
    EXPECT_FALSE(line.request) << help;
  }
}

TEST(CommandLineTest, RefusesWrongArguments) {
  struct Row {
    std::vector<const char*> arguments;
    const char* error;
  };
  const Row rows[] = {
      {{"--html-fd"}, "needs a descriptor"},
      {{"--html-fd", "0"}, "other than standard input, not \"0\""},
      {{"--html-fd", "-1"}, "not \"-1\""},
      {{"--html-fd", "3x"}, "not \"3x\""},
      {{"--html-fd="}, "not \"\""},
      {{"--html-fd", "99999999999"}, "not \"99999999999\""},
      {{"--html-fd", "3", "--html-fd", "4"}, "given twice"},
      {{"--clear", "--html-fd", "3"}, "--clear takes no --html-fd"},
      {{"--html-fd=3", "--clear"}, "--clear takes no --html-fd"},
      {{"--type", "text/html"}, "unknown argument \"--type\""},
      {{"text"}, "unknown argument \"text\""},
  };
  for (const Row& row : rows) {
    const CommandLine line = Parse(row.arguments);
    EXPECT_FALSE(line.request) << row.error;
    EXPECT_FALSE(line.help) << row.error;
    EXPECT_NE(line.error.find(row.error), std::string::npos) << line.error;
  }
}

}  // namespace
}  // namespace pagelift::wl_clipboard
