#pragma once

#include <QObject>
#include <QString>
#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "shell/qt/clipboard.h"

class QProcess;

namespace pagelift {

// The Clipboard of a Wayland compositor, set by running wl-copy (wl-clipboard), which
// offers the text as "text/plain;charset=utf-8" and "text/plain" through the
// data-control protocol and serves it from a process of its own, so that it stays
// readable after this program ends. A text with its HTML goes to pagelift-wl-clipboard
// instead, which offers both from one source (wl-copy offers one type a process).
//
// One program runs at a time, so that an emptying cannot overtake the text that follows
// it; of the requests that wait meanwhile only the last counts, since each replaces the
// whole Clipboard. The program reads the text (and the HTML) from files in memory written
// before it starts: it gets all of it or, if it never starts, none, even when this program
// ends first.
class WlCopyClipboard final : public QObject, public Clipboard {
 public:
  // `tell_user` hears why a text did not reach the Clipboard; a failed emptying is not
  // told, since the text that follows replaces what was left. A wl-copy still running
  // after `limit` is stopped and counts as failed.
  // `html_program`: pagelift-wl-clipboard, or empty where it is not there (the text then
  // goes without its HTML).
  explicit WlCopyClipboard(ModalMessage tell_user, QString program = QStringLiteral("wl-copy"),
                           std::chrono::milliseconds limit = std::chrono::seconds(20),
                           QString paste_program = QStringLiteral("wl-paste"),
                           QString html_program = {});
  ~WlCopyClipboard() override;
  WlCopyClipboard(const WlCopyClipboard&) = delete;
  WlCopyClipboard& operator=(const WlCopyClipboard&) = delete;

  void Clear() override;
  void SetText(const std::u16string& text, const std::u16string& html = {}) override;
  // With wl-paste, which reads the Clipboard through the same protocol: the first bytes it
  // writes, and then it is stopped. Nothing when it gives no text within a moment.
  std::optional<ClipboardStart> ReadStart(std::size_t limit) override;

  // Whether a wl-copy runs or a request waits for one.
  bool Busy() const { return running_ != nullptr || waiting_.has_value(); }

 private:
  struct Request {
    // Nothing for an emptying.
    std::optional<std::string> utf8;
    std::optional<std::string> html;  // UTF-8, beside the text
  };
  struct Run;

  void Ask(Request request);
  void Start(Request request);
  // The running wl-copy `process` has ended; `failure` says why it did not set the
  // Clipboard, or is empty.
  void Finish(const QProcess* process, const QString& failure);
  void Tell(const QString& failure);

  ModalMessage tell_user_;
  QString program_;
  std::chrono::milliseconds limit_;
  QString paste_program_;
  QString html_program_;
  std::unique_ptr<Run> running_;
  std::optional<Request> waiting_;
  bool telling_ = false;
};

}  // namespace pagelift
