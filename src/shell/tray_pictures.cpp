#include "shell/tray_pictures.h"

#include <QPixmap>

namespace pagelift {
namespace {

#include "shell/pictures/busy.xpm"
#include "shell/pictures/idle.xpm"

}  // namespace

std::array<QIcon, 2> TrayPictures() {
  return {QIcon(QPixmap(idle_xpm)), QIcon(QPixmap(busy_xpm))};
}

}  // namespace pagelift
