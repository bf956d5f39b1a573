#include "recording/OptionsForm.h"

#include "app/DialogFrame.h"

TOptionsForm* OptionsForm = nullptr;

TOptionsForm::TOptionsForm() : ui::Form("OptionsForm") { app::BuildDialogFrame(*this, VrBlotterOptions, 349, 202); }
