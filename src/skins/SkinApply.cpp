// Applying the skin: the picture to the skinned window's shape, and the eight colours
// and the LED text to the controls that every window lists.
#include <stdexcept>

#include "base/PathRules.h"
#include "base/TextFile.h"
#include "skins/SkinForm.h"
#include "skins/SkinImage.h"

using looks::scActive;
using looks::scButtonText;
using looks::scMouseOver;
using looks::scPassive;
using looks::scPopup;

void TSkinForm::ListSkinTargets(looks::SkinTargets& targets) {
  targets.Font(scActive, {&LabelSkinTop, &EditSkin, &EditLEDMatrix});
  targets.Font(scPassive, {&LabelGraphics, &LabelGlobal, &LabelTunora, &LabelText, &LabelMatrix});
  targets.CommandButtons({&VrDemoButtonTrans, &VrDemoButtonBackground, &VrDemoButtonWActive, &VrDemoButtonWPassive,
                          &VrDemoButtonActive, &VrDemoButtonPassive, &VrDemoButtonPopUp, &VrDemoButtonText,
                          &VrDemoButtonMouseOver, &VrDemoButtonLoadSkin, &VrDemoButtonSaveSkin,
                          &VrDemoButtonExitSkin});
  targets.Fill(scPopup, {&VrBlotterSkinMaker});
}

void TSkinForm::ApplySkin(bool reloadImage) {
  const std::string path = EditSkin.Text();
  // Windows would connect to the computer a path names, offering it the user's
  // credentials, and wait for an unreachable one at every start: a skin file from anyone
  // may name one. Nothing is opened for it.
  if (base::IsNetworkOrDevicePath(path)) {
    EditSkin.SetText(PictureInUse);
    throw std::runtime_error("The skin picture " + path +
                             " is on another computer or is a device, and is not opened. Copy the picture to this "
                             "computer, or give its network folder a drive letter.");
  }
  const bool imageExists = base::FileExists(path);
  skins::TVrFormShape& shape = window_->Shape();
  if (reloadImage && imageExists) {
    try {
      const ui::Bitmap picture = skins::LoadSkinImage(path);
      // Both outlines the picture gets below must be within bounds before anything changes.
      skins::TVrFormShape::CheckOutline(picture, shape.MaskColor());
      skins::TVrFormShape::CheckOutline(picture, PanelTrans.GetColor());
      window_->Window().SetSize(picture.Width(), picture.Height());
      shape.SetSize(picture.Width(), picture.Height());
      shape.SetMask(picture);
    } catch (...) {
      // The picture shown stays, and so does its path: a picture that cannot be shown is
      // never saved as the skin's and never fails again at the next start.
      EditSkin.SetText(PictureInUse);
      throw;
    }
    PictureInUse = path;
  }
  ApplyColours();
  if (imageExists) shape.SetMaskColor(PanelTrans.GetColor());
}

void TSkinForm::ApplyColours() {
  looks::SkinPalette colours;
  for (int c = 0; c < skins::kSkinColours; ++c)
    colours[std::size_t(c)] = ColourPanel(skins::SkinColour(c)).GetColor();
  targets_.Apply(colours);
  window_->ShowLedText(EditLEDMatrix.Text());
  if (Handle() && IsWindowVisible(Handle())) Repaint();
}
