#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "convert/bom.h"
#include "fuzz_check.h"

using namespace pagelift;

namespace {

// The cut as plainly as it can be written: compare the mark at every position.
std::vector<std::uint8_t> PlainCut(const std::vector<std::uint8_t>& bytes,
                                   const std::vector<std::uint8_t>& mark) {
  std::vector<std::uint8_t> kept;
  std::size_t i = 0;
  while (i < bytes.size()) {
    if (bytes.size() - i >= mark.size() &&
        std::equal(mark.begin(), mark.end(), bytes.begin() + static_cast<std::ptrdiff_t>(i))) {
      i += mark.size();
    } else {
      kept.push_back(bytes[i++]);
    }
  }
  return kept;
}

}  // namespace

// The first byte gives the mark's length (1 to 4); the mark follows, then the array.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t mark_size = std::min<std::size_t>(1 + data[0] % 4, size - 1);
  if (mark_size == 0) return 0;
  const std::vector<std::uint8_t> mark(data + 1, data + 1 + mark_size);
  const std::vector<std::uint8_t> bytes(data + 1 + mark_size, data + size);

  const ByteArray cut = CutBOM(ByteArray(bytes), ByteArray(mark));
  const std::vector<std::uint8_t> expected = PlainCut(bytes, mark);
  if (expected.empty()) {
    FUZZ_CHECK(cut == ByteArray::Marker());
  } else {
    FUZZ_CHECK(cut == ByteArray(expected));
  }

  const ByteArray added = AddBOM(ByteArray(bytes), ByteArray(mark));
  FUZZ_CHECK(added.Data().size() == mark.size() + bytes.size());
  FUZZ_CHECK(std::equal(mark.begin(), mark.end(), added.Data().begin()));
  FUZZ_CHECK(std::equal(bytes.begin(), bytes.end(),
                        added.Data().begin() + static_cast<std::ptrdiff_t>(mark.size())));
  return 0;
}
