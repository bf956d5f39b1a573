// The main window's blocks at their built-in positions and with their looks.
#include "app/MainForm.h"
#include "looks/ButtonLooks.h"

namespace {

using namespace widgets;
using namespace looks;

const ui::Font kValueFont = ui::MakeFont("Arial", 11, true, ui::clAqua);
const ui::Font kCaptionFont = ui::MakeFont("Arial", 11, true, ui::clTeal);

void Place(ui::Control& c, ui::WinControl* parent, int x, int y, int w, int h) {
  c.SetParent(parent);
  c.SetBounds(x, y, w, h);
}

void Text(ui::Label& label, ui::WinControl* parent, int x, int y, const std::string& text, const ui::Font& font) {
  label.SetParent(parent);
  label.SetFont(font);
  label.SetCaption(text);
  label.SetPosition(x, y);
}

// A thin raised teal frame, with a black ring of `space` pixels inside it.
void TealFrame(TVrBevel& bevel, int space = 0) {
  BevelSettings frame = bevel.Settings();
  frame.BorderWidth = 0;
  frame.InnerStyle = bsNone;
  frame.InnerSpace = space;
  frame.InnerColor = ui::clBlack;
  frame.OuterStyle = bsRaised;
  frame.OuterOutline = osNone;
  frame.OuterHighlight = ui::clTeal;
  frame.OuterShadow = ui::Rgb(0, 64, 64);
  bevel.Set(frame);
}

// A black panel in a teal frame.
void Block(TVrBlotter& block, ui::WinControl* parent, int x, int y, int w, int h) {
  Place(block, parent, x, y, w, h);
  block.SetColor(ui::clBlack);
  TealFrame(block.Bevel());
}

// A button drawn as a plain text on the block.
void LinkButton(TVrDemoButton& b, ui::WinControl* parent, int x, int y, int w, const std::string& caption) {
  Place(b, parent, x, y, w, 15);
  LinkLook(b);
  b.SetCaption(caption);
}

void BlockButton(TVrDemoButton& b, ui::WinControl* parent, int top, const std::string& caption) {
  Place(b, parent, 1, top, 106, 23);
  MenuLook(b, ui::clWhite);
  b.SetCaption(caption);
}

void TransportButton(TVrDemoButton& b, ui::WinControl* parent, int left, ui::Color face, const std::string& caption) {
  Place(b, parent, left, 285, 57, 56);
  TransportLook(b, face);
  b.SetCaption(caption);
}

// A number or clock with the widgets' own glyph spacing of 2 pixels.
void Lcd(TVrCustomNum& n, ui::WinControl* parent, int x, int y, TVrNumStyle style = ns5x7) {
  n.SetParent(parent);
  n.SetStyle(style);
  n.SetAutoSize(true);
  n.Palette().SetLow(ui::Rgb(0, 48, 48));
  n.Palette().SetHigh(ui::clAqua);
  n.SetPosition(x, y);
}

void CustomClock(TVrClock& c, ui::WinControl* parent, int x, int y) {
  c.SetClockType(ctCustom);
  c.SetShowSeconds(true);
  Lcd(c, parent, x, y, ns7x13);
}

}  // namespace

void TMainForm::BuildDisplay() {
  VrMatrixConn.SetParent(this);
  VrMatrixConn.SetLedStyle(ls9x13);
  VrMatrixConn.SetLeds(10);
  VrMatrixConn.SetSpacing(2);
  VrMatrixConn.Palette().SetLow(ui::clBlack);
  VrMatrixConn.Palette().SetHigh(ui::clAqua);
  VrMatrixConn.SetText(monitor::kNoConnectionText);
  VrMatrixConn.SetTimeInterval(250);
  VrMatrixConn.SetThreaded(true);
  // A frame 2 pixels thick: 10 cells of 9 x 13 make the display 112 x 17.
  TealFrame(VrMatrixConn.Bevel(), 1);
  VrMatrixConn.SetBounds(327, 16, 112, 17);
  VrMatrixConn.Loaded();
  VrMatrixConn.SetAutoScroll(true);
}

void TMainForm::BuildFaderBlock() {
  Block(VrBlotterMixer, this, 469, 9, 117, 115);
  Block(VrBlotterPlayer, &VrBlotterMixer, 6, 6, 39, 39);
  ImagePlayer1.SetPicture(ui::Bitmap::FromBitmapResource("PLAYERICON"));
  Place(ImagePlayer1, &VrBlotterPlayer, 3, 3, 33, 33);
  ImagePlayer1GO.SetPicture(ui::Bitmap::FromBitmapResource("PLAYERICONGO"));
  Place(ImagePlayer1GO, &VrBlotterPlayer, 3, 3, 33, 33);
  ImagePlayer1GO.SetVisible(false);

  VrNumVolume.SetDigits(3);
  VrNumVolume.SetMax(100);
  VrNumVolume.SetValue(100);
  Lcd(VrNumVolume, &VrBlotterMixer, 12, 52, ns7x13);
  Text(LabelVol, &VrBlotterMixer, 9, 68, "VOL%", kCaptionFont);
  LinkButton(VrDemoButtonMixer, &VrBlotterMixer, 12, 93, 29, "Mixer");
  VrDemoButtonMixer.OnClick = [this](ui::Control& c) { VrDemoButtonMixerClick(c); };

  VrScaledb.SetParent(&VrBlotterMixer);
  VrScaledb.SetOrientation(voVertical);
  VrScaledb.SetMinValue(-40);
  VrScaledb.SetMaxValue(0);
  VrScaledb.SetLeadingZero(true);
  VrScaledb.SetDigits(2);
  VrScaledb.SetScaleColor(ui::clAqua);
  VrScaledb.SetPeakColor(ui::clAqua);
  VrScaledb.SetFont(ui::MakeFont("Arial", 9, false, ui::clAqua));
  VrScaledb.SetTransparent(true);
  VrScaledb.SetBounds(52, 4, 30, 96);
  Text(LabelDB, &VrBlotterMixer, 58, 99, "dB", kValueFont);

  Place(VrScrollBarPlayer1, &VrBlotterMixer, 86, 4, 26, 107);
  VrScrollBarPlayer1.SetOrientation(voVertical);
  VrScrollBarPlayer1.SetMinValue(0);
  VrScrollBarPlayer1.SetMaxValue(1000);
  VrScrollBarPlayer1.SetPosition(1000);
  VrScrollBarPlayer1.KeyIncrement = 1;
  VrScrollBarPlayer1.Palette().SetLow(ui::clTeal);
  VrScrollBarPlayer1.Palette().SetHigh(ui::clAqua);
  VrScrollBarPlayer1.OnChange = [this](ui::Control& c) { VrScrollBarPlayer1Change(c); };
}

void TMainForm::BuildBandBlock() {
  Block(VrBlotterBand, this, 290, 60, 160, 56);
  LinkButton(VrDemoButtonBand, &VrBlotterBand, 4, 3, 107, "Choose Station Band");
  VrDemoButtonBand.OnClick = [this](ui::Control& c) { VrDemoButtonBandClick(c); };
  Text(LabelSelectBlock, &VrBlotterBand, 8, 22, "Station Group", kCaptionFont);
  VrNumBlock.SetDigits(3);
  VrNumBlock.SetLeadingZero(true);
  VrNumBlock.SetMax(100);
  VrNumBlock.SetMin(1);
  VrNumBlock.SetValue(1);
  Lcd(VrNumBlock, &VrBlotterBand, 104, 20, ns7x13);
  Place(VrSpinnerStation, &VrBlotterBand, 138, 18, 18, 18);
  VrSpinnerStation.Palette().SetLow(ui::clTeal);
  VrSpinnerStation.Palette().SetHigh(ui::clTeal);
  VrSpinnerStation.OnUpClick = [this](ui::Control& c) { VrSpinnerStationUpClick(c); };
  VrSpinnerStation.OnDownClick = [this](ui::Control& c) { VrSpinnerStationDownClick(c); };
  LinkButton(VrDemoButtonHistory, &VrBlotterBand, 4, 38, 70, "Station History");
  VrDemoButtonHistory.OnClick = [this](ui::Control& c) { VrDemoButtonHistoryClick(c); };
}

void TMainForm::BuildStationBlock() {
  Block(VrBlotterStation, this, 290, 136, 291, 58);
  Text(LabelStationName, &VrBlotterStation, 6, 3, "Station:", kCaptionFont);
  Text(LabelStation, &VrBlotterStation, 66, 3, "none", kValueFont);
  Text(LabelStationBand, &VrBlotterStation, 6, 16, "Format:", kCaptionFont);
  Text(Labelgenre, &VrBlotterStation, 66, 16, "Ovexia Radio Network", kValueFont);
  Text(LabelStationTime, &VrBlotterStation, 6, 29, "Time:", kCaptionFont);
  VrClockReal.SetClockType(ctRealTime);
  VrClockReal.SetShowSeconds(true);
  VrClockReal.SetBlink(true);
  Lcd(VrClockReal, &VrBlotterStation, 66, 30, ns7x13);
  VrClockReal.SetActive(true);
  Text(LabelStationBandwidth, &VrBlotterStation, 152, 29, "Bitrate:", kCaptionFont);
  Text(LabelBandwidth, &VrBlotterStation, 206, 29, "0", kValueFont);
  Text(LabelStationPosition, &VrBlotterStation, 6, 42, "Position:", kCaptionFont);
  CustomClock(VrClockstposition, &VrBlotterStation, 66, 43);
  Text(LabelStationBuffer, &VrBlotterStation, 152, 42, "Buffer:", kCaptionFont);
  Text(LabelBuffer, &VrBlotterStation, 206, 42, "0%", kValueFont);

  VrAnimate1.SetParent(&VrBlotterStation);
  VrAnimate1.SetBitmap(ui::Bitmap::FromBitmapResource("ANIMATE1"));
  VrAnimate1.SetFrameCols(8);
  VrAnimate1.SetAutoSize(true);
  VrAnimate1.SetInterval(500);
  VrAnimate1.SetLoop(true);
  VrAnimate1.SetPosition(291 - 6 - VrAnimate1.Width(), 58 - 4 - VrAnimate1.Height());
  VrAnimate1.SetActive(true);
}

void TMainForm::BuildRecordBlock() {
  Block(VrBlotterPlayback, this, 290, 215, 175, 56);
  Text(LabelRecSize, &VrBlotterPlayback, 6, 5, "Record Size (KB):", kCaptionFont);
  VrNumSize.SetDigits(7);
  VrNumSize.SetMax(9999999);
  Lcd(VrNumSize, &VrBlotterPlayback, 112, 4, ns7x13);
  Text(LabelDuration, &VrBlotterPlayback, 6, 21, "Record Length:", kCaptionFont);
  CustomClock(VrClockDuration, &VrBlotterPlayback, 112, 21);
  Text(LabelPosition, &VrBlotterPlayback, 6, 37, "Record Position:", kCaptionFont);
  CustomClock(VrClockRecPos, &VrBlotterPlayback, 112, 38);
}

void TMainForm::BuildButtonBlock() {
  Block(VrBlotterButtonSet, this, 480, 204, 108, 139);
  Block(VrBlotterOvex, &VrBlotterButtonSet, 1, 2, 106, 14);
  Block(VrBlotter9, &VrBlotterOvex, 2, 1, 102, 12);
  OvexImage.SetPicture(ui::Bitmap::FromBitmapResource("LOGO"));
  Place(OvexImage, &VrBlotter9, 0, 0, 102, 12);
  OvexImage.SetCursor(ui::Cursor::Hand);
  OvexImage.OnClick = [this](ui::Control& c) { OvexImageClick(c); };

  BlockButton(VrDemoButtonUnplug, &VrBlotterButtonSet, 18, "Disconnect");
  VrDemoButtonUnplug.OnClick = [this](ui::Control& c) { VrDemoButtonUnplugClick(c); };
  BlockButton(VrDemoButtonSkinMaker, &VrBlotterButtonSet, 42, "Skin Designer");
  VrDemoButtonSkinMaker.OnClick = [this](ui::Control& c) { VrDemoButtonSkinMakerClick(c); };
  BlockButton(VrDemoButtonOptions, &VrBlotterButtonSet, 66, "Options");
  VrDemoButtonOptions.OnClick = [this](ui::Control& c) { VrDemoButtonOptionsClick(c); };
  BlockButton(VrDemoButtonBurn, &VrBlotterButtonSet, 90, "About");
  VrDemoButtonBurn.OnClick = [this](ui::Control& c) { VrDemoButtonBurnClick(c); };
  BlockButton(VrDemoButtonExit, &VrBlotterButtonSet, 114, "Exit");
  VrDemoButtonExit.OnClick = [this](ui::Control& c) { VrDemoButtonExitClick(c); };
}

void TMainForm::BuildTransportButtons() {
  TransportButton(VrDemoButtonStop, this, 288, ui::clRed, "STOP");
  TransportButton(VrDemoButtonRec, this, 350, ui::clRed, "REC");
  TransportButton(VrDemoButtonStart, this, 412, ui::clLime, "PLAY");
  VrDemoButtonStop.OnClick = [this](ui::Control& c) { VrDemoButtonStopClick(c); };
  VrDemoButtonRec.OnClick = [this](ui::Control& c) { VrDemoButtonRecClick(c); };
  VrDemoButtonStart.OnClick = [this](ui::Control& c) { VrDemoButtonStartClick(c); };
}

void TMainForm::BuildPresets() {
  static constexpr int kTops[kPresets] = {66, 108, 150, 192, 235, 277, 319};
  for (int k = 0; k < kPresets; ++k) {
    TVrDemoButton& b = VrDemoButtonStation[k];
    b.SetName("VrDemoButtonStation" + std::to_string(k + 1));
    Place(b, this, 48, kTops[k], 190, 18);
    EntryLook(b);
    b.SetCaption("none");
    b.OnMouseDown = [this, k](ui::Control&, ui::MouseButton button, unsigned, int, int) { PresetMouseDown(k, button); };
    ui::Edit& url = EditStationURL[k];
    url.SetName("EditStationURL" + std::to_string(k + 1));
    url.SetParent(this);
    url.SetVisible(false);
    url.SetText("Empty");
  }
  Block(VrBlotter1, this, 0, 0, 10, 10);
  VrBlotter1.SetVisible(false);
}
