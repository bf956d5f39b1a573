#include "skins/SkinForm.h"

#include "app/DialogFrame.h"

TSkinForm* SkinForm = nullptr;

TSkinForm::TSkinForm() : ui::Form("SkinForm") { app::BuildDialogFrame(*this, VrBlotterSkinMaker, 290, 430); }
