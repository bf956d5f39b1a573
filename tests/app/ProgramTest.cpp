// The shipped program, started in a folder that holds the files a user would have, and
// driven from outside through its own windows: what a damaged settings file does, what
// a start restores, what Exit saves and how soon the process ends, and that closing the
// window any other way saves nothing.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/ProcessDriver.h"
#include "support/UserFiles.h"
#include "base/LineRules.h"
#include "support/SoundCapture.h"
#include "support/WindowTesting.h"

using namespace testing_support;

namespace {

constexpr DWORD kStartTimeout = 30000;
const char* kMainTitle = "Ovexia Tunora";
const char* kFormClass = "TunoraWindow";

struct Started {
  ProcessDriver program;
  HWND main;
};

HWND WaitMain(ProcessDriver& program) { return program.WaitWindow(kFormClass, kMainTitle, kStartTimeout); }

// Clicks Exit: the main window hides at once and the message window shows. Returns how
// long the process took to end after the click (ms), or -1 if it did not end within 10 s.
long ExitAndTime(ProcessDriver& program, HWND main) {
  HWND exit = FindDescendant(main, "Exit");
  if (!exit) return -1;
  const DWORD at = GetTickCount();
  ClickWindow(exit);
  HWND message = program.WaitWindow(kFormClass, "Tunora Message", 3000);
  EXPECT_NE(message, nullptr) << "no message window after Exit";
  EXPECT_FALSE(IsWindowVisible(main)) << "the main window stays on screen after Exit";
  if (program.WaitExit(10000) != 0) return -1;
  return long(GetTickCount() - at);
}

struct Damage {
  const char* name;
  const char* what;
  int line;  // 1-based
  const char* text;
  const char* message;
  const char* bandAfter;  // the band whose group 1 shows, and that Exit saves
};

class DamagedSettings : public ::testing::TestWithParam<Damage> {};

// The message comes, the window shows all the same with group 1 of the band read so
// far, and Exit saves that band and leaves the group file as it was.
TEST_P(DamagedSettings, AreReportedAndTheProgramStartsAndSavesNothingWrong) {
  const Damage& d = GetParam();
  TestFolder dir;
  std::vector<std::string> settings = SettingsLines("Jazz", 50, 60);
  settings[std::size_t(d.line - 1)] = d.text;
  dir.Put("Defaults.ini", base::JoinLines(settings));
  const std::string jazz = GroupFile("Jazz One"), ovexia = GroupFile("Ovexia One");
  dir.Put("Jazz1.dat", jazz);
  dir.Put("Ovexia Radio Network1.dat", ovexia);

  ProcessDriver program(ProgramPath(), dir.Path());
  const std::string message = program.AnswerMessageBox(kStartTimeout);
  EXPECT_EQ(message.rfind(d.message, 0), 0u) << message;
  HWND main = WaitMain(program);
  ASSERT_NE(main, nullptr) << "the program did not show its window after " << d.what;
  const std::string expectedPreset = std::string(d.bandAfter) == "Jazz" ? "Jazz One" : "Ovexia One";
  EXPECT_NE(FindDescendant(main, expectedPreset), nullptr) << "group 1 was not loaded";
  EXPECT_EQ(dir.Content("Defaults.ini.damaged"), base::JoinLines(settings));

  const long ms = ExitAndTime(program, main);
  const auto saved = base::SplitLines(dir.Content("Defaults.ini"));
  ASSERT_EQ(saved.size(), 28u);
  EXPECT_EQ(saved[25], d.bandAfter);
  EXPECT_EQ(dir.Content("Jazz1.dat"), jazz);
  EXPECT_EQ(dir.Content("Ovexia Radio Network1.dat"), ovexia);
  // The window closes at the 25th tick; the process follows (later on a busy machine).
  EXPECT_GE(ms, 2300);
  EXPECT_LE(ms, 6000);
}

INSTANTIATE_TEST_SUITE_P(
    Program, DamagedSettings,
    ::testing::Values(Damage{"BadNumber", "a bad number", 27, "12x", "'12x' is not a valid integer value", "Jazz"},
                      Damage{"RefusedRecordingName", "a refused recording name", 1, "C:\\rec[1].wav",
                             "Invalid file name - C:\\rec[1].wav", "Ovexia Radio Network"},
                      Damage{"UnusableBand", "a band that cannot name files", 26, "..\\up",
                             "\"..\\up\" cannot be the name of a station band", "Ovexia Radio Network"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Program, AStartRestoresTheSettingsAndExitSavesWhereTheWindowWasMoved) {
  TestFolder dir;
  std::vector<std::string> settings = SettingsLines("Jazz", 120, 90);
  settings[2] = "1";  // the second capture driver
  settings[3] = "Kept Station";
  settings[4] = "http://kept/";
  dir.Put("Defaults.ini", base::JoinLines(settings));
  dir.Put("Jazz1.dat", GroupFile("Jazz One"));

  ProcessDriver program(ProgramPath(), dir.Path());
  HWND main = WaitMain(program);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(program.AnswerMessageBox(2000), "");
  const RECT r = ScreenRect(main);
  EXPECT_EQ(r.left, 120);
  EXPECT_EQ(r.top, 90);
  EXPECT_NE(FindDescendant(main, "Jazz One"), nullptr);

  // The history shows the kept station.
  ClickWindow(FindDescendant(main, "Station History"));
  HWND history = program.WaitOtherWindow(kFormClass, main, 5000);
  ASSERT_NE(history, nullptr);
  EXPECT_NE(FindDescendant(history, "Kept Station"), nullptr);
  ClickWindow(FindDescendant(history, "Exit"));
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(history); }, 5000)) << "the history stays open after Exit";

  // The system moves the window; Exit saves where it is.
  SetWindowPos(main, nullptr, 210, 140, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(WaitFor([&] { return ScreenRect(main).left == 210 && ScreenRect(main).top == 140; }));
  ASSERT_GT(ExitAndTime(program, main), 0);
  const auto saved = base::SplitLines(dir.Content("Defaults.ini"));
  ASSERT_EQ(saved.size(), 28u);
  EXPECT_EQ(saved[2], "1") << "the driver index";
  EXPECT_EQ(saved[3], "Kept Station");
  EXPECT_EQ(saved[25], "Jazz");
  EXPECT_EQ(saved[26], "210");
  EXPECT_EQ(saved[27], "140");
}

// Exit while a station plays: the station is heard, then silent from Exit on, and the
// process ends with the window.
TEST(Program, ExitWhileAStationPlaysEndsTheProcessWithTheWindow) {
  const char* url = std::getenv("TUNORA_STATION_MP3");
  ASSERT_NE(url, nullptr) << "run with the local test station (tests/playback/with-station.sh)";
  TestFolder dir;
  dir.Put("Ovexia Radio Network1.dat", GroupFile("Tone", url));
  ProcessDriver program(ProgramPath(), dir.Path());
  HWND main = WaitMain(program);
  ASSERT_NE(main, nullptr);
  // What reaches the sound server, timed from its first samples.
  SoundCapture heard(20000);
  ASSERT_TRUE(heard.Recording()) << "the session's null sink cannot be recorded";
  ASSERT_TRUE(heard.WaitUntilRecording(5000)) << "the null sink delivers nothing";
  const DWORD click = GetTickCount();
  ClickWindow(FindDescendant(main, "Tone"));
  EXPECT_TRUE(heard.WaitHeard(click, 10000)) << "the station was never heard";
  const DWORD exitAt = GetTickCount();
  const long ms = ExitAndTime(program, main);
  // What the sink hears after the end, which a busy machine's capture delivers late: how
  // far it has come is not seen before it is finished, so the time is fixed.
  Sleep(4000);
  heard.Finish(false);
  const DWORD sound = heard.SoundFrom(click);
  ASSERT_NE(sound, 0u) << "the station was never heard";
  EXPECT_LT(sound, exitAt);
  ASSERT_GE(heard.EndTick(), exitAt + DWORD(ms) + 500) << "the recording reaches past the end";
  EXPECT_LT(heard.ToneAt(exitAt + DWORD(ms), 500).rms, 100) << "the station plays on after Exit";
  // The goodbye shows for 25 ticks of 100 ms (longer when the machine is busy).
  EXPECT_GE(ms, 2300);
  EXPECT_LE(ms, 8000);
  EXPECT_EQ(base::SplitLines(dir.Content("Defaults.ini"))[3], "Tone") << "the press was remembered";
}

// A preset and REC clicked the moment the window shows: what the window does not need to
// show comes after the showing, but before the clicks are handled, so the station is
// heard and REC records the stored device's stored format, with no message for being
// early.
TEST(Program, APresetAndRecClickedAsTheWindowShowsPlayAndRecord) {
  const char* url = std::getenv("TUNORA_STATION_MP3");
  ASSERT_NE(url, nullptr) << "run with the local test station (tests/playback/with-station.sh)";
  TestFolder dir;
  dir.Put("Ovexia Radio Network1.dat", GroupFile("Tone", url));
  std::vector<std::string> settings = SettingsLines("Ovexia Radio Network", 100, 100);
  settings[1] = "18";  // an even index: a mono format of the default device
  dir.Put("Defaults.ini", base::JoinLines(settings));
  SoundCapture heard(60000);
  ASSERT_TRUE(heard.Recording()) << "the session's null sink cannot be recorded";
  ProcessDriver program(ProgramPath(), dir.Path());
  HWND main = WaitMain(program);
  ASSERT_NE(main, nullptr);
  const DWORD click = GetTickCount();
  ClickWindow(FindDescendant(main, "Tone"));
  ClickWindow(FindDescendant(main, "REC"));
  // The station plays once its title is in the log (later on a new machine's first run).
  EXPECT_TRUE(WaitFor([&] { return dir.Content("titles.txt").find("\tTone\t") != std::string::npos; }, 30000))
      << "the station did not play";
  EXPECT_TRUE(WaitFor([&] { return FileSize(dir / "webfile.wav") >= 44 + 44100; }, 10000)) << "nothing recorded";
  EXPECT_TRUE(heard.WaitHeard(click, 10000)) << "the station was never heard";
  ClickWindow(FindDescendant(main, "STOP"));
  EXPECT_EQ(program.AnswerMessageBox(1000), "");
  heard.Finish(false);
  EXPECT_NE(heard.SoundFrom(click), 0u) << "the station was never heard";
  const std::string file = dir.Content("webfile.wav");
  ASSERT_GE(file.size(), 44u + 44100) << "a second and more recorded";
  EXPECT_EQ(file[22], 1) << "the stored format (a mono one), not the default";
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitExit(15000), 0);
}

// The tray icon's menu: Exit there is the main window's Exit, and the title that played
// is in the title log.
TEST(Program, ExitFromTheTrayMenuSavesAsExitDoes) {
  const char* url = std::getenv("TUNORA_STATION_MP3");
  ASSERT_NE(url, nullptr) << "run with the local test station (tests/playback/with-station.sh)";
  TestFolder dir;
  dir.Put("Ovexia Radio Network1.dat", GroupFile("Tone", url));
  ProcessDriver program(ProgramPath(), dir.Path());
  HWND main = WaitMain(program);
  ASSERT_NE(main, nullptr);
  ClickWindow(FindDescendant(main, "Tone"));  // played once the connection is known
  HWND tray = nullptr;
  EXPECT_TRUE(WaitFor([&] {
    for (const TopWindow& w : program.Windows())
      if (w.className == "TunoraTrayWindow") tray = w.hwnd;
    return tray != nullptr;
  }));
  ASSERT_NE(tray, nullptr) << "no tray icon window";
  EXPECT_TRUE(WaitFor(
      [&] { return dir.Content("titles.txt").find("\tTone\tTone 440 Hz\r\n") != std::string::npos; },
      30000))
      << "the title played is not in the title log";
  // Up from no selection reaches the last entry, Exit.
  std::atomic<bool> pressed{false};
  std::thread keys = PressMenuKeys({VK_UP, VK_RETURN}, &pressed);
  PostMessageA(tray, WM_APP + 71, 1, WM_RBUTTONUP);
  keys.join();
  ASSERT_TRUE(pressed);
  EXPECT_NE(program.WaitWindow(kFormClass, "Tunora Message", 2000), nullptr) << "no message window after Exit";
  EXPECT_EQ(program.WaitExit(10000), 0);
  EXPECT_EQ(base::SplitLines(dir.Content("Defaults.ini"))[3], "Tone") << "Exit saved the settings";
}

TEST(Program, ClosingTheWindowByTheSystemSavesNothing) {
  TestFolder dir;
  ProcessDriver program(ProgramPath(), dir.Path());
  HWND main = WaitMain(program);
  ASSERT_NE(main, nullptr);
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitExit(5000), 0);
  EXPECT_FALSE(dir.Has("Defaults.ini"));
  EXPECT_FALSE(dir.Has("Ovexia Radio Network1.dat"));
}

}  // namespace
