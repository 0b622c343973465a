#pragma once

#include <optional>
#include <string>

namespace pagelift::wl_clipboard {

// What the caller asks of pagelift-wl-clipboard.
struct Request {
  // Empty the Clipboard instead of setting it.
  bool clear = false;
  // The descriptor the HTML document is read from; nothing for the text alone.
  std::optional<int> html_fd;
};

// The command line read: a request, or the usage asked for, or why it is wrong.
struct CommandLine {
  std::optional<Request> request;
  bool help = false;
  // Why the command line is wrong, when there is neither a request nor help.
  std::string error;
};

CommandLine ParseCommandLine(int argc, const char* const* argv);

// What --help prints.
extern const char kUsage[];

}  // namespace pagelift::wl_clipboard
