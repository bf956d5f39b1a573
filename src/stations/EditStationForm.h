// The station editor: the name and stream URL of one preset.
#pragma once

#include "ui/Form.h"
#include "widgets/VrBlotter.h"

class TEditStationForm : public ui::Form {
 public:
  TEditStationForm();

  widgets::TVrBlotter VrBlotterStation{"VrBlotterStation"};
};

extern TEditStationForm* EditStationForm;
