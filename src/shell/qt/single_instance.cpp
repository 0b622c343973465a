#include "shell/qt/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>
#include <thread>

#include "app/single_instance.h"
#include "shell/qt/toolkit.h"

namespace pagelift {
namespace {

using Clock = std::chrono::steady_clock;

// A later start sends the request and the activation token it was given (if any) on one
// line; the first answers once its dialog is shown.
constexpr QByteArrayView kRequest = "PAGELIFT-SHOW ";
constexpr QByteArrayView kAnswer = "PAGELIFT-SHOWN\n";
// A request longer than this is no request of ours.
constexpr qsizetype kLongestRequest = 4096;

// $XDG_RUNTIME_DIR, or "pagelift-<uid>" in the temporary folder, made for the user alone
// and taken only when it is still the user's alone: where others may write, they could
// hold the lock or put a socket of theirs in place. Empty when there is no such folder.
QString RuntimeFolder() {
  const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty()) return QFile::decodeName(runtime);
  const QByteArray folder =
      QFile::encodeName(QDir::tempPath()) + "/pagelift-" + QByteArray::number(::getuid());
  if (::mkdir(folder.constData(), 0700) != 0 && errno != EEXIST) return {};
  struct stat status {};
  if (::lstat(folder.constData(), &status) != 0 || !S_ISDIR(status.st_mode) ||
      status.st_uid != ::getuid() || (status.st_mode & 077) != 0) {
    return {};
  }
  return QFile::decodeName(folder);
}

// The user, then the settings file's full path with its links resolved, each byte one
// unit: two users, or two paths that differ in any byte, give two keys.
std::u16string InstanceKey(const std::filesystem::path& settings_file) {
  std::error_code error;
  std::filesystem::path full = std::filesystem::absolute(settings_file, error);
  if (!error) full = std::filesystem::weakly_canonical(full, error);
  if (error) full = settings_file;
  const std::string user = std::to_string(::getuid());
  std::u16string key(user.begin(), user.end());
  key += u'\n';
  for (const unsigned char byte : full.native()) key += char16_t{byte};
  return key;
}

int MillisecondsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

}  // namespace

SingleInstance::SingleInstance(const std::filesystem::path& settings_file)
    : settings_file_(settings_file) {}

SingleInstance::~SingleInstance() {
  // The socket goes (QLocalServer removes its file) before the lock is let go: the next
  // first start would otherwise lose its own socket to this one's removal.
  delete server_;
  if (lock_ >= 0) ::close(lock_);
}

SingleInstance::Start SingleInstance::Claim(std::chrono::milliseconds wait) {
  const QString folder = RuntimeFolder();
  if (folder.isEmpty()) {
    qWarning("pagelift: no folder of the user's own for the lock; running without one");
    return Start::kFirst;
  }
  socket_path_ = folder + u'/' + ToQString(InstanceName(InstanceKey(settings_file_)));
  const QByteArray lock_path = QFile::encodeName(socket_path_ + QStringLiteral(".lock"));
  lock_ = ::open(lock_path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (lock_ < 0) {
    qWarning("pagelift: cannot open %s: %s; running without a lock", lock_path.constData(),
             std::strerror(errno));
    return Start::kFirst;
  }
  const Clock::time_point deadline = Clock::now() + wait;
  for (;;) {
    if (::flock(lock_, LOCK_EX | LOCK_NB) == 0) {
      first_ = true;
      return Start::kFirst;
    }
    if (errno != EWOULDBLOCK && errno != EINTR) {
      qWarning("pagelift: cannot lock %s: %s; running without a lock", lock_path.constData(),
               std::strerror(errno));
      return Start::kFirst;
    }
    if (AskToShow(deadline)) return Start::kAnswered;
    if (Clock::now() >= deadline) return Start::kSilent;
    // The first may not listen yet: it started a moment ago, or replaces a crashed one.
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

bool SingleInstance::AskToShow(Clock::time_point deadline) const {
  QLocalSocket socket;
  socket.connectToServer(socket_path_);
  if (!socket.waitForConnected(MillisecondsUntil(deadline))) return false;
  QByteArray token = qgetenv("XDG_ACTIVATION_TOKEN");
  token.replace('\n', QByteArray()).truncate(kLongestRequest - kRequest.size() - 1);
  socket.write(kRequest.toByteArray() + token + '\n');
  QByteArray answer;
  while (!answer.contains('\n') && answer.size() <= kAnswer.size()) {
    if (!socket.waitForReadyRead(MillisecondsUntil(deadline))) return false;
    answer += socket.readAll();
  }
  return answer == kAnswer;
}

void SingleInstance::Serve(std::function<void()> show) {
  if (!first_) return;
  show_ = std::move(show);
  // Only the lock's holder removes a socket: it can only be one a crashed program left.
  QLocalServer::removeServer(socket_path_);
  server_ = new QLocalServer(this);
  connect(server_, &QLocalServer::newConnection, this, &SingleInstance::Accept);
  if (!server_->listen(socket_path_)) {
    qWarning("pagelift: cannot listen on %s: %s", qPrintable(socket_path_),
             qPrintable(server_->errorString()));
  }
}

void SingleInstance::Accept() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Answer(socket); });
    // A caller that does not finish its request in time is let go.
    QTimer::singleShot(kAnswerWait, socket, [socket] { socket->abort(); });
  }
}

void SingleInstance::Answer(QLocalSocket* socket) {
  if (!socket->canReadLine()) {
    if (socket->bytesAvailable() > kLongestRequest) socket->abort();
    return;
  }
  const QByteArray line = socket->readLine(kLongestRequest + 1);
  if (!line.startsWith(kRequest) || !line.endsWith('\n')) {
    socket->abort();
    return;
  }
  const QByteArray token = line.sliced(kRequest.size()).chopped(1);
  // Qt's Wayland window comes in front with the token in this variable, or with one it
  // asks for itself when it is empty (not with this program's own, long spent); elsewhere
  // the variable means nothing.
  const bool wayland = QGuiApplication::platformName() == u"wayland";
  if (wayland) qputenv("XDG_ACTIVATION_TOKEN", token);
  show_();
  if (wayland) qunsetenv("XDG_ACTIVATION_TOKEN");
  socket->write(kAnswer.toByteArray());
  socket->disconnectFromServer();  // once the answer is written
}

}  // namespace pagelift
