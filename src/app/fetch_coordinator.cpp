#include "app/fetch_coordinator.h"

#include <cstdint>
#include <map>
#include <new>
#include <system_error>
#include <thread>
#include <utility>

namespace pagelift {

namespace {

FetchResult NoFetch() {
  return {false, kFetchFailedText, {}};
}

}  // namespace

struct FetchCoordinator::State {
  FetchShell shell;
  Fetch fetch;
  // By the number of their choice; a fetch whose thread could not be made has none.
  std::map<std::uint64_t, std::thread> running;
  std::uint64_t chosen = 0;  // the number of the last choice

  void ShowIdleUnlessFetching() {
    if (running.empty()) shell.show_busy(false);
  }

  // On the user-interface thread, once the fetch `id` has ended.
  void Finish(std::uint64_t id, const FetchResult& result) {
    const auto found = running.find(id);
    if (found == running.end()) return;
    // The thread posted this as its last act, so the join returns at once.
    if (found->second.joinable()) found->second.join();
    running.erase(found);
    // A page chosen earlier that arrives later must not replace the text of the one
    // chosen last.
    if (id == chosen) {
      shell.clear_clipboard();
      try {
        shell.set_clipboard_text(result.text);
      } catch (const std::bad_alloc&) {
        shell.set_clipboard_text(kFetchFailedText);
      }
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
  for (auto& [id, thread] : state_->running) {
    if (thread.joinable()) thread.join();
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
  std::thread& thread = state.running[id];
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
