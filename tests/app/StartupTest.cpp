// The program's start as a user meets it, driven from a separate process. The scenarios
// that need a machine without a player or sound device run in a prefix of their own
// (see tests/app/scenario.sh); the test's first argument is the program to start.
#include <gtest/gtest.h>

#include "support/ProcessDriver.h"
#include "support/WindowTesting.h"

using namespace testing_support;

namespace {

constexpr DWORD kStartTimeout = 30000;
const char* kMainTitle = "Ovexia Tunora";
const char* kFormClass = "TunoraWindow";
const char* kStationEntry = "Playing Station (direct)";

RECT ClientOnScreen(HWND h) {
  RECT r;
  GetClientRect(h, &r);
  MapWindowPoints(h, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

}  // namespace

TEST(Startup, ShowsTheCentredMainWindowAndEndsWithCodeZeroWhenClosed) {
  TestFolder dir;
  ProcessDriver program(ProgramPath(), dir.Path());
  HWND main = program.WaitWindow(kFormClass, kMainTitle, kStartTimeout);
  ASSERT_NE(main, nullptr) << "no main window appeared";

  const RECT r = ClientOnScreen(main);
  EXPECT_EQ(r.right - r.left, 601);
  EXPECT_EQ(r.bottom - r.top, 352);
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_NEAR((r.left + r.right) / 2, (work.left + work.right) / 2, 1);
  EXPECT_NEAR((r.top + r.bottom) / 2, (work.top + work.bottom) / 2, 1);
  // Frameless: the window is exactly its client area.
  RECT wr;
  GetWindowRect(main, &wr);
  EXPECT_EQ(wr.right - wr.left, 601);
  EXPECT_EQ(GetWindowLongA(main, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0);

  // The splash window is gone once the main window shows; the other windows make theirs
  // when they are first shown.
  int visible = 0, forms = 0;
  for (const auto& w : program.Windows()) {
    if (w.className != kFormClass) continue;
    ++forms;
    if (w.visible) ++visible;
    EXPECT_NE(w.title, "Ovexia - The professional digital audio system") << "the splash window was not destroyed";
  }
  EXPECT_EQ(forms, 1);
  EXPECT_EQ(visible, 1);

  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitExit(15000), 0);
}

TEST(Startup, ASecondCopyEndsAtOnceWithoutAnyWindow) {
  TestFolder dir1, dir2;
  ProcessDriver first(ProgramPath(), dir1.Path());
  HWND main = first.WaitWindow(kFormClass, kMainTitle, kStartTimeout);
  ASSERT_NE(main, nullptr);

  ProcessDriver second(ProgramPath(), dir2.Path());
  bool sawWindow = false;
  EXPECT_TRUE(WaitFor(
      [&] {
        for (const auto& w : second.Windows()) sawWindow |= w.visible;
        return !second.Running();
      },
      10000))
      << "the second copy still runs after 10 s";
  EXPECT_EQ(second.WaitExit(1000), 0);
  EXPECT_FALSE(sawWindow);
  // The running copy is not disturbed.
  EXPECT_TRUE(IsWindowVisible(main));
  EXPECT_TRUE(first.Running());

  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(first.WaitExit(15000), 0);
}

// Run without the media player's class key and without any sound server.
TEST(NoEnvironment, BothMessagesComeInOrderAndNoMainWindowAppears) {
  TestFolder dir;
  ProcessDriver program(ProgramPath(), dir.Path());
  EXPECT_EQ(program.AnswerMessageBox(kStartTimeout), "Please install the Windows Media Player ");
  EXPECT_EQ(program.AnswerMessageBox(kStartTimeout), "No Sound Card found!");
  EXPECT_EQ(program.WaitExit(15000), 0);
  // Every look at the process's windows while it ran counts, not only one after its end.
  EXPECT_FALSE(program.EverShowed(kFormClass, kMainTitle));
}

// The drop-down list that holds the playing station's entry.
BOOL CALLBACK FindStationEntry(HWND h, LPARAM found) {
  char cls[16] = "";
  GetClassNameA(h, cls, sizeof cls);
  if (std::string(cls) != "ComboBox" || SendMessageA(h, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(kStationEntry)) == CB_ERR)
    return TRUE;
  *reinterpret_cast<HWND*>(found) = h;
  return FALSE;
}

// Run with a sound output device but no capture device.
TEST(OutputOnly, TheChecksPassWithoutACaptureDevice) {
  TestFolder dir;
  ProcessDriver program(ProgramPath(), dir.Path());
  HWND main = program.WaitWindow(kFormClass, kMainTitle, kStartTimeout);
  ASSERT_NE(main, nullptr) << "the checks refused a machine with an output device";
  // No check refuses the machine; the first showing then tells, once, that recording has
  // no device.
  EXPECT_EQ(program.AnswerMessageBox(5000), "DirectSoundCapture cannot be initialized");
  EXPECT_EQ(program.AnswerMessageBox(1500), "");

  // The playing station needs no capture device: chosen under Options, REC records
  // (silence, with no station playing) and STOP leaves the file.
  ClickWindow(FindDescendant(main, "Options"));
  HWND options = program.WaitOtherWindow(kFormClass, main, 5000);
  ASSERT_NE(options, nullptr);
  HWND drivers = nullptr;
  EnumChildWindows(options, FindStationEntry, LPARAM(&drivers));
  ASSERT_NE(drivers, nullptr) << "no Audio Driver entry for the playing station";
  const LRESULT direct = SendMessageA(drivers, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(kStationEntry));
  SendMessageA(drivers, CB_SETCURSEL, WPARAM(direct), 0);
  SendMessageA(GetParent(drivers), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(drivers), CBN_SELCHANGE), LPARAM(drivers));
  ClickWindow(FindDescendant(options, "Save and Exit"));
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(options); }, 5000)) << "the options stay open after Save and Exit";
  ClickWindow(FindDescendant(main, "REC"));
  EXPECT_TRUE(WaitFor([&] { return FileSize(dir / "webfile.wav") >= 46 + 176400; }, 15000)) << "nothing recorded";
  ClickWindow(FindDescendant(main, "STOP"));
  // Nothing, or the truth about a machine too busy to keep up with the capture.
  const std::string said = program.AnswerMessageBox(1000);
  EXPECT_TRUE(said.empty() || said.find("seconds of sound were lost") != std::string::npos) << said;
  const std::string file = dir.Content("webfile.wav");
  EXPECT_GE(file.size(), 46u + 176400) << "a second and more recorded";
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitExit(15000), 0);
}
