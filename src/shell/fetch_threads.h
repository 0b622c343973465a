#pragma once

#include <QObject>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <thread>

#include "capture/fetch_text.h"

namespace pagelift {

// Runs fetches on threads of their own, so that the user-interface thread never waits
// for a download, and hands each result back on the thread that made this object,
// through its event loop: no locks, no polling.
class FetchThreads : public QObject {
 public:
  using Fetch = std::function<FetchResult()>;
  // Receives the fetch's result; when the fetch raised an exception or no thread could
  // be made for it, the result of a download that failed, with the failure text.
  using Done = std::function<void(const FetchResult&)>;

  FetchThreads() = default;
  FetchThreads(const FetchThreads&) = delete;
  FetchThreads& operator=(const FetchThreads&) = delete;
  // Waits for the fetches still running; their `done` is not called.
  ~FetchThreads() override;

  // Runs `fetch` on a new thread; `done` runs afterwards on this object's thread, once
  // the fetch no longer counts as running.
  void Start(Fetch fetch, Done done);
  // Fetches started whose `done` has not run yet.
  std::size_t Running() const { return running_.size(); }

 private:
  struct Job {
    std::thread thread;
    Done done;
  };
  // On this object's thread.
  void Finish(std::uint64_t id, FetchResult result);
  void PostFinish(std::uint64_t id, FetchResult result);

  std::map<std::uint64_t, Job> running_;
  std::uint64_t next_id_ = 0;
};

}  // namespace pagelift
