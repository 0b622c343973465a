#include <string>

#include "cli/arguments.h"
#include "cli/cli.h"
#include "cli/commands.h"
#include "cli/input.h"
#include "cli/options.h"
#include "cli/usage_error.h"
#include "convert/code_choice.h"
#include "convert/non_code_class.h"
#include "convert/page_decoder.h"
#include "convert/utf8_text.h"

namespace pagelift::cli {

namespace {

NonCodeClass CodesInMode(const Arguments& args, std::ostream& err) {
  NonCodeClass codes(
      [&err](const std::u16string& text) { err << "pagelift-cli: " << TextToUtf8(text) << '\n'; });
  const std::string mode = args.Value("--mode").value_or("0");
  if (mode != "0" && mode != "1") throw UsageError("--mode takes 0 or 1");
  codes.FuncRogic(mode == "1" ? 1 : 0);
  return codes;
}

}  // namespace

int RunDecode(const std::vector<std::string>& words, std::istream& in, std::ostream& out,
              std::ostream& err) {
  const Arguments args = ParseArguments(words, {}, {"--code", "--mode"}, 1);
  const CodeChoice choice = CodeOption(args, true);
  const NonCodeClass codes = CodesInMode(args, err);
  const ByteArray bytes = ReadInput(FileOperand(args), in);
  const Code code = CodeForChoice(choice, bytes);
  if (codes.FuncRogic() != 0) {
    WriteUtf8(out, DecodeAsCode(codes, code, bytes));
    return kDone;
  }
  // The stream back end's text, written piece by piece as it is decoded.
  Utf8Writer writer(out);
  std::u16string text;
  PageDecoder(code).DecodeAll(bytes.Data(), kPieceBytes, text, [&](bool) {
    writer.Write(text);
    text.clear();
  });
  writer.Finish();
  return kDone;
}

int RunEncode(const std::vector<std::string>& words, std::istream& in, std::ostream& out,
              std::ostream& err) {
  const Arguments args = ParseArguments(words, {"--bom"}, {"--code", "--mode"}, 1);
  const CodeChoice choice = CodeOption(args, true);
  if (!choice) throw UsageError("encode needs a fixed code, not automatic judgement");
  const NonCodeClass codes = CodesInMode(args, err);
  const std::u16string text = Utf8ToText(ReadInput(FileOperand(args), in).Data());
  const ByteArray bytes = EncodeAsCode(codes, *choice, text, args.Has("--bom"));
  const std::span<const std::uint8_t> data = bytes.Data();
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  return kDone;
}

}  // namespace pagelift::cli
