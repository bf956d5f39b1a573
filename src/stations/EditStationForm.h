// The station editor: the name and stream URL of one preset. The main window fills the
// two fields, shows the dialog modally and takes the fields back however it closes.
#pragma once

#include "ui/Form.h"
#include "ui/StdControls.h"
#include "looks/DialogLooks.h"
#include "looks/SkinTargets.h"
#include "widgets/VrBlotter.h"
#include "widgets/VrButtons.h"

class TEditStationForm : public ui::Form {
 public:
  TEditStationForm();
  // The controls that take the skin's colours.
  void ListSkinTargets(looks::SkinTargets& targets);

  void VrDemoButtonExitClick(ui::Control& sender);

  widgets::TVrBlotter VrBlotterStation{"VrBlotterStation"};
  ui::Label LabelEditStation{"LabelEditStation"};
  looks::TFramePanel VrBlotter15{"VrBlotter15"};
  ui::Label LabelSTName{"LabelSTName"};
  ui::Edit EditStationName{"EditStationName"};
  ui::Label LabelSTURL{"LabelSTURL"};
  ui::Edit EditStationURL{"EditStationURL"};
  ui::Label LabelSTEx{"LabelSTEx"};
  widgets::TVrDemoButton VrDemoButtonExit{"VrDemoButtonExit"};
};

extern TEditStationForm* EditStationForm;
