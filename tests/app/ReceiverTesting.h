// The main window of the program started in the test's own process, for the receiver's
// tests: what its first start showed, and a fixture that brings it back to a fresh state
// before each test, so that any of them runs alone or in any order.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "base/LineRules.h"
#include "recording/OptionsForm.h"
#include "stations/HistoryForm.h"
#include "stations/StationFilesRules.h"
#include "support/MainWindowView.h"
#include "support/StartedProgram.h"
#include "support/WindowTesting.h"
#include "ui/Application.h"

using namespace testing_support;

inline std::vector<std::string> FileLines(const std::string& name) {
  return base::SplitLines(ProgramFolder().Content(name));
}

inline std::string StationUrl() {
  const char* url = std::getenv("TUNORA_STATION_MP3");
  return url ? url : "";
}

// What the first start showed, before any test changed it.
struct FirstStart {
  stations::History history;
  std::string recordingPath;
  stations::PresetGroup presets;
  std::string band;
  int playerVolume = 0, recordingVolume = 0;
  bool groupFileMade = true;
};

inline FirstStart& First() {
  static FirstStart first;
  return first;
}

inline const stations::History& FirstHistory() {
  return First().history;
}

// The program as it starts, once per test program: the splash window and its checks,
// every window, and the main window's first showing, in an empty working directory.
inline TMainForm& StartedReceiver() {
  if (ui::App().Forms().empty()) {
    MainWindowView& w = View(StartedProgram());
    stations::PresetGroup presets;
    for (int k = 0; k < TMainForm::kPresets; ++k)
      presets[std::size_t(k)] = {w.VrDemoButtonStation[k].Caption(), w.EditStationURL[k].Text()};
    First() = {HistoryForm->Entries(),
               OptionsForm->DirectoryEditLogger.Text(),
               presets,
               w.Labelgenre.Caption(),
               w.WindowsMediaPlayer.settings().volume(),
               w.PlayerRec.settings().volume(),
               ProgramFolder().Has("Ovexia Radio Network1.dat")};
  }
  return *MainForm;
}

inline void Press(ui::WinControl& c, UINT down, UINT up, WPARAM keys) {
  SendMouse(c.Handle(), down, 5, 5, keys);
  SendMouse(c.Handle(), up, 5, 5, 0);
}

// A key pressed while the control has the focus, through the message loop (so that the
// window's key preview sees it too).
inline void PressKey(ui::WinControl& c, UINT key) {
  c.SetFocus();
  PostMessageA(c.Handle(), WM_KEYDOWN, key, 1);
  PostMessageA(c.Handle(), WM_KEYUP, key, 0xC0000001);
  Pump(30);
}

inline void SetPreset(TMainForm& m, int k, const std::string& name, const std::string& url) {
  MainWindowView& w = View(m);
  w.VrDemoButtonStation[k].SetCaption(name);
  w.EditStationURL[k].SetText(url);
}

class Receiver : public ::testing::Test {
 protected:
  // A fresh start: nothing plays, no file in the directory, group 1 of the built-in
  // band with empty presets, the first history and recording name, full volume, a
  // connection.
  void SetUp() override {
    connection_ = std::make_shared<TestConnection>();
    m.Connection().SetSystem(connection_);
    LeftClick(w.VrDemoButtonUnplug);
    w.WindowsMediaPlayer.SetURL("");
    w.PlayerRec.controls().stop();
    OptionsForm->DirectoryEditLogger.SetText(First().recordingPath);
    ProgramFolder().RemoveFiles();
    w.Labelgenre.SetCaption("Ovexia Radio Network");
    w.VrNumBlock.SetValue(1);
    m.LoadStationGroup(1);
    HistoryForm->SetEntries(FirstHistory());
    m.SetVolume(1000);
    ASSERT_TRUE(WaitFor([&] { return m.Monitor().internetConnected && !Playing(w.WindowsMediaPlayer); }));
  }
  void TearDown() override { m.Connection().SetSystem(nullptr); }

  TMainForm& m = StartedReceiver();
  MainWindowView& w = View(m);
  std::shared_ptr<TestConnection> connection_;
};
