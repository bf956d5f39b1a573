#include "recording/OptionsForm.h"

#include "widgets/DialogFrame.h"

using namespace widgets;

TOptionsForm* OptionsForm = nullptr;

TOptionsForm::TOptionsForm() : ui::Form("OptionsForm") {
  BuildDialogFrame(*this, VrBlotterOptions, 349, 202);
  Place(LabelOptions, VrBlotterOptions, 9, 8, 0, 0);
  StyleTitle(LabelOptions, "Options");
  Place(LabelRecFormat, VrBlotterOptions, 9, 34, 0, 0);
  StyleCaption(LabelRecFormat, "Record Format:");
  Place(VrBlotter1, *this, 8, 48, 332, 22);
  Place(FormatBox, VrBlotter1, 0, 1, 333, 22);
  StyleList(FormatBox);
  Place(LabelRecDriver, VrBlotterOptions, 9, 76, 0, 0);
  StyleCaption(LabelRecDriver, "Audio Driver:");
  Place(VrBlotter2, *this, 8, 90, 332, 22);
  Place(DriverBox, VrBlotter2, 0, 1, 333, 22);
  StyleList(DriverBox);
  Place(LabelTempFile, VrBlotterOptions, 9, 118, 0, 0);
  StyleCaption(LabelTempFile, "Temporary Audio File:");
  Place(VrBlotter3, *this, 8, 132, 333, 27);
  Place(DirectoryEditLogger, VrBlotter3, 5, 4, 326, 21);
  StyleField(DirectoryEditLogger, "webfile.wav");
  AddCommandButton(VrDemoButtonExport, *this, 121, 167, "Export File", nullptr);
  AddCommandButton(VrDemoButtonExit, *this, 234, 167, "Save and Exit",
                   [this](ui::Control&) { SetModalResult(ui::mrOk); });
}
