// Find Station: a search of the public station directory by name, country, tag and
// codec; a result played as a preview, or kept in a preset of the group that the main
// window shows. The search runs on a thread of its own and the dialog's timer takes its
// outcome, so the dialog never waits for a server. Works from the keyboard alone: Enter
// in a search field searches, Enter in the list plays, Ctrl+1..7 (or Enter in the preset
// choice) keep, Tab moves on, Escape closes. Shown beside the main window, not modally.
#pragma once

#include <memory>
#include <vector>

#include "directory/AnswerRules.h"
#include "directory/DirectorySearch.h"
#include "directory/DirectoryWindow.h"
#include "looks/DialogLooks.h"
#include "looks/SkinTargets.h"
#include "ui/Form.h"
#include "ui/StdControls.h"
#include "ui/Timer.h"
#include "widgets/VrBlotter.h"
#include "widgets/VrButtons.h"

class TFindStationForm : public ui::Form {
 public:
  static constexpr const char* kTitle = "Find Station";
  static constexpr const char* kUnreachable = "The station directory cannot be reached: ";

  TFindStationForm();
  ~TFindStationForm() override;
  // The controls that take the skin's colours.
  void ListSkinTargets(looks::SkinTargets& targets);

  // Shows the dialog (or brings it to the front) with the focus in the search box.
  void Open(directory::DirectoryWindow& window);
  void Search();
  void CancelSearch();
  // The selected result played, or kept in preset 1..7.
  void PlaySelected();
  void SaveSelected(int preset);
  const std::vector<directory::Station>& Results() const { return results_; }
  // A search was started and its outcome is not shown yet.
  bool Searching() const;

  widgets::TVrBlotter VrBlotterFind{"VrBlotterFind"};
  ui::Label LabelFind{"LabelFind"};
  looks::TFramePanel FrameSearch{"FrameSearch"};
  ui::Label LabelName{"LabelName"}, LabelCountry{"LabelCountry"}, LabelTag{"LabelTag"}, LabelCodec{"LabelCodec"};
  ui::Edit EditName{"EditName"}, EditCountry{"EditCountry"}, EditTag{"EditTag"};
  ui::ComboBox BoxCodec{"BoxCodec"}, BoxBroken{"BoxBroken"};
  widgets::TVrDemoButton ButtonSearch{"ButtonSearch"};
  ui::Label LabelStatus{"LabelStatus"};
  looks::TFramePanel FrameResults{"FrameResults"};
  ui::Label LabelColumns{"LabelColumns"};
  ui::ListBox ListResults{"ListResults"};
  widgets::TVrDemoButton ButtonPlay{"ButtonPlay"}, ButtonSave{"ButtonSave"}, ButtonClose{"ButtonClose"};
  ui::ComboBox BoxPreset{"BoxPreset"};

 private:
  void Build();
  void KeyDownHandler(unsigned& key, unsigned shift);
  void FocusNext(bool back);
  void Tick();
  void ShowOutcome(directory::DirectorySearch::Outcome outcome);
  const directory::Station* Selected() const;

  directory::DirectoryWindow* window_ = nullptr;
  std::unique_ptr<directory::DirectorySearch> search_;
  std::vector<directory::Station> results_;
  ui::Timer timer_;
};

extern TFindStationForm* FindStationForm;
