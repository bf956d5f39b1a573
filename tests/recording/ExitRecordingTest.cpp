// Exit while the shipped program records: what STOP would tell (here the sound that a
// hold-up of the program lost) is told before the goodbye, while the main window still
// shows, and the program ends with the recording finished.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>

#include "support/ProcessDriver.h"
#include "support/WindowTesting.h"

using namespace testing_support;

TEST(ProgramRecording, ExitTellsTheSoundLostBeforeTheGoodbye) {
  ScopedTempDir dir;
  ProcessDriver program(ProgramPath(), dir.Path());
  HWND main = program.WaitWindow("TunoraWindow", "Ovexia Tunora", 30000);
  ASSERT_NE(main, nullptr);
  HWND rec = FindDescendant(main, "REC");
  ASSERT_NE(rec, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(rec) != FALSE; }, 10000)) << "REC is never enabled";
  ClickWindow(rec);
  // A second of sound, then the program held up for longer than its capture buffer lasts.
  const std::string file = dir.Path() + "\\webfile.wav";
  WIN32_FILE_ATTRIBUTE_DATA a{};
  bool recording = false;
  for (int i = 0; i < 750 && !recording; ++i, Sleep(20))
    recording = GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &a) && a.nFileSizeLow > 46 + 176400;
  ASSERT_TRUE(recording) << "the recording did not start";
  HANDLE ui = OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(main, nullptr));
  ASSERT_NE(ui, nullptr);
  SuspendThread(ui);
  Sleep(2500);
  ResumeThread(ui);
  CloseHandle(ui);
  Sleep(300);

  ClickWindow(FindDescendant(main, "Exit"));
  bool boxShown = false, mainShown = false, goodbyeShown = true;
  for (int i = 0; i < 250 && !boxShown; ++i, Sleep(20))
    for (const TopWindow& w : program.Windows())
      if (w.visible && w.className == "#32770") {
        boxShown = true;
        mainShown = IsWindowVisible(main) != FALSE;
        goodbyeShown = program.EverShowed("TunoraWindow", "Tunora Message");
      }
  ASSERT_TRUE(boxShown) << "Exit told nothing";
  EXPECT_TRUE(mainShown) << "told after the main window went";
  EXPECT_FALSE(goodbyeShown) << "told after the goodbye";
  const std::string text = program.AnswerMessageBox(2000);
  EXPECT_NE(text.find("seconds of sound were lost during the recording"), std::string::npos) << text;
  EXPECT_EQ(program.WaitExit(15000), 0);

  // The recording is finished: its header describes the whole file.
  HANDLE f = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(f, INVALID_HANDLE_VALUE);
  unsigned char header[46];
  DWORD got = 0;
  ReadFile(f, header, sizeof header, &got, nullptr);
  const DWORD size = GetFileSize(f, nullptr);
  CloseHandle(f);
  ASSERT_EQ(got, 46u);
  std::uint32_t riff, data;
  std::memcpy(&riff, header + 4, 4);
  std::memcpy(&data, header + 42, 4);
  EXPECT_EQ(riff, size - 8);
  EXPECT_EQ(data, size - 46);
}
