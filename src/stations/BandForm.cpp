#include "stations/BandForm.h"

#include "app/DialogFrame.h"

TBandForm* BandForm = nullptr;

TBandForm::TBandForm() : ui::Form("BandForm") { app::BuildDialogFrame(*this, VrBlotterBands, 238, 387); }
