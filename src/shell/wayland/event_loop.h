#pragma once

#include <wayland-client.h>

#include <chrono>

#include "shell/wayland/transfers.h"

namespace pagelift::wl_clipboard {

enum class Turn {
  // Events were dispatched, or are ready to be: look again at what they changed.
  kGoing,
  // Nothing happened within the time given.
  kTimedOut,
  // The connection to the compositor failed, or it went away.
  kBroken,
};

// One turn of the loop that serves the compositor and the sends of `transfers` together:
// dispatches the events read before, or else sends the requests made, waits up to
// `limit` (or, when it is negative, as long as it takes) for the compositor or for
// room in a send, writes the sends that have room and reads the compositor's events.
// The caller checks its own state after each turn.
Turn TurnOnce(wl_display* display, Transfers& transfers, std::chrono::milliseconds limit);

// Sends the requests made and waits up to `limit` until the compositor has handled them,
// dispatching its events meanwhile and writing the sends that have room. False when the
// connection failed or the compositor did not answer in time.
bool RoundTrip(wl_display* display, Transfers& transfers, std::chrono::milliseconds limit);

}  // namespace pagelift::wl_clipboard
