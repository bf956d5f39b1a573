// The message window that stays on screen for the last seconds after Exit.
#pragma once

#include "ui/Form.h"
#include "ui/StdControls.h"
#include "widgets/VrBlotter.h"

class TFormSure : public ui::Form {
 public:
  TFormSure();

  widgets::TVrBlotter VrBlotter1{"VrBlotter1"};
  ui::Image SplashForm{"SplashForm"};

  // A click on the picture closes the window.
  void SplashFormClick(ui::Control& sender);
};

extern TFormSure* FormSure;
