#include "app/fetch_coordinator.h"

#include <cstdint>
#include <map>
#include <new>
#include <system_error>
#include <thread>
#include <utility>

#include "app/tray_texts.h"
#include "convert/utf8_text.h"

namespace pagelift {

namespace {

FetchResult NoFetch() {
  return {false, kFetchFailedText, {}};
}

}  // namespace

Notice FailureNotice(const std::u16string& url, const std::string& why) {
  std::u16string text = url;
  if (!why.empty()) {
    text += u'\n';
    text += Utf8ToText({reinterpret_cast<const std::uint8_t*>(why.data()), why.size()});
  }
  return {kFetchFailedText, std::move(text)};
}

struct FetchCoordinator::State {
  FetchShell shell;
  Fetch fetch;
  struct Running {
    std::u16string url;
    std::thread thread;  // none for a fetch whose thread could not be made
  };
  // By the number of their choice.
  std::map<std::uint64_t, Running> running;
  std::uint64_t chosen = 0;  // the number of the last choice

  void ShowIdleUnlessFetching() {
    if (running.empty()) shell.show_busy(false);
  }

  // On the user-interface thread, once the fetch `id` has ended.
  void Finish(std::uint64_t id, const FetchResult& result) {
    const auto found = running.find(id);
    if (found == running.end()) return;
    // The thread posted this as its last act, so the join returns at once.
    if (found->second.thread.joinable()) found->second.thread.join();
    const std::u16string url = std::move(found->second.url);
    running.erase(found);
    std::string why = result.problem;
    bool failed = !result.downloaded;
    // A page chosen earlier that arrives later must not replace the text of the one
    // chosen last.
    if (id == chosen) {
      shell.clear_clipboard();
      try {
        shell.set_clipboard(result.text, result.html, url);
      } catch (const std::bad_alloc&) {
        // The HTML is the extra: the text goes alone if it fits.
        bool set = false;
        if (!result.html.empty()) {
          try {
            shell.set_clipboard(result.text, {}, url);
            set = true;
          } catch (const std::bad_alloc&) {
          }
        }
        if (!set) {
          shell.set_clipboard(kFetchFailedText, {}, url);
          failed = true;
          why = "the text is too large for the Clipboard";
        }
      }
    }
    if (failed && shell.notify) {
      const Notice notice = FailureNotice(url, why);
      shell.notify(notice.title, notice.text);
    } else if (!result.notice.empty() && shell.notify) {
      shell.notify(kProgramTitle, url + u"\n" + result.notice);
    }
    ShowIdleUnlessFetching();
  }

  static void PostFinish(const std::shared_ptr<State>& state, std::uint64_t id,
                         FetchResult result) {
    state->shell.post([weak = std::weak_ptr<State>(state), id, result = std::move(result)] {
      if (const std::shared_ptr<State> alive = weak.lock()) alive->Finish(id, result);
    });
  }
};

FetchCoordinator::FetchCoordinator(FetchShell shell, Fetch fetch)
    : state_(std::make_shared<State>()) {
  state_->shell = std::move(shell);
  if (!fetch) {
    // The code-page back end's message box is never needed: the conversion object stays in
    // its default mode, and a worker thread could not show a window anyway.
    fetch = [codes = std::make_shared<const NonCodeClass>()](const std::u16string& url,
                                                             const FetchSettings& settings) {
      return FetchPageText(url, settings, *codes);
    };
  }
  state_->fetch = std::move(fetch);
}

FetchCoordinator::~FetchCoordinator() {
  // A finished thread's result may still be queued for the shell; it then finds no state.
  for (auto& [id, fetch] : state_->running) {
    if (fetch.thread.joinable()) fetch.thread.join();
  }
}

void FetchCoordinator::Choose(const std::u16string& url, const FetchSettings& settings) {
  State& state = *state_;
  state.shell.show_busy(true);
  if (url.empty()) {
    state.ShowIdleUnlessFetching();
    return;
  }
  state.shell.clear_clipboard();
  const std::uint64_t id = ++state.chosen;
  State::Running& fetch = state.running[id];
  fetch.url = url;
  std::thread& thread = fetch.thread;
  try {
    // The thread only posts Finish, which runs after this function has returned.
    thread = std::thread([state = state_, id, url, settings] {
      // An exception must not end the program from this thread; the user is told the
      // fetch failed, as for a download that failed.
      FetchResult result = NoFetch();
      try {
        result = state->fetch(url, settings);
      } catch (...) {
      }
      State::PostFinish(state, id, std::move(result));
    });
  } catch (const std::system_error&) {
    State::PostFinish(state_, id, NoFetch());
  }
}

std::size_t FetchCoordinator::Running() const {
  return state_->running.size();
}

}  // namespace pagelift
