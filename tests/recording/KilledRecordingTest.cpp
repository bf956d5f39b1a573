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

#include "app/ProcessDriver.h"

using namespace testing_support;

extern std::vector<std::string> TestArguments;

namespace {

std::string KillDir() {
  const char* d = std::getenv("TUNORA_KILL_DIR");
  return d ? d : "";
}

std::string ProgramPath() {
  std::string p = TestArguments.empty() ? std::string("tunora.exe") : TestArguments[0];
  if (!p.empty() && p[0] == '/') p = "Z:" + p;
  return p;
}

struct FindMain {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK MatchMain(HWND h, LPARAM lp) {
  auto* f = reinterpret_cast<FindMain*>(lp);
  DWORD owner = 0;
  GetWindowThreadProcessId(h, &owner);
  char title[64] = "";
  GetWindowTextA(h, title, sizeof title);
  if (owner == f->pid && IsWindowVisible(h) && std::strcmp(title, "Ovexia Tunora") == 0) f->found = h;
  return f->found == nullptr;
}

HWND MainWindowOf(DWORD pid) {
  FindMain f{pid, nullptr};
  EnumWindows(MatchMain, reinterpret_cast<LPARAM>(&f));
  return f.found;
}

// Starts the program in the folder, presses REC and leaves it recording.
TEST(KilledRecording, Starts) {
  ASSERT_FALSE(KillDir().empty()) << "run by tests/recording/kill-during-recording.sh";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string cmd = "\"" + ProgramPath() + "\"";
  ASSERT_TRUE(CreateProcessA(ProgramPath().c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, KillDir().c_str(),
                             &si, &pi));
  HWND main = nullptr;
  for (int i = 0; i < 1500 && !main; ++i, Sleep(20)) main = MainWindowOf(pi.dwProcessId);
  ASSERT_NE(main, nullptr);
  HWND rec = FindDescendant(main, "REC");
  ASSERT_NE(rec, nullptr);
  ClickWindow(rec);
  const std::string file = KillDir() + "\\webfile.wav";
  WIN32_FILE_ATTRIBUTE_DATA a{};
  bool growing = false;
  for (int i = 0; i < 250 && !growing; ++i, Sleep(20))
    growing = GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &a) && a.nFileSizeLow > 46;
  EXPECT_TRUE(growing) << "the recording did not start";
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

TEST(KilledRecording, LeftAPlayableFile) {
  std::ifstream in(KillDir() + "\\webfile.wav", std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  const std::string file = s.str();
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
    ScopedTempDir dir;
    ProcessDriver program(ProgramPath(), dir.Path());
    HWND main = program.WaitWindow("TunoraWindow", "Ovexia Tunora", 30000);
    ASSERT_NE(main, nullptr);
    ClickWindow(FindDescendant(main, "REC"));
    Sleep(3000);
    if (byExit)
      ClickWindow(FindDescendant(main, "Exit"));
    else
      PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_EQ(program.WaitExit(10000), 0) << (byExit ? "Exit" : "close");
    std::ifstream in(dir.Path() + "\\webfile.wav", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    const std::string file = s.str();
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
// says it again.
TEST(NoDirectSound, TheStartSaysSoAndTheSettingsAreLoaded) {
  ScopedTempDir dir;
  std::string settings = "webfile.wav\r\n19\r\n0\r\n";
  for (int k = 0; k < 11; ++k) settings += "none\r\nEmpty\r\n";
  settings += "Jazz\r\n120\r\n90\r\n";
  std::ofstream(dir.Path() + "\\Defaults.ini", std::ios::binary) << settings;
  std::ofstream(dir.Path() + "\\Jazz1.dat", std::ios::binary) << "Jazz One\r\nhttp://jazz/\r\n";
  ProcessDriver program(ProgramPath(), dir.Path());
  EXPECT_EQ(program.AnswerMessageBox(30000), "Necessary since DirectX 5");
  HWND main = program.WaitWindow("TunoraWindow", "Ovexia Tunora", 30000);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(ScreenRect(main).left, 120) << "the settings were loaded";
  EXPECT_NE(FindDescendant(main, "Jazz One"), nullptr);
  ClickWindow(FindDescendant(main, "REC"));
  EXPECT_EQ(program.AnswerMessageBox(5000), "Necessary since DirectX 5");
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitExit(10000), 0);
}

}  // namespace
