// The main window: the receiver's front panel and the place where every user action
// starts. Its controls are the only store of the current presets; the status monitor
// follows the players on its displays ten times a second.
//
// The window's blocks, as the user sees them, and the members that make them (declared
// below in this order; one Build function per block, in MainFormBuild.cpp and, for the
// surface, MainFormSkin.cpp):
//   surface    VrMainFormShape (skin picture, outline, layout menu PopupMenuDrag), Panelxy
//   display    VrMatrixConn: the LED line (the skin's text, no connection, a fault)
//   fader      VrScrollBarPlayer1 (volume), VrNumVolume, VrScaledb, ImagePlayer1(GO),
//              VrDemoButtonMixer ("Mixer")
//   band       VrDemoButtonBand ("Choose Station Band"), VrNumBlock and VrSpinnerStation
//              (the station group), VrDemoButtonHistory ("Station History")
//   station    LabelStation (name), Labelgenre (band), VrClockReal (time),
//              VrClockstposition (position), LabelBandwidth, LabelBuffer, VrAnimate1
//   record     VrNumSize (KB), VrClockDuration (length), VrClockRecPos (position)
//   buttons    VrDemoButtonUnplug ("Disconnect"), VrDemoButtonSkinMaker ("Skin Designer"),
//              VrDemoButtonOptions, VrDemoButtonBurn ("About"), VrDemoButtonExit, OvexImage
//   transport  VrDemoButtonStop, VrDemoButtonRec, VrDemoButtonStart ("PLAY")
//   presets    VrDemoButtonStation[k] (the names), EditStationURL[k] (their addresses,
//              never shown)
//   players    WindowsMediaPlayer (stations) and PlayerRec (recordings), on the hidden
//              VrBlotter1
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "app/CertificateTrust.h"
#include "app/InternetWatch.h"
#include "app/ScheduledFiles.h"
#include "directory/DirectoryWindow.h"
#include "directory/StationDirectory.h"
#include "info/UrlLauncher.h"
#include "keys/MediaKeys.h"
#include "looks/SkinTargets.h"
#include "monitor/MonitoredMediaPlayer.h"
#include "monitor/StatusMonitorRules.h"
#include "nowplaying/NowPlaying.h"
#include "nowplaying/NowPlayingWindow.h"
#include "nowplaying/SleepWindow.h"
#include "playback/TickWatchRules.h"
#include "playback/WindowsMediaPlayer.h"
#include "recording/Recorder.h"
#include "schedule/Scheduler.h"
#include "skins/SkinnedWindow.h"
#include "songs/SongKeeper.h"
#include "ui/Form.h"
#include "ui/Menus.h"
#include "ui/StdControls.h"
#include "ui/Timer.h"
#include "widgets/VrAnimate.h"
#include "widgets/VrBlotter.h"
#include "widgets/VrButtons.h"
#include "widgets/VrLcd.h"
#include "widgets/VrMatrix.h"
#include "widgets/VrScale.h"
#include "widgets/VrSlider.h"
#include "widgets/VrSpinner.h"

class TMainForm : public ui::Form,
                  public skins::SkinnedWindow,
                  private monitor::MonitorWindow,
                  private recording::RecorderWindow,
                  private nowplaying::NowPlayingWindow,
                  private directory::DirectoryWindow,
                  private nowplaying::SleepWindow,
                  private keys::KeysWindow {
 public:
  static constexpr int kPresets = 7;
  static constexpr const char* kHistoryBand = "Station History";
  // Appended to the name of a settings file that could not be read whole.
  static constexpr const char* kDamagedSuffix = ".damaged";

  TMainForm();
  ~TMainForm() override;

  // Every showing; the first one finishes the start of the program.
  void FormShow(ui::Control& sender);
  void FinishStart();
  void FormDestroy(ui::Control& sender);

  // Both players' volume from a fader position 0..1000.
  void SetVolume(int position);
  // Both players' volume from the fader, full where it stands at 0.
  void RestoreVolume();
  // The recorder's device and format lists, with the stored choice, once the sound
  // system is loaded; at once, waiting for it, when asked for earlier (REC, Options, Exit).
  void FillSoundLists();
  bool SoundListsFilled() const { return soundListsFilled_; }
  // The settings' recording device and format, applied when the lists are filled.
  void KeepStoredDriver(int index) { storedDevice_.driver = index; }
  void KeepStoredFormat(int index) { storedDevice_.format = index; }
  void FillDriverBox();
  // The capture formats of the default device into the options' format list.
  void FillFormatBox() { Recorder.FillFormatBox(); }
  void DriverBoxChange(ui::Control&) { FillFormatBox(); }
  void PlayStation(const std::string& name, const std::string& url);
  void PlayWhenConnectionKnown(const std::string& name, const std::string& url);
  void PushHistory(const std::string& name, const std::string& url);

  // The station files of the program directory. A group whose file could not be read
  // shows empty presets and is not saved until a group is loaded again.
  void LoadStationGroup(int group);
  void SaveStationGroup(int group);
  bool GroupLoaded() const { return groupLoaded_; }
  void LoadSettings();
  void SaveSettings();

  void PresetMouseDown(int preset, ui::MouseButton button);
  void VrSpinnerStationUpClick(ui::Control& sender);
  void VrSpinnerStationDownClick(ui::Control& sender);
  void VrScrollBarPlayer1Change(ui::Control& sender);
  void VrDemoButtonUnplugClick(ui::Control& sender);
  void VrDemoButtonBandClick(ui::Control& sender);
  void VrDemoButtonHistoryClick(ui::Control& sender);
  void VrDemoButtonOptionsClick(ui::Control& sender);
  void VrDemoButtonSkinMakerClick(ui::Control& sender);
  void VrDemoButtonBurnClick(ui::Control& sender);
  void VrDemoButtonMixerClick(ui::Control& sender);
  void OvexImageClick(ui::Control& sender);
  void VrDemoButtonExitClick(ui::Control& sender);
  void VrDemoButtonRecClick(ui::Control&) {
    FillSoundLists();
    Recorder.Rec();
  }
  void VrDemoButtonStopClick(ui::Control&) { Recorder.Stop(); }
  void VrDemoButtonStartClick(ui::Control&) { Recorder.Play(); }
  void HistoryEntryClick(const std::string& name, const std::string& url);
  // Opens Find Station (Ctrl+F, and the tray menu).
  void FindStation() override;
  // Preset 0..6 of the group shown takes name and url, and the group's file is written:
  // the station editor's way, and Find Station's.
  void KeepPreset(int preset, const std::string& name, const std::string& url);
  void TimerTunoraTimer();

  // The skin: its files, and the layout changed by carrying parts with the mouse.
  void LoadSkinFile(const std::string& fileName) override;
  void SaveSkinFile(const std::string& fileName) override;
  ui::Form& Window() override { return *this; }
  skins::TVrFormShape& Shape() override { return VrMainFormShape; }
  void ShowLedText(const std::string& text) override { VrMatrixConn.SetText(text); }
  // The controls that take the skin's colours.
  void ListSkinTargets(looks::SkinTargets& targets);
  void VrMainFormShapeMouseMove(ui::Control& sender, unsigned shift, int x, int y);
  // A layout menu entry: the part with this code (1..16) follows the mouse from now on.
  void PickUp(int item);
  void EndDragnDrop1Click();
  int CarriedItem() const { return carried_; }
  // The movable part with this code, in the order of the skin file.
  ui::Control& MovableItem(int item);

  bool StartupDone() const { return startupDone_; }
  const std::string& ProgramDirectory() const { return programDirectory_; }
  const std::string& CurrentBand() const { return currentBand_; }
  const monitor::MonitorState& Monitor() const { return monitor_; }
  app::InternetWatch& Connection() { return connection_; }
  // How late the 100 ms ticks come, measured only when the environment variable
  // TUNORA_TICK_WATCH is set at the start (nullptr otherwise); its value names a file
  // that receives the report when the window goes.
  playback::TickWatch* TickWatch() { return tickWatch_.get(); }
  static constexpr const char* kTickWatchVariable = "TUNORA_TICK_WATCH";

 private:
  // The window's controls, its players and the parts that work behind them. The tests
  // read and press them through a view of their own (MainWindowView), nothing else does.
  friend struct MainWindowView;

  // The surface and outline beneath everything, its layout menu and the pointer's place.
  skins::TVrFormShape VrMainFormShape{"VrMainFormShape"};
  ui::PopupMenu PopupMenuDrag;
  ui::Label Panelxy{"Panelxy"};

  // The display.
  widgets::TVrMatrix VrMatrixConn{"VrMatrixConn"};

  // The fader block.
  widgets::TVrBlotter VrBlotterMixer{"VrBlotterMixer"};
  widgets::TVrBlotter VrBlotterPlayer{"VrBlotterPlayer"};
  ui::Image ImagePlayer1;
  ui::Image ImagePlayer1GO;
  widgets::TVrScale VrScaledb{"VrScaledb"};
  ui::Label LabelDB;
  widgets::TVrNum VrNumVolume{"VrNumVolume"};
  ui::Label LabelVol;
  widgets::TVrSlider VrScrollBarPlayer1{"VrScrollBarPlayer1"};
  widgets::TVrDemoButton VrDemoButtonMixer{"VrDemoButtonMixer"};

  // The band block.
  widgets::TVrBlotter VrBlotterBand{"VrBlotterBand"};
  widgets::TVrDemoButton VrDemoButtonBand{"VrDemoButtonBand"};
  ui::Label LabelSelectBlock;
  widgets::TVrNum VrNumBlock{"VrNumBlock"};
  widgets::TVrSpinner VrSpinnerStation{"VrSpinnerStation"};
  widgets::TVrDemoButton VrDemoButtonHistory{"VrDemoButtonHistory"};

  // The station block.
  widgets::TVrBlotter VrBlotterStation{"VrBlotterStation"};
  ui::Label LabelStationName, LabelStation;
  ui::Label LabelStationTime;
  widgets::TVrClock VrClockReal{"VrClockReal"};
  ui::Label LabelStationBand, Labelgenre;
  widgets::TVrAnimate VrAnimate1{"VrAnimate1"};
  ui::Label LabelStationBuffer, LabelBuffer;
  ui::Label LabelStationBandwidth, LabelBandwidth;
  ui::Label LabelStationPosition;
  widgets::TVrClock VrClockstposition{"VrClockstposition"};

  // The record block.
  widgets::TVrBlotter VrBlotterPlayback{"VrBlotterPlayback"};
  ui::Label LabelRecSize;
  widgets::TVrNum VrNumSize{"VrNumSize"};
  ui::Label LabelDuration;
  widgets::TVrClock VrClockDuration{"VrClockDuration"};
  ui::Label LabelPosition;
  widgets::TVrClock VrClockRecPos{"VrClockRecPos"};

  // The button block.
  widgets::TVrBlotter VrBlotterButtonSet{"VrBlotterButtonSet"};
  widgets::TVrBlotter VrBlotterOvex{"VrBlotterOvex"};
  widgets::TVrBlotter VrBlotter9{"VrBlotter9"};
  ui::Image OvexImage;
  widgets::TVrDemoButton VrDemoButtonUnplug{"VrDemoButtonUnplug"};
  widgets::TVrDemoButton VrDemoButtonSkinMaker{"VrDemoButtonSkinMaker"};
  widgets::TVrDemoButton VrDemoButtonOptions{"VrDemoButtonOptions"};
  widgets::TVrDemoButton VrDemoButtonBurn{"VrDemoButtonBurn"};
  widgets::TVrDemoButton VrDemoButtonExit{"VrDemoButtonExit"};

  // The transport buttons.
  widgets::TVrDemoButton VrDemoButtonStop{"VrDemoButtonStop"};
  widgets::TVrDemoButton VrDemoButtonRec{"VrDemoButtonRec"};
  widgets::TVrDemoButton VrDemoButtonStart{"VrDemoButtonStart"};

  // The presets: button k's caption is the name, URL field k's text the address.
  std::array<widgets::TVrDemoButton, kPresets> VrDemoButtonStation;
  std::array<ui::Edit, kPresets> EditStationURL;

  // The two players, on a hidden panel.
  widgets::TVrBlotter VrBlotter1{"VrBlotter1"};
  TWindowsMediaPlayer WindowsMediaPlayer{"WindowsMediaPlayer"};
  TWindowsMediaPlayer PlayerRec{"PlayerRec"};

  ui::Timer TimerTunora;

  // The product's web page, opened by the logo.
  info::TUrlLauncher Ovex{"https://www.ovexia.example/tunora"};
  info::TVolumeControl Mixer;

  // The station's past and the songs kept from it.
  songs::SongKeeper Songs;
  // The scheduled recordings, each on a reader of its own beside the station player.
  schedule::Scheduler Scheduled{[this](std::shared_ptr<schedule::TakePlan> plan) {
    return std::make_shared<app::ScheduledFiles>(programDirectory_, std::move(plan));
  }};
  // The title of what plays: the tray icon and the title log.
  nowplaying::NowPlaying TitleTray{*this, *this};
  // The keyboard's media keys, in the window and, where free, while another is active.
  keys::MediaKeys MediaKeys{*this};
  // The public station directory: its servers, directory.ini and the clicks it counts.
  directory::StationDirectory PublicDirectory;
  // The https hosts trusted although their certificate is not valid.
  app::CertificateTrust Certificates{
      monitor_, WindowsMediaPlayer,
      [this](const std::string& name, const std::string& url) { PlayStation(name, url); }};

  // Owns the capture stream and the recording file; goes first when the window goes.
  recording::TRecorder Recorder{*this};

 protected:
  void HandleCreated() override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void KeyDown(unsigned& key, unsigned shift) override;

 private:
  void ApplyStoredDevice();
  void BuildShape();
  void BuildLayoutEditing();
  void BuildDisplay();
  void BuildFaderBlock();
  void BuildBandBlock();
  void BuildStationBlock();
  void BuildRecordBlock();
  void BuildButtonBlock();
  void BuildTransportButtons();
  void BuildPresets();
  void RestoreBandLabel();

  // What the status monitor reads and writes.
  monitor::MonitoredPlayer& StationPlayer() override { return stationPlayer_; }
  monitor::MonitoredPlayer& FilePlayer() override { return filePlayer_; }
  bool IsInternetConnected() override;
  std::string SkinLedText() override;
  std::string MatrixText() override { return VrMatrixConn.Text(); }
  void SetMatrixText(const std::string& text) override { VrMatrixConn.SetText(text); }
  std::string StationText() override { return LabelStation.Caption(); }
  void SetStationText(const std::string& text) override { LabelStation.SetCaption(text); }
  bool StationVisible() override { return LabelStation.Visible(); }
  void SetStationVisible(bool on) override { LabelStation.SetVisible(on); }
  std::string BufferText() override { return LabelBuffer.Caption(); }
  void SetBufferText(const std::string& text) override { LabelBuffer.SetCaption(text); }
  std::string BitRateText() override { return LabelBandwidth.Caption(); }
  void SetBitRateText(const std::string& text) override { LabelBandwidth.SetCaption(text); }
  monitor::MonitorTime ClockTime(monitor::MonitorClock clock) override;
  void SetClockHours(monitor::MonitorClock clock, int hours) override { Clock(clock).SetHours(hours); }
  void SetClockMinutes(monitor::MonitorClock clock, int minutes) override { Clock(clock).SetMinutes(minutes); }
  void SetClockSeconds(monitor::MonitorClock clock, int seconds) override { Clock(clock).SetSeconds(seconds); }
  bool PlayingIconVisible() override { return ImagePlayer1GO.Visible(); }
  void SetPlayingIconVisible(bool on) override { ImagePlayer1GO.SetVisible(on); }
  std::string RecordingFileName() override;
  void EnableFileButtons() override { EnableTransport(true); }
  void CloseWindow() override { Close(); }
  void ShowMessage(const std::string& text) override;
  // What the recorder reads and writes.
  void EnableTransport(bool on) override;
  void ShowRecordingSize(int kilobytes) override { VrNumSize.SetValue(kilobytes); }
  TWindowsMediaPlayer& RecordingPlayer() override { return PlayerRec; }
  void StopStationForFile() override;
  void QueueFilePlayback() override { monitor_.filePlaybackPending = true; }
  void TapStation(std::shared_ptr<playback::SoundTap> tap) override { WindowsMediaPlayer.SetSoundTap(std::move(tap)); }
  // What the tray and the title log read and do (Window() as for the skin designer).
  void Exit() override { VrDemoButtonExitClick(VrDemoButtonExit); }
  bool SongsPlaying() override { return Songs.Playing(); }
  bool SongsTitled() override { return Songs.TitlesSent(); }
  bool RecordingSongs() override { return Songs.Recording(); }
  void SetRecordingSongs(bool on) override { Songs.SetRecording(on); }
  bool HasPreviousSong() override { return Songs.HasPreviousSong(); }
  void SaveThisSong() override { Songs.SaveThisSong(); }
  void SavePreviousSong() override { Songs.SavePreviousSong(); }
  void SaveLastMinutes() override { Songs.SaveLastMinutes(); }
  std::string SongsFolder() override { return Songs.Folder(); }
  void SetSongsFolder(const std::string& folder) override { Songs.SetFolder(folder); }
  void ShowSchedules() override;
  std::string ScheduledRecording() override { return Scheduled.Running(); }
  void StopScheduledRecording() override { Scheduled.StopRecordings(); }
  std::string TakeSongsFailure() override { return Songs.TakeFailure(); }
  std::string TakeSongsNews() override { return Songs.TakeNews(); }
  std::string TakePlayerNotice() override { return WindowsMediaPlayer.takeTapNotice(); }
  // What Find Station reads and does (presets 1..7).
  void PlayPreview(const std::string& name, const std::string& url) override;
  std::string ShownBand() override { return currentBand_; }
  int ShownGroup() override { return VrNumBlock.Value(); }
  std::string PresetName(int preset) override { return VrDemoButtonStation.at(std::size_t(preset - 1)).Caption(); }
  std::string PresetUrl(int preset) override { return EditStationURL.at(std::size_t(preset - 1)).Text(); }
  void StorePreset(int preset, const std::string& name, const std::string& url) override {
    KeepPreset(preset - 1, name, url);
  }
  directory::StationDirectory& Directory() override { return PublicDirectory; }
  // What the sleep timer and the media keys do (MainFormKeys.cpp).
  void SetSleepGain(double gain) override;
  // A recording's playback, or a station that already failed, is left as it is.
  void StopForSleep() override {
    if (StationOn()) StopStation();
  }
  std::vector<bool> PresetsHoldingStation() override;
  int CurrentPreset() override { return currentPreset_; }
  void PlayPreset(int preset) override { PresetMouseDown(preset, ui::MouseButton::Left); }
  bool StationOn() override;
  void StopStation() override { VrDemoButtonUnplugClick(VrDemoButtonUnplug); }
  int Fader() override { return VrScrollBarPlayer1.Position(); }
  void SetFader(int position) override { SetVolume(position); }
  // The global media keys, and the notice of those another program holds, once the
  // tray shows.
  void RegisterMediaKeys();

  std::string GroupNotSavedMessage() const;
  widgets::TVrClock& Clock(monitor::MonitorClock clock);

  std::string programDirectory_;
  std::string currentBand_;
  bool groupLoaded_ = false;  // the presets shown are those of the group's file
  bool startupDone_ = false;
  bool startFinished_ = false;  // the part of the start after the window shows ran
  bool soundListsFilled_ = false;
  // The recorder's device and format chosen in the settings, until the lists hold them.
  // A station pressed before the connection's first answer, played once it comes.
  struct EarlyPlay {
    std::string name, url;
  };
  std::optional<EarlyPlay> earlyPlay_;
  struct StoredDevice {
    std::optional<int> driver, format;
  } storedDevice_;
  int carried_ = 0;         // the code of the part following the mouse, 0 for none
  int currentPreset_ = -1;  // the preset played last, for the media keys
  std::string keysNotice_;  // the media keys that another program holds, to be told
  monitor::MonitorState monitor_;
  // The station player, which also tells the song keeper which station a stream is.
  struct StationMonitored : monitor::MonitoredMediaPlayer {
    StationMonitored(TWindowsMediaPlayer& player, TMainForm& form) : MonitoredMediaPlayer(player), form_(form) {}
    void SetUrl(const std::string& url) override {
      form_.Songs.SetStation(form_.monitor_.currentStationName);
      MonitoredMediaPlayer::SetUrl(url);
    }
    TMainForm& form_;
  };
  StationMonitored stationPlayer_{WindowsMediaPlayer, *this};
  monitor::MonitoredMediaPlayer filePlayer_{PlayerRec};
  app::InternetWatch connection_;
  std::unique_ptr<playback::TickWatch> tickWatch_;
  std::string tickReport_;
};

extern TMainForm* MainForm;
