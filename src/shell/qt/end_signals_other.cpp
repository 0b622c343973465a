// Where there are no POSIX signals (Windows), the end of the session reaches the event
// loop through the window toolkit itself: nothing to watch.
#include "shell/qt/end_signals.h"

namespace pagelift {

EndSignals::EndSignals(std::function<void()> end) : end_(std::move(end)) {}

EndSignals::~EndSignals() = default;

void EndSignals::Drain() {
  end_();
}

}  // namespace pagelift
