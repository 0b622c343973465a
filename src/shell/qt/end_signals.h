#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace pagelift {

// Turns SIGTERM, SIGINT and SIGHUP (a kill, Ctrl+C, the end of the terminal or the
// session) into a call of `end` on the user-interface thread. The signal handler only
// writes a byte into a pipe that the event loop watches: nothing polls. Only one may
// exist at a time; its destructor puts the earlier handlers back. Where there are no such
// signals it watches nothing.
class EndSignals : public QObject {
 public:
  explicit EndSignals(std::function<void()> end);
  ~EndSignals() override;
  EndSignals(const EndSignals&) = delete;
  EndSignals& operator=(const EndSignals&) = delete;

  // Whether the handlers are in place (a pipe could be made).
  bool watching() const { return notifier_ != nullptr; }

 private:
  void Drain();

  std::function<void()> end_;
  int pipe_[2] = {-1, -1};
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace pagelift
