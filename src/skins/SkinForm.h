// The skin designer: the colours, the skin picture and the LED text of every window.
// Its controls are the only store of the current skin.
#pragma once

#include "ui/Form.h"
#include "ui/StdControls.h"
#include "widgets/DialogLooks.h"
#include "widgets/VrBlotter.h"

class TSkinForm : public ui::Form {
 public:
  TSkinForm();

  widgets::TVrBlotter VrBlotterSkinMaker{"VrBlotterSkinMaker"};
  widgets::TFramePanel PanelSkin{"PanelSkin"};
  ui::Edit EditSkin{"EditSkin"};
  widgets::TFramePanel PanelMatrix{"PanelMatrix"};
  ui::Edit EditLEDMatrix{"EditLEDMatrix"};
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
};

extern TSkinForm* SkinForm;
