// The push button under Wine: its looks read from the screen, and presses, drags, the
// space bar and accelerators sent as real window messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ui/Form.h"
#include "ui/StdControls.h"
#include "support/WindowTesting.h"
#include "widgets/VrButtons.h"

using namespace testing_support;
using namespace widgets;

namespace {

struct ButtonForm : HostForm {
  ButtonForm() : HostForm(300, 120, ui::clNavy) {
    button.SetParent(this);
    button.SetBounds(10, 10, 190, 18);
    button.OnMouseDown = [this](ui::Control&, ui::MouseButton b, unsigned, int, int) {
      log.push_back(std::string(b == ui::MouseButton::Left ? "left" : "right") + " down" +
                    (button.IsDown() ? " (down)" : ""));
    };
    button.OnMouseUp = [this](ui::Control&, ui::MouseButton, unsigned, int, int) { log.push_back("up"); };
    button.OnClick = [this](ui::Control&) { log.push_back("click"); };
    Show();
  }
  int Clicks() const { return int(std::count(log.begin(), log.end(), "click")); }
  HWND H() const { return button.Handle(); }
  ui::Bitmap Shot() { return CaptureClient(button.Handle()); }
  TVrDemoButton button{"VrDemoButtonTest"};
  std::vector<std::string> log;
};

// The preset look: black face, no outline, teal caption turning aqua under the mouse.
void PresetLook(TVrDemoButton& b) {
  b.SetBevelWidth(0);
  b.SetOutlineWidth(0);
  b.SetColor(ui::clBlack);
  b.SetFontEnter(ui::MakeFont("Arial", 11, true, ui::clAqua));
  b.SetFontLeave(ui::MakeFont("Arial", 11, true, ui::clTeal));
  b.SetDisabledTextColor(ui::clRed);
  b.SetCaption("WWWWWW");
}

}  // namespace

TEST(Button, CaptionColourFollowsTheMouseAndTheEnabledState) {
  ButtonForm f;
  PresetLook(f.button);
  const ui::Rect all{0, 0, 190, 18};
  ui::Bitmap shot = f.Shot();
  EXPECT_GT(CountPixels(shot, ui::clTeal, all), 20);
  EXPECT_EQ(CountPixels(shot, ui::clAqua, all), 0);

  SendMouse(f.H(), WM_MOUSEMOVE, 5, 5);
  shot = f.Shot();
  EXPECT_TRUE(f.button.MouseInside());
  EXPECT_GT(CountPixels(shot, ui::clAqua, all), 20);
  EXPECT_EQ(CountPixels(shot, ui::clTeal, all), 0);

  // Disabled, even with the mouse over it: the leave font in the disabled colour.
  f.button.SetEnabled(false);
  shot = f.Shot();
  EXPECT_GT(CountPixels(shot, ui::clRed, all), 20);
  EXPECT_EQ(CountPixels(shot, ui::clAqua, all), 0);
  f.button.SetEnabled(true);

  SendMessageA(f.H(), WM_MOUSELEAVE, 0, 0);
  shot = f.Shot();
  EXPECT_FALSE(f.button.MouseInside());
  EXPECT_GT(CountPixels(shot, ui::clTeal, all), 20);
}

// The caption sits on one line where its alignment puts it: in the left, middle or right
// third across, and the top, middle or bottom third down.
TEST(Button, TheCaptionSitsWhereItsAlignmentPutsIt) {
  ButtonForm f;
  PresetLook(f.button);
  f.button.SetBounds(10, 10, 190, 60);
  f.button.SetCaption("WW");
  const struct {
    TVrTextAlignment alignment;
    int across, down;  // thirds: 0 left or top, 1 middle, 2 right or bottom
  } cases[] = {{vtaLeft, 0, 1},    {vtaCenter, 1, 1}, {vtaRight, 2, 1},      {vtaTopLeft, 0, 0},    {vtaTop, 1, 0},
               {vtaTopRight, 2, 0}, {vtaBottomLeft, 0, 2}, {vtaBottom, 1, 2}, {vtaBottomRight, 2, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.alignment));
    f.button.SetTextAlignment(c.alignment);
    const ui::Bitmap shot = f.Shot();
    int left = 190, right = -1, top = 60, bottom = -1;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 190; ++x)
        if (shot.PixelAt(x, y) == ui::clTeal || shot.PixelAt(x, y) == ui::clAqua) {  // the pointer may be over it
          left = std::min(left, x), right = std::max(right, x);
          top = std::min(top, y), bottom = std::max(bottom, y);
        }
    ASSERT_GE(right, 0) << "no caption painted";
    EXPECT_LT(bottom - top, 20) << "one line";
    EXPECT_EQ((left + right) / 2 * 3 / 190, c.across);
    EXPECT_EQ((top + bottom) / 2 * 3 / 60, c.down);
  }
}

TEST(Button, PressPopsUpWhenDraggedOffAndClicksOnlyWhenReleasedOnIt) {
  struct Step {
    UINT msg;
    int x;
  };
  struct Case {
    const char* what;
    std::vector<Step> steps;
    int clicks;
  };
  const Case cases[] = {
      {"press and release", {{WM_LBUTTONDOWN, 20}, {WM_LBUTTONUP, 20}}, 1},
      {"dragged off, released outside", {{WM_LBUTTONDOWN, 20}, {WM_MOUSEMOVE, 400}, {WM_LBUTTONUP, 400}}, 0},
      {"dragged off and back", {{WM_LBUTTONDOWN, 20}, {WM_MOUSEMOVE, -30}, {WM_MOUSEMOVE, 30}, {WM_LBUTTONUP, 30}}, 1},
      {"double click", {{WM_LBUTTONDOWN, 20}, {WM_LBUTTONUP, 20}, {WM_LBUTTONDBLCLK, 20}, {WM_LBUTTONUP, 20}}, 2},
      {"right button", {{WM_RBUTTONDOWN, 20}, {WM_RBUTTONUP, 20}}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ButtonForm f;
    for (const Step& s : c.steps) {
      const WPARAM keys = s.msg == WM_LBUTTONDOWN || s.msg == WM_LBUTTONDBLCLK ? MK_LBUTTON
                          : s.msg == WM_RBUTTONDOWN                            ? MK_RBUTTON
                          : s.msg == WM_MOUSEMOVE                              ? MK_LBUTTON
                                                                               : 0;
      SendMouse(f.H(), s.msg, s.x, 8, keys);
      if (s.msg == WM_MOUSEMOVE) {
        EXPECT_EQ(f.button.IsDown(), s.x >= 0 && s.x < 190);
      }
    }
    EXPECT_EQ(f.Clicks(), c.clicks);
    EXPECT_FALSE(f.button.IsDown());
    EXPECT_EQ(GetCapture(), nullptr) << "the mouse is free again";
  }
  // The press goes down after OnMouseDown; the click comes before OnMouseUp.
  ButtonForm f;
  SendClick(f.H(), 20, 8);
  EXPECT_EQ(f.log, (std::vector<std::string>{"left down", "click", "up"}));
}

TEST(Button, SpaceBarClicksOnReleaseUnlessThePointerLeftMeanwhile) {
  ButtonForm f;
  f.button.SetTabStop(true);
  f.button.SetFocus();
  ASSERT_TRUE(f.button.Focused());
  SendMessageA(f.H(), WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_TRUE(f.button.IsDown());
  SendMessageA(f.H(), WM_KEYDOWN, VK_SPACE, 0x40000000);  // auto-repeat of a held key
  SendMessageA(f.H(), WM_KEYUP, VK_SPACE, 0xC0000000);
  EXPECT_EQ(f.Clicks(), 1);
  EXPECT_FALSE(f.button.IsDown());

  SendMessageA(f.H(), WM_KEYDOWN, VK_SPACE, 0);
  SendMouse(f.H(), WM_MOUSEMOVE, 250, 8);  // the captured pointer leaves
  EXPECT_FALSE(f.button.IsDown());
  SendMessageA(f.H(), WM_KEYUP, VK_SPACE, 0xC0000000);
  EXPECT_EQ(f.Clicks(), 1);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST(Button, AcceleratorClicksEveryEnabledButtonThatMarksIt) {
  ButtonForm f;
  f.button.SetCaption("&Record");
  TVrDemoButton same("Same"), disabled("Disabled"), other("Other");
  int sameClicks = 0, disabledClicks = 0, otherClicks = 0;
  for (auto* b : {&same, &disabled, &other}) b->SetParent(&f);
  same.SetCaption("&Rewind");
  disabled.SetCaption("&Reset");
  disabled.SetEnabled(false);
  other.SetCaption("&Stop");
  same.OnClick = [&](ui::Control&) { ++sameClicks; };
  disabled.OnClick = [&](ui::Control&) { ++disabledClicks; };
  other.OnClick = [&](ui::Control&) { ++otherClicks; };
  PostMessageA(f.H(), WM_CHAR, 'r', 0);
  Pump(100);
  EXPECT_EQ(f.Clicks(), 1);
  EXPECT_EQ(sameClicks, 1);
  EXPECT_EQ(disabledClicks, 0);
  EXPECT_EQ(otherClicks, 0);
  PostMessageA(f.Handle(), WM_SYSCHAR, 'S', 0);  // Alt+S, sent to the window itself
  Pump(100);
  EXPECT_EQ(otherClicks, 1);
  EXPECT_EQ(f.Clicks(), 1);

  // Typing into an edit field is no accelerator; with Alt it is.
  ui::Edit edit("EditStationName");
  edit.SetParent(&f);
  edit.SetBounds(10, 60, 100, 20);
  edit.SetFocus();
  ASSERT_TRUE(edit.Focused());
  PostMessageA(edit.Handle(), WM_CHAR, 'r', 0);
  Pump(100);
  EXPECT_EQ(f.Clicks(), 1);
  EXPECT_EQ(edit.Text(), "r") << "the edit field still gets the character";
  PostMessageA(edit.Handle(), WM_SYSCHAR, 'r', 0);
  Pump(100);
  EXPECT_EQ(f.Clicks(), 2);
}

TEST(Button, FocusOutlineFlatBevelAndPressedShift) {
  ButtonForm f;
  TVrDemoButton& b = f.button;
  b.SetBounds(10, 10, 40, 20);
  b.SetCaption("");
  b.SetColor(ui::clBlack);
  b.SetFocusColor(ui::clWhite);
  b.SetHighlightColor(ui::clYellow);
  b.SetShadowColor(ui::clMaroon);
  b.SetTabStop(true);
  EXPECT_EQ(f.Shot().PixelAt(0, 0), ui::clBlack) << "outline colour while not focused";
  b.SetFocus();
  ui::Bitmap shot = f.Shot();
  EXPECT_EQ(shot.PixelAt(0, 0), ui::clWhite);
  EXPECT_EQ(shot.PixelAt(1, 1), ui::clYellow) << "raised bevel: light top-left";
  EXPECT_EQ(shot.PixelAt(38, 18), ui::clMaroon);
  SendMouse(f.H(), WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
  shot = f.Shot();
  EXPECT_EQ(shot.PixelAt(1, 1), ui::clMaroon) << "sunken while down";
  SendMouse(f.H(), WM_LBUTTONUP, 5, 5);

  // Flat: a bevel only under the mouse. Without outline there is no focus mark.
  b.SetFlat(true);
  b.SetOutlineWidth(0);
  SendMessageA(f.H(), WM_MOUSELEAVE, 0, 0);
  shot = f.Shot();
  EXPECT_EQ(shot.PixelAt(0, 0), ui::clBlack);
  SendMouse(f.H(), WM_MOUSEMOVE, 5, 5);
  EXPECT_EQ(f.Shot().PixelAt(0, 0), ui::clYellow);

  // A 4 x 4 face image is tiled, one pixel further when pressed.
  b.SetBevelWidth(0);
  ui::Bitmap tile(4, 4, ui::clGreen);
  tile.GetCanvas().SetPixel(0, 0, ui::clRed);
  b.SetBitmap(tile);
  shot = f.Shot();
  EXPECT_EQ(shot.PixelAt(4, 4), ui::clRed);
  EXPECT_EQ(shot.PixelAt(36, 16), ui::clRed);
  EXPECT_EQ(shot.PixelAt(5, 5), ui::clGreen);
  SendMouse(f.H(), WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
  shot = f.Shot();
  EXPECT_EQ(shot.PixelAt(5, 5), ui::clRed);
  EXPECT_EQ(shot.PixelAt(4, 4), ui::clGreen);
  SendMouse(f.H(), WM_LBUTTONUP, 5, 5);
}

TEST(Button, SettingTheSameValueDoesNotRepaint) {
  ButtonForm f;
  f.Shot();
  const int before = f.button.PaintCount();
  f.button.SetOutlineColor(f.button.OutlineColor());
  f.button.SetFontEnter(f.button.FontEnter());
  f.button.SetBevelWidth(f.button.BevelWidth());
  f.button.SetBevelWidth(300);  // out of range: ignored
  f.Shot();
  EXPECT_EQ(f.button.PaintCount(), before);
  EXPECT_EQ(f.button.BevelWidth(), 2);
  f.button.SetOutlineColor(ui::clRed);
  f.Shot();
  EXPECT_GT(f.button.PaintCount(), before);
}
