#include "app/AllForms.h"

#include "app/FormSure.h"
#include "app/MainForm.h"
#include "app/StartLog.h"
#include "directory/FindStationForm.h"
#include "info/AboutForm.h"
#include "nowplaying/SleepMinutesForm.h"
#include "recording/OptionsForm.h"
#include "schedule/ScheduleForm.h"
#include "skins/SkinForm.h"
#include "stations/BandForm.h"
#include "stations/EditStationForm.h"
#include "stations/HistoryForm.h"
#include "ui/Application.h"

namespace app {

void CreateAllForms() {
  ui::Application& application = ui::App();
  application.CreateForm(MainForm);
  StartStep("main window made");
  application.CreateForm(HistoryForm);
  application.CreateForm(BandForm);
  application.CreateForm(OptionsForm);
  application.CreateForm(SkinForm);
  application.CreateForm(EditStationForm);
  application.CreateForm(FormSure);
  application.CreateForm(AboutForm);
  application.CreateForm(FindStationForm);
  application.CreateForm(ScheduleForm);
  application.CreateForm(SleepMinutesForm);
  StartStep("other windows made");
  // The skin shapes the main window and colours what every window lists.
  SkinForm->SetSkinnedWindow(*MainForm);
  looks::SkinTargets& targets = SkinForm->Targets();
  MainForm->ListSkinTargets(targets);
  SkinForm->ListSkinTargets(targets);
  BandForm->ListSkinTargets(targets);
  EditStationForm->ListSkinTargets(targets);
  HistoryForm->ListSkinTargets(targets);
  OptionsForm->ListSkinTargets(targets);
  FindStationForm->ListSkinTargets(targets);
  ScheduleForm->ListSkinTargets(targets);
  SleepMinutesForm->ListSkinTargets(targets);
}

}  // namespace app
