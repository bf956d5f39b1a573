// The scheduled recordings through the real main window: a schedule of the local station
// records it while the listener hears another preset, and the dialog from the tray menu
// saves a schedule into schedule.ini.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "base/TextFile.h"
#include "playback/MediaReader.h"
#include "schedule/ScheduleForm.h"
#include "support/MainWindowView.h"
#include "support/StartedProgram.h"
#include "support/StationTesting.h"
#include "support/WindowTesting.h"

using namespace testing_support;

namespace {

std::string Dir() { return ProgramFolder().Path(); }

// The local time `seconds` from now, rounded down to its minute.
SYSTEMTIME MinuteFromNow(long long seconds) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  FILETIME file;
  SystemTimeToFileTime(&now, &file);
  ULARGE_INTEGER at{{file.dwLowDateTime, file.dwHighDateTime}};
  at.QuadPart += seconds * 10000000ULL;
  file = {at.LowPart, at.HighPart};
  SYSTEMTIME out;
  FileTimeToSystemTime(&file, &out);
  out.wSecond = out.wMilliseconds = 0;
  return out;
}

std::string Format(const char* pattern, const SYSTEMTIME& t) {
  char text[64];
  std::snprintf(text, sizeof text, pattern, t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute);
  return text;
}

// Seconds of sound in a file, decoded as a player would.
double DecodedSeconds(const std::string& path) {
  playback::MediaReader reader([] { return false; });
  reader.Open(path);
  std::vector<std::int16_t> sound;
  std::size_t frames = 0;
  while (reader.Read(sound)) {
    frames += sound.size() / 2;
    sound.clear();
  }
  return double(frames) / reader.SampleRate();
}

}  // namespace

// The schedule is written before the start; the listener plays another mount meanwhile.
TEST(Schedule, AScheduleRecordsTheStationForAMinuteWhileAnotherPresetPlays) {
  REQUIRE_STATION("TUNORA_STATION_MP3");
  REQUIRE_STATION("TUNORA_STATION_OGG");
  // 15 to 75 s ahead: time enough for the program to start before it.
  const SYSTEMTIME start = MinuteFromNow(75);
  base::WriteTextFile(Dir() + "\\schedule.ini",
                      "[Schedule1]\r\nName=Tone Station\r\nUrl=" + std::string(StationAddress("TUNORA_STATION_MP3")) +
                          "\r\nDays=Once\r\n" + Format("Date=%04d-%02d-%02d\r\nStart=%02d:%02d\r\n", start) +
                          "Minutes=1\r\n");
  MainWindowView& w = View(StartedProgram(std::make_shared<TestConnection>()));
  w.VrDemoButtonStation[1].SetCaption("Listener");
  w.EditStationURL[1].SetText(StationAddress("TUNORA_STATION_OGG"));
  LeftClick(w.VrDemoButtonStation[1]);
  ASSERT_TRUE(WaitFor([&] { return Playing(w.WindowsMediaPlayer); }, 10000));
  const std::string listening = w.WindowsMediaPlayer.URL();

  ASSERT_TRUE(WaitFor([&] { return !w.Scheduled.Running().empty(); }, 90000)) << "the schedule did not start";
  EXPECT_EQ(0u, w.Scheduled.Running().find("Tone Station until "));
  EXPECT_TRUE(WaitFor([&] {
    return w.TitleTray.Tray().Tip().find("\nRecording Tone Station until ") != std::string::npos;
  })) << w.TitleTray.Tray().Tip();
  ASSERT_TRUE(WaitFor([&] { return w.Scheduled.Running().empty(); }, 80000)) << "the recording did not end";
  EXPECT_EQ(listening, w.WindowsMediaPlayer.URL());
  EXPECT_TRUE(Playing(w.WindowsMediaPlayer)) << "the listener's station went on throughout";

  const std::string name = Dir() + "\\Scheduled\\" + Format("Tone Station %04d-%02d-%02d %02d-%02d", start);
  EXPECT_NEAR(60.0, DecodedSeconds(name + ".mp3"), 2.0);
  ASSERT_TRUE(WaitFor([&] { return base::FileExists(name + ".cue"); }, 3000));
  const std::string sheet = base::ReadTextFile(name + ".cue").value_or("");
  EXPECT_NE(std::string::npos, sheet.find(".mp3\" MP3\r\n")) << sheet;
  EXPECT_NE(std::string::npos, sheet.find("TITLE \"Tone 440 Hz\"")) << sheet;
}

// The tray menu's entry opens the dialog; a schedule added there is in schedule.ini.
TEST(Schedule, TheDialogAddsAScheduleFromAPreset) {
  MainWindowView& w = View(StartedProgram(std::make_shared<TestConnection>()));
  w.VrDemoButtonStation[2].SetCaption("Morning Show");
  w.EditStationURL[2].SetText("http://127.0.0.1:9/morning.mp3");
  bool ran = false;
  WhenShown(
      *ScheduleForm,
      [&] {
        TScheduleForm& f = *ScheduleForm;
        for (int i = 0; i < f.ComboBoxPreset.Count(); ++i)
          if (f.ComboBoxPreset.Item(i) == "Morning Show") f.ComboBoxPreset.SetItemIndex(i);
        f.ComboBoxPresetChange(f.ComboBoxPreset);
        f.EditDays.SetText("mon, fri");
        f.EditStart.SetText("7:30");
        f.EditMinutes.SetText("45");
        LeftClick(f.VrDemoButtonAdd);
        LeftClick(f.VrDemoButtonClose);
      },
      &ran);
  std::atomic<bool> chosen{false};
  std::thread chooser = ChooseFromMenu({"Scheduled &Recordings..."}, &chosen);
  SendMessageA(w.TitleTray.Tray().Handle(), nowplaying::TrayIcon::kCallbackMessage, 1, WM_RBUTTONUP);
  chooser.join();
  ASSERT_TRUE(chosen);
  ASSERT_TRUE(ran);
  const std::string text = base::ReadTextFile(Dir() + "\\schedule.ini").value_or("");
  EXPECT_NE(std::string::npos,
            text.find("Name=Morning Show\r\nUrl=http://127.0.0.1:9/morning.mp3\r\nDays=Mon,Fri\r\nStart=07:30\r\n"
                      "Minutes=45\r\n"))
      << text;
}
