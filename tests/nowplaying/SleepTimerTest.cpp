// The sleep timer on the started program: chosen from the tray's menu, its "Other..."
// dialog typed into, the station faded on the player's own gain (the fader stays) and
// stopped while a recording goes on; Off during the fade brings the sound back at once.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/MainForm.h"
#include "nowplaying/SleepMinutesForm.h"
#include "recording/OptionsForm.h"
#include "support/MainWindowView.h"
#include "support/SoundCapture.h"
#include "support/StartedProgram.h"
#include "support/StationTesting.h"
#include "support/Waiting.h"
#include "support/WindowTesting.h"

using namespace testing_support;

namespace {

constexpr const char* kSleepMenu = "Sleep &Timer";

class SleepTimer : public ::testing::Test {
 protected:
  void SetUp() override {
    m.SetVolume(800);
  }
  void TearDown() override {
    w.TitleTray.Sleep().Choose(0);
    LeftClick(w.VrDemoButtonStop);
    LeftClick(w.VrDemoButtonUnplug);
  }
  // Chooses the entries from the tray's menu as a user does.
  void Choose(const std::vector<std::string>& path) {
    std::atomic<bool> chosen{false};
    std::thread chooser = ChooseFromMenu(path, &chosen);
    SendMessageA(w.TitleTray.Tray().Handle(), nowplaying::TrayIcon::kCallbackMessage, 1, WM_RBUTTONUP);
    chooser.join();
    ASSERT_TRUE(chosen) << path.back();
  }
  void PlayTone() {
    w.VrDemoButtonStation[0].SetCaption("Tone");
    w.EditStationURL[0].SetText(StationAddress("TUNORA_STATION_MP3"));
    LeftClick(w.VrDemoButtonStation[0]);
    ASSERT_TRUE(WaitFor([&] { return Playing(w.WindowsMediaPlayer); }, 10000));
  }
  // Other... with one minute typed, as a user types it; the field has the focus.
  void SleepInOneMinute() {
    const DWORD ui = GetCurrentThreadId();
    std::atomic<bool> focused{false};
    std::thread typist([&] {
      HWND edit = nullptr;
      // Off the program's thread: waits without dispatching its messages.
      const auto until = [](auto pred, DWORD ms) {
        for (const DWORD start = GetTickCount(); !pred() && GetTickCount() - start < ms;) Sleep(10);
        return pred();
      };
      until([&] { return (edit = SleepMinutesForm->EditMinutes.Handle()) && IsWindowVisible(edit); }, 5000);
      GUITHREADINFO info{};
      info.cbSize = sizeof info;
      focused = until([&] { return GetGUIThreadInfo(ui, &info) && info.hwndFocus == edit; }, 3000);
      PostMessageA(edit, WM_CHAR, '1', 0);
      PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    });
    Choose({kSleepMenu, "&Other..."});
    typist.join();
    EXPECT_TRUE(focused) << "the field has the focus";
    EXPECT_FALSE(SleepMinutesForm->Visible());
  }
  TMainForm& m = StartedProgram(std::make_shared<TestConnection>());
  MainWindowView& w = View(m);
};

TEST_F(SleepTimer, OtherMinuteFadesAndStopsTheStationWhileTheRecordingGoesOn) {
  REQUIRE_STATION("TUNORA_STATION_MP3");
  OptionsForm->DirectoryEditLogger.SetText(ProgramFolder() / "sleep.wav");
  PlayTone();
  LeftClick(w.VrDemoButtonRec);
  SoundCapture sink(70000);
  ASSERT_TRUE(sink.WaitUntilRecording(5000));
  SleepInOneMinute();
  const DWORD end = GetTickCount() + 60000;
  EXPECT_EQ(w.TitleTray.Sleep().Timer().Minutes(), 1);
  EXPECT_TRUE(w.TitleTray.Menu().Find("&Other...")->checked);
  EXPECT_TRUE(WaitFor([&] { return w.TitleTray.Tray().Tip().starts_with("Ovexia Tunora\nSleeping in "); }, 1000))
      << w.TitleTray.Tray().Tip();

  // The fade under way (it begins 30 s before the end).
  ASSERT_TRUE(WaitFor([&] { return w.WindowsMediaPlayer.gain() < 600; }, 45000));
  EXPECT_GT(w.WindowsMediaPlayer.gain(), 50);
  EXPECT_NEAR(double(GetTickCount()), double(end - 23000), 2000) << "down to 0.6 some 23 s before the end";
  EXPECT_EQ(w.VrScrollBarPlayer1.Position(), 800) << "the fader does not move";
  EXPECT_TRUE(Playing(w.WindowsMediaPlayer));
  ASSERT_TRUE(WaitFor([&] { return !Playing(w.WindowsMediaPlayer); }, 25000));
  EXPECT_NEAR(double(GetTickCount()), double(end), 1500) << "stops a minute after Enter";
  EXPECT_EQ(w.LabelStation.Caption(), "none");
  EXPECT_EQ(w.WindowsMediaPlayer.gain(), playback::StationPlayer::kFullGain) << "the next station plays as loud";
  EXPECT_FALSE(w.TitleTray.Sleep().Timer().Running());
  EXPECT_TRUE(w.TitleTray.Menu().Find("&Off")->checked);
  const int size = w.VrNumSize.Value();
  EXPECT_TRUE(WaitFor([&] { return w.VrNumSize.Value() > size; }, 3000)) << "the recording goes on";

  sink.Finish(false);
  const double full = sink.ToneAt(end - 40000, 5000).rms;
  EXPECT_GT(full, 500);
  EXPECT_LT(sink.ToneAt(end - 12000, 2000).rms, full * 0.3) << "faded over the last half minute";
  EXPECT_GT(sink.ToneAt(end - 24000, 2000).rms, full * 0.4) << "not at once";
  EXPECT_LT(sink.ToneAt(end + 1500, 1000).rms, 50) << "silent after the stop";
}

TEST_F(SleepTimer, OffDuringTheFadeBringsTheSoundBackAtOnceAndChoosingAgainRestarts) {
  REQUIRE_STATION("TUNORA_STATION_MP3");
  PlayTone();
  Choose({kSleepMenu, "30 Minutes"});
  EXPECT_TRUE(w.TitleTray.Menu().Find("30 Minutes")->checked);
  EXPECT_TRUE(
      WaitFor([&] { return w.TitleTray.Tray().Tip().find("Sleeping in 30 min") != std::string::npos; }, 1000));
  SleepInOneMinute();
  EXPECT_EQ(w.TitleTray.Sleep().Timer().Minutes(), 1) << "chosen again, it starts anew";
  ASSERT_TRUE(WaitFor([&] { return w.WindowsMediaPlayer.gain() < 300; }, 50000)) << "the fade under way";
  Choose({kSleepMenu, "&Off"});
  EXPECT_EQ(w.WindowsMediaPlayer.gain(), playback::StationPlayer::kFullGain);
  EXPECT_TRUE(WaitFor([&] { return w.TitleTray.Tray().Tip().find("Sleeping") == std::string::npos; }, 1000));
  EXPECT_TRUE(Playing(w.WindowsMediaPlayer));
}

}  // namespace
