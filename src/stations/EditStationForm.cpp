#include "stations/EditStationForm.h"

#include "app/DialogFrame.h"

TEditStationForm* EditStationForm = nullptr;

TEditStationForm::TEditStationForm() : ui::Form("EditStationForm") { app::BuildDialogFrame(*this, VrBlotterStation, 311, 245); }
