#include "recording/OptionsForm.h"

#include <windows.h>

#include "recording/Wave.h"
#include "looks/DialogFrame.h"

using namespace widgets;
using namespace looks;

TOptionsForm* OptionsForm = nullptr;

namespace {

constexpr const char* kWaveFilter = "Windows PCM (*.wav)|*.wav";

}  // namespace

TOptionsForm::TOptionsForm() : ui::Form("OptionsForm") {
  BuildDialogFrame(*this, VrBlotterOptions, 349, 202);
  Place(LabelOptions, VrBlotterOptions, 9, 8, 0, 0);
  StyleTitle(LabelOptions, "Options");
  Place(LabelRecFormat, VrBlotterOptions, 9, 34, 0, 0);
  StyleCaption(LabelRecFormat, "Record Format:");
  Place(VrBlotter1, *this, 8, 48, 332, 22);
  Place(FormatBox, VrBlotter1, 0, 1, 333, 22);
  StyleList(FormatBox);
  FormatBox.SetDropDownCount(11);
  Place(LabelRecDriver, VrBlotterOptions, 9, 76, 0, 0);
  StyleCaption(LabelRecDriver, "Audio Driver:");
  Place(VrBlotter2, *this, 8, 90, 332, 22);
  Place(DriverBox, VrBlotter2, 0, 1, 333, 22);
  StyleList(DriverBox);
  DriverBox.SetDropDownCount(3);
  Place(LabelTempFile, VrBlotterOptions, 9, 118, 0, 0);
  StyleCaption(LabelTempFile, "Temporary Audio File:");
  Place(VrBlotter3, *this, 8, 132, 333, 27);
  Place(DirectoryEditLogger, VrBlotter3, 5, 4, 326, 21);
  StyleField(DirectoryEditLogger, "webfile.wav");
  ui::SaveDialog& browse = DirectoryEditLogger.Dialog;
  browse.title = "Tempor\xE4re Audiodatei ausw\xE4hlen";
  browse.filter = kWaveFilter;
  browse.defaultExt = "*.wav";
  AddCommandButton(VrDemoButtonExport, *this, 121, 167, "Export File",
                   [this](ui::Control& c) { VrDemoButtonExportClick(c); });
  AddCommandButton(VrDemoButtonExit, *this, 234, 167, "Save and Exit",
                   [this](ui::Control&) { SetModalResult(ui::mrOk); });
  SaveDialogLogger.title = "Export File";
  SaveDialogLogger.filter = kWaveFilter;
  SaveDialogLogger.defaultExt = "*.wav";
  SaveDialogLogger.options.overwritePrompt = true;
}

void TOptionsForm::VrDemoButtonExportClick(ui::Control&) {
  if (!SaveDialogLogger.Execute()) return;
  Repaint();
  ExportTo(SaveDialogLogger.fileName);
}

void TOptionsForm::ExportTo(const std::string& target) {
  const std::string source = DirectoryEditLogger.Text();
  if (CopyFileA(source.c_str(), target.c_str(), FALSE)) return;
  const DWORD error = GetLastError();
  throw std::runtime_error("The recording \"" + source + "\" could not be copied to \"" + target + "\". " +
                           recording::SystemErrorText(error));
}

void TOptionsForm::ListSkinTargets(looks::SkinTargets& targets) {
  targets.Font(looks::scActive, {&LabelOptions, &FormatBox, &DriverBox, &DirectoryEditLogger});
  targets.Font(looks::scPassive, {&LabelRecFormat, &LabelRecDriver, &LabelTempFile});
  targets.CommandButtons({&VrDemoButtonExport, &VrDemoButtonExit});
  targets.Fill(looks::scPopup, {&VrBlotterOptions});
}
