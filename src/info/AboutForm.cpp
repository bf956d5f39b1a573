#include "info/AboutForm.h"

#include "widgets/DialogFrame.h"

TAboutForm* AboutForm = nullptr;

TAboutForm::TAboutForm() : ui::Form("AboutForm") {
  widgets::BuildDialogFrame(*this, VrDisplay1, 560, 417);
  VrDisplay1.SetColor(0x7C9885);  // the display panel's face
}
