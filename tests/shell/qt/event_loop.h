#pragma once

#include <QCoreApplication>
#include <QThread>
#include <chrono>
#include <functional>

namespace pagelift::test {

// Runs the event loop until `done` holds, for at most 10 s.
inline bool WaitUntil(const std::function<bool()>& done) {
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > limit) return false;
    QCoreApplication::processEvents();
    QThread::msleep(2);
  }
  return true;
}

}  // namespace pagelift::test
