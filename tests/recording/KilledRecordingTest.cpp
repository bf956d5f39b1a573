// The shipped program killed while it records (by tests/recording/kill-during-recording.sh,
// which sends SIGKILL between the two halves below): the file it leaves behind is a WAVE
// file whose header describes all but the last couple of seconds, and those seconds are
// the tone, unbroken.
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "support/ProcessDriver.h"
#include "support/UserFiles.h"
#include "support/WindowTesting.h"

using namespace testing_support;

namespace {

std::string KillDir() {
  const char* d = std::getenv("TUNORA_KILL_DIR");
  return d ? d : "";
}

// What the program shows besides its main window (a message box says why it does not
// record).
std::string OtherWindows(ProcessDriver& program) {
  std::string out;
  for (const TopWindow& w : program.Windows()) {
    if (!w.visible || w.title == "Ovexia Tunora") continue;
    out += " [" + w.className + " \"" + w.title + "\"";
    if (w.className == "#32770") out += ": " + MessageBoxText(w.hwnd);
    out += "]";
  }
  return out;
}

// Starts the program in the folder, presses REC and leaves it recording. The program is
// ended here if it does not record, so that no copy of it outlives a failure.
TEST(KilledRecording, Starts) {
  ASSERT_FALSE(KillDir().empty()) << "run by tests/recording/kill-during-recording.sh";
  ProcessDriver program(ProgramPath(), KillDir());
  HWND main = program.WaitWindow("TunoraWindow", "Ovexia Tunora", 30000);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(PressRec(main)) << "REC is never enabled";
  ASSERT_TRUE(WaitFor([&] { return FileSize(KillDir() + "\\webfile.wav") > 46; }, 15000))
      << "the recording did not start; other windows:" << OtherWindows(program);
  program.Detach();
}

TEST(KilledRecording, LeftAPlayableFile) {
  const std::string file = ReadFileBytes(KillDir() + "\\webfile.wav");
  ASSERT_GT(file.size(), 46u);
  auto at32 = [&](std::size_t i) {
    std::uint32_t v;
    std::memcpy(&v, file.data() + i, 4);
    return v;
  };
  EXPECT_EQ(file.substr(0, 4), "RIFF");
  EXPECT_EQ(file.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(file.substr(38, 4), "data");
  const std::uint32_t described = at32(42);
  EXPECT_EQ(at32(4), described + 38) << "the RIFF size and the data size were written together";
  const std::size_t written = file.size() - 46;
  // About 7 s were recorded; the header was last brought up to date at most 2 s (and a
  // notification) before the kill.
  EXPECT_GE(described, 4u * 176400);
  EXPECT_LE(described, written);
  EXPECT_LE(written - described, std::size_t(2.3 * 176400));
  EXPECT_EQ(described % 4, 0u);
  // What the header describes is the tone, unbroken.
  int crossings = 0;
  std::int16_t previous = 0;
  for (std::size_t i = 46 + 8820 * 4; i + 3 < 46 + described; i += 4) {
    std::int16_t v;
    std::memcpy(&v, file.data() + i, 2);
    if (previous < 0 && v >= 0) ++crossings;
    previous = v;
  }
  const double seconds = (double(described) / 4 - 8820) / 44100;
  EXPECT_NEAR(crossings / seconds, 440.0, 2.0);
}

// Exit, and closing the window by the system, finish a running recording: the header
// then describes every byte.
TEST(ProgramRecording, ExitOrCloseWhileRecordingFinishesTheFile) {
  for (const bool byExit : {true, false}) {
    TestFolder dir;
    ProcessDriver program(ProgramPath(), dir.Path());
    HWND main = program.WaitWindow("TunoraWindow", "Ovexia Tunora", 30000);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(PressRec(main)) << "REC is never enabled";
    // Wine's capture gives its first sound after a second or two, now and then more.
    ASSERT_TRUE(WaitFor([&] { return FileSize(dir / "webfile.wav") > 46 + 8820; }, 15000)) << "nothing recorded";
    if (byExit)
      ClickWindow(FindDescendant(main, "Exit"));
    else
      PostMessageA(main, WM_CLOSE, 0, 0);
    // A machine too busy may have held the capture up: then the sound lost is told first.
    long code = -1;
    for (int i = 0; i < 20 && code == -1; ++i) {
      code = program.WaitExit(500);
      if (code != -1) break;
      const std::string told = program.AnswerMessageBox(10);
      if (!told.empty()) {
        EXPECT_NE(told.find("seconds of sound were lost"), std::string::npos) << told;
      }
    }
    ASSERT_EQ(code, 0) << (byExit ? "Exit" : "close");
    const std::string file = dir.Content("webfile.wav");
    ASSERT_GT(file.size(), 46u + 8820) << (byExit ? "Exit" : "close");
    std::uint32_t riff, data;
    std::memcpy(&riff, file.data() + 4, 4);
    std::memcpy(&data, file.data() + 42, 4);
    EXPECT_EQ(riff, file.size() - 8) << (byExit ? "Exit" : "close");
    EXPECT_EQ(data, file.size() - 46) << (byExit ? "Exit" : "close");
  }
}

// Without DirectSound the program still loads (nothing imports it), says what is
// missing, and loads the settings all the same, so that the next Exit keeps them; REC
// then records the playing station, the one source that needs no DirectSound.
TEST(NoDirectSound, TheStartSaysSoAndTheSettingsAreLoaded) {
  TestFolder dir;
  std::vector<std::string> settings = SettingsLines("Jazz", 120, 90);
  settings[1] = "19";  // a format of the device's list
  dir.Put("Defaults.ini", base::JoinLines(settings));
  dir.Put("Jazz1.dat", GroupFile("Jazz One", "http://jazz/"));
  ProcessDriver program(ProgramPath(), dir.Path());
  EXPECT_EQ(program.AnswerMessageBox(30000), "Necessary since DirectX 5");
  HWND main = program.WaitWindow("TunoraWindow", "Ovexia Tunora", 30000);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(ScreenRect(main).left, 120) << "the settings were loaded";
  EXPECT_NE(FindDescendant(main, "Jazz One"), nullptr);
  // The playing station, the one source left, records without DirectSound.
  ClickWindow(FindDescendant(main, "REC"));
  EXPECT_EQ(program.AnswerMessageBox(2000), "");
  ClickWindow(FindDescendant(main, "STOP"));
  // Readable once STOP has let go of it.
  EXPECT_TRUE(WaitFor([&] { return dir.Content("webfile.wav").size() > 46; })) << "nothing recorded";
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitExit(10000), 0);
}

}  // namespace
