// The program's own windows as they look: the controls of the real main window and
// dialogs, their properties and the pixels they put on the screen.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/AllForms.h"
#include "app/MainForm.h"
#include "recording/OptionsForm.h"
#include "stations/BandForm.h"
#include "stations/EditStationForm.h"
#include "stations/HistoryForm.h"
#include "ui/Application.h"
#include "support/MainWindowView.h"
#include "support/WindowTesting.h"
#include "widgets/LcdRules.h"
#include "widgets/ScaleRules.h"

using namespace testing_support;
using namespace widgets;

namespace {

// The forms of start-up, with the main window shown once in a working directory of its
// own (its first showing reads the settings there) and hidden again by each test.
class ProgramLooks : public ::testing::Test {
 protected:
  void SetUp() override {
    if (ui::App().Forms().empty()) app::CreateAllForms();
    if (!MainForm->StartupDone()) {
      char saved[MAX_PATH] = "", temp[MAX_PATH] = "";
      GetCurrentDirectoryA(MAX_PATH, saved);
      GetTempPathA(MAX_PATH, temp);
      const std::string dir = std::string(temp) + "tunora-looks-" + std::to_string(GetCurrentProcessId());
      CreateDirectoryA(dir.c_str(), nullptr);
      SetCurrentDirectoryA(dir.c_str());
      MainForm->Show();
      SetCurrentDirectoryA(saved);
    }
    MainForm->Show();
    MainForm->BringToFront();
    Pump(50);
  }
  void TearDown() override { MainForm->Hide(); }
  TMainForm& M() { return *MainForm; }
  MainWindowView& W() { return View(*MainForm); }
};

struct ButtonLook {
  const char* name;
  TVrDemoButton* button;
  int width, height;
  ui::Color face;
  int outline;
  ui::Color outlineColor;
  int fontHeight;
  bool bold;
  ui::Color underMouse, otherwise;
  ui::Color focus = ui::clWhite;
};

// The look's properties; on a shown window also its pixels: outline, face, caption in
// both mouse states.
void ExpectLook(const ButtonLook& l) {
  SCOPED_TRACE(l.name);
  TVrDemoButton& b = *l.button;
  EXPECT_EQ(b.Width(), l.width);
  EXPECT_EQ(b.Height(), l.height);
  EXPECT_EQ(b.GetColor(), l.face);
  EXPECT_EQ(b.OutlineWidth(), l.outline);
  if (l.outline > 0) {
    EXPECT_EQ(b.OutlineColor(), l.outlineColor);
  }
  EXPECT_EQ(b.BevelWidth(), 0);
  EXPECT_EQ(b.FocusColor(), l.focus);
  EXPECT_EQ(b.Font3D().HighlightDepth, 0);
  EXPECT_EQ(b.Font3D().ShadowDepth, 0);
  EXPECT_EQ(b.GetCursor(), ui::Cursor::Hand);
  for (const ui::Font* f : {&b.FontEnter(), &b.FontLeave()}) {
    EXPECT_EQ(f->name, "Arial");
    EXPECT_EQ(f->height, l.fontHeight);
    EXPECT_EQ(f->style.bold, l.bold);
  }
  EXPECT_EQ(b.FontEnter().color, l.underMouse);
  EXPECT_EQ(b.FontLeave().color, l.otherwise);

  if (!b.Showing()) return;
  SendMessageA(b.Handle(), WM_MOUSELEAVE, 0, 0);
  ui::Bitmap shot = CaptureClient(b.Handle());
  ASSERT_EQ(shot.Width(), l.width);
  for (int i = 0; i < l.outline; ++i) {
    EXPECT_EQ(shot.PixelAt(i, l.height / 2), l.outlineColor) << "outline column " << i;
    EXPECT_EQ(shot.PixelAt(l.width - 1 - i, l.height / 2), l.outlineColor);
  }
  EXPECT_EQ(shot.PixelAt(l.outline, l.outline), l.face) << "the face right inside the outline: no bevel";
  EXPECT_GT(CountPixels(shot, l.otherwise), 10) << "caption";
  if (l.underMouse == l.otherwise) return;
  SendMouse(b.Handle(), WM_MOUSEMOVE, 1, 1);
  shot = CaptureClient(b.Handle());
  EXPECT_GT(CountPixels(shot, l.underMouse), 10) << "caption under the mouse";
  EXPECT_EQ(CountPixels(shot, l.otherwise), 0);
  SendMessageA(b.Handle(), WM_MOUSELEAVE, 0, 0);
}

}  // namespace

TEST_F(ProgramLooks, TheMainWindowsButtonsWearTheirLooks) {
  std::vector<ButtonLook> looks;
  for (auto& preset : W().VrDemoButtonStation)
    looks.push_back({"preset", &preset, 190, 18, ui::clBlack, 0, ui::clBlack, 11, true, ui::clAqua, ui::clTeal});
  for (auto* b : {&W().VrDemoButtonStop, &W().VrDemoButtonRec})
    looks.push_back({"REC or STOP", b, 57, 56, ui::clRed, 2, ui::clBlack, 15, true, ui::clBlack, ui::clBlack});
  looks.push_back(
      {"PLAY", &W().VrDemoButtonStart, 57, 56, ui::clLime, 2, ui::clBlack, 15, true, ui::clBlack, ui::clBlack});
  for (auto* b : {&W().VrDemoButtonUnplug, &W().VrDemoButtonSkinMaker, &W().VrDemoButtonOptions, &W().VrDemoButtonBurn,
                  &W().VrDemoButtonExit})
    looks.push_back({"button block", b, 106, 23, ui::clBlack, 1, ui::clGray, 11, true, ui::clWhite, ui::clSilver});
  looks.push_back(
      {"Mixer", &W().VrDemoButtonMixer, 29, 15, ui::clBlack, 0, ui::clBlack, 11, false, ui::clAqua, ui::clAqua});
  looks.push_back({"Choose Station Band", &W().VrDemoButtonBand, 107, 15, ui::clBlack, 0, ui::clBlack, 11, false,
                   ui::clAqua, ui::clAqua});
  looks.push_back({"Station History", &W().VrDemoButtonHistory, 70, 15, ui::clBlack, 0, ui::clBlack, 11, false,
                   ui::clAqua, ui::clAqua});
  for (const ButtonLook& l : looks) ExpectLook(l);

  // The keyboard focus shows as a white outline.
  TVrDemoButton& unplug = W().VrDemoButtonUnplug;
  unplug.SetFocus();
  EXPECT_EQ(CaptureClient(unplug.Handle()).PixelAt(0, 11), ui::clWhite);
  M().SetFocus();
  EXPECT_EQ(CaptureClient(unplug.Handle()).PixelAt(0, 11), ui::clGray);
}

TEST_F(ProgramLooks, TheDialogsButtonsWearTheMenuAndEntryLooks) {
  auto command = [](const char* name, TVrDemoButton& b, ui::Color focus = ui::clWhite) {
    return ButtonLook{name, &b, 106, 24, ui::clBlack, 1, ui::clGray, 11, true, ui::clAqua, ui::clSilver, focus};
  };
  struct Dialog {
    ui::Form* form;
    std::vector<ButtonLook> looks;
  };
  std::vector<Dialog> dialogs = {
      {BandForm,
       {command("Remove Band", BandForm->VrDemoButtonRemove, ui::clAqua),
        command("Add Band", BandForm->VrDemoButtonAdd, ui::clAqua), command("Cancel", BandForm->VrDemoButtonCancelBand),
        command("Select Band", BandForm->VrDemoButtonSelectBand, ui::clAqua)}},
      {EditStationForm, {command("Save and Exit", EditStationForm->VrDemoButtonExit)}},
      {OptionsForm,
       {command("Export File", OptionsForm->VrDemoButtonExport),
        command("Save and Exit", OptionsForm->VrDemoButtonExit)}},
      {HistoryForm, {command("Exit", HistoryForm->VrDemoButtonCloseHistory)}},
  };
  for (int k = 1; k <= 11; ++k)
    dialogs.back().looks.push_back({"history entry", &HistoryForm->EntryButton(k), 229, 18, ui::clBlack, 0, ui::clBlack,
                                    11, true, ui::clAqua, ui::clTeal});
  for (Dialog& d : dialogs) {
    SCOPED_TRACE(d.form->Name());
    d.form->Show();
    Pump(50);
    for (const ButtonLook& l : d.looks) ExpectLook(l);
    d.form->Hide();
  }
}

TEST_F(ProgramLooks, TheDecibelScaleReadsFromMinusFortyToZeroInAqua) {
  TVrScale& scale = W().VrScaledb;
  EXPECT_EQ(scale.Orientation(), voVertical);
  EXPECT_EQ(scale.MinValue(), -40);
  EXPECT_EQ(scale.MaxValue(), 0);
  EXPECT_EQ(scale.Ticks(), 5);
  EXPECT_TRUE(scale.LeadingZero());
  EXPECT_EQ(scale.Digits(), 2);
  EXPECT_EQ(scale.ScaleColor(), ui::clAqua);
  EXPECT_EQ(scale.PeakColor(), ui::clAqua);
  EXPECT_EQ(scale.GetFont().color, ui::clAqua);
  EXPECT_EQ(scale.GetFont().height, 9);
  EXPECT_TRUE(scale.Transparent());

  // The labels on the screen are those texts, centred in their cells from the bottom up,
  // on the block's black.
  const int w = scale.Width(), h = scale.Height();
  ui::Bitmap expected(w, h, ui::clBlack);
  const char* labels[] = {"-40", "-32", "-24", "-16", "-08", "00"};
  for (int i = 0; i < 6; ++i)
    expected.GetCanvas().DrawText(ScaleCell(i, 5, true, w, h), labels[i], ui::MakeFont("Arial", 9, false, ui::clAqua),
                                  DT_SINGLELINE | DT_NOCLIP | DT_CENTER | DT_VCENTER);
  const ui::Bitmap shot = CaptureClient(W().VrBlotterMixer.Handle());
  int wrong = 0;
  for (int y = 0; y < h - 2; ++y)  // the label "dB" below starts on the last row
    for (int x = 0; x < w; ++x) wrong += shot.PixelAt(scale.Left() + x, scale.Top() + y) != expected.PixelAt(x, y);
  EXPECT_EQ(wrong, 0);
  EXPECT_GT(CountPixels(expected, ui::clAqua), 20) << "the comparison covers the labels";
}

namespace {

// What a number or clock of the main window should show: the glyphs of its digit set in
// its palette's colours, black where a glyph is transparent; ':' draws the colon.
ui::Bitmap LcdPicture(TVrCustomNum& lcd, const std::string& text) {
  const LcdImageSet& set = LcdImagesOf(lcd.Style());
  ui::Bitmap strip = ui::Bitmap::FromBitmapResource(set.strip);
  ui::Bitmap colon = ui::Bitmap::FromBitmapResource(set.colon);
  lcd.Palette().Recolor(strip, 0x808080, 0xC0C0C0);
  lcd.Palette().Recolor(colon, 0x808080, 0xC0C0C0);
  ui::Bitmap picture(lcd.Width(), lcd.Height(), ui::clBlack);
  const int g = set.GlyphWidth();
  int x = 0;
  for (char c : text) {
    const bool isColon = c == ':';
    const int w = isColon ? set.colonWidth : g;
    for (int py = 0; py < set.height; ++py)
      for (int px = 0; px < w && x + px < picture.Width(); ++px) {
        const ui::Color p = isColon ? colon.PixelAt(px, py) : strip.PixelAt((c - '0') * g + px, py);
        if (p != ui::clBlack) picture.GetCanvas().SetPixel(x + px, py, p);
      }
    x += w + 2;  // the widgets' glyph spacing
  }
  return picture;
}

int WrongPixels(const ui::Bitmap& shot, const ui::Control& c, const ui::Bitmap& want) {
  int wrong = 0;
  for (int y = 0; y < want.Height(); ++y)
    for (int x = 0; x < want.Width(); ++x) wrong += shot.PixelAt(c.Left() + x, c.Top() + y) != want.PixelAt(x, y);
  return wrong;
}

}  // namespace

TEST_F(ProgramLooks, TheLcdNumbersAndClocksKeepTheirGlyphSpacing) {
  // Clocks of 7 x 13 digits with seconds: 6 x 7 + 2 x 3 + 7 x 2 = 62 pixels.
  for (TVrClock* clock : {&W().VrClockReal, &W().VrClockstposition, &W().VrClockDuration, &W().VrClockRecPos}) {
    SCOPED_TRACE(clock->Name());
    EXPECT_EQ(clock->Width(), 62);
    EXPECT_EQ(clock->Height(), 13);
  }
  // The status monitor would write its own times meanwhile.
  W().TimerTunora.SetEnabled(false);
  W().VrClockDuration.SetHours(1);
  W().VrClockDuration.SetMinutes(23);
  W().VrClockDuration.SetSeconds(45);
  ui::Bitmap shot = CaptureClient(W().VrBlotterPlayback.Handle());
  EXPECT_EQ(WrongPixels(shot, W().VrClockDuration, LcdPicture(W().VrClockDuration, "01:23:45")), 0);
  W().VrClockDuration.SetHours(0);
  W().VrClockDuration.SetMinutes(0);
  W().VrClockDuration.SetSeconds(0);
  W().TimerTunora.SetEnabled(true);

  // The group number, three digits with leading zeros.
  TVrNum& group = W().VrNumBlock;
  EXPECT_EQ(group.Width(), 3 * 7 + 2 * 2);
  EXPECT_EQ(group.Value(), 1);
  shot = CaptureClient(W().VrBlotterBand.Handle());
  EXPECT_EQ(WrongPixels(shot, group, LcdPicture(group, "001")), 0);
  // The volume, 100 after the first showing.
  shot = CaptureClient(W().VrBlotterMixer.Handle());
  EXPECT_EQ(WrongPixels(shot, W().VrNumVolume, LcdPicture(W().VrNumVolume, "100")), 0);
}

TEST_F(ProgramLooks, TheConnectionDisplayIsTenCellsInATwoPixelFrame) {
  TVrMatrix& led = W().VrMatrixConn;
  EXPECT_EQ(led.BoundsRect(), ui::Rect::FromBounds(327, 16, 112, 17));
  EXPECT_EQ(led.Leds(), 10);
  EXPECT_EQ(led.LedStyle(), ls9x13);
  EXPECT_EQ(led.Palette().High(), ui::clAqua);
  const ui::Bitmap shot = CaptureClient(M().Handle());
  // The frame: its light outer edge, then a black ring around the cells.
  EXPECT_EQ(shot.PixelAt(327, 16 + 8), ui::clTeal);
  EXPECT_EQ(shot.PixelAt(327 + 1, 16 + 8), ui::clBlack);
}

TEST_F(ProgramLooks, TheVolumeFaderRunsFromZeroToAThousandAndShowsOnTheNumber) {
  TVrSlider& fader = W().VrScrollBarPlayer1;
  EXPECT_EQ(fader.Orientation(), voVertical);
  EXPECT_EQ(fader.MinValue(), 0);
  EXPECT_EQ(fader.MaxValue(), 1000);
  EXPECT_EQ(fader.KeyIncrement, 1);
  EXPECT_EQ(fader.Position(), 1000);
  // Lit in aqua from the bottom up to the thumb at the top, teal unlit.
  auto ticks = [&](ui::Color c) {
    const ui::Bitmap shot = CaptureClient(fader.Handle());
    int n = 0;
    for (int y = shot.Height() / 2; y < shot.Height() - 6; ++y) n += shot.PixelAt(shot.Width() / 2, y) == c;
    return n;
  };
  EXPECT_GT(ticks(ui::clAqua), 10);
  EXPECT_EQ(ticks(ui::clTeal), 0);

  auto drag = [&](int toY) {
    const ui::Rect t = fader.ThumbRect();
    const int x = (t.left + t.right) / 2, y = (t.top + t.bottom) / 2;
    SendMouse(fader.Handle(), WM_MOUSEMOVE, x, y);
    SendMouse(fader.Handle(), WM_LBUTTONDOWN, x, y, MK_LBUTTON);
    SendMouse(fader.Handle(), WM_MOUSEMOVE, x, toY, MK_LBUTTON);
    SendMouse(fader.Handle(), WM_LBUTTONUP, x, toY);
  };
  drag(1000);
  EXPECT_EQ(fader.Position(), 0);
  EXPECT_EQ(W().VrNumVolume.Value(), 0);
  EXPECT_EQ(ticks(ui::clAqua), 0);
  EXPECT_GT(ticks(ui::clTeal), 10);
  fader.SetFocus();
  SendMessageA(fader.Handle(), WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(fader.Position(), 1);
  drag(-1000);
  EXPECT_EQ(fader.Position(), 1000);
  EXPECT_EQ(W().VrNumVolume.Value(), 100);
}

TEST_F(ProgramLooks, TheGroupSpinnerShowsTealArrows) {
  TVrSpinner& spinner = W().VrSpinnerStation;
  EXPECT_EQ(spinner.Orientation(), voVertical);
  const ui::Bitmap shot = CaptureClient(spinner.Handle());
  EXPECT_GT(CountPixels(shot, ui::clTeal), 20);
  EXPECT_EQ(CountPixels(shot, ui::clLime), 0);
}
