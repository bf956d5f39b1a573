// The notification area's texts come from station names and titles that others wrote
// (shared group files, a station's stream): however long, they are cut to the shell's
// fixed fields. The program is built with the stack protector, so a write past a field
// ends this test with a report.
#include <gtest/gtest.h>

#include <string>

namespace {
std::string Repeat(const std::string& piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}
}  // namespace

#include "nowplaying/TrayIcon.h"

TEST(TrayIcon, TextsFarLongerThanTheShellsFieldsAreCutToThem) {
  nowplaying::TrayIcon tray;
  tray.Show(std::string(400, 'T'));  // refused or not, each call below fills its fields
  EXPECT_EQ(tray.Tip(), std::string(127, 'T'));
  const std::string name = std::string(70, 'N') + "\xE2\x82\xAC";
  for (const std::string& text : {std::string(300, 'm'), std::string(2000, 'x'), Repeat("\xC3\xA9", 600)}) {
    tray.Notify(name, text);
    tray.Notify(name + " warns", text, true);
    tray.SetTip(text);
  }
  EXPECT_EQ(tray.Notifications(), 3);
  EXPECT_EQ(tray.Warnings(), 3);
  EXPECT_EQ(tray.LastNotification(), name + "\n" + Repeat("\xC3\xA9", 600));
  EXPECT_EQ(tray.Tip(), Repeat("\xC3\xA9", 127)) << "cut on whole characters";
}
