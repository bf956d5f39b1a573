// The sleep timer's "Other..." dialog: the minutes until the station stops, typed into a
// field that has the focus when the dialog opens; Enter confirms, Escape cancels.
#pragma once

#include <optional>

#include "looks/DialogLooks.h"
#include "looks/SkinTargets.h"
#include "ui/Form.h"
#include "ui/StdControls.h"
#include "widgets/VrBlotter.h"
#include "widgets/VrButtons.h"

class TSleepMinutesForm : public ui::Form {
 public:
  TSleepMinutesForm();
  // Shows the dialog modally with `minutes` in the field; the minutes confirmed, or
  // nullopt when cancelled.
  std::optional<int> Ask(int minutes);
  void ListSkinTargets(looks::SkinTargets& targets);

  widgets::TVrBlotter VrBlotterSleep{"VrBlotterSleep"};
  ui::Label LabelSleepTitle{"LabelSleepTitle"};
  looks::TFramePanel VrBlotterMinutes{"VrBlotterMinutes"};
  ui::Label LabelMinutes{"LabelMinutes"};
  ui::Edit EditMinutes{"EditMinutes"};
  ui::Label LabelRange{"LabelRange"};
  widgets::TVrDemoButton VrDemoButtonCancel{"VrDemoButtonCancel"};
  widgets::TVrDemoButton VrDemoButtonOk{"VrDemoButtonOk"};

 protected:
  void KeyDown(unsigned& key, unsigned shift) override;

 private:
  void Confirm();
  // The field takes the focus with its text selected, so that typing replaces it.
  void FocusField();
};

extern TSleepMinutesForm* SleepMinutesForm;
