#include <limits>
#include <string>

#include "capture/fetch_text.h"
#include "cli/arguments.h"
#include "cli/cli.h"
#include "cli/commands.h"
#include "cli/input.h"
#include "cli/options.h"
#include "cli/usage_error.h"
#include "convert/page_decoder.h"
#include "convert/utf8_text.h"
#include "text/wrap_lines.h"

namespace pagelift::cli {

namespace {

// The settings of a fetch as the dialog would hold them: code "自動判定", width "100", the
// tags removed.
FetchSettings SettingsOf(const Arguments& args) {
  FetchSettings settings{OptionText(args.Value("--proxy").value_or("")), CodeOption(args, false),
                         WidthOption(args), FormOption(args),
                         OptionText(args.Value("--url").value_or(""))};
  settings.html = args.Has("--html");
  if (settings.html && settings.form == TextForm::kAsIs) {
    throw UsageError("--html needs a form of readable, main or Markdown");
  }
  return settings;
}

int Print(const FetchResult& result, std::ostream& out, std::ostream& err) {
  WriteUtf8(out, result.text);
  if (!result.problem.empty()) err << "pagelift-cli: " << result.problem << '\n';
  return result.downloaded ? kDone : kFailureText;
}

}  // namespace

int RunFold(const std::vector<std::string>& words, std::istream& in, std::ostream& out) {
  const Arguments args = ParseArguments(words, {}, {"--width"}, 1);
  if (!args.Value("--width")) throw UsageError("fold needs --width W");
  const ByteArray bytes = ReadInput(FileOperand(args), in);
  // Read, folded and written piece by piece, so that the text is never held whole.
  LineWrapper wrapper(WidthOption(args), kPieceBytes);
  Utf8Reader reader;
  Utf8Writer writer(out);
  std::u16string text;
  std::u16string folded;
  ForEachPiece(bytes.Data(), kPieceBytes, [&](std::span<const std::uint8_t> piece, bool last) {
    reader.Read(piece, last, text);
    wrapper.Add(text, last);
    text.clear();
    wrapper.TakeText(folded);
    writer.Write(folded);
    folded.clear();
  });
  writer.Write(wrapper.Finish());
  writer.Finish();
  return kDone;
}

int RunText(const std::vector<std::string>& words, std::istream& in, std::ostream& out,
            std::ostream& err) {
  const Arguments args =
      ParseArguments(words, {"--html"}, {"--code", "--width", "--form", "--url"}, 1);
  const std::string operand = FileOperand(args);
  return PrintPageText(Input(operand, in), operand.empty() ? "-" : operand, SettingsOf(args), out,
                       err);
}

int PrintPageText(const Input& input, const std::string& name, const FetchSettings& settings,
                  std::ostream& out, std::ostream& err) {
  // The input stands for a download, whose count is a 32-bit number.
  if (input.Bytes().size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    throw UsageError("the input is too large (2 GB or more)");
  }
  // Written as it is made, so that the text is never held whole.
  Utf8Writer writer(out);
  bool written = false;
  const FetchResult result = PageTextInParts(
      input.Bytes(), settings,
      [&](std::u16string& part) {
        // Once the file is found to have shrunk, nothing more is written: what was written came
        // from its bytes before that.
        if (input.Intact()) {
          writer.Write(part);
          written = true;
        }
        part.clear();
      },
      kPieceBytes,
      [&](std::size_t read) {
        // A tree's memory grows with the page, so the bytes it was made of leave; the as-is
        // form holds little, and giving the pages back costs more time than it saves.
        if (settings.form != TextForm::kAsIs) input.Release(read);
      });
  if (!input.Intact()) throw UsageError("cannot read " + name + ": it shrank while it was read");
  if (result.downloaded) {
    writer.Finish();
    return kDone;
  }
  // A text that failed after its beginning was written cannot be taken back: the failure
  // text would only follow it.
  if (!written) WriteUtf8(out, result.text);
  return Print(FetchResult{false, {}, result.problem}, out, err);
}

int RunFetch(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  const Arguments args =
      ParseArguments(words, {"--html"}, {"--proxy", "--code", "--width", "--form"}, 1);
  if (args.operands.empty()) throw UsageError("fetch needs a URL");
  const FetchSettings settings = SettingsOf(args);
  return Print(FetchPageText(OptionText(args.operands[0]), settings, NonCodeClass()), out, err);
}

}  // namespace pagelift::cli
