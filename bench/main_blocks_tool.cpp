// pagelift-main-blocks: what the main form knows of a page's blocks, for choosing its model
// (scripts/main_model/). Reads FILE's bytes, judges their code as "自動判定" does, and writes
// a line with the page's title ("#title", a tab, the title), a line of its blocks ("#tree", then
// for each block the block it is in, the end of its blocks, its kind and its text), then a
// line for each block with
// text of its own: its number, its features (tab-separated, in the order of the header line)
// and its own text. With --model, writes instead the main form of the page folded at 100
// columns, as UTF-8, with the model of MODEL (a file of scripts/main_model/train.py) in place
// of the program's. Not installed.
//
// Usage: pagelift-main-blocks [--header] FILE
//        pagelift-main-blocks --model MODEL FILE

#include <cstdint>
#include <cstdio>
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
#include "html/document.h"
#include "text/main_blocks.h"
#include "text/main_features.h"
#include "text/main_model.h"
#include "text/main_text.h"
#include "text/readable_text.h"

namespace {

using pagelift::MainBlock;
using pagelift::html::Document;
using pagelift::html::NodeId;

// Each block's own text, blanks run together, in the order of MainBlocks.
std::vector<std::u16string> OwnTexts(const Document& document, const pagelift::MainBlocks& blocks) {
  std::vector<std::u16string> texts(blocks.blocks().size());
  std::vector<std::uint32_t> open;  // the block of each element entered, or kNone
  std::uint32_t next = 0;
  NodeId node = document.FirstChild(Document::kRoot);
  auto nearest = [&] {
    for (auto it = open.rbegin(); it != open.rend(); ++it) {
      if (*it != MainBlock::kNone) return *it;
    }
    return MainBlock::kNone;
  };
  while (node != pagelift::html::kNoNode) {
    bool entered = false;
    if (document.Kind(node) == pagelift::html::NodeKind::kElement) {
      if (pagelift::MainRoleOf(document, node) != pagelift::Role::kDropped) {
        const bool block = next < blocks.blocks().size() && blocks.blocks()[next].node == node;
        open.push_back(block ? next++ : MainBlock::kNone);
        entered = document.FirstChild(node) != pagelift::html::kNoNode;
        if (!entered) open.pop_back();
      }
    } else if (document.Kind(node) == pagelift::html::NodeKind::kText) {
      const std::uint32_t at = nearest();
      if (at != MainBlock::kNone) {
        std::u16string& text = texts[at];
        for (const char16_t c : document.Text(node)) {
          const bool blank = c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
          if (blank) {
            if (!text.empty() && text.back() != u' ') text.push_back(u' ');
          } else {
            text.push_back(c);
          }
        }
        if (!text.empty() && text.back() != u' ') text.push_back(u' ');
      }
    }
    if (entered) {
      node = document.FirstChild(node);
      continue;
    }
    while (node != pagelift::html::kNoNode &&
           document.NextSibling(node) == pagelift::html::kNoNode) {
      node = document.Parent(node);
      if (node == Document::kRoot) node = pagelift::html::kNoNode;
      if (node != pagelift::html::kNoNode) open.pop_back();
    }
    if (node != pagelift::html::kNoNode) node = document.NextSibling(node);
  }
  return texts;
}

}  // namespace

int main(int argc, char** argv) {
  bool header = false;
  const char* file = nullptr;
  const char* model_file = nullptr;
  bool margins = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--header") == 0) {
      header = true;
    } else if (std::strcmp(argv[i], "--margins") == 0) {
      margins = true;
    } else if (std::strcmp(argv[i], "--model") == 0 && i + 1 < argc) {
      model_file = argv[++i];
    } else {
      file = argv[i];
    }
  }
  if (header) {
    std::cout << "unit\tblock\tparent\tend\tkind";
    for (const char* name : pagelift::kMainFeatureNames) std::cout << '\t' << name;
    std::cout << "\ttext\n";
    if (!file) return 0;
  }
  std::ifstream in(file ? file : "", std::ios::binary);
  if (!file || !in) {
    std::cerr << "usage: pagelift-main-blocks [--header] FILE\n";
    return 2;
  }
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
  const std::span<const std::uint8_t> data(bytes);
  std::u16string page;
  pagelift::PageDecoder(pagelift::CodeForChoice(std::nullopt, data))
      .DecodeAll(data, data.size() + 1, page, [](bool) {});
  if (model_file) {
    std::ifstream model_in(model_file);
    std::string error;
    const std::optional<pagelift::MainModel> model =
        pagelift::MainModel::Read(model_in, pagelift::kMainFeatureNames, error);
    if (!model) {
      std::cerr << "pagelift-main-blocks: " << model_file << ": " << error << '\n';
      return 2;
    }
    pagelift::WriteUtf8(std::cout, pagelift::MainTextForm(page, 100, *model).text);
    return 0;
  }
  const Document document = pagelift::html::ParseDocument(page, pagelift::html::Scripting::kOff);
  const pagelift::MainBlocks blocks(document);
  const pagelift::MainFeatures features(blocks, pagelift::TitleOf(document));
  const std::vector<std::u16string> texts = OwnTexts(document, blocks);
  if (margins) {
    std::vector<float> values(pagelift::kMainFeatureCount);
    float margin = 0;
    char number[32];
    for (std::size_t unit = 0; unit < features.units().size(); ++unit) {
      features.Of(unit, values.data());
      pagelift::MainModel::Compiled().Margins(values.data(), values.size(), 1, &margin);
      std::snprintf(number, sizeof number, "%.9g\n", static_cast<double>(margin));
      std::cout << number;
    }
    return 0;
  }
  std::u16string title = pagelift::TitleOf(document);
  for (char16_t& c : title) {
    if (c == u'\t' || c == u'\n' || c == u'\r') c = u' ';
  }
  std::cout << "#title\t";
  pagelift::WriteUtf8(std::cout, title);
  std::cout << '\n';
  // Every block, with text or not: the block it is in, the end of its blocks, its kind.
  std::cout << "#tree";
  for (const MainBlock& b : blocks.blocks()) {
    std::cout << '\t' << (b.parent == MainBlock::kNone ? std::int64_t{-1} : std::int64_t{b.parent})
              << ' ' << b.end << ' ' << b.kind_hash << ' ' << b.total_text;
  }
  std::cout << '\n';
  std::vector<float> values(pagelift::kMainFeatureCount);
  std::string line;
  char number[32];
  for (std::size_t unit = 0; unit < features.units().size(); ++unit) {
    features.Of(unit, values.data());
    const std::uint32_t block = features.units()[unit];
    const MainBlock& b = blocks.blocks()[block];
    line =
        std::to_string(unit) + '\t' + std::to_string(block) + '\t' +
        std::to_string((b.parent == MainBlock::kNone ? std::int64_t{-1} : std::int64_t{b.parent})) +
        '\t' + std::to_string(b.end) + '\t' + std::to_string(b.kind_hash);
    for (const float value : values) {
      std::snprintf(number, sizeof number, "\t%.9g", static_cast<double>(value));
      line += number;
    }
    std::cout << line << '\t';
    std::u16string text = texts[block];
    for (char16_t& c : text) {
      if (c == u'\t') c = u' ';
    }
    pagelift::WriteUtf8(std::cout, text);
    std::cout << '\n';
  }
  return 0;
}
