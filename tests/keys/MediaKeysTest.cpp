// The media keys on the started program: as WM_APPCOMMAND and as keys with its window
// active, and as the hot keys it registers for while another program is active; keys that
// another window holds are told, and keys.ini switches the global ones off.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/MainForm.h"
#include "base/TextFile.h"
#include "support/MainWindowView.h"
#include "support/StartedProgram.h"
#include "support/StationTesting.h"
#include "support/Waiting.h"
#include "support/WindowTesting.h"

using namespace testing_support;

namespace {

std::string Folder() {
  return ProgramFolder().Path();
}

void AppCommand(HWND to, int command) {
  SendMessageA(to, WM_APPCOMMAND, WPARAM(to), MAKELPARAM(0, command | FAPPCOMMAND_KEY));
}

void RealKey(WORD key) {
  INPUT input[2]{};
  for (INPUT& i : input) {
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = key;
  }
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, input, sizeof(INPUT));
}

TEST(MediaKeys, WorkWithTheWindowActiveAndStepThroughThePresetsThatHoldAStation) {
  REQUIRE_STATION("TUNORA_STATION_AAC");
  TMainForm& m = StartedProgram(std::make_shared<TestConnection>());
  MainWindowView& w = View(m);
  EXPECT_EQ(w.MediaKeys.Registered(), (std::vector<std::string>{"Play/Pause", "Stop", "Next", "Previous"}));
  const char* names[] = {"MP3", "none", "AAC"};
  const char* urls[] = {StationAddress("TUNORA_STATION_MP3"), "http://127.0.0.1:1/",
                        StationAddress("TUNORA_STATION_AAC")};
  for (int k = 0; k < TMainForm::kPresets; ++k) {
    w.VrDemoButtonStation[k].SetCaption(k < 3 ? names[k] : "none");
    w.EditStationURL[k].SetText(k < 3 ? urls[k] : "");
  }
  SetForegroundWindow(m.Handle());
  const auto plays = [&](const std::string& name) {
    return WaitFor([&] { return Playing(w.WindowsMediaPlayer) && m.Monitor().currentStationName == name; }, 10000);
  };
  // A key posted to the focused control, as the keyboard sends it.
  HWND focus = GetFocus() ? GetFocus() : m.Handle();
  PostMessageA(focus, WM_KEYDOWN, VK_MEDIA_PLAY_PAUSE, 1);
  EXPECT_TRUE(plays("MP3")) << "the first preset that holds a station";
  AppCommand(m.Handle(), APPCOMMAND_MEDIA_NEXTTRACK);
  EXPECT_TRUE(plays("AAC")) << "the empty preset is passed";
  // The real key, which the program's hot key takes.
  RealKey(VK_MEDIA_NEXT_TRACK);
  EXPECT_TRUE(plays("MP3")) << "round the group";
  AppCommand(m.Handle(), APPCOMMAND_MEDIA_STOP);
  EXPECT_TRUE(WaitFor([&] { return w.LabelStation.Caption() == "none"; }, 2000));
  EXPECT_FALSE(Playing(w.WindowsMediaPlayer));

  m.SetVolume(600);
  AppCommand(m.Handle(), APPCOMMAND_VOLUME_DOWN);
  EXPECT_EQ(w.VrScrollBarPlayer1.Position(), 550);
  AppCommand(m.Handle(), APPCOMMAND_VOLUME_MUTE);
  EXPECT_EQ(w.WindowsMediaPlayer.settings().volume(), 0);
  PostMessageA(focus, WM_KEYDOWN, VK_VOLUME_MUTE, 1);
  EXPECT_TRUE(WaitFor([&] { return w.VrScrollBarPlayer1.Position() == 550; }, 1000));
  m.SetVolume(1000);
}

// Another window holds Stop: the program registers the others and names Stop; keys.ini
// switches the global keys off.
TEST(MediaKeys, KeysHeldElsewhereAreToldAndKeysIniSwitchesThemOff) {
  TMainForm& m = StartedProgram(std::make_shared<TestConnection>());
  MainWindowView& w = View(m);
  w.MediaKeys.Unregister();
  HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(RegisterHotKey(other, 1, 0, VK_MEDIA_STOP));
  const std::string notice = w.MediaKeys.Register(m.Handle(), Folder());
  EXPECT_EQ(notice.find("Another program holds these media keys: Stop. They work here only while"), 0u) << notice;
  EXPECT_EQ(w.MediaKeys.Registered(), (std::vector<std::string>{"Play/Pause", "Next", "Previous"}));
  base::WriteTextFile(Folder() + "\\keys.ini", "GlobalMediaKeys=0\r\n");
  EXPECT_EQ(w.MediaKeys.Register(m.Handle(), Folder()), "");
  EXPECT_TRUE(w.MediaKeys.Registered().empty()) << "switched off: nothing is registered";
  DeleteFileA((Folder() + "\\keys.ini").c_str());
  DestroyWindow(other);
  w.MediaKeys.Register(m.Handle(), Folder());
}

}  // namespace
