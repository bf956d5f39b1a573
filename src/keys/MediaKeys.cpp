#include "keys/MediaKeys.h"

#include <optional>

#include "base/TextFile.h"

namespace keys {

namespace {

struct KeyCode {
  unsigned virtualKey;
  int appCommand;
  MediaKey key;
  const char* name;  // for the keys registered globally; nullptr for the others
};

constexpr KeyCode kKeys[] = {
    {VK_MEDIA_PLAY_PAUSE, APPCOMMAND_MEDIA_PLAY_PAUSE, MediaKey::PlayPause, "Play/Pause"},
    {VK_MEDIA_STOP, APPCOMMAND_MEDIA_STOP, MediaKey::Stop, "Stop"},
    {VK_MEDIA_NEXT_TRACK, APPCOMMAND_MEDIA_NEXTTRACK, MediaKey::Next, "Next"},
    {VK_MEDIA_PREV_TRACK, APPCOMMAND_MEDIA_PREVIOUSTRACK, MediaKey::Previous, "Previous"},
    {VK_VOLUME_UP, APPCOMMAND_VOLUME_UP, MediaKey::VolumeUp, nullptr},
    {VK_VOLUME_DOWN, APPCOMMAND_VOLUME_DOWN, MediaKey::VolumeDown, nullptr},
    {VK_VOLUME_MUTE, APPCOMMAND_VOLUME_MUTE, MediaKey::Mute, nullptr},
    {0, APPCOMMAND_MEDIA_PLAY, MediaKey::Play, nullptr},
    {0, APPCOMMAND_MEDIA_PAUSE, MediaKey::Pause, nullptr},
};

// The hot keys' ids; an application's own run from 0 to 0xBFFF.
constexpr int kFirstHotKeyId = 0x3900;

std::optional<MediaKey> OfVirtualKey(unsigned virtualKey) {
  for (const KeyCode& k : kKeys)
    if (k.virtualKey != 0 && k.virtualKey == virtualKey) return k.key;
  return std::nullopt;
}

std::optional<MediaKey> OfAppCommand(int command) {
  for (const KeyCode& k : kKeys)
    if (k.appCommand == command) return k.key;
  return std::nullopt;
}

KeySettings ReadSettings(const std::string& directory) {
  try {
    if (const std::optional<std::string> text = base::ReadTextFile(directory + "\\" + kKeysFileName))
      return ParseKeySettings(*text);
  } catch (const base::EInOutError&) {
    // A file that cannot be read sets nothing: the keys work as they do without one.
  }
  return {};
}

}  // namespace

std::string MediaKeys::Register(HWND hwnd, const std::string& directory) {
  Unregister();
  if (!ReadSettings(directory).globalKeys) return {};
  hwnd_ = hwnd;
  std::string taken;
  int id = kFirstHotKeyId;
  for (const KeyCode& k : kKeys) {
    if (!k.name) continue;
    if (RegisterHotKey(hwnd, id, MOD_NOREPEAT, k.virtualKey)) {
      ids_.push_back(id);
      registered_.push_back(k.name);
    } else {
      taken += (taken.empty() ? "" : ", ") + std::string(k.name);
    }
    ++id;
  }
  if (taken.empty()) return {};
  return "Another program holds these media keys: " + taken + ". They work here only while this window is active (" +
         kGlobalKeysName + "=0 in " + kKeysFileName + " stops trying).";
}

void MediaKeys::Unregister() {
  for (int id : ids_) UnregisterHotKey(hwnd_, id);
  ids_.clear();
  registered_.clear();
  hwnd_ = nullptr;
}

bool MediaKeys::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  std::optional<MediaKey> key;
  if (msg == WM_APPCOMMAND)
    key = OfAppCommand(GET_APPCOMMAND_LPARAM(lp));
  else if (msg == WM_HOTKEY && int(wp) >= kFirstHotKeyId && int(wp) < kFirstHotKeyId + int(std::size(kKeys)))
    key = OfVirtualKey(HIWORD(lp));
  if (!key) return false;
  actions_.Press(*key, window_);
  return true;
}

bool MediaKeys::HandleKey(unsigned virtualKey) {
  const std::optional<MediaKey> key = OfVirtualKey(virtualKey);
  if (!key) return false;
  actions_.Press(*key, window_);
  return true;
}

}  // namespace keys
