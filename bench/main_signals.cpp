// pagelift-main-signals: the main form of a page with some of its signals switched off, to
// measure what each adds (bench/text_quality.sh). Reads FILE's bytes, judges their code as
// "自動判定" does, and writes the main form, folded at 100 columns, as UTF-8. Not installed.
//
// Usage: pagelift-main-signals [--off SIGNAL]... [--tell] FILE
//   SIGNAL: prose, link_density, class_names, tags, story_lists, pictures, title_lines,
//           lead_in, off_screen
//   --tell: also write "article" or "none" on standard error: whether a block stood out.

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "convert/code_choice.h"
#include "convert/page_decoder.h"
#include "convert/utf8_text.h"
#include "text/main_text.h"

namespace {

using pagelift::MainSignals;

bool* SignalNamed(MainSignals& signals, const std::string& name) {
  const struct {
    const char* name;
    bool MainSignals::*signal;
  } names[] = {{"prose", &MainSignals::prose},
               {"link_density", &MainSignals::link_density},
               {"class_names", &MainSignals::class_names},
               {"tags", &MainSignals::tags},
               {"story_lists", &MainSignals::story_lists},
               {"pictures", &MainSignals::pictures},
               {"title_lines", &MainSignals::title_lines},
               {"lead_in", &MainSignals::lead_in},
               {"off_screen", &MainSignals::off_screen}};
  for (const auto& n : names) {
    if (name == n.name) return &(signals.*n.signal);
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  MainSignals signals;
  bool tell = false;
  const char* file = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--off") == 0 && i + 1 < argc) {
      bool* signal = SignalNamed(signals, argv[++i]);
      if (!signal) {
        std::cerr << "pagelift-main-signals: no signal " << argv[i] << '\n';
        return 2;
      }
      *signal = false;
    } else if (std::strcmp(argv[i], "--tell") == 0) {
      tell = true;
    } else {
      file = argv[i];
    }
  }
  std::ifstream in(file ? file : "", std::ios::binary);
  if (!file || !in) {
    std::cerr << "usage: pagelift-main-signals [--off SIGNAL]... [--tell] FILE\n";
    return 2;
  }
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
  const std::span<const std::uint8_t> data(bytes);
  std::u16string page;
  pagelift::PageDecoder(pagelift::CodeForChoice(std::nullopt, data))
      .DecodeAll(data, data.size() + 1, page, [](bool) {});
  const pagelift::MainForm form = pagelift::MainTextForm(page, 100, signals);
  pagelift::WriteUtf8(std::cout, form.text);
  if (tell) std::cerr << (form.article ? "article" : "none") << '\n';
  return 0;
}
