#include "shell/wayland/event_loop.h"

#include <poll.h>

#include <cerrno>
#include <cstdint>
#include <vector>

namespace pagelift::wl_clipboard {

Turn TurnOnce(wl_display* display, Transfers& transfers, std::chrono::milliseconds limit) {
  const int dispatched = wl_display_dispatch_pending(display);
  if (dispatched < 0) return Turn::kBroken;
  if (dispatched > 0) return Turn::kGoing;
  // Events already queued are dispatched before any more are read.
  if (wl_display_prepare_read(display) != 0) return Turn::kGoing;
  // A full socket takes the rest of the requests when it has room again. A socket the
  // compositor has closed fails here too, but it is the reading below that hears why and
  // keeps it for the message.
  short display_events = POLLIN;
  if (wl_display_flush(display) < 0 && errno == EAGAIN) display_events |= POLLOUT;
  std::vector<pollfd> fds;
  fds.reserve(1 + transfers.Count());
  fds.push_back({wl_display_get_fd(display), display_events, 0});
  transfers.AddPollFds(fds);
  const int ready =
      ::poll(fds.data(), fds.size(), limit.count() < 0 ? -1 : static_cast<int>(limit.count()));
  if (ready <= 0) {
    wl_display_cancel_read(display);
    if (ready == 0) return Turn::kTimedOut;
    return errno == EINTR ? Turn::kGoing : Turn::kBroken;
  }
  transfers.Advance(std::span<const pollfd>(fds).subspan(1));
  if (fds[0].revents & (POLLIN | POLLERR | POLLHUP)) {
    // Fails, and says so, when the compositor has gone.
    if (wl_display_read_events(display) < 0) return Turn::kBroken;
  } else {
    wl_display_cancel_read(display);
  }
  return Turn::kGoing;
}

bool RoundTrip(wl_display* display, Transfers& transfers, std::chrono::milliseconds limit) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + limit;
  static constexpr wl_callback_listener kDone = {
      [](void* done, wl_callback*, std::uint32_t) { *static_cast<bool*>(done) = true; },
  };
  bool done = false;
  wl_callback* callback = wl_display_sync(display);
  if (!callback) return false;
  wl_callback_add_listener(callback, &kDone, &done);
  Turn turn = Turn::kGoing;
  while (!done && turn == Turn::kGoing) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    turn = left.count() > 0 ? TurnOnce(display, transfers, left) : Turn::kTimedOut;
  }
  // Once answered, the callback is the compositor's no more; before, it would answer a
  // proxy that is gone, which libwayland drops.
  wl_callback_destroy(callback);
  return done;
}

}  // namespace pagelift::wl_clipboard
