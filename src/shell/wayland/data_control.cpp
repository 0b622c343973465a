#include "shell/wayland/data_control.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "shell/wayland/event_loop.h"

namespace pagelift::wl_clipboard {
namespace {

// How long the compositor may take to answer before the caller hears that it did not.
constexpr std::chrono::seconds kAnswerLimit(5);

// libwayland's last complaint (a protocol error, XDG_RUNTIME_DIR unset), told within the
// one line of the failure instead of on lines of its own.
std::string& LibraryMessage() {
  static std::string message;
  return message;
}

[[gnu::format(printf, 1, 0)]] void KeepLibraryMessage(const char* format, va_list arguments) {
  char text[512];
  std::vsnprintf(text, sizeof text, format, arguments);
  std::string& message = LibraryMessage();
  message = text;
  while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
}

std::string WithLibraryMessage(std::string text) {
  if (!LibraryMessage().empty()) text += " (libwayland: " + LibraryMessage() + ")";
  return text;
}

}  // namespace

const wl_registry_listener DataControl::kRegistryListener = {
    [](void* data, wl_registry* registry, std::uint32_t name, const char* interface,
       std::uint32_t version) {
      auto* self = static_cast<DataControl*>(data);
      const std::string_view offered(interface);
      if (offered == wl_seat_interface.name && !self->seat_) {
        self->seat_ =
            static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
      } else if (offered == zwlr_data_control_manager_v1_interface.name && !self->manager_) {
        // Version 2 adds the primary selection, which this program leaves alone.
        self->manager_ = static_cast<zwlr_data_control_manager_v1*>(wl_registry_bind(
            registry, name, &zwlr_data_control_manager_v1_interface, std::min(version, 2U)));
      }
    },
    [](void*, wl_registry*, std::uint32_t) {},
};

// What the Clipboard holds is read by others: each offer of it goes once the selection
// or primary selection that it is has been told. (Destroyed in its data_offer handler,
// before its offer events had come, it leaked in libwayland 1.21.)
const zwlr_data_control_device_v1_listener DataControl::kDeviceListener = {
    [](void* data, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer) {
      static_cast<DataControl*>(data)->offers_.push_back(offer);
    },
    [](void* data, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1*) {
      static_cast<DataControl*>(data)->DestroyOffers();
    },
    // The seat has gone, and its Clipboard with it.
    [](void* data, zwlr_data_control_device_v1*) {
      static_cast<DataControl*>(data)->cancelled_ = true;
    },
    [](void* data, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1*) {
      static_cast<DataControl*>(data)->DestroyOffers();
    },
};

const zwlr_data_control_source_v1_listener DataControl::kSourceListener = {
    [](void* data, zwlr_data_control_source_v1*, const char* mime, std::int32_t fd) {
      auto* self = static_cast<DataControl*>(data);
      const std::optional<std::string_view> bytes = ContentFor(*self->contents_, mime);
      if (!bytes) {
        // A type never offered: the reader gets nothing.
        ::close(fd);
        return;
      }
      self->transfers_.Begin(fd, *bytes);
    },
    [](void* data, zwlr_data_control_source_v1* source) {
      auto* self = static_cast<DataControl*>(data);
      zwlr_data_control_source_v1_destroy(source);
      self->source_ = nullptr;
      self->cancelled_ = true;
    },
};

std::unique_ptr<DataControl> DataControl::Connect(Transfers& transfers, std::string& error) {
  wl_log_set_handler_client(KeepLibraryMessage);
  const char* name = std::getenv("WAYLAND_DISPLAY");
  const char* socket = std::getenv("WAYLAND_SOCKET");
  // Without either libwayland would try "wayland-0", which may be another session's.
  if ((!name || !*name) && (!socket || !*socket)) {
    error = "no Wayland display: WAYLAND_DISPLAY is not set";
    return nullptr;
  }
  std::unique_ptr<DataControl> control(new DataControl(transfers));
  control->name_ = socket && *socket ? "WAYLAND_SOCKET" : name;
  control->display_ = wl_display_connect(nullptr);
  if (!control->display_) {
    error = WithLibraryMessage("cannot connect to the Wayland display \"" + control->name_ +
                               "\": " + std::strerror(errno));
    return nullptr;
  }
  if (!control->FindGlobals(error)) return nullptr;
  return control;
}

bool DataControl::FindGlobals(std::string& error) {
  wl_registry* registry = wl_display_get_registry(display_);
  if (!registry) {
    error = ConnectionError();
    return false;
  }
  wl_registry_add_listener(registry, &kRegistryListener, this);
  const bool answered = RoundTrip(display_, transfers_, kAnswerLimit);
  wl_registry_destroy(registry);
  if (!answered) {
    error = ConnectionError();
    return false;
  }
  if (!manager_) {
    error = "the compositor of \"" + name_ +
            "\" offers no data-control protocol (zwlr_data_control_manager_v1), through "
            "which a program without a window sets the Clipboard";
    return false;
  }
  if (!seat_) {
    error = "the compositor of \"" + name_ + "\" has no seat, whose Clipboard this would be";
    return false;
  }
  device_ = zwlr_data_control_manager_v1_get_data_device(manager_, seat_);
  zwlr_data_control_device_v1_add_listener(device_, &kDeviceListener, this);
  return true;
}

DataControl::~DataControl() {
  // Events read and not yet dispatched may introduce offers, which only their handlers
  // take.
  if (display_) wl_display_dispatch_pending(display_);
  DestroyOffers();
  if (source_) zwlr_data_control_source_v1_destroy(source_);
  if (device_) zwlr_data_control_device_v1_destroy(device_);
  if (manager_) zwlr_data_control_manager_v1_destroy(manager_);
  if (seat_) wl_seat_destroy(seat_);
  if (display_) wl_display_disconnect(display_);
}

void DataControl::DestroyOffers() {
  for (zwlr_data_control_offer_v1* offer : offers_) zwlr_data_control_offer_v1_destroy(offer);
  offers_.clear();
}

bool DataControl::SetSelection(const ClipboardContents* contents, std::string& error) {
  if (contents) {
    contents_ = contents;
    source_ = zwlr_data_control_manager_v1_create_data_source(manager_);
    zwlr_data_control_source_v1_add_listener(source_, &kSourceListener, this);
    for (const std::string_view type : OfferedTypes(*contents))
      zwlr_data_control_source_v1_offer(source_, std::string(type).c_str());
  }
  zwlr_data_control_device_v1_set_selection(device_, source_);
  if (!RoundTrip(display_, transfers_, kAnswerLimit)) {
    error = ConnectionError();
    return false;
  }
  return true;
}

std::string DataControl::ConnectionError() const {
  const int code = wl_display_get_error(display_);
  if (code == EPROTO) {
    const wl_interface* interface = nullptr;
    const std::uint32_t failure = wl_display_get_protocol_error(display_, &interface, nullptr);
    return WithLibraryMessage("the compositor of \"" + name_ + "\" refused a request (error " +
                              std::to_string(failure) + " of " +
                              (interface ? interface->name : "an unknown interface") + ")");
  }
  if (code != 0) {
    return WithLibraryMessage("lost the connection to the compositor of \"" + name_ +
                              "\": " + std::strerror(code));
  }
  return "the compositor of \"" + name_ + "\" did not answer within " +
         std::to_string(kAnswerLimit.count()) + " seconds";
}

}  // namespace pagelift::wl_clipboard
