// Volume and Disconnect at the sound card (not part of the program): the program's own
// main window plays the local tone station, and each action is timed from the moment it
// is made until the new level is heard where it reaches the sound server's null sink:
// the fader set from 100 % to 0 % and back by its own handler (the change the slider
// raises), the fader dragged to the bottom with the mouse (real window messages, in
// steps, as a hand drags it; timed from the last step), and the Disconnect button.
//   volume_bench.exe URL [RUNS]
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "BenchSupport.h"
#include "app/MainForm.h"
#include "support/MainWindowView.h"
#include "support/SoundCapture.h"

using namespace bench;

namespace {

constexpr DWORD kWindowMs = 20;    // the level is judged over this much sound...
constexpr DWORD kStepMs = 5;       // ...every this often...
constexpr DWORD kSteadyMs = 100;   // ...and counts once it stays so for this long
constexpr DWORD kSettleMs = 1500;  // the sound after an action that is looked at

void Click(ui::WinControl& button) {
  SendMessageA(button.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(button.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

void Mouse(ui::WinControl& c, UINT msg, int x, int y, WPARAM keys) {
  SendMessageA(c.Handle(), msg, keys, MAKELPARAM(x, y));
}

double Level(const SoundCapture& heard, DWORD at) {
  return heard.ToneAt(at, kWindowMs).rms;
}

// The level of the sound that played during the 300 ms before `tick`.
double LevelBefore(const SoundCapture& heard, DWORD tick) {
  return heard.ToneAt(tick - 350, 300).rms;
}

// The first moment from `from` on after which the level holds `reached` for kSteadyMs;
// -1 when it never does. In milliseconds after `from`.
template <typename Reached>
long TimeUntil(const SoundCapture& heard, DWORD from, Reached reached) {
  DWORD steadySince = 0;
  bool steady = false;
  for (DWORD at = from; at + kWindowMs <= heard.EndTick(); at += kStepMs) {
    if (!reached(Level(heard, at))) {
      steady = false;
      continue;
    }
    if (!steady) steadySince = at;
    steady = true;
    if (at - steadySince >= kSteadyMs) return long(steadySince - from);
  }
  return -1;
}

// Silence: 40 dB below the level that played before.
long TimeToSilence(const SoundCapture& heard, DWORD from, double full) {
  return TimeUntil(heard, from, [&](double rms) { return rms < full / 100; });
}

// The full level again: within 1 dB of what played before.
long TimeToFull(const SoundCapture& heard, DWORD from, double full) {
  return TimeUntil(heard, from, [&](double rms) { return rms > full * 0.89; });
}

struct Listening {
  SoundCapture heard{8000};
  bool ok = heard.Recording() && heard.WaitUntilRecording(5000);
};

bool PlayTone(TMainForm& m) {
  MainWindowView& w = View(m);
  Click(w.VrDemoButtonStation[0]);
  if (!WaitFor([&] { return w.WindowsMediaPlayer.playState() == playback::psPlaying; }, 10000)) return false;
  Pump(1500);  // steady sound at the sink
  return true;
}

// The fader to the bottom as a hand drags it: pressed on its thumb, moved down in eight
// steps 15 ms apart, released there.
void DragToBottom(TMainForm& m) {
  MainWindowView& w = View(m);
  widgets::TVrSlider& fader = w.VrScrollBarPlayer1;
  const ui::Rect t = fader.ThumbRect();
  const int x = (t.left + t.right) / 2, top = (t.top + t.bottom) / 2, bottom = fader.Height() + 20;
  Mouse(fader, WM_MOUSEMOVE, x, top, 0);
  Mouse(fader, WM_LBUTTONDOWN, x, top, MK_LBUTTON);
  for (int step = 1; step <= 8; ++step) {
    Pump(15);
    Mouse(fader, WM_MOUSEMOVE, x, top + (bottom - top) * step / 8, MK_LBUTTON);
  }
  Mouse(fader, WM_LBUTTONUP, x, bottom, 0);
}

std::string Shown(long ms) {
  return ms < 0 ? "never" : std::to_string(ms) + " ms";
}

// A run that never reached its level counts as the slowest.
long Median(std::vector<long> v) {
  for (long& x : v) x = x < 0 ? LONG_MAX : x;
  std::sort(v.begin(), v.end());
  return v.empty() ? -1 : v[v.size() / 2] == LONG_MAX ? -1 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: volume_bench URL [RUNS]\n");
    return 2;
  }
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  StartProgramIn("tunora-volume-", 1000);
  TMainForm& m = *MainForm;
  MainWindowView& w = View(m);
  widgets::TVrSlider& fader = w.VrScrollBarPlayer1;
  w.VrDemoButtonStation[0].SetCaption("Tone");
  w.EditStationURL[0].SetText(argv[1]);
  WaitFor([&] { return m.Monitor().internetConnected; }, 5000);
  fader.SetPosition(1000);
  if (!PlayTone(m)) {
    std::printf("the station did not play: %s\n", w.WindowsMediaPlayer.lastError().c_str());
    return 1;
  }

  enum { kDown, kUp, kDrag, kDisconnect, kKinds };
  const char* names[kKinds] = {"fader 100 -> 0 %", "fader 0 -> 100 %", "drag to the bottom", "Disconnect"};
  std::vector<long> took[kKinds];
  for (int run = 1; run <= runs; ++run) {
    long ms[kKinds] = {-1, -1, -1, -1};
    double full = 0;
    {
      Listening l;
      if (!l.ok) {
        std::printf("run %d: the sink's monitor cannot be recorded\n", run);
        continue;
      }
      Pump(500);
      const DWORD down = GetTickCount();
      fader.SetPosition(0);
      Pump(kSettleMs);
      const DWORD up = GetTickCount();
      fader.SetPosition(1000);
      Pump(kSettleMs);
      l.heard.Finish(false);
      full = LevelBefore(l.heard, down);
      ms[kDown] = TimeToSilence(l.heard, down, full);
      ms[kUp] = TimeToFull(l.heard, up, full);
    }
    {
      Listening l;
      Pump(500);
      const DWORD pressed = GetTickCount();
      DragToBottom(m);
      const DWORD bottom = GetTickCount();
      Pump(kSettleMs);
      l.heard.Finish(false);
      if (l.ok) ms[kDrag] = TimeToSilence(l.heard, bottom, LevelBefore(l.heard, pressed));
      fader.SetPosition(1000);
      Pump(1000);
    }
    {
      Listening l;
      Pump(500);
      const DWORD clicked = GetTickCount();
      Click(w.VrDemoButtonUnplug);
      Pump(kSettleMs);
      l.heard.Finish(false);
      if (l.ok) ms[kDisconnect] = TimeToSilence(l.heard, clicked, LevelBefore(l.heard, clicked));
    }
    std::printf("run %d (level %.0f rms):", run, full);
    for (int k = 0; k < kKinds; ++k) {
      std::printf("  %s %s", names[k], Shown(ms[k]).c_str());
      took[k].push_back(ms[k]);
    }
    std::printf("\n");
    std::fflush(stdout);
    if (run < runs && !PlayTone(m)) {
      std::printf("the station did not play again: %s\n", w.WindowsMediaPlayer.lastError().c_str());
      break;
    }
  }
  Click(w.VrDemoButtonUnplug);
  bool met = true;
  for (int k = 0; k < kKinds; ++k) {
    const long median = Median(took[k]);
    const bool ok = median >= 0 && median <= 100;
    met = met && ok;
    std::printf("median %-20s %8s of %zu runs (goal: at most 100 ms): %s\n", names[k], Shown(median).c_str(),
                took[k].size(), ok ? "met" : "missed");
  }
  std::printf("goal %s\n", met ? "met" : "missed");
  return 0;
}
