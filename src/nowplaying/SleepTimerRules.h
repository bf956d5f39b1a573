// The sleep timer's rules: how long is left, how loud the station still plays over the
// last half minute, the tooltip's line, and the minutes a user may type. Times are
// milliseconds of a steady clock that the caller reads (the system's tick count, or a
// test's own). Portable.
#pragma once

#include <array>
#include <optional>
#include <string>

namespace nowplaying {

class SleepTimer {
 public:
  static constexpr long long kFadeMs = 30000;
  static constexpr int kMinMinutes = 1;
  static constexpr int kMaxMinutes = 720;
  // The choices of the menu; any other length is typed.
  static constexpr std::array<int, 5> kChoices{15, 30, 45, 60, 90};

  // Runs for `minutes` (kept within 1..720) from `now`; a running timer starts again.
  void Start(int minutes, long long now);
  void Cancel() { minutes_ = 0; }
  bool Running() const { return minutes_ > 0; }
  // The length chosen, 0 while the timer is off.
  int Minutes() const { return minutes_; }
  // Milliseconds until the station stops; 0 once due (and while off).
  long long LeftMs(long long now) const;
  bool Due(long long now) const { return Running() && LeftMs(now) == 0; }
  // The station's loudness, 1 until the last 30 s and then down to 0 at the end, along a
  // curve that the ear hears as an even fade (1 while off).
  double Gain(long long now) const;
  // "Sleeping in 12 min", in seconds for the last minute; empty while off.
  std::string TipLine(long long now) const;

 private:
  int minutes_ = 0;
  long long endsAt_ = 0;
};

// The minutes typed in the dialog: a whole number from 1 to 720, blanks around it
// allowed; nullopt for anything else.
std::optional<int> ParseSleepMinutes(const std::string& text);

}  // namespace nowplaying
