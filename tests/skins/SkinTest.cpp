// The skin's colours on the running program: the built-in face, Apply Skin on every
// window, the colour dialog, the active and mouse-over colours.
#include "SkinTesting.h"

namespace {

TEST_F(Skins, TheBuiltInFaceShowsBehindTheBlocksWithItsOneRectangleOutline) {
  EXPECT_EQ(w.VrMainFormShape.Mask().Width(), 600);
  EXPECT_EQ(w.VrMainFormShape.Mask().Height(), 350);
  EXPECT_EQ(WindowOutline(m.Handle()), (Outline{{0, 0, 599, 350}}));
  // The face on screen is the picture as another decoder read it, where no block lies.
  const ReferencePicture face = ReadReferencePicture("skin-reference.ppm");
  ASSERT_EQ(face.width, 600);
  const ui::Bitmap shot = CaptureClient(m.Handle());
  for (POINT p : {POINT{5, 5}, POINT{30, 20}, POINT{150, 180}, POINT{262, 200}, POINT{300, 45}, POINT{594, 100}})
    EXPECT_TRUE(NearColor(shot.PixelAt(p.x, p.y), face.At(p.x, p.y), 2))
        << p.x << "," << p.y << ": " << std::hex << shot.PixelAt(p.x, p.y) << " against " << face.At(p.x, p.y);
}

TEST_F(Skins, ApplySkinRecoloursAControlOfEveryWindow) {
  TSkinForm& s = *SkinForm;
  const ui::Color popup = ui::Rgb(70, 20, 110), passive = ui::Rgb(250, 120, 10), active = ui::Rgb(10, 250, 120),
                  wPassive = ui::Rgb(255, 60, 200), buttonText = ui::Rgb(240, 240, 30);
  s.PanelPopup.SetColor(popup);
  s.PanelPassive.SetColor(passive);
  s.PanelActive.SetColor(active);
  s.PanelWPassive.SetColor(wPassive);
  s.PanelButtonText.SetColor(buttonText);
  s.ApplySkin(false);

  // The main window: the station block's captions and the presets' names.
  const ui::Rect stationBlock = w.VrBlotterStation.BoundsRect();
  EXPECT_GT(CountPixels(CaptureClient(m.Handle()), wPassive, stationBlock), 10);
  EXPECT_GT(CountPixels(CaptureClient(m.Handle()), wPassive, w.VrDemoButtonStation[0].BoundsRect()), 3);
  EXPECT_GT(CountPixels(CaptureClient(m.Handle()), buttonText, w.VrBlotterButtonSet.BoundsRect()), 10);
  // Each dialog: its background in the popup colour, and a caption or field.
  struct Dialog {
    ui::Form* form;
    ui::Color text;
    ui::Control* where;
    std::function<void()> close;
  } dialogs[] = {
      {SkinForm, passive, &s.LabelGraphics, [&] { LeftClick(s.VrDemoButtonExitSkin); }},
      {BandForm, passive, &BandForm->LabelAddGenre, [] { LeftClick(BandForm->VrDemoButtonCancelBand); }},
      {EditStationForm, passive, &EditStationForm->LabelSTName, [] { LeftClick(EditStationForm->VrDemoButtonExit); }},
      {HistoryForm, active, &HistoryForm->LabelHistory, [] { LeftClick(HistoryForm->VrDemoButtonCloseHistory); }},
      {OptionsForm, passive, &OptionsForm->LabelRecFormat, [] { LeftClick(OptionsForm->VrDemoButtonExit); }},
  };
  for (Dialog& d : dialogs) {
    int background = 0, text = 0;
    WhenShown(*d.form, [&] {
      Pump(100);
      background = CountPixels(CaptureClient(d.form->Handle()), popup);
      const ui::Point o = d.where->ClientToScreen({0, 0});
      POINT origin{0, 0};
      ClientToScreen(d.form->Handle(), &origin);
      const ui::Rect r = ui::Rect::FromBounds(o.x - origin.x, o.y - origin.y, d.where->Width(), d.where->Height());
      text = CountPixels(CaptureClient(d.form->Handle()), d.text, r);
      d.close();
    });
    d.form->ShowModal();
    EXPECT_GT(background, 1000) << d.form->Name();
    EXPECT_GT(text, 3) << d.form->Name();
  }
}

TEST_F(Skins, AColourButtonTakesTheColourChosenInTheColourDialog) {
  TSkinForm& s = *SkinForm;
  WhenShown(s, [&] {
    std::thread answer = WhenDialogAppears(
        "Color",
        [](HWND d, void*) {
          SetDlgItemTextA(d, 706, "12");
          SetDlgItemTextA(d, 707, "200");
          SetDlgItemTextA(d, 708, "56");
          PostMessageA(d, WM_COMMAND, IDOK, 0);
        },
        nullptr);
    LeftClick(s.VrDemoButtonWPassive);
    answer.join();
    // Cancelled: nothing changes.
    answer = WhenDialogAppears(
        "Color", [](HWND d, void*) { PostMessageA(d, WM_COMMAND, IDCANCEL, 0); }, nullptr);
    LeftClick(s.VrDemoButtonWActive);
    answer.join();
    LeftClick(s.VrDemoButtonExitSkin);
  });
  s.ShowModal();
  const ui::Color chosen = ui::Rgb(12, 200, 56);
  EXPECT_EQ(s.PanelWPassive.GetColor(), chosen);
  EXPECT_EQ(s.PanelWActive.GetColor(), ui::clAqua) << "the cancelled choice";
  EXPECT_EQ(w.VrSpinnerStation.Palette().High(), chosen) << "the passive colour takes both spinner colours";
  EXPECT_EQ(w.VrSpinnerStation.Palette().Low(), chosen);
  EXPECT_EQ(w.VrDemoButtonStation[3].FontLeave().color, chosen);
  EXPECT_GT(CountPixels(CaptureClient(m.Handle()), chosen, w.VrBlotterStation.BoundsRect()), 10);
}

// The main window's active colour in every control of its rows, and the mouse-over
// colour on a dialog button under the real mouse.
TEST_F(Skins, TheActiveAndMouseOverColoursReachTheirControls) {
  const ui::Color active = ui::Rgb(250, 60, 20), over = ui::Rgb(30, 220, 250);
  SkinForm->PanelWActive.SetColor(active);
  SkinForm->PanelMouseOver.SetColor(over);
  SkinForm->ApplySkin(false);
  for (widgets::TVrPalette* p :
       {&w.VrMatrixConn.Palette(), &w.VrNumVolume.Palette(), &w.VrNumBlock.Palette(), &w.VrScrollBarPlayer1.Palette(),
        &w.VrClockReal.Palette(), &w.VrClockstposition.Palette(), &w.VrNumSize.Palette(), &w.VrClockDuration.Palette(),
        &w.VrClockRecPos.Palette()})
    EXPECT_EQ(p->High(), active);
  for (ui::Control* c : std::initializer_list<ui::Control*>{&w.VrScaledb, &w.LabelDB, &w.LabelStation, &w.Labelgenre,
                                                            &w.LabelBuffer, &w.LabelBandwidth})
    EXPECT_EQ(c->GetFont().color, active) << c->Name();
  for (widgets::TVrDemoButton* b : {&w.VrDemoButtonMixer, &w.VrDemoButtonBand, &w.VrDemoButtonHistory}) {
    EXPECT_EQ(b->FontEnter().color, active) << b->Name();
    EXPECT_EQ(b->FontLeave().color, active) << b->Name();
  }
  for (widgets::TVrDemoButton& b : w.VrDemoButtonStation) EXPECT_EQ(b.FontEnter().color, active);
  EXPECT_NE(w.VrSpinnerStation.Palette().High(), active) << "the spinner takes the passive colour";
  for (widgets::TVrDemoButton* b : SkinForm->DialogButtons()) EXPECT_EQ(b->FontEnter().color, over) << b->Name();
  const ui::Point exit = w.VrDemoButtonExit.ClientToScreen({0, 0}), corner = m.ClientToScreen({0, 0});
  const ui::Rect onExit = ui::Rect::FromBounds(exit.x - corner.x, exit.y - corner.y, w.VrDemoButtonExit.Width(), 20);
  EXPECT_EQ(CountPixels(CaptureClient(m.Handle()), over, onExit), 0);
  RealMove({exit.x + 20, exit.y + 5});
  EXPECT_TRUE(WaitFor([&] { return CountPixels(CaptureClient(m.Handle()), over, onExit) > 10; }));
  RealMove({0, 0});
}

}  // namespace
