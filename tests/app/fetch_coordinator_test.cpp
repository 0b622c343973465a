#include "app/fetch_coordinator.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <new>
#include <stdexcept>
#include <thread>

namespace pagelift {
namespace {

using namespace std::chrono_literals;
using Events = std::vector<std::string>;

// The user-interface thread's queue of posted tasks, run by the test itself.
class Inbox {
 public:
  void Post(std::function<void()> task) {
    const std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  // Runs the tasks posted so far; returns how many there were.
  int RunPending() {
    std::deque<std::function<void()>> tasks;
    {
      const std::lock_guard lock(mutex_);
      tasks.swap(tasks_);
    }
    for (auto& task : tasks) task();
    return static_cast<int>(tasks.size());
  }
  // Runs the posted tasks until `done` holds, for at most 10 s.
  bool RunUntil(const std::function<bool()>& done) {
    const auto limit = std::chrono::steady_clock::now() + 10s;
    while (!done() && std::chrono::steady_clock::now() < limit) {
      if (RunPending() == 0) std::this_thread::sleep_for(1ms);
    }
    return done();
  }

 private:
  std::mutex mutex_;
  std::deque<std::function<void()>> tasks_;
};

// Fetches that wait until the test lets them end (or 10 s have passed, so that a failed
// test cannot hang), each with the text "<url> done", but a URL that starts with "fail",
// which nothing answers.
class Gates {
 public:
  FetchResult Fetch(const std::u16string& url) {
    std::unique_lock lock(mutex_);
    ++arrived_[url];
    changed_.notify_all();
    changed_.wait_for(lock, 10s, [&] { return open_[url]; });
    if (url.starts_with(u"fail")) return {false, kFetchFailedText, "refused"};
    return {true, url + u" done", {}};
  }
  void Open(const std::u16string& url) {
    const std::lock_guard lock(mutex_);
    open_[url] = true;
    changed_.notify_all();
  }
  bool WaitArrived(const std::u16string& url) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, 10s, [&] { return arrived_[url] > 0; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::map<std::u16string, bool> open_;
  std::map<std::u16string, int> arrived_;
};

// What the shell was asked to do, in order: "busy", "idle", "clear", "text" and "notice",
// the texts set in `texts_`, the notifications' in `notices_`.
class FetchCoordinatorTest : public testing::Test {
 protected:
  FetchShell Shell() {
    return {
        [this](std::function<void()> task) { inbox_.Post(std::move(task)); },
        [this](bool busy) { events_.push_back(busy ? "busy" : "idle"); },
        [this] { events_.push_back("clear"); },
        [this](const std::u16string& text, const std::u16string& html, const std::u16string& url) {
          if (clipboard_fails_ > 0) {
            --clipboard_fails_;
            throw std::bad_alloc();
          }
          events_.push_back("text");
          texts_.push_back(text);
          htmls_.push_back(html.empty() ? html : html + u"|" + url);
        },
        [this](const std::u16string& title, const std::u16string& text) {
          events_.push_back("notice");
          notices_.push_back(title + u"|" + text);
        }};
  }
  std::unique_ptr<FetchCoordinator> Made(FetchCoordinator::Fetch fetch) {
    return std::make_unique<FetchCoordinator>(Shell(), std::move(fetch));
  }
  bool WaitForNoFetch(const FetchCoordinator& fetches) {
    return inbox_.RunUntil([&] { return fetches.Running() == 0; });
  }

  Inbox inbox_;
  Gates gates_;
  Events events_;
  std::vector<std::u16string> texts_;
  std::vector<std::u16string> htmls_;  // each text's HTML and the page's URL, or nothing
  std::vector<std::u16string> notices_;
  int clipboard_fails_ = 0;
};

TEST_F(FetchCoordinatorTest, AnEmptyUrlTurnsTheIconBusyAndBackAndLeavesTheClipboard) {
  const auto fetches = Made([](const std::u16string&, const FetchSettings&) -> FetchResult {
    throw std::logic_error("an empty URL is never fetched");
  });
  fetches->Choose(u"", {});
  EXPECT_EQ(events_, (Events{"busy", "idle"}));
  EXPECT_EQ(fetches->Running(), 0u);
}

TEST_F(FetchCoordinatorTest, ThePageChosenLastWinsAndTheIconStaysBusyUntilNoneRuns) {
  const auto fetches =
      Made([this](const std::u16string& url, const FetchSettings&) { return gates_.Fetch(url); });
  for (const bool earlier_ends_first : {true, false}) {
    SCOPED_TRACE(earlier_ends_first ? "the earlier ends first" : "the earlier ends last");
    const std::u16string a = earlier_ends_first ? u"a1" : u"a2";
    const std::u16string b = earlier_ends_first ? u"b1" : u"b2";
    events_.clear();
    texts_.clear();
    // An empty entry chosen between the two must neither show the idle picture nor touch
    // the Clipboard.
    fetches->Choose(a, {});
    fetches->Choose(u"", {});
    fetches->Choose(b, {});
    ASSERT_TRUE(gates_.WaitArrived(a));
    ASSERT_TRUE(gates_.WaitArrived(b));
    EXPECT_EQ(fetches->Running(), 2u);
    EXPECT_EQ(events_, (Events{"busy", "clear", "busy", "busy", "clear"}));

    gates_.Open(earlier_ends_first ? a : b);
    ASSERT_TRUE(inbox_.RunUntil([&] { return fetches->Running() == 1; }));
    gates_.Open(earlier_ends_first ? b : a);
    ASSERT_TRUE(WaitForNoFetch(*fetches));
    EXPECT_EQ(events_, (Events{"busy", "clear", "busy", "busy", "clear", "clear", "text", "idle"}));
    EXPECT_EQ(texts_, std::vector<std::u16string>{b + u" done"});
  }
}

TEST_F(FetchCoordinatorTest, FailuresReachTheClipboardAsTheFailureTextAndANotification) {
  const struct {
    const char* name;
    FetchCoordinator::Fetch fetch;
    int clipboard_fails;    // copies of the text that do not fit the Clipboard
    std::u16string notice;  // title|text
  } cases[] = {
      {"nothing downloaded",
       [](const std::u16string&, const FetchSettings&) {
         return FetchResult{false, kFetchFailedText, "127.0.0.1:9: Connection refused"};
       },
       0, std::u16string(kFetchFailedText) + u"|http://a/\n127.0.0.1:9: Connection refused"},
      {"the fetch runs out of memory",
       [](const std::u16string&, const FetchSettings&) -> FetchResult { throw std::bad_alloc(); },
       0, std::u16string(kFetchFailedText) + u"|http://a/"},
      {"the fetch throws something else",
       [](const std::u16string&, const FetchSettings&) -> FetchResult { throw 42; }, 0,
       std::u16string(kFetchFailedText) + u"|http://a/"},
      {"a text the user should know of: a notice, and the text",
       [](const std::u16string&, const FetchSettings&) {
         FetchResult result{true, kFetchFailedText, {}};  // a text that reads like a failure
         result.notice = u"too large";
         return result;
       },
       0, u"Pagelift|http://a/\ntoo large"},
      {"the Clipboard cannot copy the text",
       [](const std::u16string&, const FetchSettings&) {
         return FetchResult{true, u"a huge text", {}};
       },
       1,
       std::u16string(kFetchFailedText) + u"|http://a/\nthe text is too large for the Clipboard"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    events_.clear();
    texts_.clear();
    notices_.clear();
    clipboard_fails_ = c.clipboard_fails;
    FetchCoordinator fetches(Shell(), c.fetch);
    fetches.Choose(u"http://a/", {});
    ASSERT_TRUE(WaitForNoFetch(fetches));
    EXPECT_EQ(texts_, std::vector<std::u16string>{kFetchFailedText});
    EXPECT_EQ(notices_, std::vector<std::u16string>{c.notice});
    EXPECT_EQ(events_.back(), "idle");
  }
}

TEST_F(FetchCoordinatorTest, TheHtmlGoesBesideTheTextAndIsDroppedFirstWhenTheyDoNotFit) {
  const struct {
    int clipboard_fails;
    std::u16string text;
    std::u16string html;
    std::vector<std::u16string> notices;
  } cases[] = {
      {0, u"text", u"<p>text</p>|http://a/", {}},
      {1, u"text", u"", {}},
      {2,
       kFetchFailedText,
       u"",
       {std::u16string(kFetchFailedText) + u"|http://a/\nthe text is too large for the Clipboard"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.clipboard_fails);
    texts_.clear();
    htmls_.clear();
    notices_.clear();
    clipboard_fails_ = c.clipboard_fails;
    FetchCoordinator fetches(Shell(), [](const std::u16string&, const FetchSettings&) {
      FetchResult result{true, u"text", {}};
      result.html = u"<p>text</p>";
      return result;
    });
    fetches.Choose(u"http://a/", {});
    ASSERT_TRUE(WaitForNoFetch(fetches));
    EXPECT_EQ(texts_, std::vector<std::u16string>{c.text});
    EXPECT_EQ(htmls_, std::vector<std::u16string>{c.html});
    EXPECT_EQ(notices_, c.notices);
  }
}

TEST_F(FetchCoordinatorTest, AFailureIsNotifiedThoughAnotherPageWasChosenAfterIt) {
  const auto fetches =
      Made([this](const std::u16string& url, const FetchSettings&) { return gates_.Fetch(url); });
  fetches->Choose(u"fail", {});
  fetches->Choose(u"b", {});
  ASSERT_TRUE(gates_.WaitArrived(u"fail"));
  gates_.Open(u"fail");
  gates_.Open(u"b");
  ASSERT_TRUE(WaitForNoFetch(*fetches));
  EXPECT_EQ(texts_, std::vector<std::u16string>{u"b done"});
  EXPECT_EQ(notices_,
            std::vector<std::u16string>{std::u16string(kFetchFailedText) + u"|fail\nrefused"});
}

TEST_F(FetchCoordinatorTest, DestroyedDuringAFetchItWaitsForItsThreadAndSetsNothing) {
  auto fetches =
      Made([this](const std::u16string& url, const FetchSettings&) { return gates_.Fetch(url); });
  fetches->Choose(u"a", {});
  ASSERT_TRUE(gates_.WaitArrived(u"a"));
  std::thread opener([this] {
    std::this_thread::sleep_for(100ms);
    gates_.Open(u"a");
  });
  fetches.reset();
  opener.join();
  events_.clear();
  // The result the thread posted before it ended finds no coordinator.
  EXPECT_EQ(inbox_.RunPending(), 1);
  EXPECT_EQ(events_, Events{});
}

}  // namespace
}  // namespace pagelift
