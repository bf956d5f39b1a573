// The main window driven by real window messages, in a working directory of its own,
// with the real player and the local test station: presets, the editor, group steps,
// bands, the history, the settings file, the status displays and Exit.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>

#include "app/AllForms.h"
#include "app/FormSure.h"
#include "app/MainForm.h"
#include "stations/BandForm.h"
#include "stations/EditStationForm.h"
#include "stations/HistoryForm.h"
#include "stations/StationFilesRules.h"
#include "ui/Application.h"
#include "ui/Timer.h"
#include "ui/WindowTesting.h"

using namespace testing_support;

namespace {

std::string Directory() {
  static const std::string dir = [] {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    const std::string d = std::string(base) + "tunora-receiver-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(d.c_str(), nullptr);
    return d;
  }();
  return dir;
}

std::string InDir(const std::string& name) { return Directory() + "\\" + name; }

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> FileLines(const std::string& name) { return stations::SplitLines(ReadFile(InDir(name))); }

void WriteFile(const std::string& name, const std::string& text) {
  std::ofstream(InDir(name), std::ios::binary) << text;
}

// The program as it starts: every window made, the main window shown in an empty
// working directory.
TMainForm& Receiver() {
  if (ui::App().Forms().empty()) {
    SetCurrentDirectoryA(Directory().c_str());
    app::CreateAllForms();
    MainForm->Show();
  }
  return *MainForm;
}

// Runs act once the modal form is on screen, from inside its modal loop.
void WhenShown(ui::Form& form, std::function<void()> act) {
  auto timer = std::make_shared<ui::Timer>();
  timer->SetInterval(20);
  timer->OnTimer = [timer, &form, act] {
    if (!IsWindowVisible(form.Handle())) return;
    timer->SetEnabled(false);
    act();
  };
  timer->SetEnabled(true);
}

void Press(ui::WinControl& c, UINT down, UINT up, WPARAM keys) {
  SendMouse(c.Handle(), down, 5, 5, keys);
  SendMouse(c.Handle(), up, 5, 5, 0);
}

void LeftClick(ui::WinControl& c) { Press(c, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON); }

// A click on a windowless part of a windowed control.
void LeftClickOn(ui::WinControl& host, ui::Control& part) {
  const int x = part.Left() + part.Width() / 2, y = part.Top() + part.Height() / 2;
  SendMouse(host.Handle(), WM_LBUTTONDOWN, x, y, MK_LBUTTON);
  SendMouse(host.Handle(), WM_LBUTTONUP, x, y, 0);
}

void SetPreset(TMainForm& m, int k, const std::string& name, const std::string& url) {
  m.VrDemoButtonStation[k].SetCaption(name);
  m.EditStationURL[k].SetText(url);
}

std::string StationUrl() {
  const char* url = std::getenv("TUNORA_STATION_MP3");
  return url ? url : "";
}

TEST(Receiver, AFirstStartShowsEmptyPresetsAndTheBuiltInBand) {
  TMainForm& m = Receiver();
  EXPECT_TRUE(m.StartupDone());
  EXPECT_EQ(m.ProgramDirectory(), Directory());
  EXPECT_EQ(m.Labelgenre.Caption(), "Ovexia Radio Network");
  EXPECT_EQ(m.CurrentBand(), "Ovexia Radio Network");
  for (int k = 0; k < TMainForm::kPresets; ++k) {
    EXPECT_EQ(m.VrDemoButtonStation[k].Caption(), "none");
    EXPECT_EQ(m.EditStationURL[k].Text(), "none");
  }
  EXPECT_EQ(m.VrNumBlock.Value(), 1);
  EXPECT_EQ(m.VrNumVolume.Value(), 100);
  EXPECT_EQ(m.WindowsMediaPlayer.settings().volume(), 100);
  EXPECT_EQ(m.PlayerRec.settings().volume(), 100);
  EXPECT_EQ(GetFileAttributesA(InDir("Ovexia Radio Network1.dat").c_str()), INVALID_FILE_ATTRIBUTES)
      << "loading a group creates no file";
  EXPECT_TRUE(PumpUntil([&] { return m.Monitor().internetConnected; }));
  EXPECT_TRUE(PumpUntil([&] { return m.VrMatrixConn.Text() == "OVEXIA TUNORA ONLINE!"; }));
}

TEST(Receiver, ALeftPressOnAnEmptyPresetPushesTheHistoryButPlaysNothing) {
  TMainForm& m = Receiver();
  LeftClick(m.VrDemoButtonStation[0]);
  EXPECT_EQ(HistoryForm->Entries()[0], (stations::Preset{"none", "none"}));
  EXPECT_EQ(HistoryForm->Entries()[1], (stations::Preset{"none", "Empty"}));
  EXPECT_FALSE(m.Monitor().connecting);
  EXPECT_EQ(m.WindowsMediaPlayer.URL(), "");
}

TEST(Receiver, RightAndMiddlePressesEditThePresetAndRewriteTheGroupFile) {
  TMainForm& m = Receiver();
  const stations::History before = HistoryForm->Entries();
  std::string seenName, seenUrl;
  WhenShown(*EditStationForm, [&] {
    seenName = EditStationForm->EditStationName.Text();
    seenUrl = EditStationForm->EditStationURL.Text();
    EditStationForm->EditStationName.SetText("Tone");
    EditStationForm->EditStationURL.SetText(StationUrl());
    LeftClick(EditStationForm->VrDemoButtonExit);
  });
  Press(m.VrDemoButtonStation[1], WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON);
  EXPECT_EQ(seenName, "none");
  EXPECT_EQ(seenUrl, "none");
  EXPECT_EQ(m.VrDemoButtonStation[1].Caption(), "Tone");
  EXPECT_EQ(m.EditStationURL[1].Text(), StationUrl());

  // The system's close command applies the texts as well.
  WhenShown(*EditStationForm, [&] {
    EditStationForm->EditStationName.SetText("Middle");
    EditStationForm->EditStationURL.SetText("http://middle/");
    SendMessageA(EditStationForm->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  });
  Press(m.VrDemoButtonStation[2], WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON);
  EXPECT_EQ(m.VrDemoButtonStation[2].Caption(), "Middle");

  const auto lines = FileLines("Ovexia Radio Network1.dat");
  ASSERT_EQ(lines.size(), 14u);
  EXPECT_EQ(lines[2], "Tone");
  EXPECT_EQ(lines[3], StationUrl());
  EXPECT_EQ(lines[4], "Middle");
  EXPECT_EQ(lines[5], "http://middle/");
  EXPECT_EQ(lines[0], "none");
  EXPECT_EQ(ReadFile(InDir("Ovexia Radio Network1.dat")).substr(0, 6), "none\r\n");
  EXPECT_EQ(HistoryForm->Entries(), before) << "editing touches no history";
  EXPECT_FALSE(m.Monitor().connecting) << "editing plays nothing";
}

TEST(Receiver, GroupStepsSaveTheGroupLeftAndStopAtOneAndAHundred) {
  TMainForm& m = Receiver();
  auto up = [&] { LeftClickOn(m.VrSpinnerStation, m.VrSpinnerStation.FirstButton()); };
  auto down = [&] { LeftClickOn(m.VrSpinnerStation, m.VrSpinnerStation.SecondButton()); };
  SetPreset(m, 6, "Seventh", "http://seventh/");
  up();
  EXPECT_EQ(m.VrNumBlock.Value(), 2);
  EXPECT_EQ(m.VrDemoButtonStation[6].Caption(), "none");
  EXPECT_EQ(FileLines("Ovexia Radio Network1.dat")[12], "Seventh");
  down();
  EXPECT_EQ(m.VrNumBlock.Value(), 1);
  EXPECT_EQ(m.VrDemoButtonStation[6].Caption(), "Seventh");
  EXPECT_EQ(m.VrDemoButtonStation[1].Caption(), "Tone");

  down();  // at 1: saved and read back unchanged
  EXPECT_EQ(m.VrNumBlock.Value(), 1);
  EXPECT_EQ(m.VrDemoButtonStation[6].Caption(), "Seventh");

  m.VrNumBlock.SetValue(100);
  m.LoadStationGroup(100);
  SetPreset(m, 0, "Hundred", "http://hundred/");
  up();
  EXPECT_EQ(m.VrNumBlock.Value(), 100);
  EXPECT_EQ(m.VrDemoButtonStation[0].Caption(), "Hundred");
  EXPECT_EQ(FileLines("Ovexia Radio Network100.dat")[0], "Hundred");
  EXPECT_NE(GetFileAttributesA(InDir("Ovexia Radio Network2.dat").c_str()), INVALID_FILE_ATTRIBUTES);

  m.VrNumBlock.SetValue(1);
  m.LoadStationGroup(1);
}

TEST(Receiver, TwelvePressesLeaveTheFirstOutOfTheHistory) {
  TMainForm& m = Receiver();
  const stations::PresetGroup saved = [&] {
    stations::PresetGroup g;
    for (int k = 0; k < TMainForm::kPresets; ++k) g[k] = {m.VrDemoButtonStation[k].Caption(), m.EditStationURL[k].Text()};
    return g;
  }();
  for (int k = 0; k < TMainForm::kPresets; ++k) SetPreset(m, k, "S" + std::to_string(k + 1), "");
  for (int press = 1; press <= 12; ++press) LeftClick(m.VrDemoButtonStation[(press - 1) % 7]);
  const stations::History h = HistoryForm->Entries();
  EXPECT_EQ(h[0].name, "S5");   // press 12
  EXPECT_EQ(h[10].name, "S2");  // press 2; press 1 is gone
  EXPECT_EQ(h[10].url, "");
  for (int k = 0; k < TMainForm::kPresets; ++k) SetPreset(m, k, saved[k].name, saved[k].url);
}

TEST(Receiver, ChoosingABandLoadsItsFirstGroupAndSavesTheSettings) {
  TMainForm& m = Receiver();
  m.VrNumBlock.SetValue(5);
  // Cancel changes nothing on the main window.
  WhenShown(*BandForm, [] { LeftClick(BandForm->VrDemoButtonCancelBand); });
  LeftClick(m.VrDemoButtonBand);
  EXPECT_EQ(m.Labelgenre.Caption(), "Ovexia Radio Network");
  EXPECT_EQ(m.VrNumBlock.Value(), 5);

  WriteFile("Pop-Rock1.dat", "Rock One\r\nhttp://rock/\r\n");
  WhenShown(*BandForm, [] {
    ui::ListBox& list = BandForm->ListBoxBands;
    for (int i = 0; i < list.Count(); ++i)
      if (list.Item(i) == "Pop-Rock") list.SetItemIndex(i);
    LeftClick(BandForm->VrDemoButtonSelectBand);
  });
  LeftClick(m.VrDemoButtonBand);
  EXPECT_EQ(m.Labelgenre.Caption(), "Pop-Rock");
  EXPECT_EQ(m.CurrentBand(), "Pop-Rock");
  EXPECT_EQ(m.VrNumBlock.Value(), 1);
  EXPECT_EQ(m.VrDemoButtonStation[0].Caption(), "Rock One");
  EXPECT_EQ(m.EditStationURL[1].Text(), "");
  const auto settings = FileLines("Defaults.ini");
  ASSERT_EQ(settings.size(), 28u);
  EXPECT_EQ(settings[25], "Pop-Rock");

  // "Select Band" with nothing selected while a history station plays keeps the band.
  m.HistoryEntryClick("none", "none");
  EXPECT_EQ(m.Labelgenre.Caption(), "Station History");
  WhenShown(*BandForm, [] {
    BandForm->ListBoxBands.SetItemIndex(-1);
    LeftClick(BandForm->VrDemoButtonSelectBand);
  });
  LeftClick(m.VrDemoButtonBand);
  EXPECT_EQ(m.Labelgenre.Caption(), "Pop-Rock");
  EXPECT_EQ(FileLines("Defaults.ini")[25], "Pop-Rock");

  // Back to the band the other tests use.
  m.Labelgenre.SetCaption("Ovexia Radio Network");
  m.LoadStationGroup(1);
}

TEST(Receiver, ADamagedSettingsLineStopsLoadingAndKeepsTheLinesBeforeIt) {
  TMainForm& m = Receiver();
  const std::string band = m.Labelgenre.Caption();
  const stations::History history = HistoryForm->Entries();
  const int top = m.Top();
  std::vector<std::string> lines(28);
  lines[3] = "Loaded";
  lines[4] = "http://loaded/";
  lines[25] = "Jazz";
  lines[26] = "12x";
  lines[27] = "40";
  WriteFile("Defaults.ini", stations::JoinLines(lines));
  try {
    m.LoadSettings();
    FAIL() << "a bad number must stop the reading";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "'12x' is not a valid integer value");
  }
  EXPECT_EQ(HistoryForm->Entries()[0], (stations::Preset{"Loaded", "http://loaded/"}));
  EXPECT_EQ(HistoryForm->Entries()[1], history[1]);
  EXPECT_EQ(m.Labelgenre.Caption(), "Jazz");
  EXPECT_EQ(m.Top(), top) << "line 28 is after the bad line";
  EXPECT_EQ(m.VrDemoButtonStation[1].Caption(), "Tone") << "the presets are not touched";
  EXPECT_EQ(ReadFile(InDir(std::string("Defaults.ini") + TMainForm::kDamagedSuffix)), stations::JoinLines(lines))
      << "the lines not applied are kept in a copy that the next save does not overwrite";

  HistoryForm->SetEntries(history);
  m.Labelgenre.SetCaption(band);
}

// The last test: Exit ends the program.
TEST(Receiver, AStationPlaysThenDisconnectAndExitSaveEverythingAndClose) {
  TMainForm& m = Receiver();
  ASSERT_FALSE(StationUrl().empty()) << "run with the local test station (tests/playback/with-station.sh)";
  ASSERT_EQ(m.VrDemoButtonStation[1].Caption(), "Tone");
  ASSERT_TRUE(PumpUntil([&] { return m.Monitor().internetConnected; }));
  LeftClick(m.VrDemoButtonStation[1]);
  EXPECT_TRUE(m.Monitor().connecting);
  EXPECT_EQ(HistoryForm->Entries()[0], (stations::Preset{"Tone", StationUrl()}));

  // "Connecting....." blinks until a whole second has played.
  bool seenHidden = false, seenShown = false;
  ASSERT_TRUE(PumpUntil([&] {
    if (m.LabelStation.Caption() == "Connecting.....") (m.LabelStation.Visible() ? seenShown : seenHidden) = true;
    return m.LabelStation.Caption() == "Tone";
  }, 15000)) << m.WindowsMediaPlayer.lastError();
  EXPECT_TRUE(seenHidden && seenShown);
  EXPECT_TRUE(m.LabelStation.Visible());
  EXPECT_FALSE(m.Monitor().connecting);
  EXPECT_EQ(m.LabelBuffer.Caption(), "100%");
  EXPECT_EQ(m.LabelBandwidth.Caption(), "128000");
  const int shown = m.VrClockstposition.Seconds();
  EXPECT_GE(shown, 1);
  EXPECT_TRUE(PumpUntil([&] { return m.VrClockstposition.Seconds() > shown; }, 3000)) << "the position runs";
  bool iconBlinked = false;
  const bool iconBefore = m.ImagePlayer1GO.Visible();
  PumpUntil([&] { return iconBlinked = m.ImagePlayer1GO.Visible() != iconBefore; }, 1000);
  EXPECT_TRUE(iconBlinked);

  LeftClick(m.VrDemoButtonUnplug);
  EXPECT_EQ(m.LabelStation.Caption(), "none");
  EXPECT_TRUE(PumpUntil([&] { return m.WindowsMediaPlayer.playState() != 3; }, 200));
  EXPECT_TRUE(PumpUntil([&] { return m.LabelBuffer.Caption() == "0%" && m.VrClockstposition.Seconds() == 0; }, 500));

  // A history station, then Exit: the band is saved, not "Station History".
  m.HistoryEntryClick("Tone", StationUrl());
  EXPECT_EQ(m.Labelgenre.Caption(), "Station History");
  DeleteFileA(InDir("Defaults.ini").c_str());
  DeleteFileA(InDir("Ovexia Radio Network1.dat").c_str());
  const DWORD exitAt = GetTickCount();
  LeftClick(m.VrDemoButtonExit);
  EXPECT_FALSE(IsWindowVisible(m.Handle()));
  EXPECT_TRUE(IsWindowVisible(FormSure->Handle()));
  EXPECT_NE(m.WindowsMediaPlayer.playState(), 3);
  const auto settings = FileLines("Defaults.ini");
  ASSERT_EQ(settings.size(), 28u);
  EXPECT_EQ(settings[0], Directory() + "\\webfile.wav") << "the damaged settings named no existing recording";
  EXPECT_EQ(settings[3], "Tone");
  EXPECT_EQ(settings[25], "Ovexia Radio Network");
  EXPECT_EQ(settings[26], std::to_string(m.Left()));
  EXPECT_EQ(FileLines("Ovexia Radio Network1.dat")[2], "Tone");

  const HWND main = m.Handle();
  ASSERT_TRUE(PumpUntil([&] { return !IsWindow(main) || ui::App().Terminated(); }, 6000));
  const DWORD closedAfter = GetTickCount() - exitAt;
  EXPECT_GE(closedAfter, 2300u);
  EXPECT_LE(closedAfter, 4000u);
}

}  // namespace
