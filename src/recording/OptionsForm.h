// The options dialog: capture format, capture device and the recording file, and the
// export of a copy of the recording. Other windows read and write the options straight
// from these controls; the window that holds the recorder answers a change of the device
// (DriverBox's OnChange) by filling the format list anew.
#pragma once

#include <string>

#include "recording/FileNameEdit.h"
#include "ui/Dialogs.h"
#include "ui/Form.h"
#include "ui/StdControls.h"
#include "looks/DialogLooks.h"
#include "looks/SkinTargets.h"
#include "widgets/VrBlotter.h"
#include "widgets/VrButtons.h"

class TOptionsForm : public ui::Form {
 public:
  TOptionsForm();
  // The controls that take the skin's colours.
  void ListSkinTargets(looks::SkinTargets& targets);

  void VrDemoButtonExportClick(ui::Control& sender);
  // Copies the recording to target, replacing a file there; a copy that fails is
  // reported with the system's reason.
  void ExportTo(const std::string& target);

  widgets::TVrBlotter VrBlotterOptions{"VrBlotterOptions"};
  ui::Label LabelOptions{"LabelOptions"};
  ui::Label LabelRecFormat{"LabelRecFormat"};
  looks::TFramePanel VrBlotter1{"VrBlotter1"};
  ui::ComboBox FormatBox{"FormatBox"};
  ui::Label LabelRecDriver{"LabelRecDriver"};
  looks::TFramePanel VrBlotter2{"VrBlotter2"};
  ui::ComboBox DriverBox{"DriverBox"};
  ui::Label LabelTempFile{"LabelTempFile"};
  looks::TFramePanel VrBlotter3{"VrBlotter3"};
  recording::TFileNameEdit DirectoryEditLogger{"DirectoryEditLogger"};
  widgets::TVrDemoButton VrDemoButtonExport{"VrDemoButtonExport"};
  widgets::TVrDemoButton VrDemoButtonExit{"VrDemoButtonExit"};
  ui::SaveDialog SaveDialogLogger;
};

extern TOptionsForm* OptionsForm;
