// The main window's station files: the current group's presets and the settings,
// copied between the files of the program directory and the controls that show them.
#include "app/MainForm.h"

#include "app/Program.h"
#include "base/TextFile.h"
#include "recording/OptionsForm.h"
#include "stations/HistoryForm.h"
#include "stations/StationFilesRules.h"
#include "ui/Geometry.h"

namespace {

// A stored position keeps the window where it was while this much of it still shows on
// the screens; one off every screen (a monitor gone, a damaged file) is brought back.
constexpr int kKeptShown = 32;

// Where the lines of the settings file land: the options, the history, the band label
// and the window's place.
class SettingsControls : public stations::SettingsTarget {
 public:
  SettingsControls(TMainForm& main, ui::Label& band, stations::History& history)
      : main_(main), band_(band), history_(history) {}
  void SetRecordingPath(const std::string& path) override { OptionsForm->DirectoryEditLogger.SetText(path); }
  // The recorder's lists are filled once the window shows: the choice waits for them.
  void SetFormatIndex(int index) override { main_.KeepStoredFormat(index); }
  void SetDriverIndex(int index) override { main_.KeepStoredDriver(index); }
  void SetHistoryName(int slot, const std::string& name) override { history_.at(std::size_t(slot - 1)).name = name; }
  void SetHistoryUrl(int slot, const std::string& url) override { history_.at(std::size_t(slot - 1)).url = url; }
  void SetBand(const std::string& band) override { band_.SetCaption(band); }
  void SetLeft(int left) override {
    const int lo = GetSystemMetrics(SM_XVIRTUALSCREEN), hi = lo + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    main_.SetBounds(ui::KeptOnScreen(left, main_.Width(), lo, hi, kKeptShown), main_.Top(), main_.Width(),
                    main_.Height());
  }
  void SetTop(int top) override {
    const int lo = GetSystemMetrics(SM_YVIRTUALSCREEN), hi = lo + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    main_.SetBounds(main_.Left(), ui::KeptOnScreen(top, main_.Height(), lo, hi, kKeptShown), main_.Width(),
                    main_.Height());
  }

 private:
  TMainForm& main_;
  ui::Label& band_;
  stations::History& history_;
};

}  // namespace

void TMainForm::LoadStationGroup(int group) {
  const std::string path = stations::GroupFileName(programDirectory_, Labelgenre.Caption(), group);
  // A group whose file cannot be read shows empty presets and is never saved: saving it
  // would write what the screen holds over the presets its file still keeps.
  groupLoaded_ = false;
  stations::PresetGroup presets = stations::EmptyGroup();
  std::exception_ptr failure;
  try {
    if (const auto text = base::ReadTextFile(path)) presets = stations::ParseGroup(base::SplitLines(*text));
    groupLoaded_ = true;
  } catch (...) {
    failure = std::current_exception();
  }
  for (int k = 0; k < kPresets; ++k) {
    VrDemoButtonStation[k].SetCaption(presets[k].name);
    EditStationURL[k].SetText(presets[k].url);
  }
  currentBand_ = Labelgenre.Caption();
  if (failure) std::rethrow_exception(failure);
}

std::string TMainForm::GroupNotSavedMessage() const {
  return "The station group file " + stations::GroupFileName(programDirectory_, currentBand_, VrNumBlock.Value()) +
         " could not be read, so it is left as it is: this change is shown but not saved.";
}

void TMainForm::SaveStationGroup(int group) {
  RestoreBandLabel();
  if (!groupLoaded_) return;
  stations::PresetGroup presets;
  for (int k = 0; k < kPresets; ++k) presets[k] = {VrDemoButtonStation[k].Caption(), EditStationURL[k].Text()};
  base::WriteTextFile(stations::GroupFileName(programDirectory_, Labelgenre.Caption(), group),
                      base::JoinLines(stations::GroupLines(presets)));
}

void TMainForm::LoadSettings() {
  const std::string path = programDirectory_ + "\\" + stations::kSettingsFileName;
  const auto text = base::ReadTextFile(path);
  std::optional<std::vector<std::string>> lines;
  if (text) lines = base::SplitLines(*text);
  // The history slots are written back even when a line stops the reading half-way:
  // the lines before it stay applied.
  stations::History history = HistoryForm->Entries();
  SettingsControls controls(*this, Labelgenre, history);
  struct HistoryWriteBack {
    stations::History& history;
    ~HistoryWriteBack() { HistoryForm->SetEntries(history); }
  } writeBack{history};
  // Once the recorder's lists are filled, a choice read is applied at once; before, it
  // waits for them.
  const auto applyDevice = [this] {
    if (soundListsFilled_) ApplyStoredDevice();
  };
  try {
    stations::ReadSettings(lines, programDirectory_, base::FileExists, controls);
  } catch (const std::exception&) {
    applyDevice();
    // The next save writes what the controls hold; the lines that were not applied
    // stay in a copy of the damaged file.
    // A copy that cannot be written must not hide why the file was refused.
    try {
      if (text) base::WriteTextFile(path + kDamagedSuffix, *text);
    } catch (const std::exception&) {
    }
    throw;
  }
  if (OptionsForm->DirectoryEditLogger.Text().empty())
    OptionsForm->DirectoryEditLogger.SetText(stations::kDefaultRecordingName);
  applyDevice();
}

void TMainForm::ApplyStoredDevice() {
  if (storedDevice_.format) OptionsForm->FormatBox.SetItemIndex(*storedDevice_.format);
  if (!storedDevice_.driver) return;
  // The device's own formats are listed, and the stored format is the one of that list.
  const int index = *storedDevice_.driver;
  ui::ComboBox& drivers = OptionsForm->DriverBox;
  if (index == drivers.ItemIndex() || index < 0 || index >= drivers.Count()) {
    drivers.SetItemIndex(index);
    return;
  }
  const int format = OptionsForm->FormatBox.ItemIndex();
  drivers.SetItemIndex(index);
  try {
    FillFormatBox();
  } catch (const std::exception&) {
    // A device that is gone lists nothing; REC says so when it is pressed.
  }
  OptionsForm->FormatBox.SetItemIndex(format);
}

void TMainForm::SaveSettings() {
  // Lists not filled yet hold no choice: they are filled first when the sound system is
  // ready, their failure told where it belongs, not here. While it is still warming up
  // the stored choice is written back instead, so that Exit never waits for it; without
  // one, the first device and no format, as a choice never made.
  if (app::SoundWarmedUp()) {
    try {
      FillSoundLists();
    } catch (const std::exception&) {
    }
  }
  stations::SettingsValues values;
  values.recordingPath = OptionsForm->DirectoryEditLogger.Text();
  values.formatIndex = soundListsFilled_ ? OptionsForm->FormatBox.ItemIndex() : storedDevice_.format.value_or(-1);
  values.driverIndex = soundListsFilled_ ? OptionsForm->DriverBox.ItemIndex() : storedDevice_.driver.value_or(0);
  values.history = HistoryForm->Entries();
  // While a history station plays the label says so; the band is what is kept.
  values.band = Labelgenre.Caption() == kHistoryBand ? currentBand_ : Labelgenre.Caption();
  values.left = Left();
  values.top = Top();
  base::WriteTextFile(programDirectory_ + "\\" + stations::kSettingsFileName,
                      base::JoinLines(stations::SettingsLines(values)));
}

void TMainForm::PushHistory(const std::string& name, const std::string& url) {
  stations::History history = HistoryForm->Entries();
  stations::PushHistory(history, name, url);
  HistoryForm->SetEntries(history);
}
