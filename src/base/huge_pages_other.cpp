#include "base/huge_pages.h"

namespace pagelift {

void AdviseHugePages(const void*, std::size_t) {}

}  // namespace pagelift
