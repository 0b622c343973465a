#include "base/fault_ahead.h"

namespace pagelift {

void FaultIn(const void*, std::size_t) {}

}  // namespace pagelift
