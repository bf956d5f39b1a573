// The options dialog: capture format, capture device and the recording file.
#pragma once

#include "ui/Form.h"
#include "widgets/VrBlotter.h"

class TOptionsForm : public ui::Form {
 public:
  TOptionsForm();

  widgets::TVrBlotter VrBlotterOptions{"VrBlotterOptions"};
};

extern TOptionsForm* OptionsForm;
