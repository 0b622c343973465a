// pagelift-wl-clipboard: puts a text, and an HTML document beside it, on the Clipboard of a
// Wayland compositor as one source, and serves them from the background until another
// program sets the Clipboard. The tray program runs it with the text in a file in memory.
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <memory>
#include <string>

#include "shell/wayland/clipboard_contents.h"
#include "shell/wayland/command_line.h"
#include "shell/wayland/data_control.h"
#include "shell/wayland/event_loop.h"
#include "shell/wayland/transfers.h"

namespace pagelift::wl_clipboard {
namespace {

// After the Clipboard has gone to another program, how long the sends under way may make
// no progress before they are given up.
constexpr std::chrono::seconds kStallLimit(5);

int Fail(const std::string& why, int status = 1) {
  std::fprintf(stderr, "pagelift-wl-clipboard: %s\n", why.c_str());
  return status;
}

// The caller's copy ends here, now that the compositor holds the Clipboard; the copy that
// serves it lives on by itself, in a session of its own and holding none of the caller's
// terminal, files or folder. False when it could not be made.
bool GoToBackground() {
  const pid_t child = ::fork();
  if (child < 0) return false;
  // _exit: the connection is the child's now, and the parent's destructors would send
  // requests on it.
  if (child > 0) ::_exit(0);
  ::setsid();
  if (::chdir("/") != 0) {
    // The folder stays held; nothing else is wrong.
  }
  const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
  if (null >= 0) {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) ::dup2(null, fd);
    if (null > STDERR_FILENO) ::close(null);
  }
  return true;
}

// Serves the sends until another program has set the Clipboard and the sends under way
// are done, or they have stalled, or the compositor has gone.
void Serve(DataControl& control, Transfers& transfers) {
  for (;;) {
    if (control.Cancelled() && transfers.Empty()) return;
    const std::chrono::milliseconds limit = control.Cancelled()
                                                ? std::chrono::milliseconds(kStallLimit)
                                                : std::chrono::milliseconds(-1);
    if (TurnOnce(control.display(), transfers, limit) != Turn::kGoing) return;
  }
}

int Run(int argc, const char* const* argv) {
  const CommandLine line = ParseCommandLine(argc, argv);
  if (line.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (!line.request) return Fail(line.error, 2);
  const Request& request = *line.request;
  // A reader that leaves early must end its send, not this program.
  std::signal(SIGPIPE, SIG_IGN);

  ClipboardContents contents;
  if (!request.clear) {
    std::string error = ReadToEnd(STDIN_FILENO, contents.text);
    if (!error.empty()) return Fail("cannot read the text from standard input: " + error);
    if (request.html_fd) {
      contents.html.emplace();
      error = ReadToEnd(*request.html_fd, *contents.html);
      if (!error.empty()) {
        return Fail("cannot read the HTML from descriptor " + std::to_string(*request.html_fd) +
                    ": " + error);
      }
      ::close(*request.html_fd);
    }
  }

  Transfers transfers;
  std::string error;
  const std::unique_ptr<DataControl> control = DataControl::Connect(transfers, error);
  if (!control) return Fail(error);
  if (!control->SetSelection(request.clear ? nullptr : &contents, error)) return Fail(error);
  // Emptied, or already replaced by another program: nothing is left to serve.
  if (request.clear || (control->Cancelled() && transfers.Empty())) return 0;
  if (!GoToBackground()) return Fail("cannot go to the background to serve the Clipboard");
  Serve(*control, transfers);
  return 0;
}

}  // namespace
}  // namespace pagelift::wl_clipboard

int main(int argc, char** argv) {
  return pagelift::wl_clipboard::Run(argc, argv);
}
