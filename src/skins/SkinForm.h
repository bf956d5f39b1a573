// The skin designer: the colours, the skin picture and the LED text of every window.
#pragma once

#include "ui/Form.h"
#include "widgets/VrBlotter.h"

class TSkinForm : public ui::Form {
 public:
  TSkinForm();

  widgets::TVrBlotter VrBlotterSkinMaker{"VrBlotterSkinMaker"};
};

extern TSkinForm* SkinForm;
