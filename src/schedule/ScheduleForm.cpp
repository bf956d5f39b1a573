#include "schedule/ScheduleForm.h"

#include <stdexcept>

#include "looks/DialogFrame.h"

using namespace looks;
using namespace schedule;

TScheduleForm* ScheduleForm = nullptr;

namespace {

constexpr const char* kHelp = "Days: Daily, Once, or weekdays such as Mon,Wed,Fri. Date (Once): YYYY-MM-DD.";
constexpr const char* kWakeRefused = "This PC does not allow wake timers: leave it on, not asleep, for the starts.";

// A caption above a field on the fields' frame.
void Field(ui::Label& caption, ui::Edit& edit, ui::WinControl& frame, int left, int top, int width,
           const std::string& text) {
  Place(caption, frame, left, top, 0, 0);
  StyleCaption(caption, text);
  Place(edit, frame, left, top + 16, width, 18);
  StyleField(edit, "");
}

}  // namespace

TScheduleForm::TScheduleForm() : ui::Form("ScheduleForm") {
  BuildDialogFrame(*this, VrBlotterSchedules, 440, 432);
  Place(LabelSchedules, VrBlotterSchedules, 12, 7, 0, 0);
  StyleTitle(LabelSchedules, "Scheduled Recordings");

  Place(VrBlotterList, *this, 8, 32, 424, 140);
  Place(ListBoxSchedules, VrBlotterList, 6, 6, 412, 128);
  ListBoxSchedules.SetItemHeight(14);
  StyleList(ListBoxSchedules);
  ListBoxSchedules.OnClick = [this](ui::Control& c) { ListBoxSchedulesClick(c); };

  Place(VrBlotterFields, *this, 8, 180, 424, 176);
  Place(LabelPreset, VrBlotterFields, 10, 8, 0, 0);
  StyleCaption(LabelPreset, "Station (a preset, or a name and an address below):");
  Place(ComboBoxPreset, VrBlotterFields, 10, 24, 404, 200);
  StyleList(ComboBoxPreset);
  ComboBoxPreset.OnChange = [this](ui::Control& c) { ComboBoxPresetChange(c); };
  Field(LabelName, EditName, VrBlotterFields, 10, 50, 130, "Name:");
  Field(LabelUrl, EditUrl, VrBlotterFields, 150, 50, 264, "Address:");
  Field(LabelDays, EditDays, VrBlotterFields, 10, 90, 130, "Days:");
  Field(LabelDate, EditDate, VrBlotterFields, 150, 90, 90, "Date:");
  Field(LabelStart, EditStart, VrBlotterFields, 250, 90, 70, "Start:");
  Field(LabelMinutes, EditMinutes, VrBlotterFields, 330, 90, 84, "Minutes:");
  Place(LabelNote, VrBlotterFields, 10, 132, 404, 40);
  LabelNote.SetWordWrap(true);
  LabelNote.SetFont(ui::MakeFont("Arial", 11, false, ui::clTeal));

  AddCommandButton(VrDemoButtonAdd, *this, 8, 366, "Add", [this](ui::Control& c) { VrDemoButtonAddClick(c); });
  AddCommandButton(VrDemoButtonChange, *this, 120, 366, "Change",
                   [this](ui::Control& c) { VrDemoButtonChangeClick(c); });
  AddCommandButton(VrDemoButtonRemove, *this, 232, 366, "Remove",
                   [this](ui::Control& c) { VrDemoButtonRemoveClick(c); });
  AddCommandButton(VrDemoButtonClose, *this, 326, 398, "Close", [this](ui::Control&) { SetModalResult(ui::mrOk); });
  for (widgets::TVrDemoButton* b : {&VrDemoButtonAdd, &VrDemoButtonChange, &VrDemoButtonRemove})
    b->SetFocusColor(ui::clAqua);
}

void TScheduleForm::Open(Scheduler& scheduler, std::vector<Preset> presets) {
  scheduler_ = &scheduler;
  presets_ = std::move(presets);
  ComboBoxPreset.Clear();
  for (const Preset& p : presets_) ComboBoxPreset.Add(p.name);
  FillList();
  Schedule fresh;
  fresh.name = presets_.empty() ? "" : presets_.front().name;
  fresh.url = presets_.empty() ? "" : presets_.front().url;
  fresh.hour = 20;
  Show(fresh);
  ComboBoxPreset.SetItemIndex(presets_.empty() ? -1 : 0);
  std::string note = kHelp;
  if (scheduler.WakeRefused()) note += std::string("\r\n") + kWakeRefused;
  if (!scheduler.FileFault().empty()) note += "\r\nschedule.ini is damaged: a save keeps it as schedule.ini.damaged.";
  LabelNote.SetCaption(note);
  ShowModal();
}

void TScheduleForm::FillList() {
  ListBoxSchedules.Clear();
  for (const Schedule& s : scheduler_->Schedules()) ListBoxSchedules.Add(ScheduleLine(s));
}

void TScheduleForm::Show(const Schedule& s) {
  EditName.SetText(s.name);
  EditUrl.SetText(s.url);
  EditDays.SetText(DaysText(s));
  EditDate.SetText(s.days == Days::Once ? DateText(s.date) : "");
  EditStart.SetText(StartText(s));
  EditMinutes.SetText(std::to_string(s.minutes));
}

Schedule TScheduleForm::Fields() const {
  Schedule s;
  s.name = EditName.Text();
  s.url = EditUrl.Text();
  if (!ParseDays(EditDays.Text(), s)) throw std::runtime_error("Days: Daily, Once, or weekdays such as Mon,Wed,Fri.");
  if (s.days == Days::Once) {
    const std::optional<Date> date = ParseDate(EditDate.Text());
    if (!date) throw std::runtime_error("A recording Once needs its date, YYYY-MM-DD.");
    s.date = *date;
  }
  if (!ParseStart(EditStart.Text(), s)) throw std::runtime_error("The start is a time of day, HH:MM.");
  const std::string minutes = EditMinutes.Text();
  s.minutes = minutes.empty() || minutes.size() > 4 || minutes.find_first_not_of("0123456789") != std::string::npos
                  ? 0
                  : std::stoi(minutes);
  if (const std::string fault = ScheduleFault(s); !fault.empty()) throw std::runtime_error(fault);
  return s;
}

void TScheduleForm::Save(std::vector<Schedule> schedules) {
  scheduler_->SetSchedules(std::move(schedules));
  FillList();
}

void TScheduleForm::VrDemoButtonAddClick(ui::Control&) {
  std::vector<Schedule> all = scheduler_->Schedules();
  if (all.size() >= kMaxSchedules) throw std::runtime_error("The list holds at most 100 schedules.");
  all.push_back(Fields());
  Save(std::move(all));
  ListBoxSchedules.SetItemIndex(ListBoxSchedules.Count() - 1);
}

void TScheduleForm::VrDemoButtonChangeClick(ui::Control&) {
  const int chosen = ListBoxSchedules.ItemIndex();
  if (chosen < 0) return;
  std::vector<Schedule> all = scheduler_->Schedules();
  all.at(std::size_t(chosen)) = Fields();
  Save(std::move(all));
  ListBoxSchedules.SetItemIndex(chosen);
}

void TScheduleForm::VrDemoButtonRemoveClick(ui::Control&) {
  const int chosen = ListBoxSchedules.ItemIndex();
  if (chosen < 0) return;
  std::vector<Schedule> all = scheduler_->Schedules();
  all.erase(all.begin() + chosen);
  Save(std::move(all));
}

void TScheduleForm::ListBoxSchedulesClick(ui::Control&) {
  const int chosen = ListBoxSchedules.ItemIndex();
  if (chosen >= 0 && std::size_t(chosen) < scheduler_->Schedules().size())
    Show(scheduler_->Schedules()[std::size_t(chosen)]);
}

void TScheduleForm::ComboBoxPresetChange(ui::Control&) {
  const int chosen = ComboBoxPreset.ItemIndex();
  if (chosen < 0 || std::size_t(chosen) >= presets_.size()) return;
  EditName.SetText(presets_[std::size_t(chosen)].name);
  EditUrl.SetText(presets_[std::size_t(chosen)].url);
}

void TScheduleForm::ListSkinTargets(looks::SkinTargets& targets) {
  targets.Font(scActive, {&LabelSchedules, &EditName, &EditUrl, &EditDays, &EditDate, &EditStart, &EditMinutes});
  targets.Font(scPassive, {&ListBoxSchedules, &LabelPreset, &LabelName, &LabelUrl, &LabelDays, &LabelDate, &LabelStart,
                           &LabelMinutes, &LabelNote});
  targets.CommandButtons({&VrDemoButtonAdd, &VrDemoButtonChange, &VrDemoButtonRemove, &VrDemoButtonClose});
  targets.Fill(scPopup, {&VrBlotterSchedules});
}
