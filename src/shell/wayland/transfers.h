#pragma once

#include <poll.h>

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

namespace pagelift::wl_clipboard {

// The sends under way: each reader's descriptor and the bytes it has still to get. Every
// descriptor is non-blocking and written only as far as it takes at the moment, so that a
// reader that is slow with a text of many megabytes keeps no other reader waiting, nor the
// compositor's events.
class Transfers {
 public:
  Transfers() = default;
  ~Transfers();
  Transfers(const Transfers&) = delete;
  Transfers& operator=(const Transfers&) = delete;

  // Takes `fd` over: writes `bytes` to it and then closes it. `bytes` must stay as they
  // are until then. An empty text is sent by closing at once.
  void Begin(int fd, std::string_view bytes);

  bool Empty() const { return sends_.empty(); }
  std::size_t Count() const { return sends_.size(); }

  // Appends to `fds` one entry for each send, in order, that waits for room to write.
  void AddPollFds(std::vector<pollfd>& fds) const;

  // After poll(): `ready` holds the entries AddPollFds gave, with what poll() said of
  // them; sends begun since are not in it. Writes where there is room and ends the sends
  // that are done or whose reader has gone.
  void Advance(std::span<const pollfd> ready);

 private:
  struct Send {
    int fd;
    std::string_view left;
  };
  // Writes some of `send`; false when it has ended and its descriptor is closed.
  static bool WriteSome(Send& send);

  std::vector<Send> sends_;
};

}  // namespace pagelift::wl_clipboard
