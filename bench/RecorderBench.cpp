// Recorder benchmark (not a test): the whole program's CPU share over a while, idle and
// while it records 44.1 kHz 16-bit stereo through REC, side by side, and how late the
// main window's 100 ms tick comes in each. Runs in a working directory of its own; the
// program's windows are made as at start. A third column runs only the DirectSound
// capture in the same format with nothing reading it: what Wine itself costs. With the
// local test station, the station is then played, and played while it is recorded
// directly ("Playing Station (direct)"), side by side.
//   recorder_bench.exe SECONDS
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "app/MainForm.h"
#include "support/MainWindowView.h"
#include "recording/OptionsForm.h"
#include "ui/Application.h"

using namespace bench;

namespace {

struct Figures {
  double cpuPercent = 0;
  double worstLateMs = 0;
  double medianIntervalMs = 0;
  int ticks = 0;
};

// The program's CPU share and its tick's lateness over `seconds`.
Figures Measure(TMainForm& m, int seconds) {
  MainWindowView& w = View(m);
  std::vector<double> at;
  at.reserve(std::size_t(seconds) * 12);
  const auto monitor = w.TimerTunora.OnTimer;
  w.TimerTunora.OnTimer = [&] {
    at.push_back(Millis());
    monitor();
  };
  const double cpu = CpuSeconds();
  const double start = Millis();
  Pump(seconds * 1000.0);
  Figures f;
  f.cpuPercent = (CpuSeconds() - cpu) / ((Millis() - start) / 1e3) * 100;
  w.TimerTunora.OnTimer = monitor;
  std::vector<double> intervals;
  for (std::size_t i = 1; i < at.size(); ++i) intervals.push_back(at[i] - at[i - 1]);
  f.ticks = int(at.size());
  if (!intervals.empty()) {
    f.worstLateMs = *std::max_element(intervals.begin(), intervals.end()) - 100;
    std::nth_element(intervals.begin(), intervals.begin() + std::ptrdiff_t(intervals.size() / 2), intervals.end());
    f.medianIntervalMs = intervals[intervals.size() / 2];
  }
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc >= 2 ? std::atoi(argv[1]) : 60;
  const std::string work = StartProgramIn("tunora-recbench-");
  TMainForm& m = *MainForm;
  MainWindowView& w = View(m);

  const Figures idle = Measure(m, seconds);
  if (OptionsForm->FormatBox.Text() != "44100Hz 16bit Stereo") {
    std::printf("no 44100Hz 16bit Stereo capture format\n");
    return 1;
  }
  // Wine's own floor: the capture running in the same format, nothing reading it.
  Figures floor;
  {
    recording::TSoundCaptureStream capture;
    capture.SetFormatIndex(OptionsForm->FormatBox.ItemIndex());
    capture.Start();
    Pump(2000);
    floor = Measure(m, seconds);
  }
  m.VrDemoButtonRecClick(w.VrDemoButtonRec);
  Pump(2000);  // the capture's first sound
  const Figures recording = Measure(m, seconds);
  const std::int64_t bytes = w.Recorder.RecordFile() ? w.Recorder.RecordFile()->GetDataSize() : 0;
  m.VrDemoButtonStopClick(w.VrDemoButtonStop);

  std::printf("over %d s             idle   capture only   recording\n", seconds);
  std::printf("cpu, %% of a core   %8.2f   %8.2f      %8.2f\n", idle.cpuPercent, floor.cpuPercent,
              recording.cpuPercent);
  std::printf("ticks               %8d   %8d      %8d\n", idle.ticks, floor.ticks, recording.ticks);
  std::printf("median tick, ms     %8.1f   %8.1f      %8.1f\n", idle.medianIntervalMs, floor.medianIntervalMs,
              recording.medianIntervalMs);
  std::printf("worst lateness, ms  %8.1f   %8.1f      %8.1f\n", idle.worstLateMs, floor.worstLateMs,
              recording.worstLateMs);
  std::printf("recording costs %.2f points above idle, %.2f above Wine's capture alone\n",
              recording.cpuPercent - idle.cpuPercent, recording.cpuPercent - floor.cpuPercent);
  std::printf("recorded            %.1f s of sound\n", double(bytes) / 176400);

  // The playing station recorded directly, against playing it alone.
  if (const char* station = std::getenv("TUNORA_STATION_MP3")) {
    w.EditStationURL[0].SetText(station);
    w.VrDemoButtonStation[0].SetCaption("Tone");
    m.PlayStation("Tone", station);
    Pump(3000);
    const Figures playing = Measure(m, seconds);
    ui::ComboBox& drivers = OptionsForm->DriverBox;
    drivers.SetItemIndex(drivers.Count() - 1);
    m.FillFormatBox();
    m.VrDemoButtonRecClick(w.VrDemoButtonRec);
    Pump(1000);
    const Figures direct = Measure(m, seconds);
    const std::int64_t directBytes = w.Recorder.RecordFile() ? w.Recorder.RecordFile()->GetDataSize() : 0;
    m.VrDemoButtonStopClick(w.VrDemoButtonStop);
    std::printf("\nover %d s             playing   playing and recording it directly\n", seconds);
    std::printf("cpu, %% of a core   %8.2f   %8.2f\n", playing.cpuPercent, direct.cpuPercent);
    std::printf("worst lateness, ms  %8.1f   %8.1f\n", playing.worstLateMs, direct.worstLateMs);
    std::printf("recording the station directly costs %.2f points of a core (goal: at most 0.5)\n",
                direct.cpuPercent - playing.cpuPercent);
    std::printf("recorded            %.1f s of sound\n", double(directBytes) / 176400);
  }

  // The header's sizes brought up to date and flushed to the disk, as a recording does
  // every 2 s: what each costs.
  std::vector<double> refresh;
  {
    recording::TWaveFileStream file(work + "\\refresh.wav", recording::FileMode::Create);
    file.SetPCMFormat(44100, 16, 2);
    file.Open(true);
    const std::vector<char> second(176400, 1);
    for (int i = 0; i < 20; ++i) {
      file.WriteBuffer(second.data(), std::int64_t(second.size()));
      const double t0 = Millis();
      file.RefreshSizes();
      refresh.push_back(Millis() - t0);
    }
  }
  DeleteFileA((work + "\\refresh.wav").c_str());
  std::nth_element(refresh.begin(), refresh.begin() + std::ptrdiff_t(refresh.size() / 2), refresh.end());
  std::printf("header refresh with flush: median %.2f ms, worst %.2f ms (%.3f %% of the 2 s between two)\n",
              refresh[refresh.size() / 2], *std::max_element(refresh.begin(), refresh.end()),
              refresh[refresh.size() / 2] / 20.0);
  return 0;
}
