// The main window started the way the program starts (splash window, environment
// checks, every window in its order), in a working directory of its own, driven by real
// window messages: the presets, the groups and bands, and the settings file.
#include "ReceiverTesting.h"
#include "stations/BandForm.h"
#include "stations/EditStationForm.h"

namespace {

// What the start itself showed, taken before any test's set-up changed it.
TEST_F(Receiver, TheFirstStartShowsEmptyPresetsTheBuiltInBandAndFullVolume) {
  const FirstStart& first = First();
  EXPECT_TRUE(m.StartupDone());
  EXPECT_EQ(m.ProgramDirectory(), ProgramFolder().Path());
  EXPECT_EQ(first.band, "Ovexia Radio Network");
  EXPECT_EQ(first.history[0], (stations::Preset{"none", "Empty"}));
  for (const stations::Preset& p : first.presets) EXPECT_EQ(p, (stations::Preset{"none", "none"}));
  EXPECT_EQ(first.recordingPath, "webfile.wav");
  EXPECT_EQ(first.playerVolume, 100);
  EXPECT_EQ(first.recordingVolume, 100);
  EXPECT_FALSE(first.groupFileMade) << "loading a group creates no file";
  EXPECT_TRUE(WaitFor([&] { return w.VrMatrixConn.Text() == "OVEXIA TUNORA ONLINE!"; }));
}

TEST_F(Receiver, ALeftPressOnAnEmptyPresetPushesTheHistoryButPlaysNothing) {
  LeftClick(w.VrDemoButtonStation[0]);
  EXPECT_EQ(HistoryForm->Entries()[0], (stations::Preset{"none", "none"}));
  EXPECT_EQ(HistoryForm->Entries()[1], (stations::Preset{"none", "Empty"}));
  EXPECT_FALSE(m.Monitor().connecting);
  EXPECT_EQ(w.WindowsMediaPlayer.URL(), "");
}

TEST_F(Receiver, RightAndMiddlePressesEditThePresetAndRewriteTheGroupFile) {
  const stations::History before = HistoryForm->Entries();
  std::string seenName, seenUrl;
  bool ran = false;
  WhenShown(
      *EditStationForm,
      [&] {
        seenName = EditStationForm->EditStationName.Text();
        seenUrl = EditStationForm->EditStationURL.Text();
        EditStationForm->EditStationName.SetText("Tone");
        EditStationForm->EditStationURL.SetText("http://tone/");
        LeftClick(EditStationForm->VrDemoButtonExit);
      },
      &ran);
  Press(w.VrDemoButtonStation[1], WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON);
  ASSERT_TRUE(ran);
  EXPECT_EQ(seenName, "none");
  EXPECT_EQ(seenUrl, "none");
  EXPECT_EQ(w.VrDemoButtonStation[1].Caption(), "Tone");
  EXPECT_EQ(w.EditStationURL[1].Text(), "http://tone/");

  // The system's close command applies the texts as well.
  WhenShown(
      *EditStationForm,
      [&] {
        EditStationForm->EditStationName.SetText("Middle");
        EditStationForm->EditStationURL.SetText("http://middle/");
        SendMessageA(EditStationForm->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
      },
      &ran);
  Press(w.VrDemoButtonStation[2], WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON);
  ASSERT_TRUE(ran);
  EXPECT_EQ(w.VrDemoButtonStation[2].Caption(), "Middle");

  EXPECT_EQ(ProgramFolder().Content("Ovexia Radio Network1.dat"),
            "none\r\nnone\r\nTone\r\nhttp://tone/\r\nMiddle\r\nhttp://middle/\r\n"
            "none\r\nnone\r\nnone\r\nnone\r\nnone\r\nnone\r\nnone\r\nnone\r\n");
  EXPECT_EQ(HistoryForm->Entries(), before) << "editing touches no history";
  EXPECT_FALSE(m.Monitor().connecting) << "editing plays nothing";
}

TEST_F(Receiver, GroupStepsSaveTheGroupLeftAndStopAtOneAndAHundred) {
  auto up = [&] { LeftClickOn(w.VrSpinnerStation, w.VrSpinnerStation.FirstButton()); };
  auto down = [&] { LeftClickOn(w.VrSpinnerStation, w.VrSpinnerStation.SecondButton()); };
  SetPreset(m, 6, "Seventh", "http://seventh/");
  up();
  EXPECT_EQ(w.VrNumBlock.Value(), 2);
  EXPECT_EQ(w.VrDemoButtonStation[6].Caption(), "none");
  EXPECT_EQ(FileLines("Ovexia Radio Network1.dat")[12], "Seventh");
  down();
  EXPECT_EQ(w.VrNumBlock.Value(), 1);
  EXPECT_EQ(w.VrDemoButtonStation[6].Caption(), "Seventh");

  down();  // at 1: saved and read back unchanged
  EXPECT_EQ(w.VrNumBlock.Value(), 1);
  EXPECT_EQ(w.VrDemoButtonStation[6].Caption(), "Seventh");

  w.VrNumBlock.SetValue(100);
  m.LoadStationGroup(100);
  SetPreset(m, 0, "Hundred", "http://hundred/");
  up();
  EXPECT_EQ(w.VrNumBlock.Value(), 100);
  EXPECT_EQ(w.VrDemoButtonStation[0].Caption(), "Hundred");
  EXPECT_EQ(FileLines("Ovexia Radio Network100.dat")[0], "Hundred");
  EXPECT_TRUE(ProgramFolder().Has("Ovexia Radio Network2.dat"));
}

// A group file that cannot be read (here held by another program) shows empty presets
// and is never written: not by a step away, not by Exit, not by an edit, which says so.
TEST_F(Receiver, AGroupThatCouldNotBeReadIsNeverOverwritten) {
  auto up = [&] { LeftClickOn(w.VrSpinnerStation, w.VrSpinnerStation.FirstButton()); };
  auto down = [&] { LeftClickOn(w.VrSpinnerStation, w.VrSpinnerStation.SecondButton()); };
  const std::string kept = "Two\r\nhttp://two/\r\n";
  ProgramFolder().Put("Ovexia Radio Network2.dat", kept);
  SetPreset(m, 0, "One", "http://one/");
  HANDLE held =
      CreateFileA((ProgramFolder() / "Ovexia Radio Network2.dat").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  MessageBoxWatcher boxes("Ovexia Tunora");
  up();
  CloseHandle(held);
  EXPECT_EQ(w.VrNumBlock.Value(), 2);
  EXPECT_FALSE(m.GroupLoaded());
  for (int k = 0; k < TMainForm::kPresets; ++k) EXPECT_EQ(w.VrDemoButtonStation[k].Caption(), "none");

  bool ran = false;
  WhenShown(
      *EditStationForm,
      [&] {
        EditStationForm->EditStationName.SetText("Edited");
        LeftClick(EditStationForm->VrDemoButtonExit);
      },
      &ran);
  Press(w.VrDemoButtonStation[0], WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON);
  ASSERT_TRUE(ran);
  EXPECT_EQ(w.VrDemoButtonStation[0].Caption(), "Edited") << "the edit shows";
  m.SaveStationGroup(w.VrNumBlock.Value());  // as Exit does
  down();
  EXPECT_EQ(ProgramFolder().Content("Ovexia Radio Network2.dat"), kept);
  EXPECT_EQ(w.VrDemoButtonStation[0].Caption(), "One");
  EXPECT_TRUE(m.GroupLoaded());
  const std::vector<SeenBox> seen = boxes.Seen();
  ASSERT_EQ(seen.size(), 2u) << "the failed read, then the edit not saved";
  EXPECT_EQ(seen[1].text, "The station group file " + (ProgramFolder() / "Ovexia Radio Network2.dat") +
                              " could not be read, so it is left as it is: this change is shown but not saved.");
}

// A window position far off every screen in the settings (a monitor gone, a damaged
// file) brings the window back onto the screen.
TEST_F(Receiver, AStoredWindowPositionOffTheScreenIsBroughtBack) {
  const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int w = GetSystemMetrics(SM_CXVIRTUALSCREEN), h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  const std::pair<const char*, const char*> positions[] = {
      {"2147483647", "2147483647"}, {"-2147483648", "-2147483648"}, {"2147483000", "-5000"}, {"-100000", "900000"}};
  for (const auto& [left, top] : positions) {
    SCOPED_TRACE(std::string(left) + ", " + top);
    std::vector<std::string> lines(28);
    lines[26] = left;
    lines[27] = top;
    ProgramFolder().Put("Defaults.ini", base::JoinLines(lines));
    m.LoadSettings();
    RECT r;
    GetWindowRect(m.Handle(), &r);
    EXPECT_TRUE(r.left >= x && r.top >= y && r.right <= x + w && r.bottom <= y + h) << r.left << ", " << r.top;
    m.SaveSettings();
    EXPECT_EQ(FileLines("Defaults.ini")[26], std::to_string(r.left)) << "Exit saves where it shows";
  }
}

TEST_F(Receiver, TwelvePressesLeaveTheFirstOutOfTheHistory) {
  for (int k = 0; k < TMainForm::kPresets; ++k) SetPreset(m, k, "S" + std::to_string(k + 1), "");
  for (int press = 1; press <= 12; ++press) LeftClick(w.VrDemoButtonStation[(press - 1) % 7]);
  const stations::History h = HistoryForm->Entries();
  EXPECT_EQ(h[0].name, "S5");   // press 12
  EXPECT_EQ(h[10].name, "S2");  // press 2; press 1 is gone
  EXPECT_EQ(h[10].url, "");
}

TEST_F(Receiver, ChoosingABandLoadsItsFirstGroupAndSavesTheSettings) {
  w.VrNumBlock.SetValue(5);
  bool ran = false;
  // Cancel changes nothing on the main window.
  WhenShown(
      *BandForm, [] { LeftClick(BandForm->VrDemoButtonCancelBand); }, &ran);
  LeftClick(w.VrDemoButtonBand);
  ASSERT_TRUE(ran);
  EXPECT_EQ(w.Labelgenre.Caption(), "Ovexia Radio Network");
  EXPECT_EQ(w.VrNumBlock.Value(), 5);

  ProgramFolder().Put("Pop-Rock1.dat", "Rock One\r\nhttp://rock/\r\n");
  WhenShown(
      *BandForm,
      [] {
        ui::ListBox& list = BandForm->ListBoxBands;
        for (int i = 0; i < list.Count(); ++i)
          if (list.Item(i) == "Pop-Rock") list.SetItemIndex(i);
        LeftClick(BandForm->VrDemoButtonSelectBand);
      },
      &ran);
  LeftClick(w.VrDemoButtonBand);
  ASSERT_TRUE(ran);
  EXPECT_EQ(w.Labelgenre.Caption(), "Pop-Rock");
  EXPECT_EQ(m.CurrentBand(), "Pop-Rock");
  EXPECT_EQ(w.VrNumBlock.Value(), 1);
  EXPECT_EQ(w.VrDemoButtonStation[0].Caption(), "Rock One");
  EXPECT_EQ(w.EditStationURL[1].Text(), "");
  const auto settings = FileLines("Defaults.ini");
  ASSERT_EQ(settings.size(), 28u);
  EXPECT_EQ(settings[25], "Pop-Rock");

  // "Select Band" with nothing selected while a history station plays keeps the band.
  m.HistoryEntryClick("none", "none");
  EXPECT_EQ(w.Labelgenre.Caption(), "Station History");
  WhenShown(
      *BandForm,
      [] {
        BandForm->ListBoxBands.SetItemIndex(-1);
        LeftClick(BandForm->VrDemoButtonSelectBand);
      },
      &ran);
  LeftClick(w.VrDemoButtonBand);
  ASSERT_TRUE(ran);
  EXPECT_EQ(w.Labelgenre.Caption(), "Pop-Rock");
  EXPECT_EQ(FileLines("Defaults.ini")[25], "Pop-Rock");
}

// The settings file's bytes against a file written by hand, both ways.
TEST_F(Receiver, SettingsAreWrittenAndReadByteForByte) {
  // The format line 2 stores is the default "44100Hz 16bit Stereo" of Wine's 28 formats.
  std::string expected = "webfile.wav\r\n19\r\n0\r\nFirst\r\nhttp://first/\r\nSecond\r\n\r\n";
  for (int k = 2; k < 11; ++k) expected += "none\r\nEmpty\r\n";
  m.PushHistory("Second", "");
  m.PushHistory("First", "http://first/");
  // A history station plays: the band is saved, not the label.
  m.HistoryEntryClick("none", "none");
  ASSERT_EQ(w.Labelgenre.Caption(), "Station History");
  m.SetBounds(37, 41, m.Width(), m.Height());
  expected += "Ovexia Radio Network\r\n37\r\n41\r\n";
  m.SaveSettings();
  EXPECT_EQ(ProgramFolder().Content("Defaults.ini"), expected);

  // Read back from a file written by hand, whose recording exists.
  ProgramFolder().Put("take.wav", "RIFF");
  std::string text = (ProgramFolder() / "take.wav") + "\r\n-1\r\n0\r\nHand\r\nhttp://hand/\r\n";
  for (int k = 1; k < 11; ++k) text += "n" + std::to_string(k) + "\r\nu" + std::to_string(k) + "\r\n";
  text += "Jazz\r\n-3\r\n12\r\n";
  ProgramFolder().Put("Defaults.ini", text);
  m.LoadSettings();
  EXPECT_EQ(OptionsForm->DirectoryEditLogger.Text(), ProgramFolder() / "take.wav");
  EXPECT_EQ(HistoryForm->Entries()[0], (stations::Preset{"Hand", "http://hand/"}));
  EXPECT_EQ(HistoryForm->Entries()[10], (stations::Preset{"n10", "u10"}));
  EXPECT_EQ(w.Labelgenre.Caption(), "Jazz");
  EXPECT_EQ(m.Left(), -3);
  EXPECT_EQ(m.Top(), 12);
  m.SaveSettings();
  EXPECT_EQ(ProgramFolder().Content("Defaults.ini"), text);
}

TEST_F(Receiver, ADamagedSettingsLineStopsLoadingAndKeepsTheLinesBeforeIt) {
  const int top = m.Top();
  SetPreset(m, 1, "Kept", "http://kept/");
  std::vector<std::string> lines(28);
  lines[3] = "Loaded";
  lines[4] = "http://loaded/";
  lines[25] = "Jazz";
  lines[26] = "12x";
  lines[27] = "40";
  ProgramFolder().Put("Defaults.ini", base::JoinLines(lines));
  try {
    m.LoadSettings();
    FAIL() << "a bad number must stop the reading";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "'12x' is not a valid integer value");
  }
  EXPECT_EQ(HistoryForm->Entries()[0], (stations::Preset{"Loaded", "http://loaded/"}));
  EXPECT_EQ(HistoryForm->Entries()[1], FirstHistory()[1]);
  EXPECT_EQ(w.Labelgenre.Caption(), "Jazz");
  EXPECT_EQ(m.Top(), top) << "line 28 is after the bad line";
  EXPECT_EQ(w.VrDemoButtonStation[1].Caption(), "Kept") << "the presets are not touched";
  EXPECT_EQ(ProgramFolder().Content(std::string("Defaults.ini") + TMainForm::kDamagedSuffix), base::JoinLines(lines))
      << "the lines not applied are kept in a copy that the next save does not overwrite";
}

}  // namespace
