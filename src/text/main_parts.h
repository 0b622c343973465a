#pragma once

#include <cstdint>
#include <vector>

#include "html/document.h"
#include "text/main_blocks.h"

namespace pagelift {

class LayoutSink;

// The parts of a page that its main form keeps: the blocks whose own text it gives (their
// inline content, not the blocks in them, which are kept or not on their own), in document
// order. A writer of the main form walks the page with them (ForEachKept), entering only the
// elements that hold a kept block.
class MainParts {
 public:
  // `keep`: for each block of `blocks`, whether its own text is kept.
  MainParts(const MainBlocks& blocks, const std::vector<bool>& keep);

  // The kept blocks, in document order.
  const std::vector<html::NodeId>& kept() const { return kept_; }
  bool empty() const { return kept_.empty(); }
  // Whether the element is a kept block.
  bool Kept(html::NodeId node) const { return Bit(kept_bits_, node); }
  // Whether the element is a kept block or holds one.
  bool Holds(html::NodeId node) const { return Bit(holds_bits_, node); }

 private:
  static bool Bit(const std::vector<std::uint64_t>& bits, html::NodeId node) {
    return (bits[node >> 6] >> (node & 63) & 1) != 0;
  }
  std::vector<html::NodeId> kept_;
  std::vector<std::uint64_t> kept_bits_;
  std::vector<std::uint64_t> holds_bits_;
};

// Hands `layout` the kept parts of the page, as LayOut hands it a whole page: the elements
// that hold a kept block, and inside a kept block its inline content, with the roles of
// MainRoleOf. Pictures give no alternative text here. No recursion.
void LayOutParts(const html::Document& document, const MainParts& parts, LayoutSink& layout);

}  // namespace pagelift
