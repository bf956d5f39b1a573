// The main window started the way the program starts, with the local test station:
// its titles in the tray, on the clipboard and in the title log.
#include "ReceiverTesting.h"

#include <atomic>
#include <thread>

#include "base/Encoding.h"
#include "support/MainWindowView.h"
#include "support/StationTesting.h"

namespace {

// Sets the title that the test station's MP3 mount announces, as raw bytes, through
// Icecast's admin interface.
// A new title reaches a listener behind the station's opening burst (about 4 s of sound)
// with the next metadata block: 4-5 s as a rule, and more on a busy machine.
// A busy machine's player may run many seconds behind the station, and its titles too.
constexpr DWORD kTitleArrivesMs = 30000;

// The clipboard's Unicode text, in UTF-8.
std::string ClipboardText() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return "";
  if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
    text = static_cast<const wchar_t*>(GlobalLock(h));
    GlobalUnlock(h);
  }
  CloseClipboard();
  return base::Utf8FromWide(text);
}

void TrayMouse(TMainForm& m, UINT message) {
  MainWindowView& w = View(m);
  SendMessageA(w.TitleTray.Tray().Handle(), nowplaying::TrayIcon::kCallbackMessage, 1, message);
}

TEST_F(Receiver, StationTitlesReachTheTrayAndTheTitleLogInTheirCharacters) {
  REQUIRE_STATION("TUNORA_STATION_MP3");
  // Run under Windows-1252 and, in a run of its own, under UTF-8 as the ANSI code page.
  const bool utf8 = GetACP() == CP_UTF8;
  ASSERT_TRUE(utf8 || GetACP() == 1252u) << GetACP();
  // A log of an earlier version, in the ANSI code page, is set aside, not converted.
  const std::string ansiLog = "2025-12-31 23:59:59\tOld Station\tCaf\xE9\r\n";
  ProgramFolder().Put("titles.txt", ansiLog);
  nowplaying::NowPlaying& np = w.TitleTray;
  ASSERT_TRUE(WaitFor([&] { return np.Tray().Shown(); }, 3000)) << "the icon is in the notification area from the start";
  EXPECT_TRUE(WaitFor([&] { return np.Tray().Tip() == "Ovexia Tunora"; }, 3000)) << "nothing plays: no title";
  SetPreset(m, 0, "Tone Station", StationUrl());
  LeftClick(w.VrDemoButtonStation[0]);
  ASSERT_TRUE(WaitFor([&] { return Playing(w.WindowsMediaPlayer); }, 10000));

  // When each notification showed: never two within ten seconds.
  std::vector<DWORD> shown;
  int count = np.Tray().Notifications();
  const auto until = [&](auto pred, DWORD ms) {
    return WaitFor(
        [&] {
          if (np.Tray().Notifications() != count) {
            count = np.Tray().Notifications();
            shown.push_back(np.Tray().LastNotifiedAt());
          }
          return pred();
        },
        ms);
  };
  EXPECT_TRUE(until([&] { return np.Title() == "Tone 440 Hz"; }, kTitleArrivesMs)) << np.Title();
  // Sent in UTF-8 with Latin, Greek, Cyrillic and Japanese letters, which no ANSI code
  // page but UTF-8 holds all of; then in Windows-1252. The tray and the log show every
  // character (their texts are UTF-8 here); the front panel keeps its ANSI text.
  const std::string sent1252 =
      "Cr\xE8me br\xFBl\xE9"
      "e";
  const std::string cp1252 =
      "Cr\xC3\xA8me br\xC3\xBBl\xC3\xA9"
      "e";
  const std::string first = "Caf\xC3\xA9 \xE2\x82\xAC \xCE\xA9 \xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE \xE6\x97\xA5\xE6\x9C\xAC";
  ASSERT_TRUE(SetStationTitle(first));
  EXPECT_TRUE(until([&] { return np.Title() == first; }, kTitleArrivesMs)) << np.Title();
  EXPECT_EQ(np.Tray().Tip(), "Ovexia Tunora\nTone Station\n" + first);
  EXPECT_EQ(w.WindowsMediaPlayer.currentMedia().getItemInfo("Title"), utf8 ? first : "Caf\xE9 \x80 ? ???? ??");
  // A title too long for the tooltip is cut where a character ends.
  std::string longTitle;
  for (int i = 0; i < 60; ++i) longTitle += "\xC3\xA9\xE6\x97\xA5";
  ASSERT_TRUE(SetStationTitle(longTitle));
  EXPECT_TRUE(until([&] { return np.Title() == longTitle; }, kTitleArrivesMs)) << np.Title();
  const std::string tip = np.Tray().Tip();
  EXPECT_TRUE(tip.ends_with("...")) << tip;
  const int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, tip.c_str(), -1, nullptr, 0);
  EXPECT_GT(units, 100) << tip;
  EXPECT_LE(units, 128) << tip;
  ASSERT_TRUE(SetStationTitle(sent1252));
  EXPECT_TRUE(until([&] { return np.Title() == cp1252; }, kTitleArrivesMs)) << np.Title();
  EXPECT_EQ(np.Tray().Tip(), "Ovexia Tunora\nTone Station\n" + cp1252);
  // The newest title is announced within ten seconds, the ones before it at most once.
  EXPECT_TRUE(until([&] { return np.Tray().LastNotification() == "Tone Station\n" + cp1252; }, 11000))
      << np.Tray().LastNotification();
  until([] { return false; }, 300);
  ASSERT_GE(shown.size(), 1u);
  for (std::size_t i = 1; i < shown.size(); ++i) EXPECT_GE(shown[i] - shown[i - 1], 9000u) << "notification " << i;
  EXPECT_EQ(w.LabelStation.Caption(), "Tone Station") << "the panel keeps its labels";

  np.Log()->Drain();
  EXPECT_EQ(ProgramFolder().Content("titles-ansi.txt"), ansiLog);
  std::vector<std::string> lines = FileLines("titles.txt");
  ASSERT_GE(lines.size(), 2u);
  const std::string log = ProgramFolder().Content("titles.txt");
  EXPECT_TRUE(log.starts_with("\xEF\xBB\xBF")) << "a UTF-8 log begins with its byte-order mark";
  lines[0].erase(0, 3);
  EXPECT_NE(log.find("\tTone Station\t" + first + "\r\n"), std::string::npos) << log;
  EXPECT_TRUE(log.ends_with("\tTone Station\t" + cp1252 + "\r\n")) << log;
  for (const std::string& line : lines) {
    ASSERT_GE(line.size(), 20u);
    EXPECT_EQ(line[4], '-');
    EXPECT_EQ(line[10], ' ');
    EXPECT_EQ(line[13], ':');
    EXPECT_EQ(line[19], '\t');
  }

  // The menu: the title, disabled; Copy Title puts it on the clipboard.
  ui::PopupMenu& menu = np.Menu();
  EXPECT_EQ(menu.Items()[0].caption, cp1252);
  EXPECT_FALSE(menu.Items()[0].enabled);
  std::atomic<bool> chosen{false};
  std::thread chooser = ChooseFromMenu({"Copy Title"}, &chosen);
  TrayMouse(m, WM_RBUTTONUP);
  chooser.join();
  EXPECT_TRUE(chosen);
  EXPECT_EQ(ClipboardText(), cp1252);

  // A left click brings the main window back.
  ShowWindow(m.Handle(), SW_MINIMIZE);
  ASSERT_TRUE(IsIconic(m.Handle()));
  TrayMouse(m, WM_LBUTTONUP);
  EXPECT_FALSE(IsIconic(m.Handle()));
  EXPECT_EQ(GetForegroundWindow(), m.Handle());

  // Disconnect: no title is known any more.
  LeftClick(w.VrDemoButtonUnplug);
  EXPECT_TRUE(WaitFor([&] { return np.Tray().Tip() == "Ovexia Tunora"; }, 5000));
  ASSERT_TRUE(SetStationTitle("Tone 440 Hz"));
}

TEST_F(Receiver, ATitleLogThatCannotBeWrittenIsReportedOnceAndPlayingGoesOn) {
  REQUIRE_STATION("TUNORA_STATION_MP3");
  nowplaying::NowPlaying& np = w.TitleTray;
  // A folder where the log should be: every write fails, as on a read-only file.
  ASSERT_TRUE(CreateDirectoryA((ProgramFolder() / "titles.txt").c_str(), nullptr));
  const int reported = np.LogFailuresReported();
  SetPreset(m, 0, "Tone Station", StationUrl());
  LeftClick(w.VrDemoButtonStation[0]);
  ASSERT_TRUE(WaitFor([&] { return Playing(w.WindowsMediaPlayer); }, 10000));
  for (const char* title : {"First title", "Second title"}) {
    ASSERT_TRUE(SetStationTitle(title));
    EXPECT_TRUE(WaitFor([&] { return np.Title() == title; }, kTitleArrivesMs)) << np.Title();
    np.Log()->Drain();
  }
  EXPECT_TRUE(WaitFor([&] { return np.LogFailuresReported() > reported; }));
  Pump(300);  // time for a second report, which must not come
  EXPECT_EQ(np.LogFailuresReported(), reported + 1);
  EXPECT_NE(np.Tray().LastWarning().find("titles.txt cannot be written"), std::string::npos) << np.Tray().LastWarning();
  EXPECT_TRUE(Playing(w.WindowsMediaPlayer));
  RemoveDirectoryA((ProgramFolder() / "titles.txt").c_str());

  // A log that passes 1 MB keeps its newer half, in whole lines, and the new line.
  std::string big = "\xEF\xBB\xBF";
  for (int i = 0; big.size() <= 1024 * 1024 - 60; ++i)
    big += "2026-01-01 00:00:00\tOld\tOld title " + std::to_string(i) + "\r\n";
  ProgramFolder().Put("titles.txt", big);
  ASSERT_TRUE(SetStationTitle("Third title"));
  EXPECT_TRUE(WaitFor([&] { return np.Title() == "Third title"; }, kTitleArrivesMs)) << np.Title();
  np.Log()->Drain();
  const std::string kept = ProgramFolder().Content("titles.txt");
  EXPECT_LT(kept.size(), 600u * 1024);
  EXPECT_GT(kept.size(), 400u * 1024);
  EXPECT_TRUE(kept.starts_with("\xEF\xBB\xBF" "2026-01-01 00:00:00\tOld\tOld title ")) << kept.substr(0, 40);
  EXPECT_TRUE(kept.ends_with("\tTone Station\tThird title\r\n"));
  EXPECT_EQ(np.LogFailuresReported(), reported + 1) << "writing works again";
  LeftClick(w.VrDemoButtonUnplug);
  ASSERT_TRUE(SetStationTitle("Tone 440 Hz"));
}

}  // namespace
