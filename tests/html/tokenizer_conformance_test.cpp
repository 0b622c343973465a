// The html5lib tokenizer suite: every case of each file's "tests" list, from each of its
// initial states, tokens compared after the suite's own normalisation (adjacent character
// tokens joined, doubleEscaped text unescaped once more). Parse errors are not compared. Each
// run is made with the input whole and again cut into pieces in several ways.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "html/test_data.h"
#include "html/tokenizer.h"

namespace pagelift::html {
namespace {

using testing::Feed;
using testing::Utf16;
using testing::Utf8;

// A token as the suite writes it.
struct Expected {
  std::string kind;  // DOCTYPE, StartTag, EndTag, Comment, Character
  std::u16string text;
  std::optional<std::u16string> public_id, system_id;
  bool has_name = true;
  bool flag = false;  // DOCTYPE: correct (not force-quirks); StartTag: self-closing
  std::map<std::u16string, std::u16string> attributes;
  bool operator==(const Expected&) const = default;
};

// Undoes the "\uXXXX" escapes of a doubleEscaped case.
std::u16string Unescape(const std::u16string& text) {
  std::u16string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\\' && i + 5 < text.size() + 0 && text[i + 1] == u'u') {
      out.push_back(static_cast<char16_t>(std::stoi(Utf8(text.substr(i + 2, 4)), nullptr, 16)));
      i += 5;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

void Append(std::vector<Expected>& tokens, Expected token) {
  if (token.kind == "Character" && !tokens.empty() && tokens.back().kind == "Character") {
    tokens.back().text += token.text;
  } else {
    tokens.push_back(std::move(token));
  }
}

std::vector<Expected> ExpectedTokens(const nlohmann::json& output, bool escaped) {
  const auto text = [escaped](const nlohmann::json& value) {
    const std::u16string units = Utf16(value.get<std::string>());
    return escaped ? Unescape(units) : units;
  };
  std::vector<Expected> tokens;
  for (const nlohmann::json& item : output) {
    Expected token;
    token.kind = item[0].get<std::string>();
    if (token.kind == "DOCTYPE") {
      token.has_name = !item[1].is_null();
      if (token.has_name) token.text = text(item[1]);
      if (!item[2].is_null()) token.public_id = text(item[2]);
      if (!item[3].is_null()) token.system_id = text(item[3]);
      token.flag = item[4].get<bool>();
    } else {
      token.text = text(item[1]);
      if (token.kind == "StartTag") {
        for (const auto& [name, value] : item[2].items()) {
          token.attributes[Unescape(Utf16(name))] = text(value);
        }
        token.flag = item.size() > 3 && item[3].get<bool>();
      }
    }
    Append(tokens, std::move(token));
  }
  return tokens;
}

std::vector<Expected> Tokenize(std::u16string_view input, TextState state,
                               const std::u16string& last_start_tag, const Feed* feed = nullptr) {
  auto tokenizer = feed ? std::make_unique<Tokenizer>() : std::make_unique<Tokenizer>(input);
  tokenizer->SwitchTo(state);
  tokenizer->SetLastStartTag(last_start_tag);
  const std::vector<std::u16string_view> pieces =
      feed ? testing::CutUp(input, *feed) : std::vector<std::u16string_view>();
  std::size_t piece = 0;
  bool ended = feed == nullptr;
  const auto give = [&] {
    if (piece == pieces.size()) {
      tokenizer->EndOfInput();
      ended = true;
    } else {
      tokenizer->Append(pieces[piece++]);
    }
  };
  std::vector<Expected> tokens;
  for (;;) {
    if (feed && feed->eager && piece < pieces.size()) give();
    const Token& t = tokenizer->Next();
    Expected token;
    switch (t.kind) {
      case TokenKind::kNeedInput:
        if (ended) {
          token.kind = "input asked for after its end";
          tokens.push_back(std::move(token));
          return tokens;
        }
        give();
        continue;
      case TokenKind::kEndOfFile:
        return tokens;
      case TokenKind::kCharacters:
        token.kind = "Character";
        break;
      case TokenKind::kStartTag:
        token.kind = "StartTag";
        token.flag = t.self_closing;
        for (const Attribute& a : t.attributes) {
          token.attributes[std::u16string(a.name)] = std::u16string(a.value);
        }
        break;
      case TokenKind::kEndTag:
        token.kind = "EndTag";
        break;
      case TokenKind::kComment:
        token.kind = "Comment";
        break;
      case TokenKind::kDoctype:
        token.kind = "DOCTYPE";
        token.has_name = t.has_name;
        if (t.has_public_id) token.public_id = std::u16string(t.public_id);
        if (t.has_system_id) token.system_id = std::u16string(t.system_id);
        token.flag = !t.force_quirks;
        break;
    }
    token.text = t.text;
    Append(tokens, std::move(token));
  }
}

std::string Describe(const std::vector<Expected>& tokens) {
  std::string out;
  for (const Expected& t : tokens) {
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) of "..." + std::string.
    const auto quoted = [&out](const char* before, const std::string& text) {
      out += before;
      out += '"';
      out += text;
      out += '"';
    };
    out += "  [";
    out += t.kind;
    quoted(" ", Utf8(t.text));
    if (t.public_id) quoted(" public ", Utf8(*t.public_id));
    if (t.system_id) quoted(" system ", Utf8(*t.system_id));
    for (const auto& [name, value] : t.attributes) {
      out += ' ';
      out += Utf8(name);
      quoted("=", Utf8(value));
    }
    out += t.flag ? " +]\n" : "]\n";
  }
  return out;
}

TextState StateNamed(const std::string& name) {
  static const std::map<std::string, TextState> kStates = {
      {"Data state", TextState::kData},
      {"PLAINTEXT state", TextState::kPlaintext},
      {"RCDATA state", TextState::kRcdata},
      {"RAWTEXT state", TextState::kRawtext},
      {"Script data state", TextState::kScriptData},
      {"CDATA section state", TextState::kCdataSection},
  };
  return kStates.at(name);
}

TEST(TokenizerConformanceTest, PassesHtml5libTokenizerSuite) {
  const std::filesystem::path suite = testing::Html5libTests();
  if (suite.empty()) GTEST_SKIP() << "no ../shared/data/html5lib-tests beside the sources";
  int held = 0, cases = 0, runs = 0, failed = 0, piece_runs = 0, piece_failed = 0;
  for (const auto& file : testing::FilesOf(suite / "tokenizer", ".test")) {
    const nlohmann::json tests = nlohmann::json::parse(testing::Contents(file));
    if (!tests.contains("tests")) continue;
    held += static_cast<int>(tests["tests"].size());
    for (const nlohmann::json& test : tests["tests"]) {
      const bool escaped = test.value("doubleEscaped", false);
      std::u16string input = Utf16(test["input"].get<std::string>());
      if (escaped) input = Unescape(input);
      const std::vector<Expected> expected = ExpectedTokens(test["output"], escaped);
      const std::u16string last =
          test.contains("lastStartTag") ? Utf16(test["lastStartTag"].get<std::string>()) : u"";
      const nlohmann::json states =
          test.contains("initialStates") ? test["initialStates"] : nlohmann::json{"Data state"};
      ++cases;
      for (const nlohmann::json& state : states) {
        ++runs;
        const std::vector<Expected> got = Tokenize(input, StateNamed(state), last);
        if (got != expected && ++failed <= 20) {
          ADD_FAILURE() << file.filename().string() << ": " << test["description"] << " ("
                        << state.get<std::string>() << ")\nexpected:\n"
                        << Describe(expected) << "got:\n"
                        << Describe(got);
        }
        for (const Feed& feed : testing::FeedsFor(input.size())) {
          ++piece_runs;
          const std::vector<Expected> in_pieces = Tokenize(input, StateNamed(state), last, &feed);
          if (in_pieces != expected && ++piece_failed <= 20) {
            ADD_FAILURE() << file.filename().string() << ": " << test["description"] << " ("
                          << state.get<std::string>() << ", " << feed.name << ")\nexpected:\n"
                          << Describe(expected) << "got:\n"
                          << Describe(in_pieces);
          }
        }
      }
    }
  }
  std::printf(
      "html5lib tokenizer: %d cases (%d runs), %d runs failed; in pieces %d runs, %d failed\n",
      cases, runs, failed, piece_runs, piece_failed);
  EXPECT_EQ(failed, 0);
  EXPECT_EQ(piece_failed, 0);
  // Every case the files hold ran; the floor catches a file that went missing.
  EXPECT_EQ(cases, held);
  EXPECT_GE(cases, 6806);
  EXPECT_GE(runs, 7032);
}

}  // namespace
}  // namespace pagelift::html
