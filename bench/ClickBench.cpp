// Click to sound (not part of the program): the program's own windows as at start, a
// left click on a preset, and the station's tone timed where it reaches the sound
// server's null sink. From idle (nothing played for a while) and as a switch (another
// station plays, and the new one's tone is what counts). Each run prints the stages the
// player went through, from the click: the server's answer, the format known, the first
// sound decoded, the first sound handed to the device, the device playing, the sink.
//   click_bench.exe MP3_URL AAC_URL [RUNS]
// The MP3 station sends 440 Hz, the AAC one 550 Hz. For bench/gaps.sh, the same click
// and the station played on for a while, what reaches the sink recorded from outside:
//   click_bench.exe play URL SECONDS
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "app/MainForm.h"
#include "support/MainWindowView.h"
#include "support/SoundCapture.h"

using namespace bench;

namespace {

void Click(ui::WinControl& button) {
  SendMessageA(button.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(button.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

long Median(std::vector<long> v) {
  if (v.empty()) return -1;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// The first moment from fromTick on at which `hz` is heard for 100 ms; 0 when never.
DWORD ToneFrom(const SoundCapture& heard, DWORD fromTick, double hz) {
  for (DWORD at = fromTick; at + 100 <= heard.EndTick(); at += 5) {
    const Tone t = heard.ToneAt(at, 100);
    if (t.rms > 500 && std::fabs(t.hz - hz) < 20) return at;
  }
  return 0;
}

constexpr double kHz[] = {440, 550};  // the tones of the MP3 and the AAC station
constexpr const char* kNames[] = {"mp3", "aac"};

struct Run {
  long sink = -1;
  playback::StartTimes stages;
};

// Clicks preset k and times its tone at the sink; the player's stages with it.
Run ClickAndHear(TMainForm& m, int k, double hz) {
  MainWindowView& w = View(m);
  SoundCapture heard(6000);
  Run run;
  if (!heard.Recording() || !heard.WaitUntilRecording(5000)) {
    std::fprintf(stderr, "the sound server's null sink monitor cannot be recorded\n");
    return run;
  }
  const DWORD clicked = GetTickCount();
  Click(w.VrDemoButtonStation[k]);
  WaitFor([&] { return w.WindowsMediaPlayer.startTimes().playing >= 0; }, 5000);
  Pump(600);
  heard.Finish(false);
  const DWORD at = ToneFrom(heard, clicked, hz);
  run.sink = at ? long(at - clicked) : -1;
  run.stages = w.WindowsMediaPlayer.startTimes();
  return run;
}

void Print(const char* what, int k, int i, const Run& r) {
  const playback::StartTimes& s = r.stages;
  std::printf("%-6s %s run %d: answer %4lld  format %4lld  decoded %4lld  written %4lld  playing %4lld  sink %4ld ms\n",
              what, kNames[k], i, s.answered, s.opened, s.decoded, s.written, s.playing, r.sink);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: click_bench MP3_URL AAC_URL [RUNS]\n");
    return 2;
  }
  StartProgramIn("tunora-click-", 1000);
  TMainForm& m = *MainForm;
  MainWindowView& w = View(m);
  if (std::string(argv[1]) == "play") {
    w.VrDemoButtonStation[0].SetCaption("Tone");
    w.EditStationURL[0].SetText(argv[2]);
    WaitFor([&] { return m.Monitor().internetConnected; }, 5000);
    Click(w.VrDemoButtonStation[0]);
    Pump(std::atof(argv[3]) * 1000);
    std::printf("%s\n", w.WindowsMediaPlayer.playState() == playback::psPlaying ? "played" : "did not play");
    Click(w.VrDemoButtonUnplug);
    return 0;
  }
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
  w.VrDemoButtonStation[0].SetCaption("Tone");
  w.EditStationURL[0].SetText(argv[1]);
  w.VrDemoButtonStation[1].SetCaption("Other");
  w.EditStationURL[1].SetText(argv[2]);
  WaitFor([&] { return m.Monitor().internetConnected; }, 5000);
  // Each station is timed from idle and as the one switched to, so that the two medians
  // hold the same stations (their servers answer at different speeds).
  std::vector<long> idle, switched;
  for (int i = 1; i <= runs; ++i) {
    for (const auto& [first, second] : {std::pair{0, 1}, std::pair{1, 0}}) {
      Click(w.VrDemoButtonUnplug);
      Pump(1500);
      const Run fromIdle = ClickAndHear(m, first, kHz[first]);
      Print("idle", first, i, fromIdle);
      if (fromIdle.sink >= 0) idle.push_back(fromIdle.sink);
      Pump(1500);
      const Run fromOther = ClickAndHear(m, second, kHz[second]);
      Print("switch", second, i, fromOther);
      if (fromOther.sink >= 0) switched.push_back(fromOther.sink);
    }
  }
  Click(w.VrDemoButtonUnplug);
  std::printf("median click to sound: from idle %ld ms, switching %ld ms (%zu and %zu runs)\n", Median(idle),
              Median(switched), idle.size(), switched.size());
  return idle.empty() ? 1 : 0;
}
