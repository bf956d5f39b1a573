// The main window started the way the program starts (splash window, environment
// checks, every window in its order), in a working directory of its own, driven by real
// window messages, with the real player and the local test station. Every test starts
// from a fresh state of its own, so that any of them runs alone or in any order.
#include <gtest/gtest.h>

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>
#include <tuple>

#include "app/FormSure.h"
#include "app/MainForm.h"
#include "support/StartedProgram.h"
#include "playback/CertificateCheck.h"
#include "support/StationTesting.h"
#include "recording/OptionsForm.h"
#include "stations/BandForm.h"
#include "stations/EditStationForm.h"
#include "stations/HistoryForm.h"
#include "stations/StationFilesRules.h"
#include "base/TextFile.h"
#include "base/Encoding.h"
#include "ui/Application.h"
#include "ui/Timer.h"
#include "support/WindowTesting.h"

using namespace testing_support;

namespace {

std::string Directory() {
  static const std::string dir = ProcessTempDirectory("tunora-receiver-");
  return dir;
}

std::string InDir(const std::string& name) {
  return Directory() + "\\" + name;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> FileLines(const std::string& name) {
  return base::SplitLines(ReadFile(InDir(name)));
}

void WriteFile(const std::string& name, const std::string& text) {
  std::ofstream(InDir(name), std::ios::binary) << text;
}

void RemoveAllFiles() {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA(InDir("*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA(InDir(fd.cFileName).c_str());
  } while (FindNextFileA(h, &fd));
  FindClose(h);
}

std::string StationUrl() {
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

FirstStart& First() {
  static FirstStart first;
  return first;
}

const stations::History& FirstHistory() {
  return First().history;
}

// The program as it starts, once per test program: the splash window and its checks,
// every window, and the main window's first showing, in an empty working directory.
TMainForm& StartedReceiver() {
  if (ui::App().Forms().empty()) {
    TMainForm& m = StartedProgram(Directory());
    stations::PresetGroup presets;
    for (int k = 0; k < TMainForm::kPresets; ++k)
      presets[std::size_t(k)] = {m.VrDemoButtonStation[k].Caption(), m.EditStationURL[k].Text()};
    First() = {HistoryForm->Entries(),
               OptionsForm->DirectoryEditLogger.Text(),
               presets,
               m.Labelgenre.Caption(),
               m.WindowsMediaPlayer.settings().volume(),
               m.PlayerRec.settings().volume(),
               GetFileAttributesA(InDir("Ovexia Radio Network1.dat").c_str()) != INVALID_FILE_ATTRIBUTES};
  }
  return *MainForm;
}

void Press(ui::WinControl& c, UINT down, UINT up, WPARAM keys) {
  SendMouse(c.Handle(), down, 5, 5, keys);
  SendMouse(c.Handle(), up, 5, 5, 0);
}

// A key pressed while the control has the focus, through the message loop (so that the
// window's key preview sees it too).
void PressKey(ui::WinControl& c, UINT key) {
  c.SetFocus();
  PostMessageA(c.Handle(), WM_KEYDOWN, key, 1);
  PostMessageA(c.Handle(), WM_KEYUP, key, 0xC0000001);
  Pump(30);
}

void SetPreset(TMainForm& m, int k, const std::string& name, const std::string& url) {
  m.VrDemoButtonStation[k].SetCaption(name);
  m.EditStationURL[k].SetText(url);
}

class Receiver : public ::testing::Test {
 protected:
  // A fresh start: nothing plays, no file in the directory, group 1 of the built-in
  // band with empty presets, the first history and recording name, full volume, a
  // connection.
  void SetUp() override {
    m_ = &StartedReceiver();
    TMainForm& m = *m_;
    connection_ = std::make_shared<TestConnection>();
    m.Connection().SetSystem(connection_);
    LeftClick(m.VrDemoButtonUnplug);
    m.WindowsMediaPlayer.SetURL("");
    m.PlayerRec.controls().stop();
    OptionsForm->DirectoryEditLogger.SetText(First().recordingPath);
    RemoveAllFiles();
    m.Labelgenre.SetCaption("Ovexia Radio Network");
    m.VrNumBlock.SetValue(1);
    m.LoadStationGroup(1);
    HistoryForm->SetEntries(FirstHistory());
    m.SetVolume(1000);
    ASSERT_TRUE(PumpUntil([&] { return m.Monitor().internetConnected && !Playing(m.WindowsMediaPlayer); }));
  }
  void TearDown() override { m_->Connection().SetSystem(nullptr); }

  TMainForm* m_ = nullptr;
  std::shared_ptr<TestConnection> connection_;
};

// What the start itself showed, taken before any test's set-up changed it.
TEST_F(Receiver, TheFirstStartShowsEmptyPresetsTheBuiltInBandAndFullVolume) {
  TMainForm& m = *m_;
  const FirstStart& first = First();
  EXPECT_TRUE(m.StartupDone());
  EXPECT_EQ(m.ProgramDirectory(), Directory());
  EXPECT_EQ(first.band, "Ovexia Radio Network");
  EXPECT_EQ(first.history[0], (stations::Preset{"none", "Empty"}));
  for (const stations::Preset& p : first.presets) EXPECT_EQ(p, (stations::Preset{"none", "none"}));
  EXPECT_EQ(first.recordingPath, "webfile.wav");
  EXPECT_EQ(first.playerVolume, 100);
  EXPECT_EQ(first.recordingVolume, 100);
  EXPECT_FALSE(first.groupFileMade) << "loading a group creates no file";
  EXPECT_TRUE(PumpUntil([&] { return m.VrMatrixConn.Text() == "OVEXIA TUNORA ONLINE!"; }));
}

TEST_F(Receiver, ALeftPressOnAnEmptyPresetPushesTheHistoryButPlaysNothing) {
  TMainForm& m = *m_;
  LeftClick(m.VrDemoButtonStation[0]);
  EXPECT_EQ(HistoryForm->Entries()[0], (stations::Preset{"none", "none"}));
  EXPECT_EQ(HistoryForm->Entries()[1], (stations::Preset{"none", "Empty"}));
  EXPECT_FALSE(m.Monitor().connecting);
  EXPECT_EQ(m.WindowsMediaPlayer.URL(), "");
}

TEST_F(Receiver, RightAndMiddlePressesEditThePresetAndRewriteTheGroupFile) {
  TMainForm& m = *m_;
  const stations::History before = HistoryForm->Entries();
  std::string seenName, seenUrl;
  bool ran = false;
  WhenShown(
      *EditStationForm,
      [&] {
        seenName = EditStationForm->EditStationName.Text();
        seenUrl = EditStationForm->EditStationURL.Text();
        EditStationForm->EditStationName.SetText("Tone");
        EditStationForm->EditStationURL.SetText("http://tone/");
        LeftClick(EditStationForm->VrDemoButtonExit);
      },
      &ran);
  Press(m.VrDemoButtonStation[1], WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON);
  ASSERT_TRUE(ran);
  EXPECT_EQ(seenName, "none");
  EXPECT_EQ(seenUrl, "none");
  EXPECT_EQ(m.VrDemoButtonStation[1].Caption(), "Tone");
  EXPECT_EQ(m.EditStationURL[1].Text(), "http://tone/");

  // The system's close command applies the texts as well.
  WhenShown(
      *EditStationForm,
      [&] {
        EditStationForm->EditStationName.SetText("Middle");
        EditStationForm->EditStationURL.SetText("http://middle/");
        SendMessageA(EditStationForm->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
      },
      &ran);
  Press(m.VrDemoButtonStation[2], WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON);
  ASSERT_TRUE(ran);
  EXPECT_EQ(m.VrDemoButtonStation[2].Caption(), "Middle");

  EXPECT_EQ(ReadFile(InDir("Ovexia Radio Network1.dat")),
            "none\r\nnone\r\nTone\r\nhttp://tone/\r\nMiddle\r\nhttp://middle/\r\n"
            "none\r\nnone\r\nnone\r\nnone\r\nnone\r\nnone\r\nnone\r\nnone\r\n");
  EXPECT_EQ(HistoryForm->Entries(), before) << "editing touches no history";
  EXPECT_FALSE(m.Monitor().connecting) << "editing plays nothing";
}

TEST_F(Receiver, GroupStepsSaveTheGroupLeftAndStopAtOneAndAHundred) {
  TMainForm& m = *m_;
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
}

// A group file that cannot be read (here held by another program) shows empty presets
// and is never written: not by a step away, not by Exit, not by an edit, which says so.
TEST_F(Receiver, AGroupThatCouldNotBeReadIsNeverOverwritten) {
  TMainForm& m = *m_;
  auto up = [&] { LeftClickOn(m.VrSpinnerStation, m.VrSpinnerStation.FirstButton()); };
  auto down = [&] { LeftClickOn(m.VrSpinnerStation, m.VrSpinnerStation.SecondButton()); };
  const std::string kept = "Two\r\nhttp://two/\r\n";
  WriteFile("Ovexia Radio Network2.dat", kept);
  SetPreset(m, 0, "One", "http://one/");
  HANDLE held =
      CreateFileA(InDir("Ovexia Radio Network2.dat").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  MessageBoxWatcher boxes("Ovexia Tunora");
  up();
  CloseHandle(held);
  EXPECT_EQ(m.VrNumBlock.Value(), 2);
  EXPECT_FALSE(m.GroupLoaded());
  for (int k = 0; k < TMainForm::kPresets; ++k) EXPECT_EQ(m.VrDemoButtonStation[k].Caption(), "none");

  bool ran = false;
  WhenShown(
      *EditStationForm,
      [&] {
        EditStationForm->EditStationName.SetText("Edited");
        LeftClick(EditStationForm->VrDemoButtonExit);
      },
      &ran);
  Press(m.VrDemoButtonStation[0], WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON);
  ASSERT_TRUE(ran);
  EXPECT_EQ(m.VrDemoButtonStation[0].Caption(), "Edited") << "the edit shows";
  m.SaveStationGroup(m.VrNumBlock.Value());  // as Exit does
  down();
  EXPECT_EQ(ReadFile(InDir("Ovexia Radio Network2.dat")), kept);
  EXPECT_EQ(m.VrDemoButtonStation[0].Caption(), "One");
  EXPECT_TRUE(m.GroupLoaded());
  const std::vector<SeenBox> seen = boxes.Seen();
  ASSERT_EQ(seen.size(), 2u) << "the failed read, then the edit not saved";
  EXPECT_EQ(seen[1].text, "The station group file " + InDir("Ovexia Radio Network2.dat") +
                              " could not be read, so it is left as it is: this change is shown but not saved.");
}

// A window position far off every screen in the settings (a monitor gone, a damaged
// file) brings the window back onto the screen.
TEST_F(Receiver, AStoredWindowPositionOffTheScreenIsBroughtBack) {
  TMainForm& m = *m_;
  const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int w = GetSystemMetrics(SM_CXVIRTUALSCREEN), h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  const std::pair<const char*, const char*> positions[] = {
      {"2147483647", "2147483647"}, {"-2147483648", "-2147483648"}, {"2147483000", "-5000"}, {"-100000", "900000"}};
  for (const auto& [left, top] : positions) {
    SCOPED_TRACE(std::string(left) + ", " + top);
    std::vector<std::string> lines(28);
    lines[26] = left;
    lines[27] = top;
    WriteFile("Defaults.ini", base::JoinLines(lines));
    m.LoadSettings();
    RECT r;
    GetWindowRect(m.Handle(), &r);
    EXPECT_TRUE(r.left >= x && r.top >= y && r.right <= x + w && r.bottom <= y + h) << r.left << ", " << r.top;
    m.SaveSettings();
    EXPECT_EQ(FileLines("Defaults.ini")[26], std::to_string(r.left)) << "Exit saves where it shows";
  }
}

TEST_F(Receiver, TwelvePressesLeaveTheFirstOutOfTheHistory) {
  TMainForm& m = *m_;
  for (int k = 0; k < TMainForm::kPresets; ++k) SetPreset(m, k, "S" + std::to_string(k + 1), "");
  for (int press = 1; press <= 12; ++press) LeftClick(m.VrDemoButtonStation[(press - 1) % 7]);
  const stations::History h = HistoryForm->Entries();
  EXPECT_EQ(h[0].name, "S5");   // press 12
  EXPECT_EQ(h[10].name, "S2");  // press 2; press 1 is gone
  EXPECT_EQ(h[10].url, "");
}

TEST_F(Receiver, ChoosingABandLoadsItsFirstGroupAndSavesTheSettings) {
  TMainForm& m = *m_;
  m.VrNumBlock.SetValue(5);
  bool ran = false;
  // Cancel changes nothing on the main window.
  WhenShown(
      *BandForm, [] { LeftClick(BandForm->VrDemoButtonCancelBand); }, &ran);
  LeftClick(m.VrDemoButtonBand);
  ASSERT_TRUE(ran);
  EXPECT_EQ(m.Labelgenre.Caption(), "Ovexia Radio Network");
  EXPECT_EQ(m.VrNumBlock.Value(), 5);

  WriteFile("Pop-Rock1.dat", "Rock One\r\nhttp://rock/\r\n");
  WhenShown(
      *BandForm,
      [] {
        ui::ListBox& list = BandForm->ListBoxBands;
        for (int i = 0; i < list.Count(); ++i)
          if (list.Item(i) == "Pop-Rock") list.SetItemIndex(i);
        LeftClick(BandForm->VrDemoButtonSelectBand);
      },
      &ran);
  LeftClick(m.VrDemoButtonBand);
  ASSERT_TRUE(ran);
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
  WhenShown(
      *BandForm,
      [] {
        BandForm->ListBoxBands.SetItemIndex(-1);
        LeftClick(BandForm->VrDemoButtonSelectBand);
      },
      &ran);
  LeftClick(m.VrDemoButtonBand);
  ASSERT_TRUE(ran);
  EXPECT_EQ(m.Labelgenre.Caption(), "Pop-Rock");
  EXPECT_EQ(FileLines("Defaults.ini")[25], "Pop-Rock");
}

// The settings file's bytes against a file written by hand, both ways.
TEST_F(Receiver, SettingsAreWrittenAndReadByteForByte) {
  TMainForm& m = *m_;
  // The format line 2 stores is the default "44100Hz 16bit Stereo" of Wine's 28 formats.
  std::string expected = "webfile.wav\r\n19\r\n0\r\nFirst\r\nhttp://first/\r\nSecond\r\n\r\n";
  for (int k = 2; k < 11; ++k) expected += "none\r\nEmpty\r\n";
  m.PushHistory("Second", "");
  m.PushHistory("First", "http://first/");
  // A history station plays: the band is saved, not the label.
  m.HistoryEntryClick("none", "none");
  ASSERT_EQ(m.Labelgenre.Caption(), "Station History");
  m.SetBounds(37, 41, m.Width(), m.Height());
  expected += "Ovexia Radio Network\r\n37\r\n41\r\n";
  m.SaveSettings();
  EXPECT_EQ(ReadFile(InDir("Defaults.ini")), expected);

  // Read back from a file written by hand, whose recording exists.
  WriteFile("take.wav", "RIFF");
  std::string text = InDir("take.wav") + "\r\n-1\r\n0\r\nHand\r\nhttp://hand/\r\n";
  for (int k = 1; k < 11; ++k) text += "n" + std::to_string(k) + "\r\nu" + std::to_string(k) + "\r\n";
  text += "Jazz\r\n-3\r\n12\r\n";
  WriteFile("Defaults.ini", text);
  m.LoadSettings();
  EXPECT_EQ(OptionsForm->DirectoryEditLogger.Text(), InDir("take.wav"));
  EXPECT_EQ(HistoryForm->Entries()[0], (stations::Preset{"Hand", "http://hand/"}));
  EXPECT_EQ(HistoryForm->Entries()[10], (stations::Preset{"n10", "u10"}));
  EXPECT_EQ(m.Labelgenre.Caption(), "Jazz");
  EXPECT_EQ(m.Left(), -3);
  EXPECT_EQ(m.Top(), 12);
  m.SaveSettings();
  EXPECT_EQ(ReadFile(InDir("Defaults.ini")), text);
}

TEST_F(Receiver, ADamagedSettingsLineStopsLoadingAndKeepsTheLinesBeforeIt) {
  TMainForm& m = *m_;
  const int top = m.Top();
  SetPreset(m, 1, "Kept", "http://kept/");
  std::vector<std::string> lines(28);
  lines[3] = "Loaded";
  lines[4] = "http://loaded/";
  lines[25] = "Jazz";
  lines[26] = "12x";
  lines[27] = "40";
  WriteFile("Defaults.ini", base::JoinLines(lines));
  try {
    m.LoadSettings();
    FAIL() << "a bad number must stop the reading";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "'12x' is not a valid integer value");
  }
  EXPECT_EQ(HistoryForm->Entries()[0], (stations::Preset{"Loaded", "http://loaded/"}));
  EXPECT_EQ(HistoryForm->Entries()[1], FirstHistory()[1]);
  EXPECT_EQ(m.Labelgenre.Caption(), "Jazz");
  EXPECT_EQ(m.Top(), top) << "line 28 is after the bad line";
  EXPECT_EQ(m.VrDemoButtonStation[1].Caption(), "Kept") << "the presets are not touched";
  EXPECT_EQ(ReadFile(InDir(std::string("Defaults.ini") + TMainForm::kDamagedSuffix)), base::JoinLines(lines))
      << "the lines not applied are kept in a copy that the next save does not overwrite";
}

// The fader sets both players and the VOL% display, and the players keep the volume.
TEST_F(Receiver, TheVolumeFaderSetsBothPlayersAndItsDisplay) {
  TMainForm& m = *m_;
  widgets::TVrSlider& fader = m.VrScrollBarPlayer1;
  PressKey(fader, VK_HOME);
  const int low = fader.Position();
  EXPECT_NE(low, 1000);
  EXPECT_EQ(m.WindowsMediaPlayer.settings().volume(), low / 10);
  EXPECT_EQ(m.PlayerRec.settings().volume(), low / 10);
  EXPECT_EQ(m.VrNumVolume.Value(), low / 10);
  for (int i = 0; i < 25; ++i) PressKey(fader, low == 0 ? VK_UP : VK_DOWN);
  const int moved = fader.Position();
  EXPECT_EQ(std::abs(moved - low), 25) << "a key moves the fader by one step";
  EXPECT_EQ(m.WindowsMediaPlayer.settings().volume(), moved / 10);
  EXPECT_EQ(m.PlayerRec.settings().volume(), moved / 10);
  EXPECT_EQ(m.VrNumVolume.Value(), moved / 10);
}

// Without a connection the display says so, a preset press asks the system to connect
// and plays nothing; once the connection is seen a press plays. The probe looks every
// second; a machine busy with other Wine programs may take several to show it.
constexpr DWORD kProbeSeesMs = 10000;
TEST_F(Receiver, OfflineAPressAsksToConnectAndPlaysOnlyOnceConnected) {
  TMainForm& m = *m_;
  ASSERT_FALSE(StationUrl().empty()) << "run with the local test station (tests/playback/with-station.sh)";
  SetPreset(m, 0, "Tone", StationUrl());
  connection_->connected = false;
  ASSERT_TRUE(PumpUntil([&] { return m.VrMatrixConn.Text() == "INTERNET CONNECTION?"; }, kProbeSeesMs));
  LeftClick(m.VrDemoButtonStation[0]);
  EXPECT_EQ(connection_->attempts, 1);
  EXPECT_FALSE(m.Monitor().connecting);
  EXPECT_EQ(m.WindowsMediaPlayer.URL(), "");
  EXPECT_EQ(HistoryForm->Entries()[0].name, "Tone") << "the press is remembered all the same";

  connection_->connected = true;
  ASSERT_TRUE(PumpUntil([&] { return m.Monitor().internetConnected; }, kProbeSeesMs));
  EXPECT_TRUE(PumpUntil([&] { return m.VrMatrixConn.Text() == "OVEXIA TUNORA ONLINE!"; }, kProbeSeesMs));
  LeftClick(m.VrDemoButtonStation[0]);
  EXPECT_EQ(connection_->attempts, 1) << "no dial request while connected";
  EXPECT_TRUE(m.Monitor().connecting);
  EXPECT_EQ(m.WindowsMediaPlayer.URL(), StationUrl());
}

// A station plays on the displays; another one replaces it; Disconnect stops it.
TEST_F(Receiver, AStationPlaysOnTheDisplaysAnotherReplacesItAndDisconnectStopsIt) {
  TMainForm& m = *m_;
  ASSERT_FALSE(StationUrl().empty()) << "run with the local test station (tests/playback/with-station.sh)";
  const char* aac = std::getenv("TUNORA_STATION_AAC");
  ASSERT_NE(aac, nullptr);
  SetPreset(m, 1, "Tone", StationUrl());
  SetPreset(m, 2, "Other Tone", aac);
  LeftClick(m.VrDemoButtonStation[1]);
  EXPECT_TRUE(m.Monitor().connecting);
  EXPECT_EQ(HistoryForm->Entries()[0], (stations::Preset{"Tone", StationUrl()}));

  // "Connecting....." blinks until a whole second has played.
  bool seenHidden = false, seenShown = false;
  ASSERT_TRUE(PumpUntil(
      [&] {
        if (m.LabelStation.Caption() == "Connecting.....") (m.LabelStation.Visible() ? seenShown : seenHidden) = true;
        return m.LabelStation.Caption() == "Tone";
      },
      15000))
      << m.WindowsMediaPlayer.lastError();
  EXPECT_TRUE(seenHidden && seenShown);
  EXPECT_TRUE(m.LabelStation.Visible());
  EXPECT_FALSE(m.Monitor().connecting);
  EXPECT_EQ(m.LabelBuffer.Caption(), "100%");
  EXPECT_EQ(m.LabelBandwidth.Caption(), "128000");
  const int shown = m.VrClockstposition.Seconds();
  EXPECT_GE(shown, 1);
  EXPECT_TRUE(PumpUntil([&] { return m.VrClockstposition.Seconds() > shown; }, 6000)) << "the position runs";
  bool iconBlinked = false;
  const bool iconBefore = m.ImagePlayer1GO.Visible();
  PumpUntil([&] { return iconBlinked = m.ImagePlayer1GO.Visible() != iconBefore; }, 1000);
  EXPECT_TRUE(iconBlinked);

  // Another preset while this one plays: the position starts again from zero.
  LeftClick(m.VrDemoButtonStation[2]);
  EXPECT_TRUE(m.Monitor().connecting);
  EXPECT_EQ(m.VrClockstposition.Seconds(), 0);
  EXPECT_EQ(m.WindowsMediaPlayer.URL(), aac);
  ASSERT_TRUE(PumpUntil([&] { return m.LabelStation.Caption() == "Other Tone"; }, 15000))
      << m.WindowsMediaPlayer.lastError();
  EXPECT_EQ(HistoryForm->Entries()[0].name, "Other Tone");
  EXPECT_EQ(HistoryForm->Entries()[1].name, "Tone");

  LeftClick(m.VrDemoButtonUnplug);
  EXPECT_EQ(m.LabelStation.Caption(), "none");
  EXPECT_TRUE(PumpUntil([&] { return !Playing(m.WindowsMediaPlayer); }, 200));
  EXPECT_TRUE(PumpUntil([&] { return m.LabelBuffer.Caption() == "0%" && m.VrClockstposition.Seconds() == 0; }, 500));
}

// A station whose certificate nobody vouches for fails with the reason, and the user is
// asked once whether to trust it for its host: No leaves it so, Yes plays it and
// remembers the certificate with the host beside the settings for the next start.
// Another certificate of that host asks again and says that it changed.
TEST_F(Receiver, AStationWithAnUnknownCertificatePlaysOnceTheUserTrustsIt) {
  TMainForm& m = *m_;
  REQUIRE_STATION("TUNORA_STATION_HTTPS_CLIENT");
  playback::SetTrustedCertificates({});
  SetPreset(m, 1, "Secure", StationAddress("TUNORA_STATION_HTTPS_UNKNOWN"));
  SetPreset(m, 2, "Changed", StationAddress("TUNORA_STATION_HTTPS_CLIENT"));
  const std::tuple<int, int, const char*> steps[] = {
      {IDNO, 1, "not valid: it was not issued by an authority"},
      {IDYES, 1, "not valid: it was not issued by an authority"},
      {IDNO, 2, "(127.0.0.1); it has changed since this host was trusted"},
  };
  for (const auto& [answer, preset, said] : steps) {
    SCOPED_TRACE(said);
    MessageBoxWatcher boxes(ui::App().Title(), answer);
    LeftClick(m.VrDemoButtonStation[preset]);
    ASSERT_TRUE(PumpUntil([&] { return !boxes.Seen().empty(); }, 10000)) << m.LabelStation.Caption();
    Pump(500);
    const std::vector<SeenBox> seen = boxes.Seen();
    ASSERT_EQ(seen.size(), 1u) << "asked once";
    EXPECT_NE(seen[0].text.find(said), std::string::npos) << seen[0].text;
    EXPECT_NE(seen[0].text.find("from 127.0.0.1 with this certificate all the same?"), std::string::npos)
        << seen[0].text;
    if (answer == IDNO) {
      EXPECT_EQ(m.LabelStation.Caption(), "Cannot play");
      EXPECT_NE(m.VrMatrixConn.Text().find("certificate is not valid"), std::string::npos);
      EXPECT_EQ(base::FileExists(InDir("trustedhosts.ini")), preset == 2);
    } else {
      EXPECT_TRUE(PumpUntil([&] { return m.LabelStation.Caption() == "Secure"; }, 10000))
          << m.WindowsMediaPlayer.lastError();
    }
  }
  const std::string fingerprint = StationAddress("TUNORA_STATION_HTTPS_UNKNOWN_SHA256");
  EXPECT_EQ(ReadFile(InDir("trustedhosts.ini")), "127.0.0.1 " + fingerprint + "\r\n");
  playback::SetTrustedCertificates({});
  m.Certificates.Load(Directory());
  EXPECT_EQ(playback::GetTrustedCertificates(), (playback::TrustedCertificates{{"127.0.0.1", fingerprint}}))
      << "read at the next start";
  playback::SetTrustedCertificates({});
}

// "Station History" shows the dialog; a click on an entry plays its station under the
// band label "Station History", and Options then saves the band, not that label.
TEST_F(Receiver, AHistoryEntryPlaysAndOptionsSavesTheBandNotTheHistoryLabel) {
  TMainForm& m = *m_;
  ASSERT_FALSE(StationUrl().empty()) << "run with the local test station (tests/playback/with-station.sh)";
  m.PushHistory("Tone", StationUrl());
  bool ran = false;
  WhenShown(
      *HistoryForm,
      [] {
        LeftClick(HistoryForm->EntryButton(1));
        LeftClick(HistoryForm->VrDemoButtonCloseHistory);
      },
      &ran);
  LeftClick(m.VrDemoButtonHistory);
  ASSERT_TRUE(ran);
  EXPECT_EQ(m.Labelgenre.Caption(), "Station History");
  EXPECT_EQ(m.WindowsMediaPlayer.URL(), StationUrl());
  EXPECT_TRUE(PumpUntil([&] { return m.LabelStation.Caption() == "Tone"; }, 15000)) << m.WindowsMediaPlayer.lastError();

  WhenShown(
      *OptionsForm, [] { LeftClick(OptionsForm->VrDemoButtonExit); }, &ran);
  LeftClick(m.VrDemoButtonOptions);
  ASSERT_TRUE(ran);
  EXPECT_FALSE(IsWindowVisible(OptionsForm->Handle()));
  const auto settings = FileLines("Defaults.ini");
  ASSERT_EQ(settings.size(), 28u);
  EXPECT_EQ(settings[3], "Tone");
  EXPECT_EQ(settings[25], "Ovexia Radio Network");
  EXPECT_EQ(m.Labelgenre.Caption(), "Station History") << "the label goes on showing the history station";
}

}  // namespace

namespace {

// Sets the title that the test station's MP3 mount announces, as raw bytes, through
// Icecast's admin interface.
// A new title reaches a listener behind the station's opening burst (about 4 s of sound)
// with the next metadata block: 4-5 s as a rule, and more on a busy machine.
// A busy machine's player may run many seconds behind the station, and its titles too.
constexpr DWORD kTitleArrivesMs = 30000;

// The clipboard's Unicode text, in UTF-8.
std::string ClipboardText() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return "";
  if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
    text = static_cast<const wchar_t*>(GlobalLock(h));
    GlobalUnlock(h);
  }
  CloseClipboard();
  return base::Utf8FromWide(text);
}

void TrayMouse(TMainForm& m, UINT message) {
  SendMessageA(m.TitleTray.Tray().Handle(), nowplaying::TrayIcon::kCallbackMessage, 1, message);
}

TEST_F(Receiver, StationTitlesReachTheTrayAndTheTitleLogInTheirCharacters) {
  REQUIRE_STATION("TUNORA_STATION_MP3");
  // Run under Windows-1252 and, in a run of its own, under UTF-8 as the ANSI code page.
  const bool utf8 = GetACP() == CP_UTF8;
  ASSERT_TRUE(utf8 || GetACP() == 1252u) << GetACP();
  // A log of an earlier version, in the ANSI code page, is set aside, not converted.
  const std::string ansiLog = "2025-12-31 23:59:59\tOld Station\tCaf\xE9\r\n";
  WriteFile("titles.txt", ansiLog);
  TMainForm& m = *m_;
  nowplaying::NowPlaying& np = m.TitleTray;
  ASSERT_TRUE(PumpUntil([&] { return np.Tray().Shown(); }, 3000)) << "the icon is in the notification area from the start";
  EXPECT_TRUE(PumpUntil([&] { return np.Tray().Tip() == "Ovexia Tunora"; }, 3000)) << "nothing plays: no title";
  SetPreset(m, 0, "Tone Station", StationUrl());
  LeftClick(m.VrDemoButtonStation[0]);
  ASSERT_TRUE(PumpUntil([&] { return Playing(m.WindowsMediaPlayer); }, 10000));

  // When each notification showed: never two within ten seconds.
  std::vector<DWORD> shown;
  int count = np.Tray().Notifications();
  const auto until = [&](auto pred, DWORD ms) {
    return PumpUntil(
        [&] {
          if (np.Tray().Notifications() != count) {
            count = np.Tray().Notifications();
            shown.push_back(np.Tray().LastNotifiedAt());
          }
          return pred();
        },
        ms);
  };
  EXPECT_TRUE(until([&] { return np.Title() == "Tone 440 Hz"; }, kTitleArrivesMs)) << np.Title();
  // Sent in UTF-8 with Latin, Greek, Cyrillic and Japanese letters, which no ANSI code
  // page but UTF-8 holds all of; then in Windows-1252. The tray and the log show every
  // character (their texts are UTF-8 here); the front panel keeps its ANSI text.
  const std::string sent1252 =
      "Cr\xE8me br\xFBl\xE9"
      "e";
  const std::string cp1252 =
      "Cr\xC3\xA8me br\xC3\xBBl\xC3\xA9"
      "e";
  const std::string first = "Caf\xC3\xA9 \xE2\x82\xAC \xCE\xA9 \xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE \xE6\x97\xA5\xE6\x9C\xAC";
  ASSERT_TRUE(SetStationTitle(first));
  EXPECT_TRUE(until([&] { return np.Title() == first; }, kTitleArrivesMs)) << np.Title();
  EXPECT_EQ(np.Tray().Tip(), "Ovexia Tunora\nTone Station\n" + first);
  EXPECT_EQ(m.WindowsMediaPlayer.currentMedia().getItemInfo("Title"), utf8 ? first : "Caf\xE9 \x80 ? ???? ??");
  // A title too long for the tooltip is cut where a character ends.
  std::string longTitle;
  for (int i = 0; i < 60; ++i) longTitle += "\xC3\xA9\xE6\x97\xA5";
  ASSERT_TRUE(SetStationTitle(longTitle));
  EXPECT_TRUE(until([&] { return np.Title() == longTitle; }, kTitleArrivesMs)) << np.Title();
  const std::string tip = np.Tray().Tip();
  EXPECT_TRUE(tip.ends_with("...")) << tip;
  const int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, tip.c_str(), -1, nullptr, 0);
  EXPECT_GT(units, 100) << tip;
  EXPECT_LE(units, 128) << tip;
  ASSERT_TRUE(SetStationTitle(sent1252));
  EXPECT_TRUE(until([&] { return np.Title() == cp1252; }, kTitleArrivesMs)) << np.Title();
  EXPECT_EQ(np.Tray().Tip(), "Ovexia Tunora\nTone Station\n" + cp1252);
  // The newest title is announced within ten seconds, the ones before it at most once.
  EXPECT_TRUE(until([&] { return np.Tray().LastNotification() == "Tone Station\n" + cp1252; }, 11000))
      << np.Tray().LastNotification();
  until([] { return false; }, 300);
  ASSERT_GE(shown.size(), 1u);
  for (std::size_t i = 1; i < shown.size(); ++i) EXPECT_GE(shown[i] - shown[i - 1], 9000u) << "notification " << i;
  EXPECT_EQ(m.LabelStation.Caption(), "Tone Station") << "the panel keeps its labels";

  np.Log()->Drain();
  EXPECT_EQ(ReadFile(InDir("titles-ansi.txt")), ansiLog);
  std::vector<std::string> lines = FileLines("titles.txt");
  ASSERT_GE(lines.size(), 2u);
  const std::string log = ReadFile(InDir("titles.txt"));
  EXPECT_TRUE(log.starts_with("\xEF\xBB\xBF")) << "a UTF-8 log begins with its byte-order mark";
  lines[0].erase(0, 3);
  EXPECT_NE(log.find("\tTone Station\t" + first + "\r\n"), std::string::npos) << log;
  EXPECT_TRUE(log.ends_with("\tTone Station\t" + cp1252 + "\r\n")) << log;
  for (const std::string& line : lines) {
    ASSERT_GE(line.size(), 20u);
    EXPECT_EQ(line[4], '-');
    EXPECT_EQ(line[10], ' ');
    EXPECT_EQ(line[13], ':');
    EXPECT_EQ(line[19], '\t');
  }

  // The menu: the title, disabled; Copy Title puts it on the clipboard.
  ui::PopupMenu& menu = np.Menu();
  EXPECT_EQ(menu.Items()[0].caption, cp1252);
  EXPECT_FALSE(menu.Items()[0].enabled);
  std::atomic<bool> chosen{false};
  std::thread chooser = ChooseFromMenu({"Copy Title"}, &chosen);
  TrayMouse(m, WM_RBUTTONUP);
  chooser.join();
  EXPECT_TRUE(chosen);
  EXPECT_EQ(ClipboardText(), cp1252);

  // A left click brings the main window back.
  ShowWindow(m.Handle(), SW_MINIMIZE);
  ASSERT_TRUE(IsIconic(m.Handle()));
  TrayMouse(m, WM_LBUTTONUP);
  EXPECT_FALSE(IsIconic(m.Handle()));
  EXPECT_EQ(GetForegroundWindow(), m.Handle());

  // Disconnect: no title is known any more.
  LeftClick(m.VrDemoButtonUnplug);
  EXPECT_TRUE(PumpUntil([&] { return np.Tray().Tip() == "Ovexia Tunora"; }, 5000));
  ASSERT_TRUE(SetStationTitle("Tone 440 Hz"));
}

TEST_F(Receiver, ATitleLogThatCannotBeWrittenIsReportedOnceAndPlayingGoesOn) {
  REQUIRE_STATION("TUNORA_STATION_MP3");
  TMainForm& m = *m_;
  nowplaying::NowPlaying& np = m.TitleTray;
  // A folder where the log should be: every write fails, as on a read-only file.
  ASSERT_TRUE(CreateDirectoryA(InDir("titles.txt").c_str(), nullptr));
  const int reported = np.LogFailuresReported();
  SetPreset(m, 0, "Tone Station", StationUrl());
  LeftClick(m.VrDemoButtonStation[0]);
  ASSERT_TRUE(PumpUntil([&] { return Playing(m.WindowsMediaPlayer); }, 10000));
  for (const char* title : {"First title", "Second title"}) {
    ASSERT_TRUE(SetStationTitle(title));
    EXPECT_TRUE(PumpUntil([&] { return np.Title() == title; }, kTitleArrivesMs)) << np.Title();
    np.Log()->Drain();
    Pump(300);
  }
  EXPECT_EQ(np.LogFailuresReported(), reported + 1);
  EXPECT_NE(np.Tray().LastWarning().find("titles.txt cannot be written"), std::string::npos) << np.Tray().LastWarning();
  EXPECT_TRUE(Playing(m.WindowsMediaPlayer));
  RemoveDirectoryA(InDir("titles.txt").c_str());

  // A log that passes 1 MB keeps its newer half, in whole lines, and the new line.
  std::string big = "\xEF\xBB\xBF";
  for (int i = 0; big.size() <= 1024 * 1024 - 60; ++i)
    big += "2026-01-01 00:00:00\tOld\tOld title " + std::to_string(i) + "\r\n";
  WriteFile("titles.txt", big);
  ASSERT_TRUE(SetStationTitle("Third title"));
  EXPECT_TRUE(PumpUntil([&] { return np.Title() == "Third title"; }, kTitleArrivesMs)) << np.Title();
  np.Log()->Drain();
  const std::string kept = ReadFile(InDir("titles.txt"));
  EXPECT_LT(kept.size(), 600u * 1024);
  EXPECT_GT(kept.size(), 400u * 1024);
  EXPECT_TRUE(kept.starts_with("\xEF\xBB\xBF" "2026-01-01 00:00:00\tOld\tOld title ")) << kept.substr(0, 40);
  EXPECT_TRUE(kept.ends_with("\tTone Station\tThird title\r\n"));
  EXPECT_EQ(np.LogFailuresReported(), reported + 1) << "writing works again";
  LeftClick(m.VrDemoButtonUnplug);
  ASSERT_TRUE(SetStationTitle("Tone 440 Hz"));
}

}  // namespace
