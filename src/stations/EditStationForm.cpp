#include "stations/EditStationForm.h"

#include "looks/DialogFrame.h"
#include "looks/DialogLooks.h"

using namespace widgets;
using namespace looks;

TEditStationForm* EditStationForm = nullptr;

namespace {

// The address forms that play, shown as patterns; nothing checks a URL against them.
constexpr const char* kUrlExamples =
    "URL examples: \r\n"
    "ShoutCast: http://server:port (no pls files!)\r\n"
    "Windows Media: http://server/PublishingPoint\r\n"
    "or: http://server/filename.asx";

}  // namespace

TEditStationForm::TEditStationForm() : ui::Form("EditStationForm") {
  SetKeyPreview(true);
  looks::BuildDialogFrame(*this, VrBlotterStation, 311, 245);

  Place(LabelEditStation, VrBlotterStation, 12, 7, 0, 0);
  StyleTitle(LabelEditStation, "Edit Radio Station");

  Place(VrBlotter15, *this, 8, 32, 295, 166);
  Place(LabelSTName, VrBlotter15, 10, 8, 0, 0);
  StyleCaption(LabelSTName, "Name (any name):");
  Place(EditStationName, VrBlotter15, 10, 25, 275, 18);
  StyleField(EditStationName, "Empty");
  Place(LabelSTURL, VrBlotter15, 10, 50, 0, 0);
  StyleCaption(LabelSTURL, "URL: ");
  Place(EditStationURL, VrBlotter15, 10, 67, 275, 18);
  StyleField(EditStationURL, "Empty");

  Place(LabelSTEx, VrBlotter15, 10, 94, 275, 0);
  LabelSTEx.SetWordWrap(true);
  LabelSTEx.SetFont(ui::MakeFont("Arial", 11, false, ui::clTeal));
  LabelSTEx.SetCaption(kUrlExamples);

  AddCommandButton(VrDemoButtonExit, *this, 102, 208, "Save and Exit",
                   [this](ui::Control& c) { VrDemoButtonExitClick(c); });
}

void TEditStationForm::VrDemoButtonExitClick(ui::Control&) {
  SetModalResult(ui::mrOk);
}

void TEditStationForm::ListSkinTargets(looks::SkinTargets& targets) {
  targets.Font(looks::scActive, {&LabelEditStation, &EditStationName, &EditStationURL});
  targets.Font(looks::scPassive, {&LabelSTName, &LabelSTURL, &LabelSTEx});
  targets.CommandButtons({&VrDemoButtonExit});
  targets.Fill(looks::scPopup, {&VrBlotterStation});
}
