// The look-and-feel objects and bases that every widget shares, read from their pixels.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "ui/Form.h"
#include "support/WindowTesting.h"
#include "widgets/VrBlotter.h"
#include "widgets/VrClasses.h"
#include "widgets/VrControls.h"
#include "widgets/VrThreads.h"

using namespace testing_support;
using namespace widgets;

namespace {

// Ends the test program with a message if the scope is not left in time: a deadlock on
// the user-interface thread fails the run instead of hanging it.
class Watchdog {
 public:
  Watchdog(DWORD ms, const char* what) : done_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    thread_ = std::thread([this, ms, what] {
      if (WaitForSingleObject(done_, ms) != WAIT_TIMEOUT) return;
      std::fprintf(stderr, "Deadlock: %s\n", what);
      std::fflush(stderr);
      TerminateProcess(GetCurrentProcess(), 3);
    });
  }
  ~Watchdog() {
    SetEvent(done_);
    thread_.join();
    CloseHandle(done_);
  }

 private:
  HANDLE done_;
  std::thread thread_;
};

}  // namespace

TEST(Bevel, InsetsByItsLayers) {
  TVrBevel bevel;
  EXPECT_EQ(bevel.InsetRect({0, 0, 100, 50}), (ui::Rect{4, 4, 96, 46})) << "outline, outer, inner, space";
  BevelSettings none = bevel.Settings();
  none.InnerOutline = none.OuterOutline = osNone;
  none.InnerStyle = none.OuterStyle = bsNone;
  none.InnerSpace = none.OuterSpace = none.BorderWidth = 0;
  bevel.Set(none);
  EXPECT_EQ(bevel.InsetRect({0, 0, 10, 10}), (ui::Rect{0, 0, 10, 10}));
  BevelSettings hidden;
  hidden.Visible = false;
  bevel.Set(hidden);
  EXPECT_EQ(bevel.InsetRect({0, 0, 10, 10}), (ui::Rect{0, 0, 10, 10}));
}

TEST(Bevel, PaintsItsLayersFromTheOutsideIn) {
  BevelSettings s;
  s.BorderWidth = 1;
  s.BorderColor = ui::clYellow;
  s.OuterHighlight = ui::clWhite;
  s.OuterShadow = ui::clGray;
  s.InnerShadow = ui::clNavy;
  s.InnerHighlight = ui::clAqua;
  s.InnerColor = ui::clRed;
  TVrBevel bevel;
  bevel.Set(s);
  ui::Bitmap bmp(20, 20, ui::clGreen);
  ui::Canvas c = bmp.GetCanvas();
  ui::Rect r{0, 0, 20, 20};
  bevel.Paint(c, r);
  EXPECT_EQ(r, (ui::Rect{5, 5, 15, 15}));
  EXPECT_EQ(bmp.PixelAt(0, 0), ui::clYellow);  // border
  EXPECT_EQ(bmp.PixelAt(1, 5), ui::clBlack);   // outer outline
  EXPECT_EQ(bmp.PixelAt(2, 5), ui::clWhite);   // raised outer: light top-left
  EXPECT_EQ(bmp.PixelAt(17, 5), ui::clGray);   // and dark bottom-right
  EXPECT_EQ(bmp.PixelAt(3, 5), ui::clNavy);    // lowered inner: dark top-left
  EXPECT_EQ(bmp.PixelAt(16, 5), ui::clAqua);
  EXPECT_EQ(bmp.PixelAt(4, 5), ui::clRed);      // inner space
  EXPECT_EQ(bmp.PixelAt(10, 10), ui::clGreen);  // the inside is untouched
}

TEST(Palette, RecolourReplacesOnlyTheKeys) {
  TVrPalette palette;
  palette.SetLow(ui::clMaroon);
  palette.SetHigh(ui::clYellow);
  EXPECT_EQ(palette.ColorFor(0), ui::clMaroon);
  EXPECT_EQ(palette.ColorFor(1), ui::clYellow);
  ui::Bitmap bmp(3, 1, ui::clBlack);
  bmp.GetCanvas().SetPixel(0, 0, 0x808080);
  bmp.GetCanvas().SetPixel(1, 0, 0xC0C0C0);
  bmp.GetCanvas().SetPixel(2, 0, 0x123456);
  palette.Recolor(bmp, 0x808080, 0xC0C0C0);
  EXPECT_EQ(bmp.PixelAt(0, 0), ui::clMaroon);
  EXPECT_EQ(bmp.PixelAt(1, 0), ui::clYellow);
  EXPECT_EQ(bmp.PixelAt(2, 0), 0x123456u);
}

namespace {

class Dot : public TVrGraphicImageControl {
 public:
  Dot() : TVrGraphicImageControl("Dot") { color_ = ui::clBlue; }
  void DrawContent(ui::Canvas& c) override { c.FillRect({4, 4, 6, 6}, ui::clLime); }
};

}  // namespace

TEST(GraphicImageControl, ATransparentWidgetShowsWhatLiesBeneath) {
  HostForm form(100, 60);
  TVrBlotter panel("Panel");
  panel.SetParent(&form);
  panel.SetBounds(0, 0, 100, 60);
  panel.SetColor(ui::clRed);
  Dot dot;
  dot.SetParent(&panel);
  dot.SetBounds(20, 20, 10, 10);
  form.Show();
  ui::Bitmap shot = CaptureClient(form.Handle());
  EXPECT_EQ(shot.PixelAt(21, 21), ui::clBlue);
  EXPECT_EQ(shot.PixelAt(24, 24), ui::clLime);
  dot.SetTransparent(true);
  shot = CaptureClient(form.Handle());
  EXPECT_EQ(shot.PixelAt(21, 21), ui::clRed);
  EXPECT_EQ(shot.PixelAt(24, 24), ui::clLime);
}

TEST(Timer, ThreadTicksRunOnTheUiThreadAndTeardownNeverDeadlocks) {
  for (TVrTimerType type : {ttThread, ttSystem}) {
    SCOPED_TRACE(type == ttThread ? "thread" : "system");
    auto timer = std::make_unique<TVrTimer>();
    int ticks = 0;
    bool onUi = true;
    const DWORD ui = GetCurrentThreadId();
    timer->SetTimerType(type);
    timer->SetInterval(20);
    timer->OnTimer = [&](TVrTimer&) {
      ++ticks;
      onUi &= GetCurrentThreadId() == ui;
    };
    timer->Apply();
    EXPECT_TRUE(WaitFor([&] { return ticks >= 5; }, 3000));
    EXPECT_TRUE(onUi);
    // Disabled: the ticks are dropped.
    timer->SetEnabled(false);
    const int frozen = ticks;
    Pump(100);
    EXPECT_EQ(ticks, frozen);
    timer->SetEnabled(true);
    EXPECT_TRUE(WaitFor([&] { return ticks > frozen; }, 3000));
    // Destroyed right while ticks are due: returns, and no tick comes later.
    Sleep(60);
    timer.reset();
    const int last = ticks;
    Pump(100);
    EXPECT_EQ(ticks, last);
  }
}

TEST(Timer, ATickMayEndItsOwnTimerOrChangeItsKind) {
  Watchdog watchdog(20000, "a timer ended or changed from its own tick");
  for (TVrTimerType type : {ttThread, ttSystem}) {
    SCOPED_TRACE(type == ttThread ? "thread" : "system");
    auto timer = std::make_unique<TVrTimer>();
    int ticks = 0;
    timer->SetTimerType(type);
    timer->SetInterval(20);
    timer->OnTimer = [&](TVrTimer&) {
      ++ticks;
      timer.reset();
    };
    timer->Apply();
    EXPECT_TRUE(WaitFor([&] { return !timer; }, 3000));
    Pump(100);
    EXPECT_EQ(ticks, 1);
  }
  // A thread timer that turns itself into a system timer goes on ticking as one.
  TVrTimer timer;
  int threadTicks = 0, systemTicks = 0;
  timer.SetInterval(20);
  timer.OnTimer = [&](TVrTimer& t) {
    if (t.TimerType() == ttSystem) {
      ++systemTicks;
      return;
    }
    ++threadTicks;
    t.SetTimerType(ttSystem);
  };
  timer.Apply();
  EXPECT_TRUE(WaitFor([&] { return systemTicks >= 3; }, 3000));
  EXPECT_EQ(threadTicks, 1);
}

TEST(Blotter, ResizingRepaintsTheBevelThatMoved) {
  for (bool full : {true, false}) {
    SCOPED_TRACE(full ? "full repaint" : "bevel strips only");
    HostForm form(120, 80, ui::clNavy);
    TVrBlotter panel("Panel");
    panel.SetFullRepaint(full);
    panel.SetParent(&form);
    panel.SetBounds(0, 0, 60, 40);
    form.Show();
    // The default bevel: outline, light and dark lime edges, a black ring, 4 thick.
    ui::Bitmap shot = CaptureClient(form.Handle());
    ASSERT_EQ(shot.PixelAt(58, 20), 0x008000) << "the right edge's inner bevel";
    panel.SetBounds(0, 0, 90, 60);
    Pump(50);
    shot = CaptureClient(form.Handle());
    for (int x = 55; x < 60; ++x) EXPECT_EQ(shot.PixelAt(x, 20), ui::clBlack) << "old right edge, column " << x;
    for (int y = 35; y < 40; ++y) EXPECT_EQ(shot.PixelAt(30, y), ui::clBlack) << "old bottom edge, row " << y;
    EXPECT_EQ(shot.PixelAt(88, 20), 0x008000) << "the new right edge";
    // Shrunk, the new edges are drawn.
    panel.SetBounds(0, 0, 50, 30);
    Pump(50);
    shot = CaptureClient(form.Handle());
    EXPECT_EQ(shot.PixelAt(48, 15), 0x008000);
    EXPECT_EQ(shot.PixelAt(25, 28), 0x008000);
  }
}

TEST(Blotter, TilesItsBackImageAndPaintsItsBevelOnTop) {
  HostForm form(60, 40);
  TVrBlotter panel("Panel");
  panel.SetParent(&form);
  panel.SetBounds(0, 0, 60, 40);
  BevelSettings none = panel.Bevel().Settings();
  none.Visible = false;
  panel.Bevel().Set(none);
  // A 7 x 5 tile, red with a blue top-left pixel: repeated without gaps.
  ui::Bitmap tile(7, 5, ui::clRed);
  tile.GetCanvas().SetPixel(0, 0, ui::clBlue);
  panel.SetBackImage(tile);
  form.Show();
  ui::Bitmap shot = CaptureClient(form.Handle());
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x)
      ASSERT_EQ(shot.PixelAt(x, y), (x % 7 == 0 && y % 5 == 0) ? ui::clBlue : ui::clRed) << x << "," << y;
  // A picture larger than the panel is drawn once, clipped; the bevel lies on top.
  ui::Bitmap big(100, 100, ui::clLime);
  panel.SetBackImage(big);
  panel.Bevel().Set(BevelSettings{});
  shot = CaptureClient(form.Handle());
  EXPECT_EQ(shot.PixelAt(30, 20), ui::clLime);
  EXPECT_EQ(shot.PixelAt(0, 0), ui::clBlack) << "the bevel's outer outline";
}
