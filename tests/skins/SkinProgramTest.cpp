// The skin in the shipped program, driven from outside: the layout carried with the
// real mouse and saved by Exit into currentskin.skn, restored by the next start, and a
// damaged currentskin.skn reported while the program starts all the same.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <sstream>

#include "support/ProcessDriver.h"
#include "support/UserFiles.h"
#include "base/LineRules.h"
#include "support/BuiltInSkin.h"
#include "support/WindowTesting.h"

using namespace testing_support;

namespace {

const char* kFormClass = "TunoraWindow";

HWND WaitMain(ProcessDriver& program) {
  return program.WaitWindow(kFormClass, "Ovexia Tunora", 30000);
}

// Where a window lies in the main window's client area.
POINT InMain(HWND main, HWND child) {
  const RECT r = ScreenRect(child);
  POINT p{r.left, r.top};
  ScreenToClient(main, &p);
  return p;
}

bool ExitProgram(ProcessDriver& program, HWND main) {
  HWND exit = FindDescendant(main, "Exit");
  if (!exit) return false;
  // A message box just answered gives the window back a moment later: a click before
  // that finds it still disabled and is lost.
  if (!WaitFor([&] { return IsWindowEnabled(main) != FALSE; }, 5000)) return false;
  ClickWindow(exit);
  return program.WaitExit(10000) == 0;
}

TEST(ProgramSkin, ACarriedBlockIsSavedByExitAndRestoredByTheNextStart) {
  TestFolder dir;
  std::vector<std::string> skin = BuiltInSkinLines();
  skin[1] = "$00FF8040";  // the main window's active colour
  dir.Put("currentskin.skn", base::JoinLines(skin));
  {
    ProcessDriver program(ProgramPath(), dir.Path());
    HWND main = WaitMain(program);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(program.AnswerMessageBox(0), "");
    SetWindowPos(main, HWND_TOP, 50, 40, 0, 0, SWP_NOSIZE);
    EXPECT_TRUE(WaitFor([&] { return ScreenRect(main).left == 50 && ScreenRect(main).top == 40; }));
    std::atomic<bool> chosen;
    // The fourth entry, after "Drop Current Object", the display and the fader block.
    std::thread menu = PressMenuKeys({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, &chosen);
    RealClick({50 + 262, 40 + 150}, true);
    menu.join();
    ASSERT_TRUE(chosen);
    HWND bandButton = FindDescendant(main, "Choose Station Band");
    ASSERT_NE(bandButton, nullptr);
    // The block follows the pointer one pixel below and right of it.
    RealMove({50 + 265, 40 + 100});
    EXPECT_TRUE(WaitFor([&] { return InMain(main, bandButton).x == 266 + 4; }));
    RealMove({50 + 262, 40 + 20});
    WaitFor([&] { return InMain(main, bandButton).x == 263 + 4; });
    const POINT p = InMain(main, bandButton);
    EXPECT_EQ(p.x, 263 + 4) << "the band block's button follows the block";
    EXPECT_EQ(p.y, 21 + 3);
    ASSERT_TRUE(ExitProgram(program, main));
  }
  std::vector<std::string> saved = base::SplitLines(dir.Content("currentskin.skn"));
  ASSERT_EQ(saved.size(), 42u);
  EXPECT_EQ(saved[14], "263");
  EXPECT_EQ(saved[15], "21");
  std::vector<std::string> expected = skin;
  expected[14] = "263", expected[15] = "21";
  EXPECT_EQ(saved, expected) << "every other value as it was read";

  ProcessDriver again(ProgramPath(), dir.Path());
  HWND main = WaitMain(again);
  ASSERT_NE(main, nullptr);
  const POINT p = InMain(main, FindDescendant(main, "Choose Station Band"));
  EXPECT_EQ(p.x, 263 + 4);
  EXPECT_EQ(p.y, 21 + 3);
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(again.WaitExit(5000), 0);
}

struct DamagedSkin {
  const char* name;
  std::string text;
  const char* message;  // "" when none comes, nullptr for any
};

class ProgramSkinDamaged : public ::testing::TestWithParam<DamagedSkin> {};

// The message comes (or none, for what can be read), and the program starts all the
// same with its settings and group 1, and Exit works.
TEST_P(ProgramSkinDamaged, IsReportedAndTheProgramRuns) {
  TestFolder dir;
  dir.Put("currentskin.skn", GetParam().text);
  dir.Put("Ovexia Radio Network1.dat", GroupFile("Kept", "http://kept/"));
  ProcessDriver program(ProgramPath(), dir.Path());
  HWND main = WaitMain(program);
  ASSERT_NE(main, nullptr);
  const char* expected = GetParam().message;
  const std::string seen = program.AnswerMessageBox(!expected || *expected ? 5000 : 1000);
  if (expected)
    EXPECT_EQ(seen, expected);
  else
    EXPECT_NE(seen, "") << "a message of some kind";
  EXPECT_TRUE(IsWindowVisible(main));
  EXPECT_NE(FindDescendant(main, "Kept"), nullptr) << "group 1 is loaded all the same";
  ASSERT_TRUE(ExitProgram(program, main));
  EXPECT_EQ(base::SplitLines(dir.Content("currentskin.skn")).size(), 42u);
}

std::vector<DamagedSkin> DamagedSkins() {
  std::vector<std::string> badColour = BuiltInSkinLines();
  badColour[5] = "clTeel";
  std::vector<std::string> absurd = BuiltInSkinLines();
  absurd[14] = "2000000000", absurd[15] = "-2000000000";
  std::string binary;
  for (int i = 0; i < 3000; ++i) binary += char((i * 73 + 11) % 256);
  std::vector<std::string> longLines = BuiltInSkinLines();
  longLines[0] = std::string(300000, 'p');
  return {{"BadColour", base::JoinLines(badColour), "'clTeel' is not a valid integer value"},
          {"Short", base::JoinLines({"default", "clAqua", "clTeal"}), "'' is not a valid integer value"},
          {"Binary", binary, nullptr},
          {"LongLines", base::JoinLines(longLines), "'' is not a valid integer value"},
          {"AbsurdPositions", base::JoinLines(absurd), ""}};
}

INSTANTIATE_TEST_SUITE_P(Program, ProgramSkinDamaged, ::testing::ValuesIn(DamagedSkins()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
