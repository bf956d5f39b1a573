// Saves that fail half-way: the settings, a station group, the band list and the skin,
// written by the main window and its dialogs on a full disk (a small file system that
// tests/recording/with-full-disk.sh mounts), onto read-only files and into a folder that
// is not there. Each failure is told in a message that names the file, the file keeps
// what it held, no temporary file stays, and the shipped program started afterwards
// starts without a complaint and keeps what was saved.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "app/MainForm.h"
#include "support/MainWindowView.h"
#include "support/ProcessDriver.h"
#include "support/StartedProgram.h"
#include "recording/OptionsForm.h"
#include "skins/SkinFileRules.h"
#include "stations/BandForm.h"
#include "stations/StationFilesRules.h"
#include "base/TextFile.h"
#include "ui/Application.h"
#include "ui/Timer.h"
#include "support/WindowTesting.h"

using namespace testing_support;

namespace {

// On the small file system when there is one, so that it can be filled.
const TestFolder& Folder() {
  static const TestFolder folder(false, [] {
    const char* full = std::getenv("TUNORA_FULL_DIR");
    return full && *full ? std::filesystem::path(full) : std::filesystem::temp_directory_path();
  }());
  return folder;
}

const char* const kBand = "Talk";
const char* const kGroupFile = "Talk1.dat";
const char* const kSkinFile = skins::kCurrentSkinFileName;
const char* const kSaved[] = {stations::kSettingsFileName, "Talk1.dat", "stationbands.ini",
                              skins::kCurrentSkinFileName};

// Adds a band name in the band dialog, which saves the list at once.
void AddBand(const std::string& name) {
  WhenShown(*BandForm, [name] {
    BandForm->EditNewStationBand.SetText(name);
    LeftClick(BandForm->VrDemoButtonAdd);
    LeftClick(BandForm->VrDemoButtonCancelBand);
  });
  LeftClick(View(*MainForm).VrDemoButtonBand);
}

class SaveFaults : public ::testing::Test {
 protected:
  // Every file the program keeps, saved the normal way with a station, a band and the
  // window's place of their own.
  void SetUp() override {
    ProgramPath();
    Folder().RemoveFiles();
    w.Labelgenre.SetCaption(kBand);
    w.VrNumBlock.SetValue(1);
    for (int k = 0; k < TMainForm::kPresets; ++k) {
      SetPreset(w, k, k == 0 ? "Saved Station" : "none", k == 0 ? "http://saved.example/" : "none");
    }
    m.SetBounds(40, 30, m.Width(), m.Height());
    m.SaveSettings();
    m.SaveStationGroup(1);
    m.SaveSkinFile(Folder() / kSkinFile);
    AddBand("Saved Band");
    for (const char* name : kSaved) before_[name] = Folder().Content(name);
    ASSERT_EQ(Folder().Names().size(), 4u);
    ASSERT_NE(before_["stationbands.ini"].find("Saved Band"), std::string::npos);

    // What the failing saves would write.
    w.VrDemoButtonStation[0].SetCaption("Changed Station");
    m.SetBounds(90, 80, m.Width(), m.Height());
  }

  void TearDown() override {
    for (const std::string& name : Folder().Names()) SetFileAttributesA((Folder() / name).c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA((Folder() / "filler").c_str());
  }

  // Tries each save through the window that makes it; returns the messages shown.
  std::vector<std::string> TryEverySave(const std::string& groupBand = kBand, const std::string& skinFile = "") {
    std::vector<std::string> messages;
    {
      MessageBoxWatcher boxes("Ovexia Tunora");
      WhenShown(*OptionsForm, [] { LeftClick(OptionsForm->VrDemoButtonExit); });
      LeftClick(w.VrDemoButtonOptions);  // closing the options saves the settings
      w.Labelgenre.SetCaption(groupBand);
      LeftClickOn(w.VrSpinnerStation, w.VrSpinnerStation.FirstButton());  // a step saves the group
      w.Labelgenre.SetCaption(kBand);
      AddBand("Unsaved Band");
      Pump(300);  // a box posted after the saves, too (theirs show at once)
      for (const SeenBox& box : boxes.Seen()) messages.push_back(box.text);
    }
    EXPECT_EQ(w.VrNumBlock.Value(), 1) << "a group that cannot be saved is not left";
    try {
      m.SaveSkinFile(skinFile.empty() ? (Folder() / kSkinFile) : skinFile);
      messages.push_back("(the skin was saved)");
    } catch (const base::EInOutError& e) {
      messages.push_back(e.what());
    }
    return messages;
  }

  // The files hold what they held, and nothing else is left in the folder.
  void ExpectNothingLost(const std::vector<std::string>& extra = {}) {
    for (const char* name : kSaved) EXPECT_EQ(Folder().Content(name), before_[name]) << name;
    std::vector<std::string> expected(std::begin(kSaved), std::end(kSaved));
    expected.insert(expected.end(), extra.begin(), extra.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Folder().Names(), expected) << "no temporary file stays";
  }

  // The shipped program, started in the folder afterwards: no message, the saved
  // station, band and place; its own Exit then saves them as they were.
  void ExpectTheProgramStartsWithWhatWasSaved(int left = 40, int top = 30) {
    ASSERT_FALSE(ProgramPath().empty()) << "give the path of tunora.exe";
    ProcessDriver program(ProgramPath(), Folder().Path());
    HWND main = program.WaitWindow("TunoraWindow", "Ovexia Tunora", 30000);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(program.AnswerMessageBox(1500), "") << "the start complains";
    EXPECT_NE(FindDescendant(main, "Saved Station"), nullptr) << "the saved group shows";
    const RECT r = ScreenRect(main);
    EXPECT_EQ(r.left, left);
    EXPECT_EQ(r.top, top);
    ClickWindow(FindDescendant(main, "Exit"));
    EXPECT_EQ(program.WaitExit(10000), 0);
    const auto settings = base::SplitLines(Folder().Content(stations::kSettingsFileName));
    ASSERT_EQ(settings.size(), 28u);
    EXPECT_EQ(settings[25], kBand);
    EXPECT_EQ(base::SplitLines(Folder().Content(kGroupFile))[0], "Saved Station");
    EXPECT_NE(Folder().Content("stationbands.ini").find("Saved Band"), std::string::npos);
    EXPECT_EQ(Folder().Content(kSkinFile), before_[kSkinFile]);
  }

  TMainForm& m = StartedProgram(std::make_shared<TestConnection>(), Folder());
  MainWindowView& w = View(m);

  std::map<std::string, std::string> before_;
};

// Every message names its file, says why and that the old content stays.
void ExpectToldForEveryFile(const std::vector<std::string>& messages, const std::string& why,
                            const std::string& groupFile = kGroupFile, const std::string& skinFile = kSkinFile) {
  ASSERT_EQ(messages.size(), 4u) << "settings, group, band list and skin each fail once";
  const std::string files[] = {stations::kSettingsFileName, groupFile, "stationbands.ini", skinFile};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(messages[i]);
    EXPECT_EQ(messages[i].rfind(why + ": ", 0), 0u);
    EXPECT_NE(messages[i].find(files[i] + " was not saved"), std::string::npos);
  }
}

TEST_F(SaveFaults, ReadOnlyFilesKeepTheirContentAndTheNextStartIsClean) {
  for (const char* name : kSaved) ASSERT_TRUE(SetFileAttributesA((Folder() / name).c_str(), FILE_ATTRIBUTE_READONLY));
  const std::vector<std::string> messages = TryEverySave();
  ExpectToldForEveryFile(messages, "File access denied");
  for (const std::string& m : messages) EXPECT_NE(m.find("keeps its previous content."), std::string::npos) << m;
  ExpectNothingLost();
  for (const char* name : kSaved) SetFileAttributesA((Folder() / name).c_str(), FILE_ATTRIBUTE_NORMAL);
  ExpectTheProgramStartsWithWhatWasSaved();
}

TEST_F(SaveFaults, AFullDiskKeepsEveryFileAndTheNextStartIsClean) {
  if (!std::getenv("TUNORA_FULL_DIR")) GTEST_SKIP() << "no small file system (tests/recording/with-full-disk.sh)";
  {
    // Fill the file system to the last byte.
    HANDLE filler = CreateFileA((Folder() / "filler").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(filler, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    for (std::size_t chunk : {std::size_t(65536), std::size_t(4096), std::size_t(1)}) {
      const std::string part(chunk, 'x');
      while (WriteFile(filler, part.data(), DWORD(chunk), &written, nullptr) && written == chunk) {
      }
    }
    CloseHandle(filler);
  }
  const std::vector<std::string> messages = TryEverySave();
  ExpectToldForEveryFile(messages, "Disk full");
  ExpectNothingLost({"filler"});
  DeleteFileA((Folder() / "filler").c_str());
  ExpectTheProgramStartsWithWhatWasSaved();
}

TEST_F(SaveFaults, AMissingFolderIsToldAndTheNextStartIsClean) {
  // A band whose name leads into a folder that is not there, and a skin saved into one.
  const std::string skin = Folder() / "gone\\my.skn";
  const std::vector<std::string> messages = TryEverySave("Gone\\Talk", skin);
  ASSERT_EQ(messages.size(), 2u) << "only the group and the skin fail";
  EXPECT_EQ(messages[0], "Path not found: " + (Folder() / "Gone\\Talk1.dat") + " was not saved.");
  EXPECT_EQ(messages[1], "Path not found: " + skin + " was not saved.");
  // The settings and the band list were saved: they hold the new values.
  EXPECT_NE(Folder().Content("stationbands.ini").find("Unsaved Band"), std::string::npos);
  EXPECT_EQ(Folder().Content(kGroupFile), before_[kGroupFile]);
  EXPECT_EQ(Folder().Content(kSkinFile), before_[kSkinFile]);
  EXPECT_EQ(Folder().Names().size(), 4u) << "no temporary file stays";
  ExpectTheProgramStartsWithWhatWasSaved(90, 80);  // the settings were saved where it was moved
}

}  // namespace
