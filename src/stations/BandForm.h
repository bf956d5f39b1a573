// The band manager: picks the current station band and keeps the list of band names in
// stationbands.ini in the current directory. The built-in names are in force until that
// file exists; every Add and Remove writes the whole list.
#pragma once

#include <string>

#include "ui/Form.h"
#include "ui/StdControls.h"
#include "looks/DialogLooks.h"
#include "looks/SkinTargets.h"
#include "widgets/VrBlotter.h"
#include "widgets/VrButtons.h"

class TBandForm : public ui::Form {
 public:
  TBandForm();
  // The controls that take the skin's colours.
  void ListSkinTargets(looks::SkinTargets& targets);

  // Reloads the list from the band file, when there is one, at every activation. A file
  // that cannot be read, or names in it that cannot be bands (left out of the list), are
  // reported once per showing: closing the report activates the dialog again, which
  // must not report it again and again.
  void FormActivate(ui::Control& sender);
  // Adds the typed name; one that cannot name the band's files is refused with a message.
  void VrDemoButtonAddClick(ui::Control& sender);
  void VrDemoButtonRemoveClick(ui::Control& sender);
  void VrDemoButtonSelectBandClick(ui::Control& sender);
  void ListBoxBandsDblClick(ui::Control& sender);
  void VrDemoButtonCancelBandClick(ui::Control& sender);

  // The band file: the current directory at the last activation + "stationbands.ini".
  std::string BandFilePath() const;

  widgets::TVrBlotter VrBlotterBands{"VrBlotterBands"};
  ui::Label LabelStationBand{"LabelStationBand"};
  looks::TFramePanel VrBlotterBand{"VrBlotterBand"};
  ui::ListBox ListBoxBands{"ListBoxBands"};
  ui::Label LabelAddGenre{"LabelAddGenre"};
  looks::TFramePanel VrBlotter1{"VrBlotter1"};
  ui::Edit EditNewStationBand{"EditNewStationBand"};
  widgets::TVrDemoButton VrDemoButtonRemove{"VrDemoButtonRemove"};
  widgets::TVrDemoButton VrDemoButtonAdd{"VrDemoButtonAdd"};
  widgets::TVrDemoButton VrDemoButtonCancelBand{"VrDemoButtonCancelBand"};
  widgets::TVrDemoButton VrDemoButtonSelectBand{"VrDemoButtonSelectBand"};

 private:
  void WriteBandFile();
  std::string bandDir_;  // with its trailing "\"; empty until the first activation
  bool reported_ = false;
};

extern TBandForm* BandForm;
