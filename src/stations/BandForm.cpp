#include "stations/BandForm.h"

#include "stations/StationFilesRules.h"
#include "base/TextFile.h"
#include "looks/DialogFrame.h"
#include "looks/DialogLooks.h"

using namespace widgets;
using namespace looks;
using namespace stations;

TBandForm* BandForm = nullptr;

namespace {

std::string CurrentDirectoryWithSeparator() {
  char buffer[MAX_PATH + 1] = "";
  const DWORD n = GetCurrentDirectoryA(sizeof buffer, buffer);
  std::string dir(buffer, n < sizeof buffer ? n : 0);
  if (dir.empty() || dir.back() != '\\') dir += '\\';  // a root already ends in one
  return dir;
}

}  // namespace

TBandForm::TBandForm() : ui::Form("BandForm") {
  looks::BuildDialogFrame(*this, VrBlotterBands, 238, 387);
  OnActivate = [this](ui::Control& c) { FormActivate(c); };
  OnShow = [this](ui::Control&) { reported_ = false; };

  Place(LabelStationBand, VrBlotterBands, 12, 7, 0, 0);
  StyleTitle(LabelStationBand, "Choose Station Band");

  Place(VrBlotterBand, *this, 8, 32, 222, 236);
  Place(ListBoxBands, VrBlotterBand, 6, 6, 210, 224);
  ListBoxBands.SetSorted(true);
  ListBoxBands.SetItemHeight(14);
  ListBoxBands.SetColor(ui::clBlack);
  ListBoxBands.SetFont(ui::MakeFont("Arial", 12, true, ui::clTeal));
  ListBoxBands.SetCursor(ui::Cursor::Hand);
  for (const std::string& band : BuiltInBands()) ListBoxBands.Add(band);
  ListBoxBands.OnDblClick = [this](ui::Control& c) { ListBoxBandsDblClick(c); };

  Place(LabelAddGenre, VrBlotterBands, 10, 276, 0, 0);
  StyleCaption(LabelAddGenre, "Enter new Station Band:");
  Place(VrBlotter1, *this, 8, 294, 222, 26);
  Place(EditNewStationBand, VrBlotter1, 6, 4, 210, 18);
  StyleField(EditNewStationBand, "");

  AddCommandButton(VrDemoButtonRemove, *this, 8, 328, "Remove Band",
                   [this](ui::Control& c) { VrDemoButtonRemoveClick(c); });
  AddCommandButton(VrDemoButtonAdd, *this, 124, 328, "Add Band", [this](ui::Control& c) { VrDemoButtonAddClick(c); });
  AddCommandButton(VrDemoButtonCancelBand, *this, 8, 358, "Cancel",
                   [this](ui::Control& c) { VrDemoButtonCancelBandClick(c); });
  AddCommandButton(VrDemoButtonSelectBand, *this, 124, 358, "Select Band",
                   [this](ui::Control& c) { VrDemoButtonSelectBandClick(c); });
  // The buttons that act on the list show their keyboard focus in aqua.
  for (widgets::TVrDemoButton* b : {&VrDemoButtonRemove, &VrDemoButtonAdd, &VrDemoButtonSelectBand})
    b->SetFocusColor(ui::clAqua);
}

std::string TBandForm::BandFilePath() const {
  return (bandDir_.empty() ? CurrentDirectoryWithSeparator() : bandDir_) + kBandFileName;
}

void TBandForm::FormActivate(ui::Control&) {
  bandDir_ = CurrentDirectoryWithSeparator();
  const std::string path = BandFilePath();
  if (!base::FileExists(path)) return;
  std::optional<std::string> text;
  try {
    text = base::ReadTextFile(path);
  } catch (const base::EInOutError&) {
    if (reported_) return;  // the list stays as it is
    reported_ = true;
    throw;
  }
  if (!text) return;
  const BandFile file = ParseBandFile(*text);
  ListBoxBands.Clear();
  for (const std::string& band : file.bands) ListBoxBands.Add(band);
  if (file.refused.empty() || reported_) return;
  // Such a name would read and write files outside the folder, or a device: it is left
  // out, and goes from the file with the next Add or Remove.
  reported_ = true;
  std::string names;
  for (const std::string& band : file.refused) names += (names.empty() ? "\"" : ", \"") + band + "\"";
  throw EInvalidBandName(path + " holds names that cannot be station bands, left out of the list: " + names);
}

void TBandForm::WriteBandFile() {
  base::WriteTextFile(BandFilePath(), BandFileText(ListBoxBands.Items()));
}

void TBandForm::VrDemoButtonAddClick(ui::Control&) {
  const std::string band = EditNewStationBand.Text();
  if (band.empty()) return;
  if (!IsValidBandName(band)) throw EInvalidBandName(InvalidBandNameMessage(band));
  ListBoxBands.Add(band);
  WriteBandFile();
}

void TBandForm::VrDemoButtonRemoveClick(ui::Control&) {
  ListBoxBands.Delete(ListBoxBands.ItemIndex());
  WriteBandFile();
}

void TBandForm::VrDemoButtonSelectBandClick(ui::Control&) {
  SetModalResult(ui::mrOk);
}

void TBandForm::ListBoxBandsDblClick(ui::Control&) {
  SetModalResult(ui::mrOk);
}

void TBandForm::VrDemoButtonCancelBandClick(ui::Control&) {
  SetModalResult(ui::mrCancel);
}

void TBandForm::ListSkinTargets(looks::SkinTargets& targets) {
  targets.Font(looks::scActive, {&LabelStationBand, &EditNewStationBand});
  targets.Font(looks::scPassive, {&ListBoxBands, &LabelAddGenre});
  targets.CommandButtons({&VrDemoButtonCancelBand, &VrDemoButtonSelectBand, &VrDemoButtonRemove, &VrDemoButtonAdd});
  targets.Fill(looks::scPopup, {&VrBlotterBands});
}
