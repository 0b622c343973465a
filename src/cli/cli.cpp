#include "cli/cli.h"

#include <exception>
#include <new>

#include "cli/commands.h"
#include "cli/usage_error.h"

namespace pagelift::cli {

namespace {

constexpr const char* kUsageText =
    "usage: pagelift-cli judge [--page] [--scores] [FILE]\n"
    "       pagelift-cli decode --code CODE [--mode 0|1] [FILE]\n"
    "       pagelift-cli encode --code CODE [--bom] [--mode 0|1] [FILE]\n"
    "       pagelift-cli fold --width W [FILE]\n"
    "       pagelift-cli text [--code CODE] [--width W] [FILE]\n"
    "       pagelift-cli fetch [--proxy P] [--code CODE] [--width W] URL\n"
    "CODE: auto (自動判定), SJIS, JIS, EUC, UNICODE, UTF-7, UTF-8, UTF7, UTF8";

}  // namespace

int Run(const std::vector<std::string>& words, std::istream& in, std::ostream& out,
        std::ostream& err) {
  try {
    if (words.empty()) throw UsageError("no command given");
    const std::string& command = words[0];
    const std::vector<std::string> rest(words.begin() + 1, words.end());
    if (command == "judge") return RunJudge(rest, in, out);
    if (command == "decode") return RunDecode(rest, in, out, err);
    if (command == "encode") return RunEncode(rest, in, out, err);
    if (command == "fold") return RunFold(rest, in, out);
    if (command == "text") return RunText(rest, in, out, err);
    if (command == "fetch") return RunFetch(rest, out, err);
    if (command == "--help" || command == "-h") {
      out << kUsageText << '\n';
      return kDone;
    }
    throw UsageError("unknown command " + command);
  } catch (const UsageError& e) {
    err << "pagelift-cli: " << e.what() << " (see pagelift-cli --help)\n";
  } catch (const std::bad_alloc&) {
    err << "pagelift-cli: there is not enough memory\n";
  } catch (const std::exception& e) {
    err << "pagelift-cli: " << e.what() << '\n';
  }
  return kUsage;
}

}  // namespace pagelift::cli
