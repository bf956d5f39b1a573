#include "nowplaying/SleepMinutesForm.h"

#include <windows.h>

#include "looks/DialogFrame.h"
#include "nowplaying/SleepTimerRules.h"
#include "ui/Synchronize.h"

using namespace looks;

TSleepMinutesForm* SleepMinutesForm = nullptr;

namespace {

constexpr const char* kRangeText = "From 1 to 720 minutes";
constexpr const char* kRetryText = "Only 1 to 720, please";

}  // namespace

TSleepMinutesForm::TSleepMinutesForm() : ui::Form("SleepMinutesForm") {
  SetKeyPreview(true);
  BuildDialogFrame(*this, VrBlotterSleep, 238, 122);
  // Posted: the activation itself gives the focus to the window after its handlers.
  OnActivate = [this](ui::Control&) { ui::Post([this] { FocusField(); }); };

  Place(LabelSleepTitle, VrBlotterSleep, 12, 7, 0, 0);
  StyleTitle(LabelSleepTitle, "Sleep Timer");

  Place(VrBlotterMinutes, *this, 8, 32, 222, 50);
  Place(LabelMinutes, VrBlotterMinutes, 10, 6, 0, 0);
  StyleCaption(LabelMinutes, "Stop the station in minutes:");
  Place(EditMinutes, VrBlotterMinutes, 10, 23, 60, 18);
  StyleField(EditMinutes, "");
  Place(LabelRange, VrBlotterMinutes, 80, 25, 0, 0);
  StyleCaption(LabelRange, kRangeText);

  AddCommandButton(VrDemoButtonCancel, *this, 8, 90, "Cancel", [this](ui::Control&) { SetModalResult(ui::mrCancel); });
  AddCommandButton(VrDemoButtonOk, *this, 124, 90, "Start Timer", [this](ui::Control&) { Confirm(); });
}

std::optional<int> TSleepMinutesForm::Ask(int minutes) {
  EditMinutes.SetText(std::to_string(minutes));
  LabelRange.SetCaption(kRangeText);
  // Opened from the tray, the dialog may never be activated by the system.
  ui::Post([this] { FocusField(); });
  if (ShowModal() != ui::mrOk) return std::nullopt;
  return nowplaying::ParseSleepMinutes(EditMinutes.Text());
}

void TSleepMinutesForm::Confirm() {
  if (nowplaying::ParseSleepMinutes(EditMinutes.Text())) {
    SetModalResult(ui::mrOk);
    return;
  }
  // The dialog stays open and says what it takes; the field keeps the focus.
  LabelRange.SetCaption(kRetryText);
  FocusField();
}

void TSleepMinutesForm::FocusField() {
  if (!Visible() || !EditMinutes.Handle()) return;
  SetForegroundWindow(Handle());
  EditMinutes.SetFocus();
  SendMessageA(EditMinutes.Handle(), EM_SETSEL, 0, -1);
}

void TSleepMinutesForm::KeyDown(unsigned& key, unsigned shift) {
  ui::Form::KeyDown(key, shift);
  if (key == VK_RETURN) {
    key = 0;
    Confirm();
  } else if (key == VK_ESCAPE) {
    key = 0;
    SetModalResult(ui::mrCancel);
  }
}

void TSleepMinutesForm::ListSkinTargets(looks::SkinTargets& targets) {
  targets.Font(looks::scActive, {&LabelSleepTitle, &EditMinutes});
  targets.Font(looks::scPassive, {&LabelMinutes, &LabelRange});
  targets.CommandButtons({&VrDemoButtonCancel, &VrDemoButtonOk});
  targets.Fill(looks::scPopup, {&VrBlotterSleep});
}
