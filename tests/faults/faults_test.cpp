#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "app/settings.h"
#include "capture/fetch_text.h"
#include "convert/utf8_text.h"
#include "support/file_bytes.h"
#include "support/loopback_server.h"
#include "support/loopback_socket.h"
#include "support/raw_server.h"
#include "support/test_name.h"
#include "support/tiny_proxy.h"
#include "text/html_to_text.h"

// The faults a user can meet, each with the outcome the program promises: nothing
// crashes, nothing hangs, no saved setting is lost.

namespace pagelift {
namespace {

namespace fs = std::filesystem;

std::u16string U16(const std::string& text) {
  return std::u16string(text.begin(), text.end());
}

std::string TextOf(const FetchResult& result) {
  return TextToUtf8(result.text);
}

// A fetch with the settings of a new dialog and limits short enough for a test.
FetchResult Fetch(const std::string& url, const std::u16string& proxy = u"",
                  CodeChoice code = std::nullopt, long stall_seconds = 1) {
  HttpLimits limits;
  limits.connect_timeout_seconds = 5;
  limits.stall_seconds = stall_seconds;
  const std::u16string text_url =
      Utf8ToText({reinterpret_cast<const std::uint8_t*>(url.data()), url.size()});
  return FetchPageText(text_url, FetchSettings{proxy, code, 100}, NonCodeClass(), limits);
}

// What an endless page repeats.
constexpr std::string_view kEndlessUnit = "<p>あいう endless page text</p>";

test::LoopbackServer& Server() {
  static test::LoopbackServer* server = [] {
    auto* s = new test::LoopbackServer;
    s->http.Get("/mid-page", [](const httplib::Request&, httplib::Response& response) {
      response.set_content_provider(100000, "text/html",
                                    [](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                      if (offset > 0) return false;  // the network goes
                                      const std::string part = "<p>first part</p>";
                                      sink.write(part.data(), part.size());
                                      return true;
                                    });
    });
    s->http.Get("/zeros", [](const httplib::Request&, httplib::Response& response) {
      response.set_content(std::string(4000, '\0'), "application/octet-stream");
    });
    s->http.Get("/endless", [](const httplib::Request&, httplib::Response& response) {
      response.set_chunked_content_provider("text/html", [](std::size_t, httplib::DataSink& sink) {
        std::string block;
        while (block.size() < 64000) block += kEndlessUnit;
        return sink.write(block.data(), block.size());
      });
    });
    s->http.Get("/no-tags", [](const httplib::Request&, httplib::Response& response) {
      response.set_content(std::string(50u << 20, 'a'), "text/plain");
    });
    // Anything else: the path the server understood, as the page.
    s->http.Get(".*", [](const httplib::Request& request, httplib::Response& response) {
      response.set_content("<p>" + request.path + "</p>", "text/html; charset=UTF-8");
    });
    s->Start();
    return s;
  }();
  return *server;
}

// A settings folder, and the settings the dialog shows after the program's start.
class Dialog {
 public:
  Dialog() {
    char pattern[] = "/tmp/pagelift-faults-XXXXXX";
    folder_ = mkdtemp(pattern);
    file_ = folder_ / "pagelift.ini";
  }
  ~Dialog() {
    chmod(folder_.c_str(), 0700);
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  void Start() { shown_ = LoadSettings(file_).settings; }
  // OK, with the proxy typed; a save that fails keeps what was typed in the dialog.
  std::string OkWithProxy(const std::u16string& proxy) {
    shown_.proxy = proxy;
    const bool saved = SaveSettings(file_, shown_);
    if (saved) Start();
    return std::string(saved ? "saved" : "not saved") + ", typed " +
           std::string(shown_.proxy.begin(), shown_.proxy.end());
  }

  fs::path folder_;
  fs::path file_;
  Settings shown_;
};

const std::string kSaved = "[Setting]\r\nCODE=SJIS\r\nMAXCHAR=80\r\nPROXY=\r\nURL1=http://a/\r\n";

struct Fault {
  const char* name;
  std::function<std::string()> outcome;
  std::string expected;
};

void PrintTo(const Fault& fault, std::ostream* out) {
  *out << fault.name;
}

const Fault kFaults[] = {
    {"the network goes mid-page: the part that arrived is the text",
     [] { return std::string(TextOf(Fetch(Server().Url("/mid-page")))); },
     "firstpart\r\n"},  // blanks go outside "<pre>"
    {"a proxy that refuses connections: the failure text",
     [] {
       const auto nowhere = u"127.0.0.1:" + U16(std::to_string(test::FreeLoopbackPort()));
       return std::string(TextOf(Fetch(Server().Url("/page"), nowhere)));
     },
     "ネット取得に失敗しました。"},
    {"a server sending garbage for headers: the failure text",
     [] {
       test::RawServer garbage("\x01\x02 this is no HTTP \xff\r\n\r\n<p>x</p>", false);
       return std::string(TextOf(Fetch(garbage.Url("/"))));
     },
     "ネット取得に失敗しました。"},
    {"a URL with blanks and Japanese: the page that URL names",
     [] { return std::string(TextOf(Fetch(Server().Url("/a b/ページ.html"), u"", Code::kUTF8))); },
     "/ab/ページ.html\r\n"},  // the reduction drops the blank
    {"a 2 GB Content-Length that never arrives: what came, given up at the stall limit",
     [] {
       test::RawServer liar("HTTP/1.1 200 OK\r\nContent-Length: 2147483648\r\n\r\n<p>begun</p>",
                            true);
       const auto start = std::chrono::steady_clock::now();
       const std::string text = TextOf(Fetch(liar.Url("/")));
       const bool quick = std::chrono::steady_clock::now() - start < std::chrono::seconds(10);
       return text + (quick ? "quick" : "slow");
     },
     "begun\r\nquick"},
    {"an endless page: the text of all that came before the download's cap",
     [] {
       HttpLimits limits;
       limits.max_bytes = 1000000;
       const FetchResult result =
           FetchPageText(U16(Server().Url("/endless")), FetchSettings{u"", Code::kUTF8, 100},
                         NonCodeClass(), limits);
       std::string page;
       while (page.size() < 1000000) page += kEndlessUnit;
       page.resize(1000000);
       const std::u16string expected = HtmlToText(
           Utf8ToText({reinterpret_cast<const std::uint8_t*>(page.data()), page.size()}), 100);
       return std::string(result.downloaded ? "downloaded: " : "failed: ") +
              (result.text == expected ? "the text of its first 1,000,000 bytes" : "another text");
     },
     "downloaded: the text of its first 1,000,000 bytes"},
    {"a page of zero bytes: read as UTF-16, 2,000 NUL characters folded at 100",
     [] {
       const std::string text = TextOf(Fetch(Server().Url("/zeros")));
       return std::to_string(text.size()) + " bytes, " +
              std::to_string(std::count(text.begin(), text.end(), '\0')) + " NULs";
     },
     "2040 bytes, 2000 NULs"},
    {"a page of 50 MB without a tag: folded into lines of 100 within seconds",
     [] {
       const auto start = std::chrono::steady_clock::now();
       // The server takes a while to compress the page before the first byte.
       const std::string text = TextOf(Fetch(Server().Url("/no-tags"), u"", std::nullopt, 30));
       const bool quick = std::chrono::steady_clock::now() - start < std::chrono::seconds(20);
       return std::to_string(text.size()) + (quick ? " quick" : " slow");
     },
     std::to_string((50u << 20) + (50u << 20) / 100 * 2) + " quick"},
    {"a settings file that is a directory: defaults, and OK cannot save",
     [] {
       Dialog dialog;
       fs::create_directory(dialog.file_);
       dialog.Start();
       const std::u16string width = dialog.shown_.width.Text();
       const std::string ok = dialog.OkWithProxy(u"typed:8080");
       return std::string(width.begin(), width.end()) + " " + ok +
              (fs::is_directory(dialog.file_) ? ", still a directory" : ", replaced");
     },
     "100 not saved, typed typed:8080, still a directory"},
    {"a settings folder made read-only after the start: OK cannot save, nothing is lost",
     [] {
       if (geteuid() == 0) return std::string("run as an ordinary user to see this one");
       Dialog dialog;
       std::ofstream(dialog.file_, std::ios::binary) << kSaved;
       dialog.Start();
       chmod(dialog.file_.c_str(), 0444);
       chmod(dialog.folder_.c_str(), 0555);
       const std::string ok = dialog.OkWithProxy(u"typed:8080");
       return ok + ", file " + (test::FileBytes(dialog.file_) == kSaved ? "intact" : "changed");
     },
     "not saved, typed typed:8080, file intact"},
    {"a settings file that cannot be read: OK cannot save, the file keeps its other sections",
     [] {
       if (geteuid() == 0) return std::string("run as an ordinary user to see this one");
       Dialog dialog;
       const std::string saved = kSaved + "[Other]\r\nKEY=theirs\r\n";
       std::ofstream(dialog.file_, std::ios::binary) << saved;
       chmod(dialog.file_.c_str(), 0200);
       dialog.Start();
       const std::string ok = dialog.OkWithProxy(u"typed:8080");
       chmod(dialog.file_.c_str(), 0600);
       return ok + ", file " + (test::FileBytes(dialog.file_) == saved ? "intact" : "changed");
     },
     "not saved, typed typed:8080, file intact"},
    {"a settings file changed by another program while the dialog is open: both kept",
     [] {
       Dialog dialog;
       std::ofstream(dialog.file_, std::ios::binary) << kSaved;
       dialog.Start();
       std::ofstream(dialog.file_, std::ios::binary | std::ios::app) << "[Other]\r\nKEY=theirs\r\n";
       const std::string ok = dialog.OkWithProxy(u"typed:8080");
       const std::string after = test::FileBytes(dialog.file_);
       return std::string(after.find("[Other]\r\nKEY=theirs\r\n") != std::string::npos
                              ? "theirs kept, "
                              : "theirs lost, ") +
              (after.find("PROXY=typed:8080\r\n") != std::string::npos ? "ours written, "
                                                                       : "ours lost, ") +
              ok;
     },
     "theirs kept, ours written, saved, typed typed:8080"},
};

class Faults : public testing::TestWithParam<Fault> {};

TEST_P(Faults, MeetTheirPromisedOutcome) {
  const Fault& fault = GetParam();
  const std::string outcome = fault.outcome();
  if (outcome.starts_with("run as an ordinary user")) GTEST_SKIP() << outcome;
  EXPECT_EQ(outcome, fault.expected) << fault.name;
}

INSTANTIATE_TEST_SUITE_P(Table, Faults, testing::ValuesIn(kFaults),
                         [](const testing::TestParamInfo<Fault>& info) {
                           const std::string_view name = info.param.name;
                           return test::NameOf(name.substr(0, name.find(':')));
                         });

}  // namespace
}  // namespace pagelift
