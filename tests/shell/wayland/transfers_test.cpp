#include "shell/wayland/transfers.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <string>

namespace pagelift::wl_clipboard {
namespace {

// A text of several pipes' worth, no two pieces of it alike.
std::string BigText() {
  std::string text;
  for (int i = 0; text.size() < (4 << 20); ++i) text += "行 " + std::to_string(i) + "\r\n";
  return text;
}

struct Pipe {
  Pipe() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) == 0) {
      read = ends[0];
      write = ends[1];
      ::fcntl(read, F_SETFL, O_NONBLOCK);
    }
  }
  ~Pipe() {
    if (read >= 0) ::close(read);
  }
  // Takes what the pipe holds now; false at its end, when the writer has closed it.
  bool Take(std::string& into) const {
    char buffer[65536];
    for (;;) {
      const ssize_t got = ::read(read, buffer, sizeof buffer);
      if (got == 0) return false;
      if (got < 0) return true;
      into.append(buffer, static_cast<std::size_t>(got));
    }
  }
  int read = -1;
  // Handed to Transfers, which closes it.
  int write = -1;
};

class TransfersTest : public testing::Test {
 protected:
  void SetUp() override {
    // As the program does: a reader that leaves ends its send, not the process.
    std::signal(SIGPIPE, SIG_IGN);
    // A write that blocked would hang the test; this ends it instead.
    ::alarm(30);
  }
  void TearDown() override { ::alarm(0); }

  // One turn as the program's loop makes it: wait for room, then write.
  void Turn() {
    std::vector<pollfd> fds;
    transfers_.AddPollFds(fds);
    ASSERT_GT(::poll(fds.data(), fds.size(), 5000), 0);
    transfers_.Advance(fds);
  }

  Transfers transfers_;
};

TEST_F(TransfersTest, AReaderThatTakesNothingKeepsNoOtherWaiting) {
  const std::string text = BigText();
  Pipe slow;
  Pipe quick;
  transfers_.Begin(slow.write, text);
  transfers_.Begin(quick.write, text);
  std::string got;
  for (int turns = 0; quick.Take(got) && turns < 100000; ++turns) Turn();
  EXPECT_FALSE(quick.Take(got)) << "the quick reader's send was not closed";
  EXPECT_TRUE(got == text);
  EXPECT_EQ(transfers_.Count(), 1U);
  // The slow reader leaves: its send ends too.
  ::close(slow.read);
  slow.read = -1;
  Turn();
  EXPECT_TRUE(transfers_.Empty());
}

TEST_F(TransfersTest, AReaderThatLeavesMidwayEndsItsSend) {
  const std::string text = BigText();
  Pipe pipe;
  transfers_.Begin(pipe.write, text);
  Turn();
  std::string got;
  pipe.Take(got);
  EXPECT_FALSE(got.empty());
  ::close(pipe.read);
  pipe.read = -1;
  for (int turns = 0; !transfers_.Empty() && turns < 10; ++turns) Turn();
  EXPECT_TRUE(transfers_.Empty());
}

TEST_F(TransfersTest, DropsADescriptorThatIsNotOpen) {
  transfers_.Begin(-1, "text");
  EXPECT_TRUE(transfers_.Empty());
}

TEST_F(TransfersTest, LeavesASendBegunAfterThePollAlone) {
  const std::string text = BigText();
  Pipe first;
  Pipe second;
  transfers_.Begin(first.write, "first");
  std::vector<pollfd> fds;
  transfers_.AddPollFds(fds);
  ASSERT_EQ(::poll(fds.data(), fds.size(), 5000), 1);
  transfers_.Begin(second.write, text);
  transfers_.Advance(fds);
  std::string got;
  EXPECT_FALSE(first.Take(got));
  EXPECT_EQ(got, "first");
  got.clear();
  EXPECT_TRUE(second.Take(got));
  EXPECT_EQ(got, "");
  EXPECT_EQ(transfers_.Count(), 1U);
}

}  // namespace
}  // namespace pagelift::wl_clipboard
