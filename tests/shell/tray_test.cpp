// The tray side of the form on Qt's offscreen platform: there is no real tray there, but
// the icon's state, its menu and the Clipboard (which lives in this process) are real.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QSet>
#include <QSystemTrayIcon>
#include <QThread>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "shell/end_signals.h"
#include "shell/event_loop.h"
#include "shell/fetch_threads.h"
#include "shell/frm_main.h"
#include "support/files.h"
#include "support/loopback_server.h"
#include "support/loopback_socket.h"
#include "support/text.h"
#include "support/tiny_proxy.h"

namespace pagelift {
namespace {

using namespace std::chrono_literals;
using test::WaitUntil;
using Pictures = std::vector<std::string>;

std::u16string Clipboard() {
  return FromQString(QGuiApplication::clipboard()->text());
}

// A page that the server keeps back until the test lets it go (or 10 s have passed, so
// that a failed test cannot hang).
class Gate {
 public:
  void Pass() {
    std::unique_lock lock(mutex_);
    ++arrived_;
    changed_.notify_all();
    changed_.wait_for(lock, 10s, [this] { return open_; });
  }
  void Open() {
    const std::lock_guard lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }
  bool WaitArrived() {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, 10s, [this] { return arrived_ > 0; });
  }
  void Reset() {
    const std::lock_guard lock(mutex_);
    open_ = false;
    arrived_ = 0;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool open_ = false;
  int arrived_ = 0;
};

constexpr char kJapanesePage[] = "<html><body><p>日本語のページです。</p></body></html>";
constexpr char16_t kJapaneseText[] = u"日本語のページです。\r\n";

class TrayTest : public testing::Test {
 protected:
  void SetUp() override {
    const auto page = [](std::string body) {
      return [body](const httplib::Request&, httplib::Response& response) {
        response.set_content(body, "text/html");
      };
    };
    server_.http.Get("/ja", page(kJapanesePage));
    // The UTF-8 bytes of "日本" are also two whole Shift_JIS characters and two
    // half-width katakana.
    server_.http.Get("/nihon", page("<p>日本</p>"));
    server_.http.Get("/empty", page(""));
    server_.http.Get("/nothing-left", page("<script>x</script>   "));
    server_.http.Get("/held/a", [this](const httplib::Request&, httplib::Response& response) {
      held_a_.Pass();
      response.set_content(kJapanesePage, "text/html");
    });
    server_.http.Get("/held/b", [this](const httplib::Request&, httplib::Response& response) {
      held_b_.Pass();
      response.set_content("<p>二つ目</p>", "text/html");
    });
    server_.Start();

    form_ = std::make_unique<frmMain>(settings_, [](const std::u16string&) {});
    QObject::connect(form_.get(), &frmMain::TrayPictureShown,
                     [this](const QIcon& picture) { pictures_.push_back(Name(picture)); });
    form_->Form_Load();
  }

  std::string Name(const QIcon& picture) const {
    if (picture.cacheKey() == form_->ImageList1[frmMain::kIdlePicture].cacheKey()) return "idle";
    if (picture.cacheKey() == form_->ImageList1[frmMain::kBusyPicture].cacheKey()) return "busy";
    return "other";
  }

  // Saves these server paths (an empty one as an empty line) as the URLs, with OK.
  void ListUrls(std::initializer_list<std::string> paths) {
    std::u16string urls;
    for (const std::string& path : paths) {
      if (&path != paths.begin()) urls += u"\r\n";
      if (!path.empty()) urls += server_.Url16(path);
    }
    form_->SetUrlText(urls);
    form_->cmdOk_Click();
  }

  void Choose(int index) { form_->mnuSetUrlItem().at(static_cast<std::size_t>(index))->trigger(); }

  bool WaitForNoFetch() {
    return WaitUntil([this] { return form_->FetchesRunning() == 0; });
  }

  QSystemTrayIcon* Tray() const { return form_->findChild<QSystemTrayIcon*>(); }

  test::LoopbackServer server_;
  Gate held_a_, held_b_;
  test::TempFolder folder_;
  std::filesystem::path settings_ = folder_.path() / "pagelift.ini";
  std::unique_ptr<frmMain> form_;
  Pictures pictures_;
};

TEST_F(TrayTest, StartShowsTheIdlePictureUnderTheTooltip) {
  EXPECT_FALSE(form_->isVisible());
  EXPECT_EQ(pictures_, Pictures{"idle"});
  EXPECT_TRUE(form_->TrayIcon().isVisible());
  EXPECT_EQ(form_->TrayIcon().toolTip(), QStringLiteral("Pagelift"));
  EXPECT_EQ(Name(form_->TrayIcon().icon()), "idle");
  EXPECT_EQ(Name(form_->windowIcon()), "idle");

  // A black panel ruled in dark green; the busy one adds white inside the panel.
  std::vector<QSet<QRgb>> panel_colours;
  for (const QIcon& picture : form_->ImageList1) {
    ASSERT_EQ(picture.availableSizes(), QList<QSize>{QSize(32, 32)});
    const QImage image = picture.pixmap(32, 32).toImage();
    QSet<QRgb> all, panel;
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 32; ++x) {
        all.insert(image.pixel(x, y));
        if (x >= 4 && x < 28 && y >= 4 && y < 28) panel.insert(image.pixel(x, y));
      }
    }
    EXPECT_LE(all.size(), 16);
    panel_colours.push_back(panel);
  }
  EXPECT_EQ(panel_colours[0], (QSet<QRgb>{qRgb(0, 0, 0), qRgb(0, 0x80, 0)}));
  EXPECT_EQ(panel_colours[1], (QSet<QRgb>{qRgb(0, 0, 0), qRgb(0, 0x80, 0), qRgb(255, 255, 255)}));
}

TEST_F(TrayTest, TheMenuOffersSettingsFetchAndEndInThatOrder) {
  ListUrls({"/ja", "/nihon"});
  ASSERT_EQ(form_->TrayIcon().contextMenu(), form_->mnuMenu);
  QStringList captions;
  for (const QAction* entry : form_->mnuMenu->actions()) captions << entry->text();
  EXPECT_EQ(captions, QStringList({"設定...", "ネット取得", "終了"}));
  EXPECT_EQ(form_->mnuMenu->actions()[1]->menu(), form_->mnuSetUrl);
  EXPECT_EQ(form_->UrlItemCaption(1), server_.Url16("/nihon"));

  form_->mnuMenu->actions()[0]->trigger();
  EXPECT_TRUE(form_->isVisible());
}

TEST_F(TrayTest, ClicksOtherThanTheRightButtonOpenNothing) {
  for (const auto reason :
       {QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick, QSystemTrayIcon::MiddleClick}) {
    emit Tray()->activated(reason);
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << reason;
    EXPECT_FALSE(form_->mnuMenu->isVisible()) << reason;
    EXPECT_FALSE(form_->isVisible()) << reason;
  }
}

TEST_F(TrayTest, AChosenPageLandsOnTheClipboardAsTheControlsSayNow) {
  ListUrls({"/ja", "/nihon"});
  const struct {
    int entry;
    int code;  // index in the code box
    QString width;
    std::u16string clipboard;
  } cases[] = {
      {0, 0, "100", kJapaneseText},
      {0, 6, "6", u"日本語\r\nのペー\r\nジです\r\n。\r\n"},
      {1, 6, "100", u"日本\r\n"},
      // The code box overrides the judgement: UTF-8 bytes read as Shift_JIS.
      {1, 1, "100", u"譌･譛ｬ\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "entry " << c.entry << ", code " << c.code << ", width "
                                    << c.width.toStdString());
    form_->cmbCode()->setCurrentIndex(c.code);
    form_->txtMaxChar()->setText(c.width);
    SetClipboardText(u"before");
    pictures_.clear();
    Choose(c.entry);
    EXPECT_EQ(Clipboard(), u"");  // emptied before the download
    EXPECT_EQ(pictures_, Pictures{"busy"});
    ASSERT_TRUE(WaitForNoFetch());
    EXPECT_EQ(Clipboard(), c.clipboard) << test::Shown(Clipboard());
    EXPECT_EQ(pictures_, (Pictures{"busy", "idle"}));
    EXPECT_EQ(form_->TrayIcon().toolTip(), QStringLiteral("Pagelift"));
  }
}

TEST_F(TrayTest, AnEmptyEntryTurnsTheIconBusyAndBackAndLeavesTheClipboard) {
  SetClipboardText(u"kept");
  ASSERT_EQ(form_->UrlItemCaption(0), u"");  // no URL configured
  pictures_.clear();
  Choose(0);
  EXPECT_EQ(pictures_, (Pictures{"busy", "idle"}));
  EXPECT_EQ(form_->FetchesRunning(), 0u);
  EXPECT_EQ(Clipboard(), u"kept");
}

TEST_F(TrayTest, NothingDownloadedLeavesExactlyTheFailureText) {
  const std::string refused = "http://127.0.0.1:" + std::to_string(test::FreeLoopbackPort()) + "/";
  form_->SetUrlText(std::u16string(refused.begin(), refused.end()) + u"\r\n" +
                    server_.Url16("/empty"));
  form_->cmdOk_Click();
  for (const int entry : {0, 1}) {
    SCOPED_TRACE(entry);
    SetClipboardText(u"before");
    pictures_.clear();
    Choose(entry);
    ASSERT_TRUE(WaitForNoFetch());
    EXPECT_EQ(Clipboard(), u"ネット取得に失敗しました。");
    EXPECT_EQ(pictures_, (Pictures{"busy", "idle"}));
  }
}

TEST_F(TrayTest, APageThatReducesToNothingStillReplacesTheClipboard) {
  ListUrls({"/nothing-left"});
  SetClipboardText(u"before");
  Choose(0);
  ASSERT_TRUE(WaitForNoFetch());
  EXPECT_EQ(Clipboard(), u"\r\n");  // what the folding makes of no text
}

TEST_F(TrayTest, AProxyTypedAndCancelledIsUsed) {
  test::TinyProxy proxy;
  ASSERT_TRUE(proxy.running());
  ListUrls({"/ja"});
  form_->mnuSetting_Click();
  form_->txtProxy()->setText(QString::fromStdString(proxy.address()));
  form_->cmdCancel_Click();
  Choose(0);
  ASSERT_TRUE(WaitForNoFetch());
  EXPECT_EQ(Clipboard(), kJapaneseText);
  EXPECT_NE(proxy.Log().find("/ja"), std::string::npos) << proxy.Log();
}

TEST_F(TrayTest, TheSettingsAreTakenWhenThePageIsChosen) {
  ListUrls({"/held/a"});
  Choose(0);
  ASSERT_TRUE(held_a_.WaitArrived());
  form_->txtMaxChar()->setText("6");
  form_->cmbCode()->setCurrentIndex(1);  // SJIS
  held_a_.Open();
  ASSERT_TRUE(WaitForNoFetch());
  EXPECT_EQ(Clipboard(), kJapaneseText);
}

TEST_F(TrayTest, ThePageChosenLastWinsAndTheIconStaysBusyUntilNoneRuns) {
  // Entry 2 is the hidden entry of an empty line: choosing it between the two fetches
  // must neither show the idle picture nor touch the Clipboard.
  ListUrls({"/held/a", "/held/b", ""});
  for (const bool earlier_ends_first : {true, false}) {
    SCOPED_TRACE(earlier_ends_first ? "the earlier ends first" : "the earlier ends last");
    held_a_.Reset();
    held_b_.Reset();
    SetClipboardText(u"before");
    pictures_.clear();
    Choose(0);
    Choose(2);
    Choose(1);
    ASSERT_TRUE(held_a_.WaitArrived());
    ASSERT_TRUE(held_b_.WaitArrived());
    EXPECT_EQ(form_->FetchesRunning(), 2u);

    (earlier_ends_first ? held_a_ : held_b_).Open();
    ASSERT_TRUE(WaitUntil([this] { return form_->FetchesRunning() == 1; }));
    EXPECT_EQ(Clipboard(), earlier_ends_first ? u"" : u"二つ目\r\n");
    EXPECT_EQ(pictures_, (Pictures{"busy", "busy", "busy"}));

    (earlier_ends_first ? held_b_ : held_a_).Open();
    ASSERT_TRUE(WaitForNoFetch());
    EXPECT_EQ(Clipboard(), u"二つ目\r\n");
    EXPECT_EQ(pictures_, (Pictures{"busy", "busy", "busy", "idle"}));
  }
}

TEST_F(TrayTest, AFormDestroyedDuringAFetchWaitsForItsThreadAndSetsNothing) {
  ListUrls({"/held/a"});
  Choose(0);
  ASSERT_TRUE(held_a_.WaitArrived());
  std::thread opener([this] {
    std::this_thread::sleep_for(100ms);
    held_a_.Open();
  });
  form_.reset();
  opener.join();
  QCoreApplication::processEvents();
  EXPECT_EQ(Clipboard(), u"");
}

TEST_F(TrayTest, EndingDeletesTheIconAndLaterPicturesChangeNothing) {
  const std::pair<const char*, std::function<void()>> endings[] = {
      {"終了", [this] { form_->mnuEnd->trigger(); }},
      {"the platform", [this] { form_->Form_Unload(); }},
  };
  for (const auto& [name, end] : endings) {
    SCOPED_TRACE(name);
    form_->Form_Load();
    ASSERT_TRUE(form_->TrayIcon().isVisible());
    end();
    EXPECT_FALSE(form_->TrayIcon().isVisible());
    pictures_.clear();
    Choose(0);
    form_->ModIconTray(form_->ImageList1[frmMain::kBusyPicture], u"Pagelift");
    EXPECT_EQ(pictures_, Pictures{});
    EXPECT_FALSE(form_->TrayIcon().isVisible());
    EXPECT_EQ(Name(form_->TrayIcon().icon()), "idle");
  }
}

TEST_F(TrayTest, ClosingTheWindowHidesItAsCancelDoes) {
  form_->mnuSetting_Click();
  form_->txtProxy()->setText("typed:8080");
  EXPECT_TRUE(form_->close());
  EXPECT_FALSE(form_->isVisible());
  EXPECT_EQ(form_->txtProxy()->text(), QStringLiteral("typed:8080"));
  EXPECT_FALSE(std::filesystem::exists(settings_));
  EXPECT_TRUE(form_->TrayIcon().isVisible());
}

TEST(FetchThreads, AFetchThatRaisesHandsBackTheFailureText) {
  FetchThreads threads;
  std::vector<std::u16string> results;
  const auto record = [&](const FetchResult& result) {
    results.push_back(result.downloaded ? u"downloaded " + result.text : result.text);
  };
  threads.Start([]() -> FetchResult { throw std::bad_alloc(); }, record);
  threads.Start([] { return FetchResult{true, u"text", {}}; }, record);
  EXPECT_EQ(threads.Running(), 2u);
  ASSERT_TRUE(WaitUntil([&] { return threads.Running() == 0; }));
  std::sort(results.begin(), results.end());
  EXPECT_EQ(results, (std::vector<std::u16string>{u"downloaded text", kFetchFailedText}));
}

TEST(EndSignals, EachEndSignalCallsTheEndOnTheEventLoop) {
  struct sigaction before {};
  ::sigaction(SIGTERM, nullptr, &before);
  {
    int ends = 0;
    const EndSignals watcher([&ends] { ++ends; });
    ASSERT_TRUE(watcher.watching());
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
      SCOPED_TRACE(signal);
      const int earlier = ends;
      ASSERT_EQ(std::raise(signal), 0);
      EXPECT_EQ(ends, earlier);  // not from inside the signal handler
      EXPECT_TRUE(WaitUntil([&] { return ends == earlier + 1; }));
    }
  }
  struct sigaction after {};
  ::sigaction(SIGTERM, nullptr, &after);
  EXPECT_EQ(after.sa_handler, before.sa_handler);
}

}  // namespace
}  // namespace pagelift
