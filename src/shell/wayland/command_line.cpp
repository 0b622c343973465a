#include "shell/wayland/command_line.h"

#include <charconv>
#include <string_view>

namespace pagelift::wl_clipboard {

const char kUsage[] =
    "Usage: pagelift-wl-clipboard [--html-fd N] < TEXT\n"
    "       pagelift-wl-clipboard --clear\n"
    "Puts the UTF-8 text read from standard input on the Clipboard of the Wayland\n"
    "compositor, with the UTF-8 HTML document read from descriptor N beside it, and serves\n"
    "them from the background until another program sets the Clipboard. Exits once the\n"
    "compositor holds them: 0, or 1 with the reason on standard error (2 for a wrong\n"
    "command line). --clear empties the Clipboard.\n";

namespace {

// A descriptor's number: digits alone, not standard input, which holds the text.
std::optional<int> DescriptorNumber(std::string_view digits) {
  int number = -1;
  const char* end = digits.data() + digits.size();
  const auto [stop, failure] = std::from_chars(digits.data(), end, number);
  if (digits.empty() || failure != std::errc() || stop != end || number <= 0) return std::nullopt;
  return number;
}

CommandLine Wrong(std::string error) {
  CommandLine line;
  line.error = std::move(error);
  return line;
}

}  // namespace

CommandLine ParseCommandLine(int argc, const char* const* argv) {
  Request request;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument(argv[i]);
    if (argument == "--help" || argument == "-h") {
      CommandLine line;
      line.help = true;
      return line;
    }
    if (argument == "--clear") {
      request.clear = true;
      continue;
    }
    std::string_view number;
    if (argument == "--html-fd") {
      if (++i == argc) return Wrong("--html-fd needs a descriptor's number");
      number = argv[i];
    } else if (argument.starts_with("--html-fd=")) {
      number = argument.substr(argument.find('=') + 1);
    } else {
      return Wrong("unknown argument \"" + std::string(argument) + "\" (see --help)");
    }
    if (request.html_fd) return Wrong("--html-fd is given twice");
    request.html_fd = DescriptorNumber(number);
    if (!request.html_fd)
      return Wrong("--html-fd takes the number of a descriptor other than standard input, not \"" +
                   std::string(number) + "\"");
  }
  if (request.clear && request.html_fd) return Wrong("--clear takes no --html-fd");
  CommandLine line;
  line.request = request;
  return line;
}

}  // namespace pagelift::wl_clipboard
