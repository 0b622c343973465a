#include "cli/cli.h"

#include <exception>
#include <new>

#include "cli/commands.h"
#include "cli/usage_error.h"

namespace pagelift::cli {

namespace {

// Also the source of the manual page, which help2man makes of it: "Usage:", "or:" and the
// headings ending in ":" are the forms it reads.
constexpr const char* kUsageText =
    "Usage: pagelift-cli judge [--page] [--scores] [FILE]\n"
    "  or:  pagelift-cli decode --code CODE [--mode 0|1] [FILE]\n"
    "  or:  pagelift-cli encode --code CODE [--bom] [--mode 0|1] [FILE]\n"
    "  or:  pagelift-cli fold --width W [FILE]\n"
    "  or:  pagelift-cli text [--code CODE] [--width W] [--form FORM] [--url URL] [--html]\n"
    "                         [FILE]\n"
    "  or:  pagelift-cli fetch [--proxy P] [--code CODE] [--width W] [--form FORM] [--html] URL\n"
    "  or:  pagelift-cli --help | --version\n"
    "Make of a web page the plain text that Pagelift puts on the Clipboard, or run one\n"
    "step of that: judge a page's Japanese character code, convert it, fold text.\n"
    "Each command reads FILE, or standard input when FILE is absent or \"-\". Text goes\n"
    "in and out as UTF-8; the text of a page has CR LF line ends.\n"
    "\n"
    "Commands:\n"
    "  judge          print the code name of the bytes: SJIS, JIS, EUC, UNICODE, UTF7\n"
    "                 or UTF8, judged from the first 1000 bytes (with --page also\n"
    "                 UTF16BE)\n"
    "  decode         turn the bytes into text in CODE\n"
    "  encode         turn text into the bytes of CODE\n"
    "  fold           fold text to lines of at most W columns\n"
    "  text           reduce a page's HTML to plain text and fold it: what the tray\n"
    "                 program puts on the Clipboard\n"
    "  fetch          download URL (http, https or file) and print what text prints\n"
    "                 for it\n"
    "\n"
    "Options:\n"
    "  --page         judge as 自動判定 judges a page: the whole page, past a long\n"
    "                 head of ASCII markup\n"
    "  --scores       print each code's score first (0 to 100, 9999 for a sure sign)\n"
    "  --code CODE    auto or 自動判定 to judge the code; SJIS, JIS, EUC, UNICODE,\n"
    "                 UTF-7, UTF-8, UTF7, UTF8 or UTF16BE (UTF-16, high byte first);\n"
    "                 any other name reads as Shift_JIS\n"
    "  --mode 0|1     1: convert through the Windows code-page conversion (it has no\n"
    "                 EUC) instead of the default one\n"
    "  --bom          put a byte-order mark in front (UNICODE and UTF-8)\n"
    "  --width W      columns a line (text: 100); a character that takes two bytes\n"
    "                 in Shift_JIS counts two; read as the settings dialog reads it\n"
    "                 (80, 10.5, 80abc); 0 folds the readable and main forms nowhere\n"
    "  --form FORM    the text's form: as-is, the tags removed and nothing else (the\n"
    "                 default); readable, the page laid out as a person reads it;\n"
    "                 main, its article or main text alone, laid out the same way;\n"
    "                 readable-markdown and main-markdown, the same as Markdown\n"
    "                 (CommonMark with GitHub's tables), never folded\n"
    "  --url URL      the page's address, which Markdown makes its links absolute\n"
    "                 against (fetch takes the URL it fetches)\n"
    "  --html         print the form's clean HTML, the document the tray program puts\n"
    "                 on the Clipboard beside the text (UTF-8)\n"
    "  --proxy P      host:port or a proxy URL, or a list such as\n"
    "                 \"http=HOST:PORT https=HOST:PORT socks=HOST:PORT\"; without it,\n"
    "                 the proxy environment variables\n"
    "  -h, --help     print this help and exit\n"
    "  -V, --version  print the version and exit\n"
    "\n"
    "Exit status:\n"
    "  0  done\n"
    "  1  the failure text \"ネット取得に失敗しました。\" was printed, as the tray program\n"
    "     puts it on the Clipboard: nothing could be downloaded (standard error says\n"
    "     why, in one line), the input of text was empty, or the text of the page\n"
    "     could not be made (standard error says why)\n"
    "  2  a wrong command line, or an input that cannot be read, judged or converted";

constexpr const char* kVersionText = "pagelift-cli " PAGELIFT_VERSION;

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
    if (command == "--version" || command == "-V") {
      out << kVersionText << '\n';
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
