// The main window's controls, players and parts as the tests read and press them. The
// window keeps them to itself; this view, the one friend it has, names those the tests
// need, block by block as the window's own table lists them, under the window's names.
#pragma once

#include <array>
#include <optional>

#include "app/MainForm.h"

struct MainWindowView {
  explicit MainWindowView(TMainForm& m)
      : VrMainFormShape(m.VrMainFormShape),
        Panelxy(m.Panelxy),
        VrMatrixConn(m.VrMatrixConn),
        VrBlotterMixer(m.VrBlotterMixer),
        ImagePlayer1GO(m.ImagePlayer1GO),
        VrScaledb(m.VrScaledb),
        LabelDB(m.LabelDB),
        VrNumVolume(m.VrNumVolume),
        VrScrollBarPlayer1(m.VrScrollBarPlayer1),
        VrDemoButtonMixer(m.VrDemoButtonMixer),
        VrBlotterBand(m.VrBlotterBand),
        VrDemoButtonBand(m.VrDemoButtonBand),
        VrNumBlock(m.VrNumBlock),
        VrSpinnerStation(m.VrSpinnerStation),
        VrDemoButtonHistory(m.VrDemoButtonHistory),
        VrBlotterStation(m.VrBlotterStation),
        LabelStation(m.LabelStation),
        VrClockReal(m.VrClockReal),
        Labelgenre(m.Labelgenre),
        LabelBuffer(m.LabelBuffer),
        LabelBandwidth(m.LabelBandwidth),
        VrClockstposition(m.VrClockstposition),
        VrBlotterPlayback(m.VrBlotterPlayback),
        VrNumSize(m.VrNumSize),
        VrClockDuration(m.VrClockDuration),
        VrClockRecPos(m.VrClockRecPos),
        VrBlotterButtonSet(m.VrBlotterButtonSet),
        OvexImage(m.OvexImage),
        VrDemoButtonUnplug(m.VrDemoButtonUnplug),
        VrDemoButtonSkinMaker(m.VrDemoButtonSkinMaker),
        VrDemoButtonOptions(m.VrDemoButtonOptions),
        VrDemoButtonBurn(m.VrDemoButtonBurn),
        VrDemoButtonExit(m.VrDemoButtonExit),
        VrDemoButtonStop(m.VrDemoButtonStop),
        VrDemoButtonRec(m.VrDemoButtonRec),
        VrDemoButtonStart(m.VrDemoButtonStart),
        VrDemoButtonStation(m.VrDemoButtonStation),
        EditStationURL(m.EditStationURL),
        WindowsMediaPlayer(m.WindowsMediaPlayer),
        PlayerRec(m.PlayerRec),
        TimerTunora(m.TimerTunora),
        Mixer(m.Mixer),
        Songs(m.Songs),
        Scheduled(m.Scheduled),
        TitleTray(m.TitleTray),
        MediaKeys(m.MediaKeys),
        PublicDirectory(m.PublicDirectory),
        Certificates(m.Certificates),
        Recorder(m.Recorder) {}

  skins::TVrFormShape& VrMainFormShape;
  ui::Label& Panelxy;
  widgets::TVrMatrix& VrMatrixConn;
  // fader
  widgets::TVrBlotter& VrBlotterMixer;
  ui::Image& ImagePlayer1GO;
  widgets::TVrScale& VrScaledb;
  ui::Label& LabelDB;
  widgets::TVrNum& VrNumVolume;
  widgets::TVrSlider& VrScrollBarPlayer1;
  widgets::TVrDemoButton& VrDemoButtonMixer;
  // band
  widgets::TVrBlotter& VrBlotterBand;
  widgets::TVrDemoButton& VrDemoButtonBand;
  widgets::TVrNum& VrNumBlock;
  widgets::TVrSpinner& VrSpinnerStation;
  widgets::TVrDemoButton& VrDemoButtonHistory;
  // station
  widgets::TVrBlotter& VrBlotterStation;
  ui::Label& LabelStation;
  widgets::TVrClock& VrClockReal;
  ui::Label& Labelgenre;
  ui::Label& LabelBuffer;
  ui::Label& LabelBandwidth;
  widgets::TVrClock& VrClockstposition;
  // record
  widgets::TVrBlotter& VrBlotterPlayback;
  widgets::TVrNum& VrNumSize;
  widgets::TVrClock& VrClockDuration;
  widgets::TVrClock& VrClockRecPos;
  // buttons and transport
  widgets::TVrBlotter& VrBlotterButtonSet;
  ui::Image& OvexImage;
  widgets::TVrDemoButton& VrDemoButtonUnplug;
  widgets::TVrDemoButton& VrDemoButtonSkinMaker;
  widgets::TVrDemoButton& VrDemoButtonOptions;
  widgets::TVrDemoButton& VrDemoButtonBurn;
  widgets::TVrDemoButton& VrDemoButtonExit;
  widgets::TVrDemoButton& VrDemoButtonStop;
  widgets::TVrDemoButton& VrDemoButtonRec;
  widgets::TVrDemoButton& VrDemoButtonStart;
  // presets
  std::array<widgets::TVrDemoButton, TMainForm::kPresets>& VrDemoButtonStation;
  std::array<ui::Edit, TMainForm::kPresets>& EditStationURL;
  // players, and the parts behind the window
  TWindowsMediaPlayer& WindowsMediaPlayer;
  TWindowsMediaPlayer& PlayerRec;
  ui::Timer& TimerTunora;
  info::TVolumeControl& Mixer;
  songs::SongKeeper& Songs;
  schedule::Scheduler& Scheduled;
  nowplaying::NowPlaying& TitleTray;
  keys::MediaKeys& MediaKeys;
  directory::StationDirectory& PublicDirectory;
  app::CertificateTrust& Certificates;
  recording::TRecorder& Recorder;
};

// The view of the main window, made anew for a window made anew.
inline MainWindowView& View(TMainForm& m) {
  static std::optional<MainWindowView> view;
  static TMainForm* of = nullptr;
  if (of != &m) view.emplace(m), of = &m;
  return *view;
}
