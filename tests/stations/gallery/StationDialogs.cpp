// The three station dialogs side by side with sample content, to look at under the
// virtual display (tests/stations/gallery/show.sh). Not part of the program.
#include <windows.h>

#include "stations/BandForm.h"
#include "stations/EditStationForm.h"
#include "stations/HistoryForm.h"
#include "ui/Application.h"
#include "ui/Synchronize.h"

namespace {

class Backdrop : public ui::Form {
 public:
  Backdrop() : Form("Backdrop") {
    SetCaption("Station Dialogs");
    SetColor(ui::Rgb(24, 28, 34));
    SetPosition(ui::FormPosition::Designed);
    SetBounds(0, 0, 900, 420);
  }
};

void ShowAt(ui::Form& form, int left, int top) {
  form.SetPosition(ui::FormPosition::Designed);
  form.SetBounds(left, top, form.Width(), form.Height());
  form.Show();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ui::InitSynchronize();
  ui::App().SetTitle("Station Dialogs");
  Backdrop* backdrop = nullptr;
  ui::App().CreateForm(backdrop);
  backdrop->Show();  // first: the dialogs are owned by it and show above it
  ui::App().CreateForm(HistoryForm);
  ui::App().CreateForm(BandForm);
  ui::App().CreateForm(EditStationForm);

  stations::History history = stations::EmptyHistory();
  for (const char* name : {"Radio Paradise", "Jazz 24", "Groove Salad", "BBC World Service"})
    stations::PushHistory(history, name, "http://example.invalid/stream");
  HistoryForm->SetEntries(history);
  EditStationForm->EditStationName.SetText("Groove Salad");
  EditStationForm->EditStationURL.SetText("http://ice1.somafm.invalid:8000/groovesalad");
  BandForm->EditNewStationBand.SetText("Lounge");

  ShowAt(*HistoryForm, 10, 10);
  ShowAt(*BandForm, 290, 10);
  ShowAt(*EditStationForm, 545, 10);
  ui::App().Run();
  ui::App().DestroyForms();
  return 0;
}
