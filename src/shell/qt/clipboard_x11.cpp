#include "shell/qt/clipboard_x11.h"

#include <poll.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "convert/utf8_text.h"

namespace pagelift {

namespace {

struct Disconnect {
  void operator()(xcb_connection_t* c) const { xcb_disconnect(c); }
};
using Connection = std::unique_ptr<xcb_connection_t, Disconnect>;

// The next event for `window` that `wanted` takes, within `wait`; false without one.
template <typename Wanted>
bool WaitForEvent(xcb_connection_t* c, std::chrono::milliseconds wait, Wanted wanted) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + wait;
  pollfd descriptor{xcb_get_file_descriptor(c), POLLIN, 0};
  for (;;) {
    while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
      const bool taken = wanted(event);
      std::free(event);
      if (taken) return true;
    }
    if (xcb_connection_has_error(c)) return false;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0 || poll(&descriptor, 1, static_cast<int>(left)) <= 0) return false;
  }
}

// A large text comes in increments, and its owner sends them all once the first is asked
// for, whether the requestor wants them or not: some owners (xclip) serve nobody else
// until one transfer is done, others do not survive its window going away in the middle.
// So the increments are taken on a thread of its own and thrown away, and the menu does
// not wait for them.
void TakeIncrementsAway(Connection connection, xcb_window_t window, xcb_atom_t property) {
  std::thread([connection = std::move(connection), window, property]() mutable {
    xcb_connection_t* const c = connection.get();
    xcb_delete_property(c, window, property);  // asks for the first increment
    xcb_flush(c);
    for (;;) {
      const bool arrived = WaitForEvent(c, std::chrono::seconds(5), [&](xcb_generic_event_t* e) {
        if ((e->response_type & 0x7F) != XCB_PROPERTY_NOTIFY) return false;
        const auto* notify = reinterpret_cast<xcb_property_notify_event_t*>(e);
        return notify->window == window && notify->atom == property &&
               notify->state == XCB_PROPERTY_NEW_VALUE;
      });
      if (!arrived) return;
      std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> increment(
          xcb_get_property_reply(
              c, xcb_get_property(c, 1, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 20),
              nullptr),
          &std::free);
      xcb_flush(c);
      // The empty increment ends the transfer.
      if (!increment || xcb_get_property_value_length(increment.get()) == 0) return;
    }
  }).detach();
}

xcb_atom_t Atom(xcb_connection_t* c, const std::string& name) {
  const xcb_intern_atom_cookie_t cookie =
      xcb_intern_atom(c, 0, static_cast<std::uint16_t>(name.size()), name.c_str());
  std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
      xcb_intern_atom_reply(c, cookie, nullptr), &std::free);
  return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

}  // namespace

std::optional<ClipboardStart> ReadX11ClipboardStart(std::size_t limit,
                                                    std::chrono::milliseconds wait) {
  int screen_number = 0;
  Connection connection(xcb_connect(nullptr, &screen_number));
  xcb_connection_t* const c = connection.get();
  if (xcb_connection_has_error(c)) return std::nullopt;
  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
  for (int i = 0; i < screen_number && screens.rem > 0; ++i) xcb_screen_next(&screens);
  if (screens.rem == 0) return std::nullopt;

  const xcb_atom_t clipboard = Atom(c, "CLIPBOARD");
  const xcb_atom_t utf8 = Atom(c, "UTF8_STRING");
  const xcb_atom_t property = Atom(c, "PAGELIFT_CLIPBOARD");
  const xcb_atom_t incremental = Atom(c, "INCR");
  if (clipboard == XCB_ATOM_NONE || utf8 == XCB_ATOM_NONE || property == XCB_ATOM_NONE) {
    return std::nullopt;
  }
  const xcb_window_t window = xcb_generate_id(c);
  const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;  // for increments
  xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screens.data->root, 0, 0, 1, 1, 0,
                    XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
  xcb_convert_selection(c, window, clipboard, utf8, property, XCB_CURRENT_TIME);
  xcb_flush(c);
  bool given = false;
  const bool answered = WaitForEvent(c, wait, [&](xcb_generic_event_t* e) {
    if ((e->response_type & 0x7F) != XCB_SELECTION_NOTIFY) return false;
    const auto* notify = reinterpret_cast<xcb_selection_notify_event_t*>(e);
    given = notify->property != XCB_ATOM_NONE;
    return notify->requestor == window;
  });
  if (!answered || !given) return std::nullopt;

  // A UTF-8 unit takes at most three bytes; a few more tell whether there was more. The
  // property stays: deleting it would ask the owner of a large text for its increments.
  const auto words = static_cast<std::uint32_t>((limit * 3 + 4) / 4 + 1);
  const xcb_get_property_cookie_t cookie =
      xcb_get_property(c, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, words);
  std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
      xcb_get_property_reply(c, cookie, nullptr), &std::free);
  if (!reply) return std::nullopt;
  // A large text comes in increments: more than a URL, for sure.
  if (reply->type == incremental) {
    TakeIncrementsAway(std::move(connection), window, property);
    return ClipboardStart{{}, false};
  }
  const auto* bytes = static_cast<const std::uint8_t*>(xcb_get_property_value(reply.get()));
  const auto size = static_cast<std::size_t>(xcb_get_property_value_length(reply.get()));
  ClipboardStart start{Utf8ToText({bytes, size}), reply->bytes_after == 0};
  if (start.text.size() > limit) {
    start.text.resize(limit);
    start.whole = false;
  }
  return start;
}

}  // namespace pagelift
