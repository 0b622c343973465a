#include "shell/qt/tray_pictures.h"

#include <QPixmap>

namespace pagelift {
namespace {

#include "shell/qt/pictures/busy.xpm"
#include "shell/qt/pictures/idle.xpm"

}  // namespace

std::array<QIcon, 2> TrayPictures() {
  return {QIcon(QPixmap(idle_xpm)), QIcon(QPixmap(busy_xpm))};
}

}  // namespace pagelift
