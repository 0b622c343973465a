#pragma once

#include <QIcon>
#include <array>

namespace pagelift {

// The two tray pictures, 32 x 32 in 16 colours, drawn as XPM text in pictures/: idle (a
// black panel in a light raised frame, ruled by a dark-green grid), then busy (the same
// with a white zigzag line across).
std::array<QIcon, 2> TrayPictures();

}  // namespace pagelift
