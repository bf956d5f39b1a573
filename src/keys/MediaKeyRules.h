// The media keys' rules: what each key does to the window (KeysWindow), which preset Next
// and Previous step to, how far the volume keys move the fader, and keys.ini, which
// switches the keys' global use off. Portable.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace keys {

// What a media key asks for. A live station cannot pause: Pause stops it.
enum class MediaKey { PlayPause, Play, Pause, Stop, Next, Previous, VolumeUp, VolumeDown, Mute };

// What the media keys need of the main window. The main window implements it.
class KeysWindow {
 public:
  virtual ~KeysWindow() = default;
  // Whether each preset of the group holds a station (HoldsStation).
  virtual std::vector<bool> PresetsHoldingStation() = 0;
  // The preset played last, -1 for none.
  virtual int CurrentPreset() = 0;
  // Plays the preset as a click on it does.
  virtual void PlayPreset(int preset) = 0;
  // A station plays, or is being connected.
  virtual bool StationOn() = 0;
  // Stops the station as Disconnect does.
  virtual void StopStation() = 0;
  // The volume fader, 0..1000.
  virtual int Fader() = 0;
  virtual void SetFader(int position) = 0;
};

// Carries a key out on the window; remembers where Mute took the fader from, so that a
// second Mute brings it back.
class MediaKeyActions {
 public:
  void Press(MediaKey key, KeysWindow& window);

 private:
  void Play(KeysWindow& window);
  int unmuteTo_ = -1;
};

// The preset a step leads to from `current` (-1: none yet): the next (or, backwards, the
// previous) one around the group that holds a station. From none, forwards gives the
// first such preset and backwards the last. nullopt when no other preset holds one.
std::optional<int> StepPreset(const std::vector<bool>& holdsStation, int current, bool forward);

// Whether a preset holds a station: a name other than "none" and an address.
bool HoldsStation(const std::string& name, const std::string& url);

// The fader (0..1000) after a volume key: a twentieth of its way per press.
int StepFader(int position, bool up);

inline constexpr const char* kKeysFileName = "keys.ini";
inline constexpr const char* kGlobalKeysName = "GlobalMediaKeys";

struct KeySettings {
  bool globalKeys = true;  // the keys also reach the program while another one is active
};

// keys.ini: lines "Name=Value" (blanks around both, ";" comments and "[...]" headers
// allowed); GlobalMediaKeys takes 0/1, off/on, no/yes, false/true in any case. A line
// it cannot read changes nothing.
KeySettings ParseKeySettings(const std::string& text);

}  // namespace keys
