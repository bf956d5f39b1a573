// The main window's controls, players and parts as the tests read and press them. The
// window keeps them to itself; this view, the one friend it has, names those the tests
// need, block by block as the window's own table lists them, under the window's names.
#pragma once

#include <array>
#include <optional>

#include "app/MainForm.h"

struct MainWindowView {
  TMainForm& m;
  skins::TVrFormShape& VrMainFormShape = m.VrMainFormShape;
  ui::Label& Panelxy = m.Panelxy;
  widgets::TVrMatrix& VrMatrixConn = m.VrMatrixConn;
  // fader
  widgets::TVrBlotter& VrBlotterMixer = m.VrBlotterMixer;
  ui::Image& ImagePlayer1GO = m.ImagePlayer1GO;
  widgets::TVrScale& VrScaledb = m.VrScaledb;
  ui::Label& LabelDB = m.LabelDB;
  widgets::TVrNum& VrNumVolume = m.VrNumVolume;
  widgets::TVrSlider& VrScrollBarPlayer1 = m.VrScrollBarPlayer1;
  widgets::TVrDemoButton& VrDemoButtonMixer = m.VrDemoButtonMixer;
  // band
  widgets::TVrBlotter& VrBlotterBand = m.VrBlotterBand;
  widgets::TVrDemoButton& VrDemoButtonBand = m.VrDemoButtonBand;
  widgets::TVrNum& VrNumBlock = m.VrNumBlock;
  widgets::TVrSpinner& VrSpinnerStation = m.VrSpinnerStation;
  widgets::TVrDemoButton& VrDemoButtonHistory = m.VrDemoButtonHistory;
  // station
  widgets::TVrBlotter& VrBlotterStation = m.VrBlotterStation;
  ui::Label& LabelStation = m.LabelStation;
  widgets::TVrClock& VrClockReal = m.VrClockReal;
  ui::Label& Labelgenre = m.Labelgenre;
  ui::Label& LabelBuffer = m.LabelBuffer;
  ui::Label& LabelBandwidth = m.LabelBandwidth;
  widgets::TVrClock& VrClockstposition = m.VrClockstposition;
  // record
  widgets::TVrBlotter& VrBlotterPlayback = m.VrBlotterPlayback;
  widgets::TVrNum& VrNumSize = m.VrNumSize;
  widgets::TVrClock& VrClockDuration = m.VrClockDuration;
  widgets::TVrClock& VrClockRecPos = m.VrClockRecPos;
  // buttons and transport
  widgets::TVrBlotter& VrBlotterButtonSet = m.VrBlotterButtonSet;
  ui::Image& OvexImage = m.OvexImage;
  widgets::TVrDemoButton& VrDemoButtonUnplug = m.VrDemoButtonUnplug;
  widgets::TVrDemoButton& VrDemoButtonSkinMaker = m.VrDemoButtonSkinMaker;
  widgets::TVrDemoButton& VrDemoButtonOptions = m.VrDemoButtonOptions;
  widgets::TVrDemoButton& VrDemoButtonBurn = m.VrDemoButtonBurn;
  widgets::TVrDemoButton& VrDemoButtonExit = m.VrDemoButtonExit;
  widgets::TVrDemoButton& VrDemoButtonStop = m.VrDemoButtonStop;
  widgets::TVrDemoButton& VrDemoButtonRec = m.VrDemoButtonRec;
  widgets::TVrDemoButton& VrDemoButtonStart = m.VrDemoButtonStart;
  // presets
  std::array<widgets::TVrDemoButton, TMainForm::kPresets>& VrDemoButtonStation = m.VrDemoButtonStation;
  std::array<ui::Edit, TMainForm::kPresets>& EditStationURL = m.EditStationURL;
  // players, and the parts behind the window
  TWindowsMediaPlayer& WindowsMediaPlayer = m.WindowsMediaPlayer;
  TWindowsMediaPlayer& PlayerRec = m.PlayerRec;
  ui::Timer& TimerTunora = m.TimerTunora;
  info::TVolumeControl& Mixer = m.Mixer;
  songs::SongKeeper& Songs = m.Songs;
  schedule::Scheduler& Scheduled = m.Scheduled;
  nowplaying::NowPlaying& TitleTray = m.TitleTray;
  keys::MediaKeys& MediaKeys = m.MediaKeys;
  directory::StationDirectory& PublicDirectory = m.PublicDirectory;
  app::CertificateTrust& Certificates = m.Certificates;
  recording::TRecorder& Recorder = m.Recorder;
};

// The view of the main window, made anew for a window made anew.
inline MainWindowView& View(TMainForm& m) {
  static std::optional<MainWindowView> view;
  static TMainForm* of = nullptr;
  if (of != &m) view.emplace(m), of = &m;
  return *view;
}
