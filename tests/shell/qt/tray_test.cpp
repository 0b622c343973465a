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
#include <chrono>
#include <csignal>
#include <functional>
#include <memory>

#include "shell/qt/end_signals.h"
#include "shell/qt/event_loop.h"
#include "shell/qt/frm_main.h"
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

constexpr char kJapanesePage[] = "<html><body><p>日本語のページです。</p></body></html>";
constexpr char16_t kJapaneseText[] = u"日本語のページです。\r\n";
// A menu, and an article the main form gives alone.
constexpr char kArticlePage[] =
    "<ul><li><a href=/>Home</a><li><a href=/ja>News</a></ul>"
    "<p>The council met on Monday and agreed, after a long debate, to rebuild the bridge.</p>"
    "<p>Work starts in March, and the cost comes from the city and the state.</p>";

class TrayTest : public testing::Test {
 protected:
  void SetUp() override {
    const auto page = [](std::string body) {
      return [body](const httplib::Request&, httplib::Response& response) {
        response.set_content(body, "text/html");
      };
    };
    server_.http.Get("/ja", page(kJapanesePage));
    server_.http.Get("/words", page("<p>two words</p><p>apart</p>"));
    server_.http.Get("/article", page(kArticlePage));
    // The UTF-8 bytes of "日本" are also two whole Shift_JIS characters and two
    // half-width katakana.
    server_.http.Get("/nihon", page("<p>日本</p>"));
    server_.http.Get("/empty", page(""));
    server_.http.Get("/nothing-left", page("<script>x</script>   "));
    server_.Start();

    form_ = std::make_unique<frmMain>(settings_, [](const std::u16string&) {});
    QObject::connect(form_.get(), &frmMain::TrayPictureShown,
                     [this](const QIcon& picture) { pictures_.push_back(Name(picture)); });
    form_->Form_Load();
  }

  std::string Name(const QIcon& picture) const {
    if (picture.cacheKey() == form_->ImageList1[0].cacheKey()) return "idle";
    if (picture.cacheKey() == form_->ImageList1[1].cacheKey()) return "busy";
    return "other";
  }

  // Saves these server paths (an empty one as an empty line) as the URLs, with OK.
  void ListUrls(std::initializer_list<std::string> paths) {
    std::u16string urls;
    for (const std::string& path : paths) {
      if (&path != paths.begin()) urls += u"\r\n";
      if (!path.empty()) urls += server_.Url16(path);
    }
    Type(urls);
    form_->cmdOk_Click();
  }

  void Type(const std::u16string& urls) {
    Settings shown = form_->Shown();
    shown.urls = urls;
    form_->Show(shown);
  }

  void Choose(int index) { form_->mnuSetUrlItem.at(static_cast<std::size_t>(index))->trigger(); }

  bool WaitForNoFetch() {
    return WaitUntil([this] { return form_->FetchesRunning() == 0; });
  }

  QSystemTrayIcon* Tray() const { return form_->findChild<QSystemTrayIcon*>(); }

  test::LoopbackServer server_;
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
  ListUrls({"/ja", "/nihon", "/words", "/article"});
  const struct {
    int entry;
    int code;  // index in the code box
    QString width;
    int form;  // index in the text form box
    std::u16string clipboard;
  } cases[] = {
      {0, 0, "100", 0, kJapaneseText},
      {0, 6, "6", 0, u"日本語\r\nのペー\r\nジです\r\n。\r\n"},
      {1, 6, "100", 0, u"日本\r\n"},
      // The code box overrides the judgement: UTF-8 bytes read as Shift_JIS.
      {1, 1, "100", 0, u"譌･譛ｬ\r\n"},
      {2, 0, "100", 0, u"twowordsapart\r\n"},
      {2, 0, "100", 1, u"two words\r\n\r\napart\r\n"},
      {3, 0, "100", 2,
       u"The council met on Monday and agreed, after a long debate, to rebuild the bridge.\r\n\r\n"
       u"Work starts in March, and the cost comes from the city and the state.\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "entry " << c.entry << ", code " << c.code << ", width "
                                    << c.width.toStdString() << ", form " << c.form);
    form_->controls().cmbCode->setCurrentIndex(c.code);
    form_->controls().txtMaxChar->setText(c.width);
    form_->controls().cmbTextForm->setCurrentIndex(c.form);
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

TEST_F(TrayTest, TheFirstEntryFetchesTheUrlTheClipboardHoldsWhenTheSubmenuOpens) {
  ListUrls({"/ja"});
  const std::u16string url = server_.Url16("/words");
  const struct {
    std::u16string clipboard;
    bool offered;
  } cases[] = {
      {u" " + url + u"\n", true},
      {u"see " + url, false},
      {u"file:///etc/hostname", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(test::Shown(c.clipboard));
    SetClipboardText(c.clipboard);
    emit form_->mnuSetUrl->aboutToShow();
    EXPECT_EQ(form_->mnuClipboardUrl->isEnabled(), c.offered);
    EXPECT_EQ(FromQString(form_->mnuClipboardUrl->text()),
              c.offered ? u"クリップボードのURL: " + url : u"クリップボードにURLがありません");
  }
  // What the submenu read when it opened is fetched, with the settings in force.
  SetClipboardText(url);
  emit form_->mnuSetUrl->aboutToShow();
  SetClipboardText(u"something else");
  form_->controls().cmbTextForm->setCurrentIndex(1);
  form_->mnuClipboardUrl->trigger();
  ASSERT_TRUE(WaitForNoFetch());
  EXPECT_EQ(Clipboard(), u"two words\r\n\r\napart\r\n");
}

TEST_F(TrayTest, NothingDownloadedLeavesExactlyTheFailureText) {
  const std::string refused = "http://127.0.0.1:" + std::to_string(test::FreeLoopbackPort()) + "/";
  Type(std::u16string(refused.begin(), refused.end()) + u"\r\n" + server_.Url16("/empty"));
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
  form_->controls().txtProxy->setText(QString::fromStdString(proxy.address()));
  form_->cmdCancel_Click();
  Choose(0);
  ASSERT_TRUE(WaitForNoFetch());
  EXPECT_EQ(Clipboard(), kJapaneseText);
  EXPECT_NE(proxy.Log().find("/ja"), std::string::npos) << proxy.Log();
}

TEST_F(TrayTest, TheSettingsAreTakenWhenThePageIsChosen) {
  ListUrls({"/ja"});
  Choose(0);
  // Before the fetch's result can arrive: it is handed over through the event loop.
  form_->controls().txtMaxChar->setText("6");
  form_->controls().cmbCode->setCurrentIndex(1);  // SJIS
  ASSERT_TRUE(WaitForNoFetch());
  EXPECT_EQ(Clipboard(), kJapaneseText);
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
    form_->ModIconTray(form_->ImageList1[1], u"Pagelift");
    EXPECT_EQ(pictures_, Pictures{});
    EXPECT_FALSE(form_->TrayIcon().isVisible());
    EXPECT_EQ(Name(form_->TrayIcon().icon()), "idle");
  }
}

TEST_F(TrayTest, ClosingTheWindowHidesItAsCancelDoes) {
  form_->mnuSetting_Click();
  form_->controls().txtProxy->setText("typed:8080");
  EXPECT_TRUE(form_->close());
  EXPECT_FALSE(form_->isVisible());
  EXPECT_EQ(form_->Shown().proxy, u"typed:8080");
  EXPECT_FALSE(std::filesystem::exists(settings_));
  EXPECT_TRUE(form_->TrayIcon().isVisible());
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
