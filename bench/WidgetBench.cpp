// Widget benchmark (not a test): the cost of painting each widget once into its buffer,
// of one scroll step of the main window's LED display (a full redraw in memory and one
// copy to the screen), and the CPU a window with a scrolling display and a running clock
// uses while idle. Prints medians in microseconds.
//   widget_bench.exe paint     paint costs
//   widget_bench.exe idle N    CPU share over N seconds
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Synchronize.h"
#include "ui/Timer.h"
#include "widgets/VrAnimate.h"
#include "widgets/VrButtons.h"
#include "widgets/VrLcd.h"
#include "widgets/VrMatrix.h"
#include "widgets/VrScale.h"

using namespace bench;
using namespace widgets;

namespace {

double MedianMicros(int runs, const std::function<void()>& step) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const double start = Micros();
    step();
    GdiFlush();
    times.push_back(Micros() - start);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

void Report(const char* what, double us) {
  std::printf("%-40s %10.1f us\n", what, us);
}

// Paints a windowless widget into a memory bitmap the size of the widget.
double PaintCost(ui::Control& c) {
  ui::Bitmap target(c.Width(), c.Height());
  ui::Canvas canvas = target.GetCanvas();
  return MedianMicros(500, [&] { c.Paint(canvas); });
}

void ConnectionDisplay(TVrMatrix& m, ui::Form& host) {
  m.SetParent(&host);
  m.SetLedStyle(ls9x13);
  m.SetLeds(10);
  m.Palette().SetLow(ui::clBlack);
  m.Palette().SetHigh(ui::clAqua);
  m.SetText("INTERNET CONNECTION?");
  m.SetTimeInterval(250);
  m.SetPosition(10, 10);
  m.Loaded();
}

}  // namespace

int main(int argc, char** argv) {
  ui::InitSynchronize();
  const std::string mode = argc > 1 ? argv[1] : "paint";
  ui::Form host("Bench");
  host.SetClientSize(300, 100);
  host.Show();
  TVrMatrix matrix("VrMatrixConn");
  ConnectionDisplay(matrix, host);
  TVrClock clock("VrClockReal");
  clock.SetParent(&host);
  clock.SetStyle(ns7x13);
  clock.SetShowSeconds(true);
  clock.SetBlink(true);
  clock.SetPosition(10, 40);

  if (mode == "paint") {
    Report("TVrMatrix 10 x ls9x13 paint", PaintCost(matrix));
    Report("TVrMatrix scroll step (redraw + screen)", MedianMicros(500, [&] {
             matrix.ScrollStep();
             UpdateWindow(host.Handle());
           }));
    Report("TVrClock 7x13 with seconds paint", PaintCost(clock));
    TVrNum volume("VrNumVolume");
    volume.SetParent(&host);
    volume.SetDigits(3);
    volume.SetAutoSize(true);
    volume.SetValue(100);
    Report("TVrNum 3 digits paint", PaintCost(volume));
    TVrScale scale("VrScaledb");
    scale.SetParent(&host);
    scale.SetOrientation(voVertical);
    scale.SetMinValue(-40);
    scale.SetMaxValue(0);
    scale.SetBounds(0, 0, 30, 90);
    Report("TVrScale vertical paint", PaintCost(scale));
    TVrAnimate animate("VrAnimate1");
    animate.SetParent(&host);
    animate.SetBitmap(ui::Bitmap::FromBitmapResource("ANIMATE1"));
    animate.SetFrameCols(8);
    animate.SetAutoSize(true);
    Report("TVrAnimate frame paint", PaintCost(animate));
    // Windowed widgets: one paint of the window into its buffer and onto the screen.
    TVrDemoButton preset("VrDemoButtonStation1");
    preset.SetParent(&host);
    preset.SetBounds(10, 60, 190, 18);
    preset.SetCaption("Radio Paradise");
    Report("TVrDemoButton preset paint (window)", MedianMicros(500, [&] {
             InvalidateRect(preset.Handle(), nullptr, FALSE);
             UpdateWindow(preset.Handle());
           }));
    return 0;
  }
  const int seconds = argc > 2 ? std::atoi(argv[2]) : 30;
  matrix.SetAutoScroll(true);
  clock.SetActive(true);
  const double cpu0 = CpuSeconds(), wall0 = Micros();
  // The program's own message loop, ended by a timer: nothing but the widgets wakes it.
  ui::Timer stop;
  stop.SetInterval(unsigned(seconds) * 1000);
  stop.OnTimer = [] { ui::App().Terminate(); };
  stop.SetEnabled(true);
  ui::App().Run();
  const double cpu = CpuSeconds() - cpu0, wall = (Micros() - wall0) / 1e6;
  std::printf("idle window with scrolling display and running clock: %.2f %% of one core over %.0f s\n",
              100.0 * cpu / wall, wall);
  return 0;
}
