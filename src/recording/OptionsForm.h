// The options dialog: capture format, capture device and the recording file. Other
// windows read and write the options straight from these controls.
#pragma once

#include "ui/Form.h"
#include "ui/StdControls.h"
#include "widgets/DialogLooks.h"
#include "widgets/VrBlotter.h"
#include "widgets/VrButtons.h"

class TOptionsForm : public ui::Form {
 public:
  TOptionsForm();

  widgets::TVrBlotter VrBlotterOptions{"VrBlotterOptions"};
  ui::Label LabelOptions{"LabelOptions"};
  ui::Label LabelRecFormat{"LabelRecFormat"};
  widgets::TFramePanel VrBlotter1{"VrBlotter1"};
  ui::ComboBox FormatBox{"FormatBox"};
  ui::Label LabelRecDriver{"LabelRecDriver"};
  widgets::TFramePanel VrBlotter2{"VrBlotter2"};
  ui::ComboBox DriverBox{"DriverBox"};
  ui::Label LabelTempFile{"LabelTempFile"};
  widgets::TFramePanel VrBlotter3{"VrBlotter3"};
  ui::Edit DirectoryEditLogger{"DirectoryEditLogger"};
  widgets::TVrDemoButton VrDemoButtonExport{"VrDemoButtonExport"};
  widgets::TVrDemoButton VrDemoButtonExit{"VrDemoButtonExit"};
};

extern TOptionsForm* OptionsForm;
