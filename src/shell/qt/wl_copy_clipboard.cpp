#include "shell/qt/wl_copy_clipboard.h"

#include <sys/mman.h>
#include <unistd.h>

#include <QProcess>
#include <QTimer>
#include <cerrno>
#include <string_view>
#include <utility>

#include "convert/utf8_text.h"
#include "shell/qt/toolkit.h"

namespace pagelift {
namespace {

constexpr char16_t kFailed[] = u"クリップボードに書き込めませんでした。\n";

// A file in memory holding `bytes`, to be read from its start; -1 when it cannot be made.
int MemoryFile(const char* name, std::string_view bytes) {
  const int file = ::memfd_create(name, MFD_CLOEXEC);
  if (file < 0) return -1;
  while (!bytes.empty()) {
    const ssize_t written = ::write(file, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      ::close(file);
      return -1;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  if (::lseek(file, 0, SEEK_SET) != 0) {
    ::close(file);
    return -1;
  }
  return file;
}

// What wl-copy wrote to `file`, its standard error: a line or two at most.
QString ErrorText(int file) {
  char text[2048];
  const ssize_t size = ::pread(file, text, sizeof text, 0);
  return size > 0 ? QString::fromLocal8Bit(text, size).trimmed() : QString();
}

}  // namespace

struct WlCopyClipboard::Run {
  ~Run() {
    if (errors >= 0) ::close(errors);
  }
  QProcess* process = nullptr;
  // Holds wl-copy's standard error. Not a pipe: the process wl-copy leaves behind to
  // serve the text keeps it, and would be stopped by a pipe that nobody reads any more.
  int errors = -1;
  // Whether the request was a text, whose failure the user hears of.
  bool text = false;
  QString name;  // the program's, as the user is told of it
  bool stopped = false;
};

WlCopyClipboard::WlCopyClipboard(ModalMessage tell_user, QString program,
                                 std::chrono::milliseconds limit, QString paste_program,
                                 QString html_program)
    : tell_user_(std::move(tell_user)),
      program_(std::move(program)),
      limit_(limit),
      paste_program_(std::move(paste_program)),
      html_program_(std::move(html_program)) {}

std::optional<ClipboardStart> WlCopyClipboard::ReadStart(std::size_t limit) {
  using Clock = std::chrono::steady_clock;
  constexpr std::chrono::milliseconds kWait(250);
  const Clock::time_point deadline = Clock::now() + kWait;
  const auto left = [&deadline] {
    return static_cast<int>(std::max<std::int64_t>(
        0, std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count()));
  };
  QProcess paste;
  paste.setProgram(paste_program_);
  paste.setArguments(
      {QStringLiteral("--no-newline"), QStringLiteral("--type"), QStringLiteral("text")});
  paste.setStandardErrorFile(QProcess::nullDevice());
  paste.start(QIODevice::ReadOnly);
  if (!paste.waitForStarted(left())) return std::nullopt;
  // A UTF-8 unit takes at most three bytes; a few more tell whether there was more.
  const qint64 wanted = static_cast<qint64>(limit) * 3 + 4;
  QByteArray bytes;
  while (bytes.size() < wanted) {
    if (paste.bytesAvailable() == 0 &&
        (paste.state() == QProcess::NotRunning || !paste.waitForReadyRead(left()))) {
      break;
    }
    bytes += paste.read(wanted - bytes.size());
  }
  bool whole = true;
  if (paste.state() != QProcess::NotRunning) {
    paste.kill();
    paste.waitForFinished(1000);
    if (bytes.size() < wanted) return std::nullopt;  // too slow to tell
    whole = false;
  } else {
    bytes += paste.read(wanted - bytes.size());
    if (paste.exitStatus() != QProcess::NormalExit || paste.exitCode() != 0) return std::nullopt;
    whole = bytes.size() < wanted;
  }
  ClipboardStart start{Utf8ToText({reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                   static_cast<std::size_t>(bytes.size())}),
                       whole};
  if (start.text.size() > limit) {
    start.text.resize(limit);
    start.whole = false;
  }
  return start;
}

WlCopyClipboard::~WlCopyClipboard() {
  if (!running_) return;
  // A wl-copy that is reading its text is given a moment to finish: the user may have
  // seen the page arrive and will want to paste it after the program has ended.
  QProcess* process = running_->process;
  process->disconnect(this);
  process->waitForFinished(2000);
  delete process;
}

void WlCopyClipboard::Clear() {
  Ask({});
}

void WlCopyClipboard::SetText(const std::u16string& text, const std::u16string& html) {
  Request request{TextToUtf8(text), std::nullopt};
  if (!html.empty() && !html_program_.isEmpty()) request.html = TextToUtf8(html);
  Ask(std::move(request));
}

void WlCopyClipboard::Ask(Request request) {
  if (running_) {
    waiting_ = std::move(request);
    return;
  }
  Start(std::move(request));
}

void WlCopyClipboard::Start(Request request) {
  auto run = std::make_unique<Run>();
  run->text = request.utf8.has_value();
  const bool with_html = request.html.has_value();
  run->name = with_html ? QStringLiteral("pagelift-wl-clipboard") : QStringLiteral("wl-copy");
  const int input = run->text ? MemoryFile("pagelift-text", *request.utf8) : -1;
  const int html = with_html ? MemoryFile("pagelift-html", *request.html) : -1;
  request = {};
  run->errors = ::memfd_create("pagelift-wl-copy-errors", MFD_CLOEXEC);
  if ((run->text && input < 0) || (with_html && html < 0) || run->errors < 0) {
    if (input >= 0) ::close(input);
    if (html >= 0) ::close(html);
    if (run->text) Tell(QStringLiteral("メモリが足りません。"));
    return;
  }

  auto* process = new QProcess(this);
  run->process = process;
  // The HTML is the program's descriptor 3.
  constexpr int kHtmlDescriptor = 3;
  if (with_html) {
    process->setProgram(html_program_);
    process->setArguments({QStringLiteral("--html-fd"), QString::number(kHtmlDescriptor)});
  } else {
    process->setProgram(program_);
    process->setArguments(run->text ? QStringList{QStringLiteral("--type"),
                                                  QStringLiteral("text/plain;charset=utf-8")}
                                    : QStringList{QStringLiteral("--clear")});
  }
  process->setStandardInputFile(QProcess::nullDevice());
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setStandardErrorFile(QProcess::nullDevice());
  const int errors = run->errors;
  process->setChildProcessModifier([input, html, errors] {
    if (input >= 0) ::dup2(input, STDIN_FILENO);
    ::dup2(errors, STDERR_FILENO);
    if (html >= 0) ::dup2(html, kHtmlDescriptor);
    // The process left behind to serve the text lives on; it must not hold on to this
    // program's files and connections (a download's socket, say).
    ::close_range(html >= 0 ? kHtmlDescriptor + 1 : STDERR_FILENO + 1, ~0U, CLOSE_RANGE_CLOEXEC);
  });
  connect(process, &QProcess::finished, this,
          [this, process](int code, QProcess::ExitStatus status) {
            if (!running_ || running_->process != process) return;
            QString failure;
            const QString& name = running_->name;
            if (running_->stopped) {
              failure = QStringLiteral("%1 が %2 秒たっても終わりませんでした。")
                            .arg(name)
                            .arg(static_cast<double>(limit_.count()) / 1000);
            } else if (status == QProcess::CrashExit) {
              failure = QStringLiteral("%1 が異常終了しました。").arg(name);
            } else if (code != 0) {
              failure = ErrorText(running_->errors);
              if (failure.isEmpty())
                failure = QStringLiteral("%1 が終了コード %2 で終わりました。").arg(name).arg(code);
            }
            Finish(process, failure);
          });
  // A failed start is told from the event loop, not from inside Clear or SetText.
  connect(process, &QProcess::errorOccurred, this,
          [this, process, with_html](QProcess::ProcessError error) {
            if (error != QProcess::FailedToStart) return;
            QMetaObject::invokeMethod(
                this,
                [this, process, with_html] {
                  Finish(process,
                         with_html
                             ? QStringLiteral("pagelift-wl-clipboard を起動できませんでした。")
                             : QStringLiteral(
                                   "wl-copy を起動できませんでした（wl-clipboard が要ります）。"));
                },
                Qt::QueuedConnection);
          });
  QTimer::singleShot(limit_, process, [this, process] {
    if (!running_ || running_->process != process) return;
    running_->stopped = true;
    process->kill();
  });
  running_ = std::move(run);
  process->start();
  // The program has its own handles on the text and the HTML now.
  if (input >= 0) ::close(input);
  if (html >= 0) ::close(html);
}

void WlCopyClipboard::Finish(const QProcess* process, const QString& failure) {
  if (!running_ || running_->process != process) return;
  const std::unique_ptr<Run> run = std::move(running_);
  // Deleted later: this runs from the process's own signal.
  run->process->deleteLater();
  if (waiting_) {
    Request next = std::move(*waiting_);
    waiting_.reset();
    Start(std::move(next));
  }
  if (run->text && !failure.isEmpty()) Tell(failure);
}

void WlCopyClipboard::Tell(const QString& failure) {
  // One box at a time: the user is reading one already.
  if (telling_) return;
  telling_ = true;
  tell_user_(kFailed + FromQString(failure));
  telling_ = false;
}

}  // namespace pagelift
