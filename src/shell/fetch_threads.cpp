#include "shell/fetch_threads.h"

#include <system_error>
#include <utility>

namespace pagelift {

namespace {

FetchResult NoFetch() {
  return {false, kFetchFailedText, {}};
}

}  // namespace

FetchThreads::~FetchThreads() {
  // A finished thread's result is still queued for this object; destroying the object
  // drops it.
  for (auto& [id, job] : running_) job.thread.join();
}

void FetchThreads::Start(Fetch fetch, Done done) {
  const std::uint64_t id = next_id_++;
  Job& job = running_[id];
  job.done = std::move(done);
  try {
    // Finish cannot run before this function returns: it is queued for this thread.
    job.thread = std::thread([this, id, fetch = std::move(fetch)] {
      // An exception must not end the program from this thread; the user is told the
      // fetch failed, as for a download that failed.
      FetchResult result = NoFetch();
      try {
        result = fetch();
      } catch (...) {
      }
      PostFinish(id, std::move(result));
    });
  } catch (const std::system_error&) {
    PostFinish(id, NoFetch());
  }
}

void FetchThreads::PostFinish(std::uint64_t id, FetchResult result) {
  QMetaObject::invokeMethod(
      this, [this, id, result = std::move(result)]() mutable { Finish(id, std::move(result)); },
      Qt::QueuedConnection);
}

void FetchThreads::Finish(std::uint64_t id, FetchResult result) {
  const auto found = running_.find(id);
  if (found == running_.end()) return;
  Job job = std::move(found->second);
  running_.erase(found);
  // The thread posted this as its last act, so the join returns at once.
  if (job.thread.joinable()) job.thread.join();
  job.done(result);
}

}  // namespace pagelift
