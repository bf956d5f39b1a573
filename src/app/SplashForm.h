// The splash window: shown first of all windows, it checks that the machine can play
// streams and sound at all while the rest of the program starts.
#pragma once

#include "ui/Form.h"
#include "ui/StdControls.h"
#include "widgets/VrBlotter.h"

class TSplashForm : public ui::Form {
 public:
  TSplashForm();

  widgets::TVrBlotter VrBlotter1{"VrBlotter1"};
  ui::Image SplashForm{"SplashForm"};

  // The environment checks; they run when the window becomes active, or when it is
  // shown without becoming active (a shortcut set to start minimised). The sound card's
  // answer takes the system's sound driver a moment to find; another thread finds it
  // meanwhile, and FinishChecks takes it just before the main window shows.
  void FormActivate(ui::Control& sender);
  void RunChecks();
  void FinishChecks(bool soundcardFound);
  static bool IsMSMediaPlayerReg();
  static bool IsSoundcard();

 private:
  bool checked_ = false;
};

extern TSplashForm* SplashForm;
// Set by the environment checks; the other windows are made, and the main window shown,
// only when it is true.
extern bool EnvironmentOk;

// Creates and shows the splash window (which runs the checks) and paints it at once.
void ShowSplash();
// Hides and destroys the splash window; called by the main window's first showing.
void DestroySplash();
