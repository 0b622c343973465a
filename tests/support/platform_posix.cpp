#include "support/platform.h"

namespace pagelift::test {

// ICU stands in for every code page off Windows.
bool HasCodePage(int) {
  return true;
}

bool UnderWine() {
  return false;
}

}  // namespace pagelift::test
