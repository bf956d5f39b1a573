// The level scale, the frame animation and the display panel, read from their pixels.
#include <gtest/gtest.h>

#include "ui/Form.h"
#include "support/WindowTesting.h"
#include "widgets/ScaleRules.h"
#include "widgets/VrAnimate.h"
#include "widgets/VrDisplay.h"
#include "widgets/VrScale.h"

using namespace testing_support;
using namespace widgets;

namespace {

// Whether a pixel has the colour's hue: text is smoothed, so its pixels are shades of it.
auto Like(ui::Color c) {
  return [c](ui::Color p) {
    auto close = [](int want, int got) { return want ? got >= 0x60 : got < 0x40; };
    return close(ui::RedOf(c), ui::RedOf(p)) && close(ui::GreenOf(c), ui::GreenOf(p)) &&
           close(ui::BlueOf(c), ui::BlueOf(p));
  };
}

}  // namespace

TEST(Scale, VerticalDecibelScaleDrawsItsLabelsFromTheBottomUp) {
  HostForm form(100, 140, ui::clBlack);
  TVrScale scale("Scale");
  scale.SetParent(&form);
  scale.SetBounds(10, 10, 24, 120);
  scale.SetMinValue(-40);
  scale.SetMaxValue(0);
  scale.SetOrientation(voVertical);
  scale.SetLeadingZero(true);
  scale.SetDigits(2);
  ui::Font font = scale.GetFont();
  font.color = ui::clAqua;
  font.height = 9;
  scale.SetFont(font);
  scale.SetPeakColor(ui::clYellow);
  scale.SetPeakLevel(-4);  // only the top label "00" is at or above it
  form.Show();
  Pump(30);
  const ui::Bitmap shot = CaptureClient(form.Handle());
  for (int i = 0; i <= 5; ++i) {
    SCOPED_TRACE(i);
    const ui::Rect cell = ScaleCell(i, 5, true, 24, 120).Offset(10, 10);
    const bool top = i == 5;
    EXPECT_GT(CountPixels(shot, Like(top ? ui::clYellow : ui::clAqua), cell), 3) << "label drawn in its cell";
    EXPECT_EQ(CountPixels(shot, Like(top ? ui::clAqua : ui::clYellow), cell), 0);
  }
  // The minus of -40 stands left of the 00's first digit: the bottom label is wider.
  auto leftmost = [&](int i, ui::Color c) {
    const ui::Rect cell = ScaleCell(i, 5, true, 24, 120).Offset(10, 10);
    for (int x = cell.left; x < cell.right; ++x)
      if (CountPixels(shot, Like(c), {x, cell.top, x + 1, cell.bottom}) > 0) return x;
    return cell.right;
  };
  EXPECT_LT(leftmost(0, ui::clAqua), leftmost(5, ui::clYellow));
}

TEST(Scale, TickMarksSitAtTheMiddleOfEachCell) {
  HostForm form(240, 40);
  TVrScale scale("Scale");
  scale.SetParent(&form);
  scale.SetBounds(0, 0, 215, 30);
  scale.SetTickMarks(tmBoth);
  scale.SetScaleColor(ui::clRed);
  form.Show();
  Pump(30);
  const ui::Bitmap shot = CaptureClient(form.Handle());
  for (int i = 0; i <= 5; ++i) {
    const int x = i * 35 + 17;
    EXPECT_EQ(shot.PixelAt(x, 5), ui::clRed) << i;   // from the top offset 4, 5 long
    EXPECT_EQ(shot.PixelAt(x, 23), ui::clRed) << i;  // and the same from the bottom
    EXPECT_NE(shot.PixelAt(x, 2), ui::clRed) << i;
  }
}

namespace {

// Three 10 x 10 frames side by side: red, lime, blue.
ui::Bitmap ThreeFrames() {
  ui::Bitmap strip(30, 10);
  ui::Canvas c = strip.GetCanvas();
  c.FillRect({0, 0, 10, 10}, ui::clRed);
  c.FillRect({10, 0, 20, 10}, ui::clLime);
  c.FillRect({20, 0, 30, 10}, ui::clBlue);
  return strip;
}

}  // namespace

TEST(Animate, ARunWithoutLoopingStopsOnItsLastFrameAndReportsOnce) {
  HostForm form(80, 80);
  TVrAnimate anim("Anim");
  anim.SetParent(&form);
  anim.SetPosition(0, 0);
  anim.SetBitmap(ThreeFrames());
  anim.SetFrameCols(3);
  anim.SetLoop(false);
  anim.SetInterval(20);
  int notified = 0;
  anim.OnNotify = [&](ui::Control&) { ++notified; };
  form.Show();
  EXPECT_EQ(CaptureClient(form.Handle()).PixelAt(25, 25), ui::clRed) << "frame 0, centred";
  anim.SetActive(true);
  EXPECT_TRUE(WaitFor([&] { return !anim.Active(); }, 3000));
  Pump(100);
  EXPECT_EQ(notified, 1);
  EXPECT_EQ(anim.CurrentFrame(), 2);
  EXPECT_EQ(CaptureClient(form.Handle()).PixelAt(25, 25), ui::clBlue);
  EXPECT_EQ(CaptureClient(form.Handle()).PixelAt(5, 5), ui::ToColorRef(ui::clBtnFace)) << "outside the frame";
}

TEST(Animate, LoopingWrapsAndAnEmptyBitmapDrawsOnlyTheBackground) {
  HostForm form(80, 80);
  TVrAnimate anim("Anim");
  anim.SetParent(&form);
  anim.SetPosition(0, 0);
  anim.SetColor(ui::clNavy);
  form.Show();
  anim.Step();
  Pump(30);
  EXPECT_EQ(CaptureClient(form.Handle()).PixelAt(25, 25), ui::clNavy);
  anim.SetBitmap(ThreeFrames());
  anim.SetFrameCols(3);
  std::vector<int> frames;
  for (int i = 0; i < 4; ++i) {
    anim.Step();
    frames.push_back(anim.CurrentFrame());
  }
  EXPECT_EQ(frames, (std::vector<int>{1, 2, 0, 1}));
  anim.SetStretch(true);
  Pump(30);
  EXPECT_EQ(CaptureClient(form.Handle()).PixelAt(2, 2), ui::clLime) << "stretched over the client";
}

TEST(Display, FaceShadowAndClientInset) {
  HostForm form(170, 120);
  TVrDisplay display("Display");
  display.SetParent(&form);
  display.SetPosition(0, 0);
  form.Show();
  EXPECT_EQ(display.Width(), 150);
  EXPECT_EQ(display.ClientArea(), (ui::Rect{11, 11, 139, 89})) << "outline 1, outer 4 + 1, inner 4 + 1";
  struct Case {
    TVrShadowLayout layout;
    int width;
    ui::Point at;
    ui::Color expected;
  } cases[] = {
      {soTopLeft, 5, {11, 50}, 0x5E7766},   // first shadow line, left edge
      {soTopLeft, 5, {70, 11}, 0x5E7766},   // and top edge
      {soTopLeft, 5, {138, 50}, 0x7C9885},  // no shadow on the right
      {soTopLeft, 5, {70, 50}, 0x7C9885},   // the face
      {soBottomRight, 5, {138, 50}, 0x5E7766}, {soBottomRight, 5, {70, 88}, 0x5E7766},
      {soBottomRight, 5, {11, 50}, 0x7C9885},  {soTopLeft, 0, {11, 50}, 0x7C9885},  // no shadow at all
      {soTopLeft, 5, {0, 0}, ui::clBlack},                                          // the outer outline
  };
  for (const Case& c : cases) {
    display.SetShadowLayout(c.layout);
    display.SetShadowWidth(c.width);
    Pump(30);
    EXPECT_EQ(CaptureClient(form.Handle()).PixelAt(c.at.x, c.at.y), c.expected)
        << c.layout << " width " << c.width << " at " << c.at.x << "," << c.at.y;
  }
}

TEST(Display, TheShadowStaysInsideTheBevel) {
  HostForm form(170, 120);
  TVrDisplay display("Display");
  display.SetParent(&form);
  display.SetPosition(0, 0);
  display.SetShadowColor1(ui::clRed);
  display.SetShadowColor2(ui::clRed);
  form.Show();
  // Inside the bevel lies {11, 11, 139, 89}; its black inner ring runs around it.
  for (TVrShadowLayout layout : {soTopLeft, soTopRight, soBottomLeft, soBottomRight}) {
    display.SetShadowLayout(layout);
    Pump(30);
    const ui::Bitmap shot = CaptureClient(form.Handle());
    int inRing = 0, shadow = 0;
    for (int y = 10; y < 90; ++y)
      for (int x = 10; x < 140; ++x) {
        const bool ring = x == 10 || y == 10 || x == 139 || y == 89;
        const bool red = shot.PixelAt(x, y) == ui::clRed;
        inRing += ring && red;
        shadow += !ring && red;
      }
    EXPECT_EQ(inRing, 0) << "layout " << layout;
    // Five lines along two edges of the 128 x 78 area, line i starting i pixels further
    // in: 128 + 78 - 1 - 2i pixels each.
    EXPECT_EQ(shadow, 5 * (128 + 78 - 1) - 2 * (0 + 1 + 2 + 3 + 4)) << "layout " << layout;
  }
}
