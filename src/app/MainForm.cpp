#include "app/MainForm.h"

#include <mmsystem.h>
#include <windows.h>

#include <exception>
#include <stdexcept>

#include "app/FormSure.h"
#include "app/Program.h"
#include "app/SplashForm.h"
#include "app/StartLog.h"
#include "base/Encoding.h"
#include "base/TextFile.h"
#include "directory/FindStationForm.h"
#include "info/AboutForm.h"
#include "recording/DXClass.h"
#include "recording/OptionsForm.h"
#include "recording/StationCapture.h"
#include "schedule/ScheduleForm.h"
#include "skins/SkinFileRules.h"
#include "skins/SkinForm.h"
#include "stations/BandForm.h"
#include "stations/EditStationForm.h"
#include "stations/HistoryForm.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/Synchronize.h"

TMainForm* MainForm = nullptr;

TMainForm::TMainForm() : ui::Form("MainForm") {
  SetCaption("Ovexia Tunora");
  SetColor(ui::clBlack);
  SetPosition(ui::FormPosition::CenterOnCreate);
  SetClientSize(601, 352);
  SetKeyPreview(true);
  OnShow = [this](ui::Control& c) { FormShow(c); };
  OnDestroy = [this](ui::Control& c) { FormDestroy(c); };
  OnKeyDown = [this](ui::Control&, unsigned& key, unsigned shift) {
    if (key != 'F' || shift != ui::ssCtrl) return;
    key = 0;
    FindStation();
  };
  BuildShape();
  BuildDisplay();
  BuildFaderBlock();
  BuildBandBlock();
  BuildStationBlock();
  BuildRecordBlock();
  BuildButtonBlock();
  BuildTransportButtons();
  BuildPresets();
  BuildLayoutEditing();
  // The band the settings keep even if no group can be loaded at the start.
  currentBand_ = Labelgenre.Caption();
  char report[MAX_PATH] = "";
  const DWORD n = GetEnvironmentVariableA(kTickWatchVariable, report, MAX_PATH);
  if (n > 0 && n < MAX_PATH) {
    tickWatch_ = std::make_unique<playback::TickWatch>(100);
    tickReport_ = report;
  }
  TimerTunora.SetInterval(100);
  TimerTunora.OnTimer = [this] { TimerTunoraTimer(); };
  TimerTunora.SetEnabled(true);
}

TMainForm::~TMainForm() {
  TimerTunora.SetEnabled(false);
}

// The first showing puts up what the window shows: the skin, the band, the window's
// place and the presets. What it does not show waits until the window is on the screen.
void TMainForm::FormShow(ui::Control&) {
  if (startupDone_) return;
  // Whatever fails below, the splash window goes and later showings do nothing more.
  startupDone_ = true;
  struct SplashGuard {
    ~SplashGuard() { DestroySplash(); }
  } splashGuard;
  char dir[MAX_PATH] = "";
  const DWORD n = GetCurrentDirectoryA(MAX_PATH, dir);
  programDirectory_.assign(dir, n < MAX_PATH ? n : 0);
  if (!programDirectory_.empty() && programDirectory_.back() == '\\') programDirectory_.pop_back();
  HistoryForm->OnEntryClick = [this](const std::string& name, const std::string& url) { HistoryEntryClick(name, url); };
  // Posted now, it runs from the message loop once the window shows, before any click.
  ui::Post([this] { FinishStart(); });
  // A damaged skin is reported once the window shows, like damaged settings: the
  // settings and group 1 are loaded all the same, so that Exit cannot write empty
  // presets over the user's group.
  std::exception_ptr skinFailure;
  const std::string skinFile = programDirectory_ + "\\" + skins::kCurrentSkinFileName;
  if (base::FileExists(skinFile)) {
    try {
      LoadSkinFile(skinFile);
      SkinForm->ApplySkin(true);
    } catch (...) {
      skinFailure = std::current_exception();
    }
  }
  app::StartStep("skin");
  // A damaged settings file is reported once the window shows. Group 1 is loaded all
  // the same: without it the presets would stay empty, and the next Exit would write
  // them, and an empty band, over the user's station group.
  std::exception_ptr settingsFailure;
  try {
    LoadSettings();
  } catch (...) {
    settingsFailure = std::current_exception();
  }
  app::StartStep("settings");
  SetVolume(1000);
  LoadStationGroup(1);
  app::StartStep("station group");
  if (skinFailure) {
    if (settingsFailure) ui::App().ReportException(settingsFailure);
    std::rethrow_exception(skinFailure);
  }
  if (settingsFailure) std::rethrow_exception(settingsFailure);
}

// The rest of the start, once the window shows: the connection's watch, the songs, the
// tray icon, the trusted hosts; the recorder's lists follow when the sound system is
// loaded (TimerTunoraTimer).
void TMainForm::FinishStart() {
  startFinished_ = true;
  if (monitor_.closing) return;  // Exit came first: nothing more to start
  app::ContinueSoundWarmUp();
  connection_.Start();
  Songs.Load(programDirectory_);
  WindowsMediaPlayer.SetStreamTap(Songs.Tap());
  TitleTray.Start(programDirectory_);
  Certificates.Load(programDirectory_);
  Scheduled.Load(programDirectory_);
  RegisterMediaKeys();
  app::StartStep("after the showing: connection, songs, tray, trusted hosts, schedules, media keys");
  // A directory.ini that cannot be read is told, and then left as it is.
  try {
    PublicDirectory.Load(programDirectory_);
  } catch (...) {
    ui::App().ReportException(std::current_exception());
  }
}

void TMainForm::FillSoundLists() {
  if (soundListsFilled_) return;
  soundListsFilled_ = true;  // a failure is told once, not at every tick
  app::FinishSoundWarmUp();
  FillDriverBox();
  app::StartStep("recorder's lists");
}

void TMainForm::FormDestroy(ui::Control&) {
  MediaKeys.Unregister();
  Recorder.FinishOnDestroy();
  RestoreVolume();
  WindowsMediaPlayer.controls().stop();
  PlayerRec.controls().stop();
  if (tickWatch_) {
    try {
      base::WriteTextFile(tickReport_, tickWatch_->Report() + "\r\n");
    } catch (const std::exception&) {
      // A report that cannot be written is the measurer's problem, not the user's.
    }
  }
}

void TMainForm::SetVolume(int position) {
  WindowsMediaPlayer.settings().setVolume(position / 10);
  PlayerRec.settings().setVolume(position / 10);
  VrNumVolume.SetValue(position / 10);
  VrScrollBarPlayer1.SetPosition(position);
}

void TMainForm::RestoreVolume() {
  const int position = VrScrollBarPlayer1.Position();
  SetVolume(position != 0 ? position : 1000);
}

void TMainForm::FillDriverBox() {
  ui::ComboBox& box = OptionsForm->DriverBox;
  box.OnChange = [this](ui::Control& c) { DriverBoxChange(c); };
  // Without a capture device the stored choice is applied all the same, or the next Exit
  // would write defaults over it; the capture's error is reported afterwards.
  std::exception_ptr captureFailure;
  try {
    const recording::TDirectXDrivers& drivers = recording::CaptureDrivers();
    for (int i = 0; i < drivers.Count(); ++i) box.Add(drivers[i].Description);
    // A machine without a capture device lists none: the system's default device then
    // tells why it cannot record, as it tells on any machine.
    if (drivers.Count() == 0) recording::TSoundCaptureStream none;
  } catch (...) {
    captureFailure = std::current_exception();
  }
  // After the devices, so that a stored index keeps its device.
  box.Add(recording::kStationSourceName);
  box.SetItemIndex(0);
  try {
    DriverBoxChange(box);
  } catch (...) {
    if (!captureFailure) captureFailure = std::current_exception();
  }
  ApplyStoredDevice();
  if (captureFailure) std::rethrow_exception(captureFailure);
}

void TMainForm::PlayStation(const std::string& name, const std::string& url) {
  monitor::PlayStation(monitor_, *this, name, url);
}

void TMainForm::RestoreBandLabel() {
  if (Labelgenre.Caption() == kHistoryBand) Labelgenre.SetCaption(currentBand_);
}

void TMainForm::PresetMouseDown(int preset, ui::MouseButton button) {
  RestoreBandLabel();
  widgets::TVrDemoButton& station = VrDemoButtonStation[preset];
  ui::Edit& url = EditStationURL[preset];
  if (button != ui::MouseButton::Left) {
    EditStationForm->EditStationName.SetText(station.Caption());
    EditStationForm->EditStationURL.SetText(url.Text());
    EditStationForm->ShowModal();
    KeepPreset(preset, EditStationForm->EditStationName.Text(), EditStationForm->EditStationURL.Text());
    return;
  }
  const std::string name = station.Caption();
  const std::string address = url.Text();
  currentPreset_ = preset;
  PlayWhenConnectionKnown(name, address);
  PushHistory(name, address);
  // A station kept from the directory tells it of the play, once a day.
  PublicDirectory.PresetPlayed(currentBand_, VrNumBlock.Value(), preset + 1, address);
}

void TMainForm::KeepPreset(int preset, const std::string& name, const std::string& url) {
  VrDemoButtonStation.at(std::size_t(preset)).SetCaption(name);
  EditStationURL.at(std::size_t(preset)).SetText(url);
  if (!groupLoaded_) throw std::runtime_error(GroupNotSavedMessage());
  SaveStationGroup(VrNumBlock.Value());
}

void TMainForm::FindStation() {
  if (FindStationForm) FindStationForm->Open(*this);
}

void TMainForm::PlayPreview(const std::string& name, const std::string& url) {
  PlayWhenConnectionKnown(name, url);
}

void TMainForm::VrSpinnerStationUpClick(ui::Control&) {
  SaveStationGroup(VrNumBlock.Value());
  VrNumBlock.SetValue(VrNumBlock.Value() + 1);
  LoadStationGroup(VrNumBlock.Value());
}

void TMainForm::VrSpinnerStationDownClick(ui::Control&) {
  SaveStationGroup(VrNumBlock.Value());
  VrNumBlock.SetValue(VrNumBlock.Value() - 1);
  LoadStationGroup(VrNumBlock.Value());
}

void TMainForm::VrScrollBarPlayer1Change(ui::Control&) {
  SetVolume(VrScrollBarPlayer1.Position());
}

void TMainForm::VrDemoButtonUnplugClick(ui::Control&) {
  earlyPlay_.reset();
  LabelStation.SetCaption("none");
  LabelStation.SetVisible(true);
  monitor_.connecting = false;
  monitor_.stationFault.clear();
  WindowsMediaPlayer.controls().stop();
}

void TMainForm::VrDemoButtonBandClick(ui::Control&) {
  if (BandForm->ShowModal() != ui::mrOk) return;
  // A history station may be playing: the band, not "Station History", is chosen from.
  RestoreBandLabel();
  const int selected = BandForm->ListBoxBands.ItemIndex();
  if (selected >= 0) Labelgenre.SetCaption(BandForm->ListBoxBands.Item(selected));
  VrNumBlock.SetValue(1);
  LoadStationGroup(1);
  SaveSettings();
}

void TMainForm::VrDemoButtonHistoryClick(ui::Control&) {
  HistoryForm->ShowModal();
}

void TMainForm::HistoryEntryClick(const std::string& name, const std::string& url) {
  Labelgenre.SetCaption(kHistoryBand);
  PlayWhenConnectionKnown(name, url);
}

// A press in the first moment, before the system has said whether there is a connection,
// is not taken for a press while offline: it plays once the answer is there.
void TMainForm::PlayWhenConnectionKnown(const std::string& name, const std::string& url) {
  earlyPlay_.reset();
  if (!connection_.Answered()) {
    earlyPlay_ = EarlyPlay{name, url};
    return;
  }
  if (!monitor_.internetConnected) connection_.AttemptConnect();
  PlayStation(name, url);
}

void TMainForm::VrDemoButtonOptionsClick(ui::Control&) {
  FillSoundLists();
  OptionsForm->ShowModal();
  SaveSettings();
}

void TMainForm::VrDemoButtonSkinMakerClick(ui::Control&) {
  SkinForm->EditDir.SetText(programDirectory_);
  SkinForm->ShowModal();
}

void TMainForm::VrDemoButtonBurnClick(ui::Control&) {
  AboutForm->ShowModal();
}

void TMainForm::VrDemoButtonMixerClick(ui::Control&) {
  Mixer.Open(Handle());
}

void TMainForm::OvexImageClick(ui::Control&) {
  if (!monitor_.internetConnected) connection_.AttemptConnect();
  Ovex.Launch();
}

void TMainForm::VrDemoButtonExitClick(ui::Control&) {
  Labelgenre.SetCaption(currentBand_);
  WindowsMediaPlayer.controls().stop();
  PlayerRec.controls().stop();
  // The songs under way are finished on the keeper's thread during the goodbye.
  Songs.FinishAll();
  Scheduled.Finish();
  SaveSettings();
  SaveStationGroup(VrNumBlock.Value());
  SaveSkinFile(programDirectory_ + "\\" + skins::kCurrentSkinFileName);
  // A recording is finished while the window still shows: what went wrong with it (a
  // file that could not be finished, sound that was lost) is told before the goodbye,
  // and the program ends all the same.
  try {
    Recorder.StopAndReleaseCapture();
  } catch (...) {
    ui::App().ReportException(std::current_exception());
  }
  if (FindStationForm) FindStationForm->Hide();
  Hide();
  FormSure->Show();
  monitor_.closing = true;
}

void TMainForm::TimerTunoraTimer() {
  if (tickWatch_) tickWatch_->Tick(GetTickCount64());
  monitor::MonitorTick(monitor_, *this);
  if (earlyPlay_ && connection_.Answered()) {
    const EarlyPlay play = *earlyPlay_;
    PlayWhenConnectionKnown(play.name, play.url);
  }
  const std::string title = WindowsMediaPlayer.currentMedia().titleUtf8();
  TitleTray.Tick(monitor_.currentStationName, title);
  if (!keysNotice_.empty() && TitleTray.Tray().Shown()) {
    TitleTray.Tray().Notify(nowplaying::NowPlaying::kProductName, keysNotice_, true);
    keysNotice_.clear();
  }
  Recorder.TitleHeard(title);
  Certificates.Tick();
  Scheduled.Tick();
  if (const std::string notice = Scheduled.TakeNotice(); !notice.empty())
    TitleTray.Tray().Notify(nowplaying::NowPlaying::kProductName, base::Utf8FromAnsi(notice), true);
  if (!soundListsFilled_ && startFinished_ && app::SoundWarmedUp()) FillSoundLists();
}

void TMainForm::ShowSchedules() {
  std::vector<TScheduleForm::Preset> presets;
  for (int k = 0; k < kPresets; ++k) {
    const std::string name = VrDemoButtonStation[k].Caption(), url = EditStationURL[k].Text();
    if (!url.empty() && name != "none") presets.push_back({name, url});
  }
  ScheduleForm->Open(Scheduled, std::move(presets));
}

bool TMainForm::IsInternetConnected() {
  return connection_.Connected();
}

// The timer runs from the window's creation, before the other windows exist.
std::string TMainForm::SkinLedText() {
  return SkinForm ? SkinForm->EditLEDMatrix.Text() : std::string();
}

std::string TMainForm::RecordingFileName() {
  return OptionsForm ? OptionsForm->DirectoryEditLogger.Text() : std::string();
}

void TMainForm::EnableTransport(bool on) {
  for (widgets::TVrDemoButton* b : {&VrDemoButtonOptions, &VrDemoButtonStart, &VrDemoButtonBurn, &VrDemoButtonRec})
    b->SetEnabled(on);
}

void TMainForm::StopStationForFile() {
  LabelStation.SetVisible(true);
  WindowsMediaPlayer.controls().stop();
  monitor_.connecting = false;
  monitor_.stationFault.clear();
  RestoreVolume();
}

void TMainForm::ShowMessage(const std::string& text) {
  ui::ShowMessage(text);
}

widgets::TVrClock& TMainForm::Clock(monitor::MonitorClock clock) {
  switch (clock) {
    case monitor::MonitorClock::RecordPosition:
      return VrClockRecPos;
    case monitor::MonitorClock::RecordLength:
      return VrClockDuration;
    case monitor::MonitorClock::StationPosition:
      break;
  }
  return VrClockstposition;
}

monitor::MonitorTime TMainForm::ClockTime(monitor::MonitorClock clock) {
  widgets::TVrClock& c = Clock(clock);
  return {c.Hours(), c.Minutes(), c.Seconds()};
}
