// The station history: the last eleven stations played, newest first. Entry k is the
// caption of VrDemoButtonHis<k> (the name) and the text of the hidden EditHis<k> (the
// URL); these controls are the only store of the history.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "stations/StationFilesRules.h"
#include "ui/Form.h"
#include "ui/StdControls.h"
#include "looks/DialogLooks.h"
#include "looks/SkinTargets.h"
#include "widgets/VrBlotter.h"
#include "widgets/VrButtons.h"

class THistoryForm : public ui::Form {
 public:
  THistoryForm();
  // The controls that take the skin's colours.
  void ListSkinTargets(looks::SkinTargets& targets);

  // Entry k's controls, k = 1..11.
  widgets::TVrDemoButton& EntryButton(int k) { return *entryButtons_.at(std::size_t(k - 1)); }
  ui::Edit& EntryUrl(int k) { return *entryUrls_.at(std::size_t(k - 1)); }
  // The eleven entries as the controls hold them, and back.
  stations::History Entries() const;
  void SetEntries(const stations::History& entries);

  // A click on entry k: hands its name and URL to OnEntryClick. The window stays open
  // and the order of the entries does not change.
  void VrDemoButtonHisClick(int k);
  void VrDemoButtonCloseHistoryClick(ui::Control& sender);

  // Set by the main window: starts the station of a clicked entry.
  std::function<void(const std::string& name, const std::string& url)> OnEntryClick;

  widgets::TVrBlotter VrBlotterHistory{"VrBlotterHistory"};
  ui::Label LabelHistory{"LabelHistory"};
  looks::TFramePanel VrBlotter15{"VrBlotter15"};
  widgets::TVrDemoButton VrDemoButtonHis1{"VrDemoButtonHis1"}, VrDemoButtonHis2{"VrDemoButtonHis2"},
      VrDemoButtonHis3{"VrDemoButtonHis3"}, VrDemoButtonHis4{"VrDemoButtonHis4"}, VrDemoButtonHis5{"VrDemoButtonHis5"},
      VrDemoButtonHis6{"VrDemoButtonHis6"}, VrDemoButtonHis7{"VrDemoButtonHis7"}, VrDemoButtonHis8{"VrDemoButtonHis8"},
      VrDemoButtonHis9{"VrDemoButtonHis9"}, VrDemoButtonHis10{"VrDemoButtonHis10"},
      VrDemoButtonHis11{"VrDemoButtonHis11"};
  ui::Edit EditHis1{"EditHis1"}, EditHis2{"EditHis2"}, EditHis3{"EditHis3"}, EditHis4{"EditHis4"}, EditHis5{"EditHis5"},
      EditHis6{"EditHis6"}, EditHis7{"EditHis7"}, EditHis8{"EditHis8"}, EditHis9{"EditHis9"}, EditHis10{"EditHis10"},
      EditHis11{"EditHis11"};
  widgets::TVrDemoButton VrDemoButtonCloseHistory{"VrDemoButtonCloseHistory"};

 private:
  std::array<widgets::TVrDemoButton*, stations::kHistorySlots> entryButtons_;
  std::array<ui::Edit*, stations::kHistorySlots> entryUrls_;
};

extern THistoryForm* HistoryForm;
