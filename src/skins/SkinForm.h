// The skin designer: the colours, the skin picture and the LED text of every window.
// Its controls are the only store of the current skin; every change reaches all windows
// at once through ApplySkin.
#pragma once

#include <vector>

#include "skins/SkinFileRules.h"
#include "skins/SkinnedWindow.h"
#include "ui/Dialogs.h"
#include "ui/Form.h"
#include "ui/StdControls.h"
#include "looks/DialogLooks.h"
#include "looks/SkinTargets.h"
#include "widgets/VrBlotter.h"
#include "widgets/VrButtons.h"

class TSkinForm : public ui::Form {
 public:
  TSkinForm();

  // The window whose face the skin picture is, and the controls that every window lists
  // for the skin's colours; both are set up once, when all windows exist.
  void SetSkinnedWindow(skins::SkinnedWindow& window) { window_ = &window; }
  looks::SkinTargets& Targets() { return targets_; }
  // The designer's own controls that take the skin's colours.
  void ListSkinTargets(looks::SkinTargets& targets);

  // Pushes the skin into the controls of every window; with reloadImage, first loads the
  // picture named by EditSkin into the main window's shape. A picture path to another
  // computer or a device, and a picture that cannot be shown, are refused with their
  // error before anything changes, and EditSkin goes back to PictureInUse.
  void ApplySkin(bool reloadImage);
  // The path of the picture the main window shows ("default" for its built-in face).
  std::string PictureInUse = skins::kDefaultImagePath;

  // The seven colour buttons: the chosen colour goes to the button's preview panel.
  void ColourButtonClick(ui::Panel& preview);
  void VrDemoButtonTransClick(ui::Control& sender);
  void VrDemoButtonBackgroundClick(ui::Control& sender);
  void VrDemoButtonLoadSkinClick(ui::Control& sender);
  void VrDemoButtonSaveSkinClick(ui::Control& sender);
  void VrDemoButtonExitSkinClick(ui::Control& sender);

  // The preview panel of a skin colour, and the colours as the panels hold them.
  ui::Panel& ColourPanel(skins::SkinColour colour);
  // The push buttons of every window that take the button text and mouse-over colours.
  const std::vector<widgets::TVrDemoButton*>& DialogButtons() const { return targets_.CommandButtons(); }

  widgets::TVrBlotter VrBlotterSkinMaker{"VrBlotterSkinMaker"};
  ui::Label LabelSkinTop{"LabelSkinTop"};
  ui::Label LabelGraphics{"LabelGraphics"};
  looks::TFramePanel PanelSkin{"PanelSkin"};
  ui::Edit EditSkin{"EditSkin"};
  ui::Label LabelMatrix{"LabelMatrix"};
  looks::TFramePanel PanelMatrix{"PanelMatrix"};
  ui::Edit EditLEDMatrix{"EditLEDMatrix"};
  ui::Label LabelTunora{"LabelTunora"};
  ui::Label LabelGlobal{"LabelGlobal"};
  ui::Label LabelText{"LabelText"};
  // The program directory while the designer is open: where the file dialogs start.
  ui::Edit EditDir{"EditDir"};

  // The eight skin colours, each the colour of its preview panel.
  ui::Panel PanelWActive{"PanelWActive"};
  ui::Panel PanelWPassive{"PanelWPassive"};
  ui::Panel PanelActive{"PanelActive"};
  ui::Panel PanelPassive{"PanelPassive"};
  ui::Panel PanelPopup{"PanelPopup"};
  ui::Panel PanelButtonText{"PanelButtonText"};
  ui::Panel PanelMouseOver{"PanelMouseOver"};
  ui::Panel PanelTrans{"PanelTrans"};

  widgets::TVrDemoButton VrDemoButtonTrans{"VrDemoButtonTrans"};
  widgets::TVrDemoButton VrDemoButtonBackground{"VrDemoButtonBackground"};
  widgets::TVrDemoButton VrDemoButtonWActive{"VrDemoButtonWActive"};
  widgets::TVrDemoButton VrDemoButtonWPassive{"VrDemoButtonWPassive"};
  widgets::TVrDemoButton VrDemoButtonActive{"VrDemoButtonActive"};
  widgets::TVrDemoButton VrDemoButtonPassive{"VrDemoButtonPassive"};
  widgets::TVrDemoButton VrDemoButtonPopUp{"VrDemoButtonPopUp"};
  widgets::TVrDemoButton VrDemoButtonText{"VrDemoButtonText"};
  widgets::TVrDemoButton VrDemoButtonMouseOver{"VrDemoButtonMouseOver"};
  widgets::TVrDemoButton VrDemoButtonLoadSkin{"VrDemoButtonLoadSkin"};
  widgets::TVrDemoButton VrDemoButtonSaveSkin{"VrDemoButtonSaveSkin"};
  widgets::TVrDemoButton VrDemoButtonExitSkin{"VrDemoButtonExitSkin"};

  // Keeps the last colour chosen during the run (black before the first choice).
  ui::ColorDialog ColorDialogSkin;
  ui::OpenDialog OpenPictureDialogImage;
  ui::OpenDialog OpenSkinDialog;
  ui::SaveDialog SaveSkinDialog;

 private:
  void ApplyColours();
  // ApplySkin(true) after a new transparent colour; a refused picture puts `previous` back.
  void ApplyWithTransparentColour(ui::Color previous);
  // Runs a step that may hide the main window (an image or skin load); whatever it
  // does, the main window and the designer are shown again afterwards, a failure being
  // reported first.
  void WithMainWindowBack(const std::function<void()>& step);
  // The skinned window hidden and placed at the top left, where a new outline is cut.
  void HideSkinnedWindow();

  skins::SkinnedWindow* window_ = nullptr;
  looks::SkinTargets targets_;
};

extern TSkinForm* SkinForm;
