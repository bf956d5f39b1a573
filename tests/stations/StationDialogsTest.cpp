// The band manager, the station editor and the history window under Wine, driven by
// real window messages inside their modal loops; the band file in a folder of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "stations/BandForm.h"
#include "stations/EditStationForm.h"
#include "stations/HistoryForm.h"
#include "support/TestFolder.h"
#include "ui/Timer.h"
#include "support/WindowTesting.h"

using namespace testing_support;
using Lines = std::vector<std::string>;

namespace {

// Shows the form modally and runs `during` once inside its modal loop; a form still open
// afterwards ends with 99. A dialog that ends before `during` ran fails the test: the
// expectations inside it would never have been checked.
int ShowModalDoing(ui::Form& form, const std::function<void()>& during) {
  ui::Timer timer;
  bool ran = false;
  timer.SetInterval(20);
  timer.OnTimer = [&] {
    timer.SetEnabled(false);
    ran = true;
    during();
    if (form.ModalResult() == ui::mrNone) form.SetModalResult(99);
  };
  timer.SetEnabled(true);
  const int result = form.ShowModal();
  EXPECT_TRUE(ran) << form.Name() << " ended before the test could act in it";
  return result;
}

void Click(ui::WinControl& control) {
  SendClick(control.Handle(), control.Width() / 2, control.Height() / 2);
}

void Type(ui::Edit& edit, const std::string& text) {
  edit.SetFocus();
  SendMessageA(edit.Handle(), WM_SETTEXT, 0, LPARAM(""));
  for (char c : text) SendMessageA(edit.Handle(), WM_CHAR, static_cast<unsigned char>(c), 0);
}

// A press on the list's item (14 pixels high), twice for a double click.
void ClickItem(ui::ListBox& list, int index, bool twice = false) {
  const int y = index * 14 + 7;
  for (UINT down : {UINT(WM_LBUTTONDOWN), UINT(WM_LBUTTONDBLCLK)}) {
    SendMouse(list.Handle(), down, 20, y, MK_LBUTTON);
    SendMouse(list.Handle(), WM_LBUTTONUP, 20, y);
    if (!twice) return;
  }
}

std::string Selected(const ui::ListBox& list) {
  return list.Item(list.ItemIndex());
}

}  // namespace

TEST(StationsBandForm, AddsLandInTheirSortedPlaceAndRewriteTheBandFile) {
  TestFolder folder(true);
  TBandForm form;
  const int result = ShowModalDoing(form, [&] {
    EXPECT_EQ(form.ListBoxBands.Items(), stations::BuiltInBands());
    Click(form.VrDemoButtonAdd);  // an empty field
    EXPECT_TRUE(folder.Names().empty()) << "an empty add writes nothing";

    Type(form.EditNewStationBand, "jazz");
    Click(form.VrDemoButtonAdd);
    const Lines& items = form.ListBoxBands.Items();
    const auto at = std::find(items.begin(), items.end(), "jazz");
    ASSERT_NE(at, items.end());
    EXPECT_EQ(at[-1], "Heavy Metal");
    EXPECT_EQ(at[1], "News");
    EXPECT_EQ(form.ListBoxBands.ItemIndex(), -1) << "the selection does not move to the new name";
    EXPECT_EQ(base::SplitLines(folder.Content("stationbands.ini")), items);
    EXPECT_EQ(items.size(), 20u);

    Click(form.VrDemoButtonAdd);  // the field keeps its text: the same name again
    EXPECT_EQ(base::SplitLines(folder.Content("stationbands.ini")).size(), 21u);
    Click(form.VrDemoButtonCancelBand);
  });
  EXPECT_EQ(result, ui::mrCancel);
  EXPECT_EQ(form.ListBoxBands.Count(), 21) << "cancel keeps the added names";
  EXPECT_EQ(folder.Names(), Lines{"stationbands.ini"}) << "no temporary file stays";
}

TEST(StationsBandForm, ActivationReloadsTheFileAndRemoveRewritesIt) {
  TestFolder folder(true);
  folder.Put("stationbands.ini", "Talk\nnews\r\n\r\nAmbient");  // any order, any line ends
  TBandForm form;
  ShowModalDoing(form, [&] {
    EXPECT_EQ(form.ListBoxBands.Items(), (Lines{"", "Ambient", "news", "Talk"}));
    Click(form.VrDemoButtonRemove);  // nothing selected
    EXPECT_EQ(folder.Content("stationbands.ini"), "\r\nAmbient\r\nnews\r\nTalk\r\n");
    ClickItem(form.ListBoxBands, 2);
    Click(form.VrDemoButtonRemove);
    EXPECT_EQ(folder.Content("stationbands.ini"), "\r\nAmbient\r\nTalk\r\n");
  });

  folder.Put("stationbands.ini", "Reggae\r\nBlues\r\n");
  ShowModalDoing(form, [&] {
    EXPECT_EQ(form.ListBoxBands.Items(), (Lines{"Blues", "Reggae"}));
    EXPECT_EQ(form.ListBoxBands.ItemIndex(), -1) << "a reload loses the selection";
  });
}

TEST(StationsBandForm, SelectBandAndADoubleClickEndWithTheChosenName) {
  TestFolder folder(true);
  TBandForm form;
  EXPECT_EQ(ShowModalDoing(form,
                           [&] {
                             ClickItem(form.ListBoxBands, 4);
                             Click(form.VrDemoButtonSelectBand);
                           }),
            ui::mrOk);
  EXPECT_EQ(Selected(form.ListBoxBands), "Country") << "readable after the dialog ends";
  EXPECT_EQ(ShowModalDoing(form, [&] { ClickItem(form.ListBoxBands, 14, true); }), ui::mrOk);
  EXPECT_EQ(Selected(form.ListBoxBands), "Pop-Rock");
}

TEST(StationsBandForm, FileErrorsAreReportedOnceAndTheListKeepsItsNames) {
  TestFolder folder(true);
  folder.Put("stationbands.ini", "Talk\r\n");
  // Another program holds the file for itself alone: every activation fails to read it,
  // and closing the report activates the dialog again.
  HANDLE locked =
      CreateFileA((folder / "stationbands.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  TBandForm form;
  MessageBoxWatcher boxes;
  ShowModalDoing(form, [&] {
    EXPECT_TRUE(WaitFor([&] { return !boxes.Seen().empty(); })) << "the failed read is not told";
    Type(form.EditNewStationBand, "Lounge");
    Click(form.VrDemoButtonAdd);
    EXPECT_EQ(form.ListBoxBands.Count(), 20) << "the list keeps the name it could not save";
  });
  const std::vector<SeenBox> seen = boxes.Seen();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].text, "I/O error 32");
  EXPECT_EQ(seen[1].text.rfind("File access denied: ", 0), 0u) << seen[1].text;
  EXPECT_NE(seen[1].text.find("stationbands.ini was not saved and keeps its previous content."), std::string::npos)
      << seen[1].text;
  CloseHandle(locked);
  EXPECT_EQ(folder.Content("stationbands.ini"), "Talk\r\n");
  EXPECT_EQ(folder.Names(), Lines{"stationbands.ini"}) << "no temporary file stays";
  ShowModalDoing(form, [&] { EXPECT_EQ(form.ListBoxBands.Items(), Lines{"Talk"}); });
}

// A band names its files: Add refuses what cannot, and a band file holding such names
// is reported once and read without them.
TEST(StationsBandForm, NamesThatCannotNameFilesAreRefusedAndLeftOutOfTheFile) {
  TestFolder folder(true);
  const std::string damaged = "Talk\r\n..\\x\r\nCOM\r\n";
  folder.Put("stationbands.ini", damaged);
  TBandForm form;
  MessageBoxWatcher boxes;
  const char* refused[] = {"..\\up", "Rock/Pop", "lpt", "Jazz.", "nul"};
  ShowModalDoing(form, [&] {
    EXPECT_TRUE(WaitFor([&] { return !boxes.Seen().empty(); })) << "the damaged file is not told";
    EXPECT_EQ(form.ListBoxBands.Items(), Lines{"Talk"});
    for (const char* name : refused) {
      Type(form.EditNewStationBand, name);
      Click(form.VrDemoButtonAdd);
    }
    EXPECT_EQ(form.ListBoxBands.Items(), Lines{"Talk"});
    EXPECT_EQ(folder.Content("stationbands.ini"), damaged) << "a refused name writes nothing";
    Type(form.EditNewStationBand, "Lounge");
    Click(form.VrDemoButtonAdd);
    EXPECT_EQ(folder.Content("stationbands.ini"), "Lounge\r\nTalk\r\n");
  });
  const std::vector<SeenBox> seen = boxes.Seen();
  ASSERT_EQ(seen.size(), 1u + std::size(refused));
  EXPECT_NE(seen[0].text.find("stationbands.ini holds names that cannot be station bands, left out of the list: "
                              "\"..\\x\", \"COM\""),
            std::string::npos)
      << seen[0].text;
  for (std::size_t i = 0; i < std::size(refused); ++i)
    EXPECT_EQ(seen[i + 1].text.rfind("\"" + std::string(refused[i]) + "\" cannot be the name of a station band", 0), 0u)
        << seen[i + 1].text;
}

TEST(StationsEditStationForm, SaveAndExitEndsWithOkAndTheFieldsHoldWhatWasTyped) {
  TEditStationForm form;
  EXPECT_EQ(form.EditStationURL.Text(), "Empty");
  EXPECT_EQ(base::SplitLines(form.LabelSTEx.Caption()).size(), 4u);
  const int result = ShowModalDoing(form, [&] {
    Type(form.EditStationName, "Jazz \xE9t\xE9");
    Type(form.EditStationURL, "http://jazz:8000/");
    Click(form.VrDemoButtonExit);
  });
  EXPECT_EQ(result, ui::mrOk);
  EXPECT_EQ(form.EditStationName.Text(), "Jazz \xE9t\xE9");
  EXPECT_EQ(form.EditStationURL.Text(), "http://jazz:8000/");
  EXPECT_EQ(ShowModalDoing(form, [&] { SendMessageA(form.Handle(), WM_CLOSE, 0, 0); }), ui::mrCancel);
}

TEST(StationsEditStationForm, TheDialogIsDraggedByAFreeSpotOfItsFrameToo) {
  TEditStationForm form;
  form.Show();
  Pump(100);
  RECT before, after;
  GetWindowRect(form.Handle(), &before);
  const POINT onFrame{before.left + 298, before.top + 100};  // right of the URL field
  RealDrag(onFrame, {onFrame.x - 30, onFrame.y + 25});
  GetWindowRect(form.Handle(), &after);
  EXPECT_EQ(after.left - before.left, -30);
  EXPECT_EQ(after.top - before.top, 25);
  form.Hide();
}

TEST(StationsHistoryForm, EntriesAreStackedButtonsThatStartTheirStationWithoutReordering) {
  THistoryForm form;
  form.HandleNeeded();
  EXPECT_EQ(form.Entries(), stations::EmptyHistory());
  RECT first, second;
  GetWindowRect(form.VrDemoButtonHis1.Handle(), &first);
  GetWindowRect(form.VrDemoButtonHis2.Handle(), &second);
  EXPECT_EQ(first.right - first.left, 229);
  EXPECT_EQ(first.bottom - first.top, 18);
  EXPECT_EQ(second.top - first.top, 19);

  stations::History history = stations::EmptyHistory();
  for (int i = 1; i <= 5; ++i)
    stations::PushHistory(history, "Station " + std::to_string(i), "http://s" + std::to_string(i));
  form.SetEntries(history);
  EXPECT_EQ(form.EditHis3.Text(), "http://s3");

  std::vector<stations::Preset> started;
  form.OnEntryClick = [&](const std::string& name, const std::string& url) { started.push_back({name, url}); };
  const int result = ShowModalDoing(form, [&] {
    Click(form.VrDemoButtonHis3);
    Click(form.VrDemoButtonHis9);
    EXPECT_EQ(form.ModalResult(), ui::mrNone) << "the window stays open";
    Click(form.VrDemoButtonCloseHistory);
  });
  EXPECT_EQ(result, ui::mrOk);
  EXPECT_EQ(started, (std::vector<stations::Preset>{{"Station 3", "http://s3"}, {"none", "Empty"}}));
  EXPECT_EQ(form.Entries(), history) << "starting an entry does not move it";
}

TEST(StationsDialogs, TitlesCaptionsFieldsAndListsAreOnTheScreen) {
  const auto count = [](ui::Form& form, const RECT& r, ui::Color c) {
    form.Show();
    const ui::Bitmap shot = CaptureClient(form.Handle());
    form.Hide();
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += shot.PixelAt(x, y) == c;
    return n;
  };
  const RECT title{8, 4, 200, 28};
  TEditStationForm editor;
  TBandForm bands;
  THistoryForm history;
  for (ui::Form* form :
       {static_cast<ui::Form*>(&editor), static_cast<ui::Form*>(&bands), static_cast<ui::Form*>(&history)})
    EXPECT_GT(count(*form, title, ui::clAqua), 20) << form->Name() << "'s title";
  EXPECT_GT(count(editor, {18, 40, 150, 56}, ui::clTeal), 20) << "a field caption";
  EXPECT_GT(count(editor, {18, 57, 290, 75}, ui::clAqua), 5) << "a field's text";
  EXPECT_GT(count(editor, {18, 126, 290, 196}, ui::clTeal), 100) << "the example addresses";
  EXPECT_GT(count(bands, {14, 38, 224, 262}, ui::clTeal), 300) << "the names in the list";
  EXPECT_GT(count(history, {16, 230, 245, 248}, ui::clTeal), 10) << "the last entry's \"none\"";
}
