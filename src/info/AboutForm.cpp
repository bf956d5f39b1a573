#include "info/AboutForm.h"

#include "app/DialogFrame.h"

TAboutForm* AboutForm = nullptr;

TAboutForm::TAboutForm() : ui::Form("AboutForm") {
  app::BuildDialogFrame(*this, VrDisplay1, 560, 417);
  VrDisplay1.SetColor(0x7C9885);  // the display panel's face
}
