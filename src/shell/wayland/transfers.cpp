#include "shell/wayland/transfers.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace pagelift::wl_clipboard {
namespace {

// The most written to one reader at a turn: a pipe takes less, but a reader may hand a
// file, which takes all and never says it is full.
constexpr std::size_t kMostAtATurn = 1 << 20;

}  // namespace

Transfers::~Transfers() {
  for (const Send& send : sends_) ::close(send.fd);
}

void Transfers::Begin(int fd, std::string_view bytes) {
  const int flags = ::fcntl(fd, F_GETFL);
  if (bytes.empty() || flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0) {
    ::close(fd);
    return;
  }
  sends_.push_back({fd, bytes});
}

void Transfers::AddPollFds(std::vector<pollfd>& fds) const {
  for (const Send& send : sends_) fds.push_back({send.fd, POLLOUT, 0});
}

void Transfers::Advance(std::span<const pollfd> ready) {
  std::size_t kept = 0;
  for (std::size_t i = 0; i < sends_.size(); ++i) {
    Send& send = sends_[i];
    bool going = true;
    if (i < ready.size() && ready[i].revents != 0) {
      // POLLERR or POLLHUP alone: the reader has closed its end.
      if (ready[i].revents & POLLOUT) {
        going = WriteSome(send);
      } else {
        ::close(send.fd);
        going = false;
      }
    }
    if (going) sends_[kept++] = send;
  }
  sends_.resize(kept);
}

bool Transfers::WriteSome(Send& send) {
  for (;;) {
    const ssize_t written =
        ::write(send.fd, send.left.data(), std::min(send.left.size(), kMostAtATurn));
    if (written >= 0) {
      send.left.remove_prefix(static_cast<std::size_t>(written));
      break;
    }
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) return true;
    // EPIPE: the reader took what it wanted and left; any other error ends the send too.
    ::close(send.fd);
    return false;
  }
  if (!send.left.empty()) return true;
  ::close(send.fd);
  return false;
}

}  // namespace pagelift::wl_clipboard
