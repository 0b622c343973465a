// On Linux the desktop is X11 or a Wayland compositor; Wayland needs its own way to the
// Clipboard (see clipboard.h).
#include <wayland-client.h>

#include <QByteArray>
#include <QClipboard>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QtGlobal>
#include <cstdint>
#include <string_view>

#include "shell/qt/clipboard.h"
#include "shell/qt/clipboard_x11.h"
#include "shell/qt/toolkit.h"
#include "shell/qt/wl_copy_clipboard.h"

namespace pagelift {
namespace {

// Whether the compositor offers a data-control manager, the protocol through which
// clipboard tools set the Clipboard without focus.
bool OffersDataControl(wl_display* display) {
  static constexpr wl_registry_listener kListener = {
      [](void* found, wl_registry*, std::uint32_t, const char* interface, std::uint32_t) {
        const std::string_view name(interface);
        if (name == "ext_data_control_manager_v1" || name == "zwlr_data_control_manager_v1")
          *static_cast<bool*>(found) = true;
      },
      [](void*, wl_registry*, std::uint32_t) {},
  };
  bool found = false;
  wl_registry* registry = wl_display_get_registry(display);
  if (!registry) return false;
  wl_registry_add_listener(registry, &kListener, &found);
  const bool answered = wl_display_roundtrip(display) >= 0;
  wl_registry_destroy(registry);
  return answered && found;
}

// pagelift-wl-clipboard: beside the program in its build, or where the package puts it
// (/usr/libexec/pagelift beside /usr/bin); empty when it is in neither place.
QString HtmlClipboardProgram() {
  const QString folder = QCoreApplication::applicationDirPath();
  for (const QString& path :
       {folder + QStringLiteral("/pagelift-wl-clipboard"),
        folder + QStringLiteral("/../libexec/pagelift/pagelift-wl-clipboard")}) {
    const QFileInfo file(path);
    if (file.isFile() && file.isExecutable()) return file.absoluteFilePath();
  }
  return {};
}

}  // namespace

ClipboardWay ChooseClipboardWay() {
  // A display named only by default may belong to another session: X11 stays X11.
  if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) return ClipboardWay::kToolkit;
  wl_display* display = wl_display_connect(nullptr);
  if (!display) return ClipboardWay::kToolkit;
  const bool data_control = OffersDataControl(display);
  wl_display_disconnect(display);
  // Without XWayland wl-copy is the one chance left: it has a way of its own, and says
  // so when that fails too.
  if (data_control || qEnvironmentVariableIsEmpty("DISPLAY")) return ClipboardWay::kWlCopy;
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  if (platform.isEmpty() || platform.startsWith("wayland")) qputenv("QT_QPA_PLATFORM", "xcb");
  return ClipboardWay::kToolkit;
}

std::unique_ptr<Clipboard> MakeClipboard(ClipboardWay way, ModalMessage tell_user) {
  if (way == ClipboardWay::kToolkit) return nullptr;
  return std::make_unique<WlCopyClipboard>(std::move(tell_user), QStringLiteral("wl-copy"),
                                           std::chrono::seconds(20), QStringLiteral("wl-paste"),
                                           HtmlClipboardProgram());
}

std::optional<ClipboardStart> ReadToolkitClipboardStart(std::size_t limit) {
  if (QGuiApplication::platformName() == QLatin1String("xcb")) {
    // The owner answers within a moment, or the menu goes on without the Clipboard.
    return ReadX11ClipboardStart(limit, std::chrono::milliseconds(250));
  }
  std::u16string text = FromQString(QGuiApplication::clipboard()->text());
  const bool whole = text.size() <= limit;
  if (!whole) text.resize(limit);
  return ClipboardStart{std::move(text), whole};
}

}  // namespace pagelift
