// The main window's side of the sleep timer and of the media keys.
#include <windows.h>

#include "app/MainForm.h"
#include "keys/MediaKeyRules.h"

void TMainForm::SetSleepGain(double gain) {
  WindowsMediaPlayer.SetGain(int(gain * playback::StationPlayer::kFullGain + 0.5));
}

std::vector<bool> TMainForm::PresetsHoldingStation() {
  std::vector<bool> holding;
  for (int k = 0; k < kPresets; ++k)
    holding.push_back(keys::HoldsStation(VrDemoButtonStation[k].Caption(), EditStationURL[k].Text()));
  return holding;
}

bool TMainForm::StationOn() {
  switch (WindowsMediaPlayer.playState()) {
    case playback::psPlaying:
    case playback::psBuffering:
    case playback::psWaiting:
    case playback::psTransitioning:
      return true;
    default:
      return monitor_.connecting || earlyPlay_.has_value();
  }
}

void TMainForm::RegisterMediaKeys() {
  keysNotice_ = MediaKeys.Register(Handle(), programDirectory_);
}

LRESULT TMainForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  // After Exit the keys start nothing: the window is on its way out.
  if ((msg == WM_APPCOMMAND || msg == WM_HOTKEY) && !monitor_.closing && MediaKeys.HandleMessage(msg, wp, lp))
    return msg == WM_APPCOMMAND ? TRUE : 0;
  return ui::Form::WndProc(msg, wp, lp);
}

void TMainForm::KeyDown(unsigned& key, unsigned shift) {
  if (!monitor_.closing && MediaKeys.HandleKey(key)) {
    key = 0;  // handled here, not turned into WM_APPCOMMAND as well
    return;
  }
  ui::Form::KeyDown(key, shift);
}
