#include "skins/SkinForm.h"

#include <exception>

#include "ui/Application.h"
#include "looks/DialogFrame.h"

using namespace widgets;
using namespace looks;

TSkinForm* SkinForm = nullptr;

namespace {

const ui::Font kCaptionFont = ui::MakeFont("Arial", 11, true, ui::clTeal);

void CaptionLabel(ui::Label& label, ui::WinControl& parent, int x, int y, const std::string& text) {
  Place(label, parent, x, y, 0, 0);
  label.SetFont(kCaptionFont);
  label.SetCaption(text);
}

void Preview(ui::Panel& panel, ui::WinControl& parent, int x, int y, ui::Color colour) {
  Place(panel, parent, x, y, 24, 24);
  panel.SetColor(colour);
}

}  // namespace

TSkinForm::TSkinForm() : ui::Form("SkinForm") {
  BuildDialogFrame(*this, VrBlotterSkinMaker, 290, 430);
  VrBlotterSkinMaker.SetColor(ui::clBlack);

  Place(LabelSkinTop, VrBlotterSkinMaker, 9, 8, 280, 18);
  LabelSkinTop.SetAutoSize(false);
  LabelSkinTop.SetFont(ui::MakeFont("Arial", 16, true, ui::clAqua));
  LabelSkinTop.SetCaption("Skin Designer");

  CaptionLabel(LabelGraphics, VrBlotterSkinMaker, 9, 36, "Skin Image:");
  Place(PanelSkin, *this, 8, 52, 273, 26);
  Place(EditSkin, PanelSkin, 4, 5, 265, 17);
  StyleField(EditSkin, skins::kDefaultImagePath);
  EditSkin.SetFont(ui::MakeFont("Arial", 13, false, ui::clAqua));

  const skins::SkinValues initial = skins::InitialSkin();
  AddCommandButton(
      VrDemoButtonTrans, *this, 9, 85, "Set Transparent Color", [this](ui::Control& c) { VrDemoButtonTransClick(c); },
      ui::clWhite, 136, 24);
  Preview(PanelTrans, *this, 146, 85, initial.colours[skins::scTrans]);
  AddCommandButton(
      VrDemoButtonBackground, *this, 174, 85, "Load Image", [this](ui::Control& c) { VrDemoButtonBackgroundClick(c); },
      ui::clWhite, 106, 24);

  CaptionLabel(LabelMatrix, VrBlotterSkinMaker, 10, 124, "Text Display:");
  Place(PanelMatrix, *this, 8, 140, 273, 26);
  Place(EditLEDMatrix, PanelMatrix, 4, 6, 265, 15);
  StyleField(EditLEDMatrix, skins::kDefaultLedText);
  EditLEDMatrix.SetFont(ui::MakeFont("Arial", 11, false, ui::clAqua));
  EditDir.SetParent(this);
  EditDir.SetVisible(false);

  // The seven colour buttons, each beside its preview panel.
  struct ColourButton {
    TVrDemoButton& button;
    int x, y;
    const char* caption;
    ui::Panel& panel;
    skins::SkinColour colour;
  };
  CaptionLabel(LabelTunora, VrBlotterSkinMaker, 9, 180, "Tunora Colors ");
  CaptionLabel(LabelGlobal, VrBlotterSkinMaker, 9, 236, "Popup Colors:");
  CaptionLabel(LabelText, VrBlotterSkinMaker, 9, 324, "Button Colors:");
  const ColourButton buttons[] = {
      {VrDemoButtonWActive, 9, 199, "Active", PanelWActive, skins::scWActive},
      {VrDemoButtonWPassive, 149, 199, "Passive", PanelWPassive, skins::scWPassive},
      {VrDemoButtonActive, 9, 255, "Active", PanelActive, skins::scActive},
      {VrDemoButtonPassive, 149, 255, "Passive", PanelPassive, skins::scPassive},
      {VrDemoButtonPopUp, 9, 287, "Popup", PanelPopup, skins::scPopup},
      {VrDemoButtonText, 9, 343, "Button Text", PanelButtonText, skins::scButtonText},
      {VrDemoButtonMouseOver, 149, 343, "Mouse Over", PanelMouseOver, skins::scMouseOver},
  };
  for (const ColourButton& b : buttons) {
    ui::Panel* panel = &b.panel;
    AddCommandButton(
        b.button, *this, b.x, b.y, b.caption, [this, panel](ui::Control&) { ColourButtonClick(*panel); }, ui::clWhite,
        106, 24);
    Preview(b.panel, *this, b.x + 107, b.y, initial.colours[b.colour]);
  }

  AddCommandButton(
      VrDemoButtonLoadSkin, *this, 9, 393, "Load Skin", [this](ui::Control& c) { VrDemoButtonLoadSkinClick(c); },
      ui::clWhite, 88, 24);
  AddCommandButton(
      VrDemoButtonSaveSkin, *this, 100, 393, "Save Skin", [this](ui::Control& c) { VrDemoButtonSaveSkinClick(c); },
      ui::clWhite, 88, 24);
  AddCommandButton(
      VrDemoButtonExitSkin, *this, 192, 393, "Exit", [this](ui::Control& c) { VrDemoButtonExitSkinClick(c); },
      ui::clWhite, 88, 24);

  OpenPictureDialogImage.filter = "Bitmaps (*.bmp)|*.bmp";
  OpenPictureDialogImage.title = "Hintergrundgrafik ausw\xE4hlen";
  OpenSkinDialog.filter = "Skin|*.skn";
  OpenSkinDialog.defaultExt = "*.skn";
  OpenSkinDialog.title = "Load Skin";
  SaveSkinDialog.filter = "Skin|*.skn";
  SaveSkinDialog.defaultExt = "*.skn";
  SaveSkinDialog.title = "Save Skin";
  SaveSkinDialog.options.overwritePrompt = true;
  SaveSkinDialog.options.hideReadOnly = true;
  SaveSkinDialog.options.resizable = true;
}

ui::Panel& TSkinForm::ColourPanel(skins::SkinColour colour) {
  ui::Panel* panels[skins::kSkinColours] = {&PanelWActive, &PanelWPassive,   &PanelActive,    &PanelPassive,
                                            &PanelPopup,   &PanelButtonText, &PanelMouseOver, &PanelTrans};
  return *panels[colour];
}

void TSkinForm::ColourButtonClick(ui::Panel& preview) {
  if (!ColorDialogSkin.Execute()) return;
  preview.SetColor(ColorDialogSkin.color);
  ApplySkin(false);
}

void TSkinForm::WithMainWindowBack(const std::function<void()>& step) {
  std::exception_ptr failure;
  try {
    step();
  } catch (...) {
    failure = std::current_exception();
  }
  // A picture or skin that fails to load is reported, and then the main window comes
  // back all the same: nothing else would ever show it again.
  if (failure) ui::App().ReportException(failure);
  Hide();
  window_->Window().Show();
  Show();
  SetActiveWindow(Handle());
}

void TSkinForm::HideSkinnedWindow() {
  ui::Form& window = window_->Window();
  window.Hide();
  window.SetBounds(0, 0, window.Width(), window.Height());
}

void TSkinForm::ApplyWithTransparentColour(ui::Color previous) {
  try {
    ApplySkin(true);
  } catch (...) {
    // A picture refused keeps the one shown, and with it the colour cut out of it.
    PanelTrans.SetColor(previous);
    throw;
  }
}

void TSkinForm::VrDemoButtonTransClick(ui::Control&) {
  if (!ColorDialogSkin.Execute()) return;
  const ui::Color previous = PanelTrans.GetColor();
  PanelTrans.SetColor(ColorDialogSkin.color);
  Repaint();
  HideSkinnedWindow();
  WithMainWindowBack([this, previous] { ApplyWithTransparentColour(previous); });
}

void TSkinForm::VrDemoButtonBackgroundClick(ui::Control&) {
  OpenPictureDialogImage.initialDir = EditDir.Text() + "\\";
  if (!OpenPictureDialogImage.Execute()) return;
  const ui::Color previous = PanelTrans.GetColor();
  PanelTrans.SetColor(ColorDialogSkin.color);
  window_->Window().Hide();
  Repaint();
  EditSkin.SetText(OpenPictureDialogImage.fileName);
  HideSkinnedWindow();
  WithMainWindowBack([this, previous] { ApplyWithTransparentColour(previous); });
}

void TSkinForm::VrDemoButtonLoadSkinClick(ui::Control&) {
  OpenSkinDialog.initialDir = EditDir.Text();
  if (!OpenSkinDialog.Execute()) return;
  Repaint();
  window_->Window().Hide();
  const std::string file = OpenSkinDialog.fileName;
  WithMainWindowBack([this, file] {
    window_->LoadSkinFile(file);
    ApplySkin(true);
  });
}

void TSkinForm::VrDemoButtonSaveSkinClick(ui::Control&) {
  SaveSkinDialog.initialDir = EditDir.Text();
  if (SaveSkinDialog.Execute()) window_->SaveSkinFile(SaveSkinDialog.fileName);
}

void TSkinForm::VrDemoButtonExitSkinClick(ui::Control&) {
  SetModalResult(ui::mrOk);
}
