// The dialog of the scheduled recordings, in the skin like the other dialogs: the list of
// schedules, and the fields of the one chosen (a preset or an address, the days, the date
// of a single one, the start and the length). Add, Change and Remove save schedule.ini at
// once. It says when the PC's system refuses to be woken for a start.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "looks/DialogLooks.h"
#include "looks/SkinTargets.h"
#include "schedule/Scheduler.h"
#include "ui/Form.h"
#include "ui/StdControls.h"
#include "widgets/VrBlotter.h"
#include "widgets/VrButtons.h"

class TScheduleForm : public ui::Form {
 public:
  struct Preset {
    std::string name, url;
  };

  TScheduleForm();
  void ListSkinTargets(looks::SkinTargets& targets);
  // Shows the dialog over the scheduler's list, the presets offered as stations.
  void Open(schedule::Scheduler& scheduler, std::vector<Preset> presets);

  void VrDemoButtonAddClick(ui::Control& sender);
  void VrDemoButtonChangeClick(ui::Control& sender);
  void VrDemoButtonRemoveClick(ui::Control& sender);
  void ListBoxSchedulesClick(ui::Control& sender);
  void ComboBoxPresetChange(ui::Control& sender);

  widgets::TVrBlotter VrBlotterSchedules{"VrBlotterSchedules"};
  ui::Label LabelSchedules;
  looks::TFramePanel VrBlotterList{"VrBlotterList"};
  ui::ListBox ListBoxSchedules{"ListBoxSchedules"};
  looks::TFramePanel VrBlotterFields{"VrBlotterFields"};
  ui::Label LabelPreset, LabelName, LabelUrl, LabelDays, LabelDate, LabelStart, LabelMinutes, LabelNote;
  ui::ComboBox ComboBoxPreset{"ComboBoxPreset"};
  ui::Edit EditName{"EditName"}, EditUrl{"EditUrl"}, EditDays{"EditDays"}, EditDate{"EditDate"}, EditStart{"EditStart"},
      EditMinutes{"EditMinutes"};
  widgets::TVrDemoButton VrDemoButtonAdd{"VrDemoButtonAdd"};
  widgets::TVrDemoButton VrDemoButtonChange{"VrDemoButtonChange"};
  widgets::TVrDemoButton VrDemoButtonRemove{"VrDemoButtonRemove"};
  widgets::TVrDemoButton VrDemoButtonClose{"VrDemoButtonClose"};

 private:
  // The fields as a schedule; raises with what is wrong.
  schedule::Schedule Fields() const;
  void Show(const schedule::Schedule& s);
  void Save(std::vector<schedule::Schedule> schedules);
  void FillList();

  schedule::Scheduler* scheduler_ = nullptr;
  std::vector<Preset> presets_;
};

extern TScheduleForm* ScheduleForm;
