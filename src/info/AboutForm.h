// The about box.
#pragma once

#include "ui/Form.h"
#include "widgets/VrBlotter.h"

class TAboutForm : public ui::Form {
 public:
  TAboutForm();

  widgets::TVrBlotter VrDisplay1{"VrDisplay1"};
};

extern TAboutForm* AboutForm;
