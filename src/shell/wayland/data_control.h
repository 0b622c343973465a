#pragma once

#include <wayland-client.h>

#include <memory>
#include <string>
#include <vector>

#include "shell/wayland/clipboard_contents.h"
#include "shell/wayland/transfers.h"
#include "wlr-data-control-unstable-v1-client-protocol.h"

namespace pagelift::wl_clipboard {

// The Clipboard of the compositor's first seat, held through the data-control protocol
// (zwlr_data_control_manager_v1), which lets a program without a window or focus set it.
// Sends of the contents go to `transfers`.
class DataControl {
 public:
  // Connects to $WAYLAND_DISPLAY. Nothing, with the reason in `error`, when there is no
  // display, it does not answer or it offers no data control.
  static std::unique_ptr<DataControl> Connect(Transfers& transfers, std::string& error);
  ~DataControl();
  DataControl(const DataControl&) = delete;
  DataControl& operator=(const DataControl&) = delete;

  // Makes `contents` the Clipboard, or empties it for nothing, and waits until the
  // compositor holds it. `contents` must outlive the source. False, with the reason in
  // `error`, when the compositor failed or did not answer.
  bool SetSelection(const ClipboardContents* contents, std::string& error);

  // Whether another program has set the Clipboard since: the source is gone.
  bool Cancelled() const { return cancelled_; }

  wl_display* display() const { return display_; }

  // Why the connection failed, for a message.
  std::string ConnectionError() const;

 private:
  explicit DataControl(Transfers& transfers) : transfers_(transfers) {}
  bool FindGlobals(std::string& error);
  void DestroyOffers();

  static const wl_registry_listener kRegistryListener;
  static const zwlr_data_control_device_v1_listener kDeviceListener;
  static const zwlr_data_control_source_v1_listener kSourceListener;

  Transfers& transfers_;
  std::string name_;
  wl_display* display_ = nullptr;
  wl_seat* seat_ = nullptr;
  zwlr_data_control_manager_v1* manager_ = nullptr;
  zwlr_data_control_device_v1* device_ = nullptr;
  zwlr_data_control_source_v1* source_ = nullptr;
  const ClipboardContents* contents_ = nullptr;
  // The offers of what the Clipboard holds, introduced and not yet destroyed.
  std::vector<zwlr_data_control_offer_v1*> offers_;
  bool cancelled_ = false;
};

}  // namespace pagelift::wl_clipboard
