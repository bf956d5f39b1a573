// Applying the skin: the picture to the main window's shape, and the eight colours and
// the LED text to the controls of every window, in a fixed order.
#include <stdexcept>

#include "app/MainForm.h"
#include "recording/OptionsForm.h"
#include "skins/SkinForm.h"
#include "skins/SkinImage.h"
#include "stations/BandForm.h"
#include "stations/EditStationForm.h"
#include "stations/HistoryForm.h"
#include "stations/TextFile.h"
#include "ui/PathRules.h"

using widgets::TVrDemoButton;

namespace {

void FontColour(std::initializer_list<ui::Control*> controls, ui::Color colour) {
  for (ui::Control* c : controls) {
    ui::Font font = c->GetFont();
    font.color = colour;
    c->SetFont(font);
  }
}

ui::Font WithColour(ui::Font font, ui::Color colour) {
  font.color = colour;
  return font;
}

void EnterColour(TVrDemoButton& b, ui::Color colour) {
  b.SetFontEnter(WithColour(b.FontEnter(), colour));
}
void LeaveColour(TVrDemoButton& b, ui::Color colour) {
  b.SetFontLeave(WithColour(b.FontLeave(), colour));
}

void High(std::initializer_list<widgets::TVrPalette*> palettes, ui::Color colour) {
  for (widgets::TVrPalette* p : palettes) p->SetHigh(colour);
}

void Low(std::initializer_list<widgets::TVrPalette*> palettes, ui::Color colour) {
  for (widgets::TVrPalette* p : palettes) p->SetLow(colour);
}

std::vector<TVrDemoButton*> HistoryButtons() {
  std::vector<TVrDemoButton*> buttons;
  for (int k = 1; k <= stations::kHistorySlots; ++k) buttons.push_back(&HistoryForm->EntryButton(k));
  return buttons;
}

}  // namespace

std::vector<TVrDemoButton*> TSkinForm::DialogButtons() {
  TMainForm& m = *MainForm;
  // A new dialog's command buttons join this list.
  return {&m.VrDemoButtonUnplug,
          &m.VrDemoButtonSkinMaker,
          &m.VrDemoButtonOptions,
          &m.VrDemoButtonBurn,
          &m.VrDemoButtonExit,
          &VrDemoButtonTrans,
          &VrDemoButtonBackground,
          &VrDemoButtonWActive,
          &VrDemoButtonWPassive,
          &VrDemoButtonActive,
          &VrDemoButtonPassive,
          &VrDemoButtonPopUp,
          &VrDemoButtonText,
          &VrDemoButtonMouseOver,
          &VrDemoButtonLoadSkin,
          &VrDemoButtonSaveSkin,
          &VrDemoButtonExitSkin,
          &BandForm->VrDemoButtonCancelBand,
          &BandForm->VrDemoButtonSelectBand,
          &BandForm->VrDemoButtonRemove,
          &BandForm->VrDemoButtonAdd,
          &EditStationForm->VrDemoButtonExit,
          &HistoryForm->VrDemoButtonCloseHistory,
          &OptionsForm->VrDemoButtonExport,
          &OptionsForm->VrDemoButtonExit};
}

void TSkinForm::ApplySkin(bool reloadImage) {
  const std::string path = EditSkin.Text();
  // Windows would connect to the computer a path names, offering it the user's
  // credentials, and wait for an unreachable one at every start: a skin file from anyone
  // may name one. Nothing is opened for it.
  if (ui::IsNetworkOrDevicePath(path)) {
    EditSkin.SetText(PictureInUse);
    throw std::runtime_error("The skin picture " + path +
                             " is on another computer or is a device, and is not opened. Copy the picture to this "
                             "computer, or give its network folder a drive letter.");
  }
  const bool imageExists = stations::FileExists(path);
  TMainForm& m = *MainForm;
  if (reloadImage && imageExists) {
    try {
      const ui::Bitmap picture = skins::LoadSkinImage(path);
      // Both outlines the picture gets below must be within bounds before anything changes.
      skins::TVrFormShape::CheckOutline(picture, m.VrMainFormShape.MaskColor());
      skins::TVrFormShape::CheckOutline(picture, PanelTrans.GetColor());
      m.SetSize(picture.Width(), picture.Height());
      m.VrMainFormShape.SetSize(picture.Width(), picture.Height());
      m.VrMainFormShape.SetMask(picture);
    } catch (...) {
      // The picture shown stays, and so does its path: a picture that cannot be shown is
      // never saved as the skin's and never fails again at the next start.
      EditSkin.SetText(PictureInUse);
      throw;
    }
    PictureInUse = path;
  }
  ApplyColours();
  if (imageExists) m.VrMainFormShape.SetMaskColor(PanelTrans.GetColor());
}

void TSkinForm::ApplyColours() {
  TMainForm& m = *MainForm;
  TBandForm& band = *BandForm;
  TEditStationForm& editor = *EditStationForm;
  THistoryForm& history = *HistoryForm;
  TOptionsForm& options = *OptionsForm;
  const std::vector<TVrDemoButton*> entries = HistoryButtons();

  const ui::Color active = PanelActive.GetColor();
  FontColour({&LabelSkinTop, &EditSkin, &EditLEDMatrix, &band.LabelStationBand, &band.EditNewStationBand,
              &editor.LabelEditStation, &editor.EditStationName, &editor.EditStationURL, &history.LabelHistory},
             active);
  for (TVrDemoButton* b : entries) EnterColour(*b, active);
  FontColour({&options.LabelOptions, &options.FormatBox, &options.DriverBox, &options.DirectoryEditLogger}, active);

  const ui::Color passive = PanelPassive.GetColor();
  FontColour({&LabelGraphics, &LabelGlobal, &LabelTunora, &LabelText, &LabelMatrix, &band.ListBoxBands,
              &band.LabelAddGenre, &editor.LabelSTName, &editor.LabelSTURL, &editor.LabelSTEx},
             passive);
  for (TVrDemoButton* b : entries) LeaveColour(*b, passive);
  FontColour({&options.LabelRecFormat, &options.LabelRecDriver, &options.LabelTempFile}, passive);

  const ui::Color wActive = PanelWActive.GetColor();
  High({&m.VrMatrixConn.Palette()}, wActive);
  EnterColour(m.VrDemoButtonMixer, wActive);
  LeaveColour(m.VrDemoButtonMixer, wActive);
  High({&m.VrNumVolume.Palette()}, wActive);
  FontColour({&m.VrScaledb, &m.LabelDB}, wActive);
  High({&m.VrNumBlock.Palette()}, wActive);
  for (TVrDemoButton* b : {&m.VrDemoButtonBand, &m.VrDemoButtonHistory}) {
    EnterColour(*b, wActive);
    LeaveColour(*b, wActive);
  }
  High({&m.VrScrollBarPlayer1.Palette()}, wActive);
  FontColour({&m.LabelStation, &m.Labelgenre, &m.LabelBuffer, &m.LabelBandwidth}, wActive);
  High({&m.VrClockReal.Palette(), &m.VrClockstposition.Palette(), &m.VrNumSize.Palette(), &m.VrClockDuration.Palette(),
        &m.VrClockRecPos.Palette()},
       wActive);
  for (TVrDemoButton& b : m.VrDemoButtonStation) EnterColour(b, wActive);

  const ui::Color wPassive = PanelWPassive.GetColor();
  FontColour({&m.LabelVol}, wPassive);
  Low({&m.VrNumVolume.Palette(), &m.VrNumBlock.Palette()}, wPassive);
  FontColour({&m.LabelSelectBlock}, wPassive);
  High({&m.VrSpinnerStation.Palette()}, wPassive);
  Low({&m.VrSpinnerStation.Palette()}, wPassive);
  Low({&m.VrScrollBarPlayer1.Palette()}, wPassive);
  FontColour({&m.LabelStationName, &m.LabelStationBand, &m.LabelStationBuffer, &m.LabelStationBandwidth,
              &m.LabelStationTime, &m.LabelStationPosition},
             wPassive);
  Low({&m.VrClockReal.Palette(), &m.VrClockstposition.Palette()}, wPassive);
  FontColour({&m.LabelRecSize, &m.LabelDuration, &m.LabelPosition}, wPassive);
  Low({&m.VrNumSize.Palette(), &m.VrClockDuration.Palette(), &m.VrClockRecPos.Palette()}, wPassive);
  for (TVrDemoButton& b : m.VrDemoButtonStation) LeaveColour(b, wPassive);

  m.VrMatrixConn.SetText(EditLEDMatrix.Text());

  const std::vector<TVrDemoButton*> buttons = DialogButtons();
  for (TVrDemoButton* b : buttons) LeaveColour(*b, PanelButtonText.GetColor());
  for (TVrDemoButton* b : buttons) EnterColour(*b, PanelMouseOver.GetColor());

  const ui::Color popup = PanelPopup.GetColor();
  VrBlotterSkinMaker.SetColor(popup);
  if (Handle() && IsWindowVisible(Handle())) Repaint();
  band.VrBlotterBands.SetColor(popup);
  editor.VrBlotterStation.SetColor(popup);
  history.VrBlotterHistory.SetColor(popup);
  options.VrBlotterOptions.SetColor(popup);
}
