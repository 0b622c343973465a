#pragma once

#include <QObject>
#include <QString>
#include <chrono>
#include <filesystem>
#include <functional>

class QLocalServer;
class QLocalSocket;

namespace pagelift {

// One Pagelift per settings file, on Linux. The program that holds a lock on
// "<folder>/Pagelift-<hash>.lock" is the one for the settings file; it answers on the local
// socket "<folder>/Pagelift-<hash>" beside it. The folder is $XDG_RUNTIME_DIR, or a folder
// of the user's own in the temporary folder when that is unset; the hash is of the user
// and the settings file's full path. The lock is the kernel's (flock), so it goes with the
// process however the process ends: a lock file or a socket a crashed program left behind
// stops nobody.
class SingleInstance : public QObject {
 public:
  enum class Start {
    kFirst,     // this program is the one for the settings file: it runs on
    kAnswered,  // the running one has shown its dialog: this one ends with status 0
    kSilent,    // one runs but did not answer within the wait: say so, end with status 1
  };

  explicit SingleInstance(const std::filesystem::path& settings_file);
  ~SingleInstance() override;
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // Takes the lock, or asks the program that holds it to show its dialog, for `wait` at
  // most; takes the lock after all when that program ends meanwhile. Where the folder or
  // the lock cannot be had at all, the program runs as the first, and says why on
  // standard error.
  Start Claim(std::chrono::milliseconds wait);

  // The first start, once its dialog can be shown: listens on the socket (replacing one a
  // crashed program left), and from then on runs `show` for every later start, on this
  // thread, with the Wayland activation token that start was given, if any, in force.
  void Serve(std::function<void()> show);

  // The socket's path; empty before Claim or when there is none.
  const QString& SocketPath() const { return socket_path_; }

 private:
  bool AskToShow(std::chrono::steady_clock::time_point deadline) const;
  void Accept();
  void Answer(QLocalSocket* socket);

  std::filesystem::path settings_file_;
  QString socket_path_;
  int lock_ = -1;  // the open lock file; held locked while this program is the first
  bool first_ = false;
  QLocalServer* server_ = nullptr;
  std::function<void()> show_;
};

}  // namespace pagelift
