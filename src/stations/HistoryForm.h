// The station history: the last eleven stations played.
#pragma once

#include "ui/Form.h"
#include "widgets/VrBlotter.h"

class THistoryForm : public ui::Form {
 public:
  THistoryForm();

  widgets::TVrBlotter VrBlotterHistory{"VrBlotterHistory"};
};

extern THistoryForm* HistoryForm;
