// The keyboard's media keys for the main window. While the window is active they come as
// WM_APPCOMMAND or as VK_MEDIA_* keys; while another program is active, the transport
// keys (Play/Pause, Stop, Next, Previous) come as hot keys registered for the window,
// unless keys.ini switches that off. The volume keys and Mute are never taken from the
// other programs: there they keep moving the system's volume.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "keys/MediaKeyRules.h"

namespace keys {

class MediaKeys {
 public:
  explicit MediaKeys(KeysWindow& window) : window_(window) {}
  ~MediaKeys() { Unregister(); }
  MediaKeys(const MediaKeys&) = delete;
  MediaKeys& operator=(const MediaKeys&) = delete;

  // Registers the global keys for `hwnd` unless keys.ini in `directory` switches them
  // off. Returns what to tell the user about keys that another program holds (empty
  // when none is); those keys still work while the window is active.
  std::string Register(HWND hwnd, const std::string& directory);
  void Unregister();
  // The keys registered now, by their names.
  const std::vector<std::string>& Registered() const { return registered_; }

  // A window message of the main window; true when it was a media key, now carried out
  // (WM_APPCOMMAND answers TRUE then).
  bool HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  // A key the window's key handler saw; true (and carried out) for a media key.
  bool HandleKey(unsigned virtualKey);

 private:
  KeysWindow& window_;
  MediaKeyActions actions_;
  HWND hwnd_ = nullptr;
  std::vector<int> ids_;
  std::vector<std::string> registered_;
};

}  // namespace keys
