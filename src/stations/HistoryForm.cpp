#include "stations/HistoryForm.h"

#include "app/DialogFrame.h"

THistoryForm* HistoryForm = nullptr;

THistoryForm::THistoryForm() : ui::Form("HistoryForm") { app::BuildDialogFrame(*this, VrBlotterHistory, 262, 293); }
