// The main window: the receiver's front panel and the place where every user action
// starts.
#pragma once

#include "ui/Form.h"

class TMainForm : public ui::Form {
 public:
  TMainForm();

  // Every showing; the first one finishes the start of the program.
  void FormShow(ui::Control& sender);
  void FormDestroy(ui::Control& sender);

  bool StartupDone() const { return startupDone_; }

 private:
  bool startupDone_ = false;
};

extern TMainForm* MainForm;
