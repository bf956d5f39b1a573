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
  TestFolder dir;
  ProcessDriver program(ProgramPath(), dir.Path());
  HWND main = program.WaitWindow("TunoraWindow", "Ovexia Tunora", 30000);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(PressRec(main)) << "REC is never enabled";
  // A second of sound, then the program held up for longer than its capture buffer lasts.
  ASSERT_TRUE(WaitFor([&] { return FileSize(dir / "webfile.wav") > 46 + 176400; }, 15000))
      << "the recording did not start";
  HANDLE ui = OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(main, nullptr));
  ASSERT_NE(ui, nullptr);
  SuspendThread(ui);
  const std::uint64_t held = FileSize(dir / "webfile.wav");
  Sleep(2500);  // the hold-up itself, of a fixed length
  ResumeThread(ui);
  CloseHandle(ui);
  // The program has noticed the loss once it writes again.
  ASSERT_TRUE(WaitFor([&] { return FileSize(dir / "webfile.wav") > held; }, 10000)) << "the recording never went on";

  ClickWindow(FindDescendant(main, "Exit"));
  bool mainShown = false, goodbyeShown = true;
  ASSERT_TRUE(WaitFor([&] {
    for (const TopWindow& w : program.Windows())
      if (w.visible && w.className == "#32770") {
        mainShown = IsWindowVisible(main) != FALSE;
        goodbyeShown = program.EverShowed("TunoraWindow", "Tunora Message");
        return true;
      }
    return false;
  })) << "Exit told nothing";
  EXPECT_TRUE(mainShown) << "told after the main window went";
  EXPECT_FALSE(goodbyeShown) << "told after the goodbye";
  const std::string text = program.AnswerMessageBox(2000);
  EXPECT_NE(text.find("seconds of sound were lost during the recording"), std::string::npos) << text;
  EXPECT_EQ(program.WaitExit(15000), 0);

  // The recording is finished: its header describes the whole file.
  const std::string file = dir.Content("webfile.wav");
  ASSERT_GE(file.size(), 46u);
  const DWORD size = DWORD(file.size());
  std::uint32_t riff, data;
  std::memcpy(&riff, file.data() + 4, 4);
  std::memcpy(&data, file.data() + 42, 4);
  EXPECT_EQ(riff, size - 8);
  EXPECT_EQ(data, size - 46);
}
