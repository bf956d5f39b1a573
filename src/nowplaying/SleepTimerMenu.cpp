#include "nowplaying/SleepTimerMenu.h"

#include <windows.h>

#include <algorithm>

#include "nowplaying/SleepMinutesForm.h"

namespace nowplaying {

ui::MenuItem SleepTimerMenu::Item() {
  ui::MenuItem menu(kMenuText, nullptr);
  const int running = timer_.Minutes();
  menu.items.emplace_back(kOffText, [this] { Choose(0); });
  menu.items.back().checked = running == 0;
  for (int minutes : SleepTimer::kChoices) {
    menu.items.emplace_back(std::to_string(minutes) + " Minutes", [this, minutes] { Choose(minutes); });
    menu.items.back().checked = running == minutes;
  }
  menu.items.emplace_back(kOtherText, [this] { ChooseOther(); });
  menu.items.back().checked = running != 0 && std::find(SleepTimer::kChoices.begin(), SleepTimer::kChoices.end(),
                                                        running) == SleepTimer::kChoices.end();
  return menu;
}

void SleepTimerMenu::Choose(int minutes) {
  if (minutes > 0)
    timer_.Start(minutes, (long long)GetTickCount64());
  else
    timer_.Cancel();
  ApplyGain(1.0);
}

void SleepTimerMenu::ChooseOther() {
  if (!SleepMinutesForm) return;
  const int shown = timer_.Running() ? timer_.Minutes() : kOtherDefault;
  if (const std::optional<int> minutes = SleepMinutesForm->Ask(shown)) Choose(*minutes);
}

void SleepTimerMenu::Tick() {
  if (!timer_.Running()) return;
  const long long now = (long long)GetTickCount64();
  if (!timer_.Due(now)) {
    ApplyGain(timer_.Gain(now));
    return;
  }
  timer_.Cancel();
  window_.StopForSleep();
  // After the stop, so that the station is not heard again; the next one plays as loud
  // as the fader says.
  ApplyGain(1.0);
}

std::string SleepTimerMenu::TipLine() const {
  return timer_.TipLine((long long)GetTickCount64());
}

void SleepTimerMenu::ApplyGain(double gain) {
  if (gain == gain_) return;
  gain_ = gain;
  window_.SetSleepGain(gain);
}

}  // namespace nowplaying
