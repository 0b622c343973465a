#pragma once

#include <functional>
#include <string>

namespace pagelift {

// Shows `text` in a modal message box with the error icon and one OK button, and
// returns when the user has closed it. The window toolkit provides it; an empty
// function shows nothing.
using ModalMessage = std::function<void(const std::u16string& text)>;

}  // namespace pagelift
