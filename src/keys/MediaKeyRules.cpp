#include "keys/MediaKeyRules.h"

#include <algorithm>

#include "base/LineRules.h"
#include "base/TextRules.h"

namespace keys {

namespace {

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::optional<bool> Switch(const std::string& value) {
  for (const char* on : {"1", "on", "yes", "true"})
    if (base::CompareTextNoCase(value, on) == 0) return true;
  for (const char* off : {"0", "off", "no", "false"})
    if (base::CompareTextNoCase(value, off) == 0) return false;
  return std::nullopt;
}

}  // namespace

void MediaKeyActions::Play(KeysWindow& window) {
  const std::vector<bool> holding = window.PresetsHoldingStation();
  const int current = window.CurrentPreset();
  if (current >= 0 && current < int(holding.size()) && holding[std::size_t(current)])
    window.PlayPreset(current);
  else if (const std::optional<int> first = StepPreset(holding, -1, true))
    window.PlayPreset(*first);
}

void MediaKeyActions::Press(MediaKey key, KeysWindow& window) {
  switch (key) {
    case MediaKey::PlayPause:
      if (window.StationOn())
        window.StopStation();
      else
        Play(window);
      return;
    case MediaKey::Play:
      if (!window.StationOn()) Play(window);
      return;
    case MediaKey::Pause:
    case MediaKey::Stop:
      window.StopStation();
      return;
    case MediaKey::Next:
    case MediaKey::Previous:
      if (const std::optional<int> preset =
              StepPreset(window.PresetsHoldingStation(), window.CurrentPreset(), key == MediaKey::Next))
        window.PlayPreset(*preset);
      return;
    case MediaKey::VolumeUp:
    case MediaKey::VolumeDown:
      unmuteTo_ = -1;
      window.SetFader(StepFader(window.Fader(), key == MediaKey::VolumeUp));
      return;
    case MediaKey::Mute:
      if (window.Fader() > 0) {
        unmuteTo_ = window.Fader();
        window.SetFader(0);
      } else if (unmuteTo_ > 0) {
        window.SetFader(unmuteTo_);
        unmuteTo_ = -1;
      }
      return;
  }
}

std::optional<int> StepPreset(const std::vector<bool>& holdsStation, int current, bool forward) {
  const int n = int(holdsStation.size());
  if (current < -1 || current >= n) current = -1;
  for (int i = 1; i <= n; ++i) {
    int k;
    if (current < 0)
      k = forward ? i - 1 : n - i;
    else
      k = ((forward ? current + i : current - i) % n + n) % n;
    if (k == current) break;
    if (holdsStation[std::size_t(k)]) return k;
  }
  return std::nullopt;
}

bool HoldsStation(const std::string& name, const std::string& url) {
  return !name.empty() && name != "none" && !url.empty();
}

int StepFader(int position, bool up) {
  constexpr int kStep = 50;
  return std::clamp(position + (up ? kStep : -kStep), 0, 1000);
}

KeySettings ParseKeySettings(const std::string& text) {
  KeySettings settings;
  for (const std::string& line : base::SplitLines(text)) {
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    if (base::CompareTextNoCase(Trimmed(line.substr(0, equals)), kGlobalKeysName) != 0) continue;
    if (const std::optional<bool> on = Switch(Trimmed(line.substr(equals + 1)))) settings.globalKeys = *on;
  }
  return settings;
}

}  // namespace keys
