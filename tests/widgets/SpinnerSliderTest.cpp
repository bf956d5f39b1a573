// The fader and the spinner under Wine: positions from real mouse and key messages,
// the lit track read from the screen, and the timing of a held spin button.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <vector>

#include "ui/Form.h"
#include "ui/StdControls.h"
#include "support/WindowTesting.h"
#include "widgets/FreedMemory.h"
#include "widgets/VrSlider.h"
#include "widgets/VrSpinner.h"

using namespace testing_support;
using namespace widgets;

namespace {

struct FaderForm : HostForm {
  FaderForm() : HostForm(200, 200) {
    fader.SetParent(this);
    fader.SetBounds(10, 10, 40, 150);
    fader.SetMaxValue(1000);
    fader.KeyIncrement = 1;
    fader.OnChange = [this](ui::Control&) { ++changes; };
    Show();
  }
  void Drag(ui::Point from, ui::Point to) {
    SendMouse(fader.Handle(), WM_MOUSEMOVE, from.x, from.y);
    SendMouse(fader.Handle(), WM_LBUTTONDOWN, from.x, from.y, MK_LBUTTON);
    SendMouse(fader.Handle(), WM_MOUSEMOVE, to.x, to.y, MK_LBUTTON);
    SendMouse(fader.Handle(), WM_LBUTTONUP, to.x, to.y);
  }
  ui::Point ThumbCentre() const {
    const ui::Rect t = fader.ThumbRect();
    return {(t.left + t.right) / 2, (t.top + t.bottom) / 2};
  }
  void Key(unsigned vk) { SendMessageA(fader.Handle(), WM_KEYDOWN, vk, 0); }
  TVrSlider fader{"Fader"};
  int changes = 0;
};

}  // namespace

TEST(Slider, DraggingTheThumbToTheEndsGivesZeroAndTheMaximum) {
  FaderForm f;
  f.Drag(f.ThumbCentre(), {20, -300});  // far above the top: the mouse is captured
  EXPECT_EQ(f.fader.Position(), 1000);
  EXPECT_EQ(f.fader.ThumbRect().top, 3);
  f.Drag(f.ThumbCentre(), {20, 600});
  EXPECT_EQ(f.fader.Position(), 0);
  EXPECT_EQ(f.fader.ThumbRect().bottom, 147);
  f.Drag(f.ThumbCentre(), {20, 75});
  EXPECT_GT(f.fader.Position(), 400);
  EXPECT_LT(f.fader.Position(), 600);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST(Slider, ArrowKeysStepByTheIncrementWhenFocused) {
  FaderForm f;
  // Not a tab stop: a click leaves the focus where it was.
  SendClick(f.fader.Handle(), 20, 20);
  EXPECT_FALSE(f.fader.Focused());
  f.fader.SetFocus();
  EXPECT_EQ(SendMessageA(f.fader.Handle(), WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
  struct Step {
    unsigned vk;
    int expected;
  };
  const Step steps[] = {{VK_END, 1000}, {VK_DOWN, 999}, {VK_UP, 1000}, {VK_UP, 1000},
                        {VK_HOME, 0},   {VK_DOWN, 0},   {VK_UP, 1},    {VK_LEFT, 1}};
  for (const Step& s : steps) {
    f.Key(s.vk);
    EXPECT_EQ(f.fader.Position(), s.expected) << "key " << s.vk;
  }
}

TEST(Slider, PositionIsClampedAndOnlyChangesRaiseOnChange) {
  FaderForm f;
  f.fader.SetPosition(5000);
  EXPECT_EQ(f.fader.Position(), 1000);
  EXPECT_EQ(f.changes, 1);
  f.fader.SetPosition(1000);
  EXPECT_EQ(f.changes, 1);
  f.fader.SetMaxValue(500);
  EXPECT_EQ(f.fader.Position(), 500);
  EXPECT_EQ(f.changes, 2);
  f.fader.SetPosition(-3);
  EXPECT_EQ(f.fader.Position(), 0);
}

TEST(Slider, ClickBesideTheThumbMovesItOnlyWithActiveClick) {
  FaderForm f;
  SendClick(f.fader.Handle(), 20, 20);
  EXPECT_EQ(f.fader.Position(), 0);
  f.fader.SetOptions(f.fader.Options() | soActiveClick);
  SendClick(f.fader.Handle(), 20, 75);
  const ui::Point c = f.ThumbCentre();
  EXPECT_NEAR(c.y, 75, 1) << "the thumb's centre comes under the pointer";
  EXPECT_NEAR(f.fader.Position(), 500, 15);
}

TEST(Slider, TicksAreLitFromTheBottomUpToTheThumb) {
  FaderForm f;
  f.fader.SetPosition(500);
  const ui::Bitmap shot = CaptureClient(f.fader.Handle());
  const ui::Rect track = f.fader.TrackRect();
  const ui::Rect thumb = f.fader.ThumbRect();
  // Ticks are one pixel with one pixel between them: look at two rows at a time.
  auto rowPair = [&](int y) {
    const ui::Color a = shot.PixelAt(track.left + 1, y), b = shot.PixelAt(track.left + 1, y + 1);
    return a == ui::clBlack ? b : a;
  };
  EXPECT_EQ(rowPair(thumb.bottom + 10), ui::clLime);
  EXPECT_EQ(rowPair(track.bottom - 3), ui::clLime);
  EXPECT_EQ(rowPair(thumb.top - 10), ui::clGreen);
  EXPECT_EQ(rowPair(track.top + 1), ui::clGreen);
  EXPECT_EQ(shot.PixelAt(thumb.left, thumb.top), ui::clBlack) << "the thumb's outline";
  EXPECT_EQ(shot.PixelAt(0, 0), ui::ToColorRef(ui::clBtnFace)) << "the frame without focus";
  f.fader.SetFocus();
  EXPECT_EQ(CaptureClient(f.fader.Handle()).PixelAt(0, 0), ui::clBlue) << "and with it";
}

TEST(Slider, OrientationSwapsTheSidesAndTheThumb) {
  FaderForm f;
  f.fader.SetOrientation(voHorizontal);
  EXPECT_EQ(f.fader.Width(), 150);
  EXPECT_EQ(f.fader.Height(), 40);
  EXPECT_EQ(f.fader.ThumbRect(), (ui::Rect{3, 5, 16, 35})) << "the upright 13 x 30 thumb, at the left";
  f.fader.SetFocus();
  f.Key(VK_RIGHT);
  EXPECT_EQ(f.fader.Position(), 1);
  EXPECT_NE(LoadCursorA(GetModuleHandleA(nullptr), "VRCURSORHANDPOINT"), nullptr) << "the thumb's hand cursor";
}

TEST(Slider, ThumbFromASharedListFallsBackToTheBuiltInOne) {
  FaderForm f;
  const ui::Rect builtIn = f.fader.ThumbRect();
  auto list = std::make_unique<TVrBitmapList>();
  list->Add(ui::Bitmap(20, 10, ui::clRed));
  f.fader.SetThumbImageIndex(0);
  f.fader.SetBitmapList(list.get());
  EXPECT_EQ(f.fader.ThumbRect().Width(), 20);
  EXPECT_EQ(CaptureClient(f.fader.Handle()).PixelAt(f.fader.ThumbRect().left + 2, f.fader.ThumbRect().top + 2),
            ui::clRed);
  f.fader.SetThumbImageIndex(5);  // no such picture
  EXPECT_EQ(f.fader.ThumbRect(), builtIn);
  f.fader.SetThumbImageIndex(0);
  list.reset();  // the slider lets go of a list that ends
  EXPECT_EQ(f.fader.BitmapList(), nullptr);
  EXPECT_EQ(f.fader.ThumbRect(), builtIn);
}

namespace {

struct SpinnerForm : HostForm {
  SpinnerForm() : HostForm(120, 120) {
    spinner.SetParent(this);
    spinner.SetBounds(10, 10, 23, 40);
    spinner.OnUpClick = [this](ui::Control&) { ++up; };
    spinner.OnDownClick = [this](ui::Control&) { ++down; };
    Show();
  }
  // A point on the button beside its arrow, in the spinner's client coordinates.
  ui::Point BesideArrow(TVrSpinButton& b) {
    EXPECT_FALSE(b.OnArrow(1, 1));
    return {b.Left() + 1, b.Top() + 1};
  }
  // A point on the arrow of a button, in the spinner's client coordinates.
  ui::Point OnArrow(TVrSpinButton& b) {
    for (int y = b.Height() / 2; y < b.Height(); ++y)
      for (int x = b.Width() / 2 - 2; x <= b.Width() / 2 + 2; ++x)
        if (b.OnArrow(x, y)) return {b.Left() + x, b.Top() + y};
    ADD_FAILURE() << "no arrow found";
    return {};
  }
  TVrSpinner spinner{"Spinner"};
  int up = 0;
  int down = 0;
};

}  // namespace

TEST(Spinner, AShortPressClicksOnceOnRelease) {
  SpinnerForm f;
  const ui::Point p = f.OnArrow(f.spinner.FirstButton());
  SendMouse(f.spinner.Handle(), WM_LBUTTONDOWN, p.x, p.y, MK_LBUTTON);
  EXPECT_TRUE(f.spinner.FirstButton().Pressed());
  Pump(150);
  EXPECT_EQ(f.up, 0);
  SendMouse(f.spinner.Handle(), WM_LBUTTONUP, p.x, p.y);
  EXPECT_EQ(f.up, 1);
  Pump(600);
  EXPECT_EQ(f.up, 1) << "no repeat after the release";
  EXPECT_EQ(f.down, 0);
  // Beside the arrow nothing happens.
  SendClick(f.spinner.Handle(), 1, 1);
  EXPECT_EQ(f.up, 1);
  EXPECT_TRUE(f.spinner.Focused()) << "a press focuses the spinner";

  // With a focus control, that control takes the focus instead.
  ui::Edit group("EditGroup");
  group.SetParent(&f);
  group.SetBounds(50, 10, 50, 20);
  f.spinner.FocusControl = &group;
  SendClick(f.spinner.Handle(), p.x, p.y);
  EXPECT_TRUE(group.Focused());
  EXPECT_EQ(f.up, 2);
}

TEST(Spinner, AHeldButtonRepeatsAfter400ThenEvery100Milliseconds) {
  // Timers never fire early, but under load they fire late: the test bounds the delays
  // from below and only asks that the repeat is clearly faster than the first delay.
  SpinnerForm f;
  std::vector<DWORD> at;
  f.spinner.OnDownClick = [&](ui::Control&) { at.push_back(GetTickCount()); };
  const ui::Point p = f.OnArrow(f.spinner.SecondButton());
  const DWORD start = GetTickCount();
  SendMouse(f.spinner.Handle(), WM_LBUTTONDOWN, p.x, p.y, MK_LBUTTON);
  Pump(300);
  EXPECT_TRUE(at.empty()) << "nothing before 400 ms";
  ASSERT_TRUE(WaitFor([&] { return at.size() >= 6; }, 10000));
  const DWORD held = GetTickCount() - start;
  EXPECT_GE(at[0] - start, 380u) << "the first repeat after 400 ms";
  std::vector<DWORD> gaps;
  for (std::size_t i = 1; i < at.size(); ++i) gaps.push_back(at[i] - at[i - 1]);
  // A click that comes late (a busy machine) brings the next one closer: on average.
  EXPECT_GE((at.back() - at.front()) / gaps.size(), 85u) << "then every 100 ms";
  std::sort(gaps.begin(), gaps.end());
  EXPECT_LT(gaps[gaps.size() / 2], 300u) << "the repeat is faster than the first delay";
  // At most one click per 100 ms after the first delay.
  EXPECT_LE(at.size(), (held - 400) / 90 + 1);
  const std::size_t repeats = at.size();
  SendMouse(f.spinner.Handle(), WM_LBUTTONUP, p.x, p.y);
  EXPECT_EQ(at.size(), repeats + 1) << "and once more on release";
  Pump(300);
  EXPECT_EQ(at.size(), repeats + 1) << "stops on release";
  EXPECT_EQ(f.up, 0);
}

TEST(Spinner, AReleaseOnTheArrowClicksAlsoAfterAPressBesideIt) {
  SpinnerForm f;
  TVrTimerSpinButton& first = f.spinner.FirstButton();
  const ui::Point beside = f.BesideArrow(first), on = f.OnArrow(first);
  SendMouse(f.spinner.Handle(), WM_LBUTTONDOWN, beside.x, beside.y, MK_LBUTTON);
  EXPECT_FALSE(first.Pressed()) << "a press beside the arrow does not press the button";
  Pump(600);
  EXPECT_EQ(f.up, 0) << "nor repeat";
  SendMouse(f.spinner.Handle(), WM_MOUSEMOVE, on.x, on.y, MK_LBUTTON);
  SendMouse(f.spinner.Handle(), WM_LBUTTONUP, on.x, on.y);
  EXPECT_EQ(f.up, 1);
  EXPECT_EQ(GetCapture(), nullptr);
  // Pressed on the arrow and released beside it: no click.
  SendMouse(f.spinner.Handle(), WM_LBUTTONDOWN, on.x, on.y, MK_LBUTTON);
  SendMouse(f.spinner.Handle(), WM_LBUTTONUP, beside.x, beside.y);
  EXPECT_EQ(f.up, 1);
  EXPECT_EQ(f.down, 0);
}

TEST(Spinner, DisabledWhileHeldTheButtonLetsGo) {
  for (bool wholeSpinner : {true, false}) {
    SCOPED_TRACE(wholeSpinner ? "the spinner disabled" : "the button disabled");
    SpinnerForm f;
    TVrTimerSpinButton& first = f.spinner.FirstButton();
    const ui::Point p = f.OnArrow(first);
    SendMouse(f.spinner.Handle(), WM_LBUTTONDOWN, p.x, p.y, MK_LBUTTON);
    ASSERT_TRUE(first.Pressed());
    ASSERT_TRUE(first.Repeating());
    if (wholeSpinner)
      f.spinner.SetEnabled(false);
    else
      first.SetEnabled(false);
    EXPECT_FALSE(first.Pressed());
    EXPECT_FALSE(first.Repeating());
    Pump(700);
    EXPECT_EQ(f.up, 0) << "no repeat";
    f.spinner.SetEnabled(true);
    first.SetEnabled(true);
    SendMouse(f.spinner.Handle(), WM_LBUTTONUP, p.x, p.y);
    EXPECT_EQ(f.up, 0) << "the ended press does not click on release";
    EXPECT_EQ(GetCapture(), nullptr);
  }
}

TEST(Spinner, AClickHandlerMayTurnTheSpinnerAround) {
  // The old buttons are still running when the handler replaces them: a release click
  // goes on to raise the button's mouse-up, a repeat returns into its timer.
  FreedMemoryPoison poison;
  SpinnerForm f;
  int ups = 0;
  f.spinner.OnUpClick = [&](ui::Control&) {
    ++ups;
    f.spinner.SetOrientation(f.spinner.Orientation() == voVertical ? voHorizontal : voVertical);
  };
  int mouseUps = 0;
  f.spinner.FirstButton().OnMouseUp = [&](ui::Control&, ui::MouseButton, unsigned, int, int) { ++mouseUps; };
  ui::Point p = f.OnArrow(f.spinner.FirstButton());
  SendClick(f.spinner.Handle(), p.x, p.y);
  EXPECT_EQ(ups, 1);
  EXPECT_EQ(mouseUps, 1);
  EXPECT_EQ(f.spinner.Orientation(), voHorizontal);
  EXPECT_EQ(f.spinner.FirstButton().Kind(), sbLeft);
  Pump(50);

  // Held: the first repeat turns the spinner back; the old button's repeat stops.
  f.spinner.SetBounds(10, 10, 40, 23);
  p = f.OnArrow(f.spinner.FirstButton());
  SendMouse(f.spinner.Handle(), WM_LBUTTONDOWN, p.x, p.y, MK_LBUTTON);
  EXPECT_TRUE(WaitFor([&] { return ups == 2; }, 3000));
  Pump(400);
  EXPECT_EQ(ups, 2);
  EXPECT_EQ(f.spinner.Orientation(), voVertical);
  SendMouse(f.spinner.Handle(), WM_LBUTTONUP, p.x, p.y);
  // The new buttons work.
  f.spinner.SetBounds(10, 10, 23, 40);
  p = f.OnArrow(f.spinner.SecondButton());
  SendClick(f.spinner.Handle(), p.x, p.y);
  EXPECT_EQ(f.down, 1);
}

TEST(Spinner, KeysClickTheButtonsOfTheOrientation) {
  SpinnerForm f;
  f.spinner.SetFocus();
  auto key = [&](unsigned vk) { SendMessageA(f.spinner.Handle(), WM_KEYDOWN, vk, 0); };
  key(VK_DOWN);
  key(VK_SPACE);  // the focus mark moved to the second button
  key(VK_LEFT);
  EXPECT_EQ(f.down, 2);
  EXPECT_EQ(f.up, 0);
  key(VK_UP);
  EXPECT_EQ(f.up, 1);

  f.spinner.SetOrientation(voHorizontal);
  f.spinner.SetBounds(10, 10, 40, 23);
  f.spinner.SetFocus();
  key(VK_DOWN);
  EXPECT_EQ(f.down, 2) << "Down does nothing on a horizontal spinner";
  key(VK_RIGHT);
  key(VK_SPACE);
  EXPECT_EQ(f.down, 4);
  key(VK_LEFT);
  EXPECT_EQ(f.up, 2);
}

TEST(Spinner, SizeRuleAndRecolouredArrows) {
  SpinnerForm f;
  f.spinner.SetBounds(10, 10, 8, 40);
  EXPECT_EQ(f.spinner.Width(), 15);
  EXPECT_EQ(f.spinner.FirstButton().BoundsRect(), (ui::Rect{0, 0, 15, 20}));
  EXPECT_EQ(f.spinner.SecondButton().BoundsRect(), (ui::Rect{0, 19, 15, 40}));

  f.spinner.SetBounds(10, 10, 23, 40);
  ui::Bitmap shot = CaptureClient(f.spinner.Handle());
  auto count = [&](ui::Color c) {
    int n = 0;
    for (int y = 0; y < shot.Height(); ++y)
      for (int x = 0; x < shot.Width(); ++x) n += shot.PixelAt(x, y) == c;
    return n;
  };
  EXPECT_GT(count(ui::clLime), 20);
  EXPECT_EQ(count(ui::clFuchsia), 0) << "the surround is transparent";
  f.spinner.Palette().SetHigh(ui::clYellow);
  shot = CaptureClient(f.spinner.Handle());
  EXPECT_EQ(count(ui::clLime), 0);
  EXPECT_GT(count(ui::clYellow), 20);
  // Disabled: the low-key image, in the palette's Low colour.
  f.spinner.Palette().SetLow(ui::clMaroon);
  f.spinner.SetEnabled(false);
  shot = CaptureClient(f.spinner.Handle());
  EXPECT_EQ(count(ui::clYellow), 0);
  EXPECT_GT(count(ui::clMaroon), 20);
}

TEST(Spinner, AFailingRepeatStopsAndIsReportedOnce) {
  // The watcher outlives the window: its thread must not wait on a window being destroyed.
  MessageBoxWatcher boxes;
  SpinnerForm f;
  int calls = 0;
  f.spinner.OnUpClick = [&](ui::Control&) {
    ++calls;
    throw std::runtime_error("Group file missing");
  };
  const ui::Point p = f.OnArrow(f.spinner.FirstButton());
  SendMouse(f.spinner.Handle(), WM_LBUTTONDOWN, p.x, p.y, MK_LBUTTON);
  Pump(1200);
  EXPECT_EQ(calls, 1) << "the repeat ends at the first error";
  EXPECT_FALSE(f.spinner.FirstButton().Pressed());
  const auto seen = boxes.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, "Group file missing");
  SendMouse(f.spinner.Handle(), WM_LBUTTONUP, p.x, p.y);
  EXPECT_EQ(calls, 1) << "the ended press does not click on release";
}
