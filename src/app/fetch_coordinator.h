#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "capture/fetch_text.h"

namespace pagelift {

// What the fetch command asks of the shell that runs it. All but `post` are called on the
// user-interface thread.
struct FetchShell {
  // Runs `task` on the user-interface thread, later; called from any thread. A task still
  // queued when the shell ends may be dropped.
  std::function<void(std::function<void()> task)> post;
  // The tray icon shows the busy picture (true) or the idle one.
  std::function<void(bool busy)> show_busy;
  std::function<void()> clear_clipboard;
  // The Clipboard then holds exactly `text`, and beside it the HTML document `html` of the
  // page at `url` where `html` is not empty (nothing of an earlier text's HTML where it is).
  // May throw std::bad_alloc for a text too large for the Clipboard's own copy.
  std::function<void(const std::u16string& text, const std::u16string& html,
                     const std::u16string& url)>
      set_clipboard;
  // Tells the user, beside the tray icon, what went wrong: `title` and `text` of a
  // notification (see FailureNotice).
  std::function<void(const std::u16string& title, const std::u16string& text)> notify;
};

// The notification of a fetch whose page gave no text: the failure text as its title, the
// URL and why (in the words of the download, or of the text's making) as its text.
struct Notice {
  std::u16string title;
  std::u16string text;
};
Notice FailureNotice(const std::u16string& url, const std::string& why);

// The fetch command: downloads and reduces each chosen page on a thread of its own, so that
// the user-interface thread never waits, and hands its text to the shell. When pages are
// chosen while others still run, the page chosen last wins the Clipboard, and the busy
// picture stays until none runs. Used on the user-interface thread only.
class FetchCoordinator {
 public:
  // The work of one fetch on its thread; by default FetchPageText with one conversion
  // object shared by all fetches.
  using Fetch = std::function<FetchResult(const std::u16string& url, const FetchSettings&)>;

  explicit FetchCoordinator(FetchShell shell, Fetch fetch = {});
  FetchCoordinator(const FetchCoordinator&) = delete;
  FetchCoordinator& operator=(const FetchCoordinator&) = delete;
  // Waits for the fetches still running; their text goes nowhere.
  ~FetchCoordinator();

  // The fetch command for `url` with the settings in force now: the busy picture; for an
  // empty URL nothing more (the Clipboard keeps its text); otherwise the Clipboard is
  // emptied and the page fetched. Its text, or the failure text when the fetch throws or no
  // thread can be made for it, reaches the Clipboard if no page was chosen after it. A
  // failure is also told in a notification that names the URL, chosen last or not, and so
  // is a text's notice (see FetchResult).
  void Choose(const std::u16string& url, const FetchSettings& settings);

  // The fetches chosen whose result has not been handled yet.
  std::size_t Running() const;

 private:
  struct State;
  std::shared_ptr<State> state_;
};

}  // namespace pagelift
