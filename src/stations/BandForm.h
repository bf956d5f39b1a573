// The band manager: picks the current station band and keeps the list of band names.
#pragma once

#include "ui/Form.h"
#include "widgets/VrBlotter.h"

class TBandForm : public ui::Form {
 public:
  TBandForm();

  widgets::TVrBlotter VrBlotterBands{"VrBlotterBands"};
};

extern TBandForm* BandForm;
