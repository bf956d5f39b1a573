#include "recording/OptionsForm.h"

#include "app/DialogFrame.h"
#include "app/DialogLook.h"

TOptionsForm* OptionsForm = nullptr;

TOptionsForm::TOptionsForm() : ui::Form("OptionsForm") {
  app::BuildDialogFrame(*this, VrBlotterOptions, 349, 202);
  app::DialogTitle(LabelOptions, this, 9, 8, "Options");
  app::DialogCaption(LabelRecFormat, this, 9, 34, "Record Format:");
  app::FieldFrame(VrBlotter1, this, 8, 48, 332, 22);
  app::DialogField(FormatBox, &VrBlotter1, 0, 1, 333, 22, 12);
  app::DialogCaption(LabelRecDriver, this, 9, 76, "Audio Driver:");
  app::FieldFrame(VrBlotter2, this, 8, 90, 332, 22);
  app::DialogField(DriverBox, &VrBlotter2, 0, 1, 333, 22, 12);
  app::DialogCaption(LabelTempFile, this, 9, 118, "Temporary Audio File:");
  app::FieldFrame(VrBlotter3, this, 8, 132, 333, 27);
  app::DialogField(DirectoryEditLogger, &VrBlotter3, 5, 4, 326, 21, 12);
  DirectoryEditLogger.SetText("webfile.wav");
  app::DialogButton(VrDemoButtonExport, this, 121, 167, 106, 24, "Export File");
  app::DialogButton(VrDemoButtonExit, this, 234, 167, 106, 24, "Save and Exit");
  VrDemoButtonExit.OnClick = [this](ui::Control&) { SetModalResult(ui::mrOk); };
}
