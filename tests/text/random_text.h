#pragma once

#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pagelift::test {

// Texts made of pieces drawn at random, so that the pieces meet in every order: markers
// cut in two, nested, glued to line ends and to each other.
class RandomText {
 public:
  explicit RandomText(std::vector<std::u16string_view> pieces) : pieces_(std::move(pieces)) {}

  std::u16string Next(std::size_t most_pieces) {
    std::uniform_int_distribution<std::size_t> count(0, most_pieces);
    std::uniform_int_distribution<std::size_t> pick(0, pieces_.size() - 1);
    std::u16string text;
    for (std::size_t n = count(engine_); n > 0; --n) text += pieces_[pick(engine_)];
    return text;
  }

  std::mt19937& Engine() { return engine_; }

 private:
  std::vector<std::u16string_view> pieces_;
  std::mt19937 engine_{20261207};  // fixed, so that a failure repeats
};

}  // namespace pagelift::test
