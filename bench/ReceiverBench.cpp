// Receiver benchmark (not a test): the cost of one tick of the main window's status
// monitor when nothing changes and while a station plays, and the CPU the whole program
// uses over a while, idle or playing, with the monitor's timer running or stopped.
// Runs in a working directory of its own; the program's windows are made as at start.
//   receiver_bench.exe tick URL               median and mean tick cost in microseconds
//   receiver_bench.exe cpu SECONDS on|off [URL]   CPU share of one core over SECONDS
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "app/AllForms.h"
#include "app/MainForm.h"
#include "support/MainWindowView.h"
#include "ui/Application.h"
#include "ui/Synchronize.h"

using namespace bench;

namespace {

TMainForm& StartReceiver() {
  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  const std::string work = std::string(dir) + "tunora-bench-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(work.c_str(), nullptr);
  SetCurrentDirectoryA(work.c_str());
  ui::InitSynchronize();
  app::CreateAllForms();
  MainForm->Show();
  WaitFor([] { return MainForm->Monitor().internetConnected; }, 5000);
  Pump(500);
  return *MainForm;
}

bool Play(TMainForm& m, const std::string& url) {
  MainWindowView& w = View(m);
  m.PlayStation("Bench", url);
  return WaitFor([&] { return w.LabelStation.Caption() == "Bench"; }, 15000);
}

void TickCost(TMainForm& m, const char* what) {
  MainWindowView& w = View(m);
  constexpr int kTicks = 2000;
  std::vector<double> times;
  w.TimerTunora.SetEnabled(false);
  for (int i = 0; i < kTicks; ++i) {
    const double start = Micros();
    m.TimerTunoraTimer();
    times.push_back(Micros() - start);
    if (i % 20 == 0) Pump(1);
  }
  w.TimerTunora.SetEnabled(true);
  double sum = 0;
  for (double t : times) sum += t;
  std::sort(times.begin(), times.end());
  std::printf("tick, %-22s median %8.1f us   mean %8.1f us\n", what, times[times.size() / 2], sum / kTicks);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "tick") == 0) {
    TMainForm& m = StartReceiver();
    MainWindowView& w = View(m);
    TickCost(m, "nothing changes");
    if (!Play(m, argv[2])) {
      std::printf("the station did not play: %s\n", w.WindowsMediaPlayer.lastError().c_str());
      return 1;
    }
    TickCost(m, "a station plays");
    return 0;
  }
  if (argc >= 4 && std::strcmp(argv[1], "cpu") == 0) {
    const int seconds = std::atoi(argv[2]);
    const bool timerOn = std::strcmp(argv[3], "on") == 0;
    TMainForm& m = StartReceiver();
    MainWindowView& w = View(m);
    if (argc >= 5 && !Play(m, argv[4])) {
      std::printf("the station did not play: %s\n", w.WindowsMediaPlayer.lastError().c_str());
      return 1;
    }
    w.TimerTunora.SetEnabled(timerOn);
    const double cpu = CpuSeconds();
    const double start = Micros();
    Pump(DWORD(seconds) * 1000);
    const double share = (CpuSeconds() - cpu) / ((Micros() - start) / 1e6) * 100;
    std::printf("cpu, %-8s timer %-3s %6.2f %% of a core\n", argc >= 5 ? "playing" : "idle", argv[3], share);
    return 0;
  }
  std::fprintf(stderr, "usage: receiver_bench tick URL | cpu SECONDS on|off [URL]\n");
  return 2;
}
