// The sleep timer on the tray: its submenu, the "Other..." dialog, and at each tick the
// station's gain during the fade and its stop at the end. Times are the system's tick
// count.
#pragma once

#include <string>

#include "nowplaying/SleepTimerRules.h"
#include "nowplaying/SleepWindow.h"
#include "ui/Menus.h"

namespace nowplaying {

class SleepTimerMenu {
 public:
  static constexpr const char* kMenuText = "Sleep &Timer";
  static constexpr const char* kOffText = "&Off";
  static constexpr const char* kOtherText = "&Other...";
  static constexpr int kOtherDefault = 120;

  explicit SleepTimerMenu(SleepWindow& window) : window_(window) {}

  // The menu's entry with its submenu; the running choice is ticked.
  ui::MenuItem Item();
  // Starts the timer anew for `minutes`; 0 turns it off. Either brings the station's
  // sound back at once if it was fading.
  void Choose(int minutes);
  // Asks for the minutes in the dialog.
  void ChooseOther();
  void Tick();
  // The tooltip's line; empty while off.
  std::string TipLine() const;
  const SleepTimer& Timer() const { return timer_; }

 private:
  void ApplyGain(double gain);

  SleepWindow& window_;
  SleepTimer timer_;
  double gain_ = 1.0;
};

}  // namespace nowplaying
