// Find Station through the program as it starts, against the tests' own directory
// (fake-directory.py, its address in TUNORA_DIRECTORY) whose stations play the local
// test station: a search, a preview heard at the sink, a preset kept, the click counted
// once, and servers that fail in every way the dialog has to tell.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <fstream>

#include "app/MainForm.h"
#include "directory/FindStationForm.h"
#include "stations/StationFilesRules.h"
#include "support/MainWindowView.h"
#include "support/SoundCapture.h"
#include "support/StartedProgram.h"
#include "support/StationTesting.h"
#include "support/WindowTesting.h"
#include "ui/Application.h"

using namespace testing_support;

namespace {

// The program, told to use these servers of the fake directory ("api", "html", ...).
TMainForm& ProgramWithServers(const std::string& ways) {
  TMainForm& m = StartedProgram(std::make_shared<TestConnection>());
  MainWindowView& w = View(m);
  std::string servers;
  for (std::size_t at = 0; at < ways.size();) {
    const std::size_t end = std::min(ways.find(' ', at), ways.size());
    servers += std::string(std::getenv("TUNORA_DIRECTORY")) + "/" + ways.substr(at, end - at) + " ";
    at = end + 1;
  }
  ProgramFolder().Put("directory.ini", "[Directory]\r\nServers=" + servers + "\r\n");
  w.PublicDirectory.Load(ProgramFolder().Path());
  return m;
}

// A key through the message loop, with Ctrl held as far as the window's thread can tell.
void Key(ui::WinControl& c, UINT key, bool ctrl = false) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = ctrl ? 0x80 : 0;
  SetKeyboardState(keys);
  PostMessageA(c.Handle(), WM_KEYDOWN, key, 1);
  PostMessageA(c.Handle(), WM_KEYUP, key, 0xC0000001);
  Pump(50);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
}

// Searches for `name` and waits for the outcome; the window answers meanwhile.
void SearchFor(const std::string& name) {
  TFindStationForm& f = *FindStationForm;
  f.EditName.SetText(name);
  Key(f.EditName, VK_RETURN);
  DWORD longestPump = 0;
  ASSERT_TRUE(WaitFor(
      [&] {
        const DWORD before = GetTickCount();
        Pump(20);
        longestPump = std::max(longestPump, GetTickCount() - before);
        return !f.Searching();
      },
      30000));
  EXPECT_LT(longestPump, 2000u) << "the window stopped answering during the search";
}

bool WaitForClicks(TMainForm& m, int count) {
  return WaitFor([&] { return View(m).PublicDirectory.ClicksSent() >= count; }, 10000);
}

}  // namespace

TEST(FindStation, FindsAStationPlaysItAndKeepsItAsAPreset) {
  REQUIRE_STATION("TUNORA_STATION_MP3");
  TMainForm& m = ProgramWithServers("silent api");  // the first server never answers
  MainWindowView& w = View(m);
  Key(m, 'F', true);
  TFindStationForm& f = *FindStationForm;
  ASSERT_TRUE(f.Visible());
  EXPECT_EQ(GetFocus(), f.EditName.Handle());

  SearchFor("TONE");
  ASSERT_EQ(f.ListResults.Count(), 2) << f.LabelStatus.Caption();  // the mirror once, the broken one left out
  EXPECT_EQ(f.Results()[0].name, "Test Tone Radio");
  EXPECT_EQ(f.Results()[1].name, "Second Test Tone");
  EXPECT_EQ(GetFocus(), f.ListResults.Handle());
  EXPECT_EQ(f.ListResults.ItemIndex(), 0);

  SoundCapture sound(8000);
  Key(f.ListResults, VK_RETURN);
  ASSERT_TRUE(WaitFor([&] { return Playing(w.WindowsMediaPlayer); }, 10000));
  Pump(1500);  // the tone at the sink, the span it is measured over
  sound.Finish(false);
  EXPECT_NEAR(sound.ToneAt(sound.EndTick() - 1000, 800).hz, 440, 10);
  ASSERT_TRUE(WaitForClicks(m, 1));
  Key(f.ListResults, VK_RETURN);  // a second play the same day is not counted
  Pump(1500);  // time for a second count, which must not come
  EXPECT_EQ(w.PublicDirectory.ClicksSent(), 1);

  Key(f.ListResults, '3', true);
  EXPECT_EQ(w.VrDemoButtonStation[2].Caption(), "Test Tone Radio");
  EXPECT_EQ(w.EditStationURL[2].Text(), std::getenv("TUNORA_STATION_MP3"));
  m.SaveStationGroup(w.VrNumBlock.Value());  // as Exit does
  const auto group = stations::ParseGroup(base::SplitLines(ProgramFolder().Content("Ovexia Radio Network1.dat")));
  EXPECT_EQ(group[2].name, "Test Tone Radio");
  EXPECT_NE(ProgramFolder().Content("directory.ini").find("|1|3|96062a7b-0601-11e8-ae97-52543be04c81|"),
            std::string::npos);

  // Another station in the same preset asks first, naming both.
  f.ListResults.SetItemIndex(1);
  {
    MessageBoxWatcher no(ui::App().Title(), IDNO);
    Key(f.ListResults, '3', true);
    ASSERT_TRUE(WaitFor([&] { return !no.Seen().empty(); }));
    EXPECT_NE(no.Seen()[0].text.find("\"Test Tone Radio\""), std::string::npos) << no.Seen()[0].text;
    EXPECT_NE(no.Seen()[0].text.find("\"Second Test Tone\""), std::string::npos) << no.Seen()[0].text;
  }
  EXPECT_EQ(w.VrDemoButtonStation[2].Caption(), "Test Tone Radio");
  {
    MessageBoxWatcher yes(ui::App().Title(), IDYES);
    Key(f.ListResults, '3', true);
    ASSERT_TRUE(WaitFor([&] { return !yes.Seen().empty(); }));
  }
  EXPECT_EQ(w.VrDemoButtonStation[2].Caption(), "Second Test Tone");

  // The kept station counts its play when its preset plays.
  SendClick(w.VrDemoButtonStation[2].Parent()->Handle(), w.VrDemoButtonStation[2].Left() + 5,
            w.VrDemoButtonStation[2].Top() + 5);
  EXPECT_TRUE(WaitForClicks(m, 2));
  const std::string clicks = ReadFileBytes(std::getenv("TUNORA_DIRECTORY_CLICKS"));
  EXPECT_EQ(std::count(clicks.begin(), clicks.end(), '\n'), 2) << clicks;
  EXPECT_NE(clicks.find("Ovexia Tunora/"), std::string::npos) << clicks;

  Key(f.ListResults, VK_ESCAPE);
  EXPECT_FALSE(f.Visible());
}

TEST(FindStation, SaysWhyTheDirectoryCannotBeReachedAndCanBeStopped) {
  REQUIRE_STATION("TUNORA_STATION_MP3");
  const struct {
    const char* way;
    const char* reason;
  } cases[] = {{"html", "not a list of stations"}, {"endless", "larger than 4 MB"}, {"silent", "no answer within 5 s"}};
  for (const auto& c : cases) {
    ProgramWithServers(c.way).FindStation();
    SearchFor("tone");
    const std::string status = FindStationForm->LabelStatus.Caption();
    EXPECT_EQ(status.rfind(TFindStationForm::kUnreachable, 0), 0u) << c.way << ": " << status;
    EXPECT_NE(status.find(c.reason), std::string::npos) << c.way << ": " << status;
  }
  TFindStationForm& f = *FindStationForm;
  f.EditName.SetText("tone");
  Key(f.EditName, VK_RETURN);
  ASSERT_TRUE(f.Searching());
  f.CancelSearch();
  EXPECT_FALSE(f.Searching());
  Pump(6000);  // the stopped search's end changes nothing
  EXPECT_EQ(f.LabelStatus.Caption(), "The search was stopped.");
}
