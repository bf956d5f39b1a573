// The shipped program driven from outside: "About" shows the about box and OK closes it;
// "Mixer" on a system without a volume control says so.
#include <gtest/gtest.h>

#include "support/ProcessDriver.h"
#include "info/LauncherRules.h"

using namespace testing_support;

namespace {

TEST(ProgramInfo, AboutShowsTheBoxOkClosesItAndMixerTellsThatNoVolumeControlWasFound) {
  TestFolder dir;
  ProcessDriver program(ProgramPath(), dir.Path());
  HWND main = program.WaitWindow("TunoraWindow", "Ovexia Tunora", 30000);
  ASSERT_NE(main, nullptr);

  ClickWindow(FindDescendant(main, "About"));
  HWND about = program.WaitWindow("TunoraWindow", "About Ovexia Tunora", 5000);
  ASSERT_NE(about, nullptr) << "\"About\" shows no box";
  const RECT r = ScreenRect(about);
  EXPECT_EQ(r.right - r.left, 560);
  EXPECT_EQ(r.bottom - r.top, 417);
  EXPECT_FALSE(IsWindowEnabled(main)) << "the box is modal";
  ClickWindow(FindDescendant(about, "OK"));
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(about); }, 5000)) << "OK leaves the box open";
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(main) != FALSE; }, 5000)) << "the main window stays disabled";

  ClickWindow(FindDescendant(main, "Mixer"));
  EXPECT_EQ(program.AnswerMessageBox(5000), info::kNoMixerMessage);
  EXPECT_TRUE(program.Running());

  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitExit(5000), 0);
}

}  // namespace
