// The band manager, the station editor and the history window under Wine, driven by
// real window messages inside their modal loops; the band file in a folder of its own.
#include <gtest/gtest.h>

#include <functional>

#include "stations/BandForm.h"
#include "stations/EditStationForm.h"
#include "stations/HistoryForm.h"
#include "stations/StationFilesRules.h"
#include "stations/TestFolder.h"
#include "ui/Timer.h"
#include "ui/WindowTesting.h"

using namespace testing_support;
using Lines = std::vector<std::string>;

namespace {

constexpr int kStillOpen = 99;

// Shows the form modally and runs `during` once inside its modal loop. A form that is
// still open afterwards ends with kStillOpen.
int ShowModalDoing(ui::Form& form, const std::function<void()>& during) {
  ui::Timer timer;
  timer.SetInterval(20);
  timer.OnTimer = [&] {
    timer.SetEnabled(false);
    during();
    if (form.ModalResult() == ui::mrNone) form.SetModalResult(kStillOpen);
  };
  timer.SetEnabled(true);
  return form.ShowModal();
}

// A click in the middle of a windowed control.
void Click(ui::WinControl& control) {
  SendClick(control.Handle(), control.Width() / 2, control.Height() / 2);
}

void Type(ui::Edit& edit, const std::string& text) {
  edit.SetFocus();
  for (char c : text) SendMessageA(edit.Handle(), WM_CHAR, static_cast<unsigned char>(c), 0);
}

// A press on the list's item at index (item height 14, no scrolling).
void ClickItem(ui::ListBox& list, int index, bool twice = false) {
  const int y = index * 14 + 7;
  SendMouse(list.Handle(), WM_LBUTTONDOWN, 20, y, MK_LBUTTON);
  SendMouse(list.Handle(), WM_LBUTTONUP, 20, y);
  if (!twice) return;
  SendMouse(list.Handle(), WM_LBUTTONDBLCLK, 20, y, MK_LBUTTON);
  SendMouse(list.Handle(), WM_LBUTTONUP, 20, y);
}

int IndexOf(const ui::ListBox& list, const std::string& item) {
  for (int i = 0; i < list.Count(); ++i)
    if (list.Item(i) == item) return i;
  return -1;
}

}  // namespace

TEST(StationsBandForm, FirstAddCreatesTheBandFileWithTheNewNameInItsSortedPlace) {
  TestFolder folder(true);
  TBandForm form;
  const int result = ShowModalDoing(form, [&] {
    EXPECT_EQ(form.ListBoxBands.Items(), stations::BuiltInBands());

    Click(form.VrDemoButtonAdd);  // an empty field
    EXPECT_EQ(form.ListBoxBands.Count(), 19);
    EXPECT_TRUE(folder.Names().empty()) << "an empty add writes nothing";

    Type(form.EditNewStationBand, "jazz");
    Click(form.VrDemoButtonAdd);
    const int at = IndexOf(form.ListBoxBands, "jazz");
    EXPECT_EQ(form.ListBoxBands.Item(at - 1), "Heavy Metal");
    EXPECT_EQ(form.ListBoxBands.Item(at + 1), "News");
    EXPECT_EQ(form.ListBoxBands.ItemIndex(), -1) << "the selection does not move to the new name";
    EXPECT_EQ(form.EditNewStationBand.Text(), "jazz") << "the field keeps its text";
    const Lines lines = stations::SplitLines(folder.Content("stationbands.ini"));
    EXPECT_EQ(lines.size(), 20u);
    EXPECT_EQ(lines, form.ListBoxBands.Items());
    EXPECT_EQ(folder.Content("stationbands.ini").substr(0, 13), "Alternative\r\n");

    Click(form.VrDemoButtonAdd);  // the same name again
    EXPECT_EQ(stations::SplitLines(folder.Content("stationbands.ini")).size(), 21u);
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
    EXPECT_EQ(form.ListBoxBands.ItemIndex(), 2);
    Click(form.VrDemoButtonRemove);
    EXPECT_EQ(folder.Content("stationbands.ini"), "\r\nAmbient\r\nTalk\r\n");
    Click(form.VrDemoButtonCancelBand);
  });

  // The next showing reads the file again; the selection is gone.
  folder.Put("stationbands.ini", "Reggae\r\nBlues\r\n");
  ShowModalDoing(form, [&] {
    EXPECT_EQ(form.ListBoxBands.Items(), (Lines{"Blues", "Reggae"}));
    EXPECT_EQ(form.ListBoxBands.ItemIndex(), -1);
  });
}

TEST(StationsBandForm, SelectBandAndADoubleClickEndWithTheChosenName) {
  TestFolder folder(true);
  TBandForm form;
  int result = ShowModalDoing(form, [&] {
    ClickItem(form.ListBoxBands, 4);
    Click(form.VrDemoButtonSelectBand);
  });
  EXPECT_EQ(result, ui::mrOk);
  EXPECT_EQ(form.ListBoxBands.Item(form.ListBoxBands.ItemIndex()), "Country") << "readable after the dialog ends";

  result = ShowModalDoing(form, [&] { ClickItem(form.ListBoxBands, 14, true); });
  EXPECT_EQ(result, ui::mrOk);
  EXPECT_EQ(form.ListBoxBands.Item(form.ListBoxBands.ItemIndex()), "Pop-Rock");
  EXPECT_TRUE(folder.Names().empty()) << "choosing writes no band file";
}

TEST(StationsBandForm, ABandFileThatCannotBeWrittenIsReportedAndTheListKeepsTheName) {
  TestFolder folder(true);
  CreateDirectoryA((folder / "stationbands.ini").c_str(), nullptr);
  TBandForm form;
  MessageBoxWatcher boxes;
  ShowModalDoing(form, [&] {
    Type(form.EditNewStationBand, "Lounge");
    Click(form.VrDemoButtonAdd);
    PumpUntil([&] { return !boxes.Seen().empty(); });
    EXPECT_NE(IndexOf(form.ListBoxBands, "Lounge"), -1);
    Click(form.VrDemoButtonCancelBand);
  });
  const std::vector<SeenBox> seen = boxes.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, "File access denied");
  EXPECT_EQ(folder.Names(), Lines{"stationbands.ini"}) << "no temporary file stays";
}

TEST(StationsBandForm, ABandFileThatCannotBeReadIsReportedOncePerShowing) {
  TestFolder folder(true);
  folder.Put("stationbands.ini", "Talk\r\n");
  // Another program holds the file open for itself alone.
  HANDLE locked =
      CreateFileA((folder / "stationbands.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  TBandForm form;
  MessageBoxWatcher boxes;
  const int result = ShowModalDoing(form, [&] {
    Pump(500);  // time for reports that would follow each other
    EXPECT_EQ(form.ListBoxBands.Items(), stations::BuiltInBands());
    Click(form.VrDemoButtonCancelBand);
  });
  EXPECT_EQ(result, ui::mrCancel);
  const std::vector<SeenBox> seen = boxes.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, "I/O error 32");

  CloseHandle(locked);
  ShowModalDoing(form, [&] { EXPECT_EQ(form.ListBoxBands.Items(), Lines{"Talk"}); });
}

TEST(StationsEditStationForm, SaveAndExitEndsWithOkAndTheFieldsHoldWhatWasTyped) {
  TEditStationForm form;
  EXPECT_EQ(form.EditStationName.Text(), "Empty");
  EXPECT_EQ(form.EditStationURL.Text(), "Empty");
  EXPECT_EQ(stations::SplitLines(form.LabelSTEx.Caption()).size(), 4u);
  EXPECT_EQ(form.LabelSTEx.Caption().substr(0, 16), "URL examples: \r\n");

  form.EditStationName.SetText("none");
  form.EditStationURL.SetText("none");
  const int result = ShowModalDoing(form, [&] {
    SendMessageA(form.EditStationName.Handle(), WM_SETTEXT, 0, LPARAM(""));
    Type(form.EditStationName, "Jazz \xE9t\xE9");
    SendMessageA(form.EditStationURL.Handle(), WM_SETTEXT, 0, LPARAM(""));
    Type(form.EditStationURL, "http://jazz:8000/");
    Click(form.VrDemoButtonExit);
  });
  EXPECT_EQ(result, ui::mrOk);
  EXPECT_EQ(form.EditStationName.Text(), "Jazz \xE9t\xE9");
  EXPECT_EQ(form.EditStationURL.Text(), "http://jazz:8000/");

  // The system's close command ends the dialog too; the fields are the same to take back.
  EXPECT_EQ(ShowModalDoing(form, [&] { SendMessageA(form.Handle(), WM_CLOSE, 0, 0); }), ui::mrCancel);
  EXPECT_EQ(form.EditStationURL.Text(), "http://jazz:8000/");
}

TEST(StationsEditStationForm, TheDialogIsDraggedByAFreeSpotOfItsFrameToo) {
  TEditStationForm form;
  form.Show();
  Pump(100);
  RECT before;
  GetWindowRect(form.Handle(), &before);
  const POINT onFrame{before.left + 298, before.top + 100};  // right of the URL field
  RealDrag(onFrame, {onFrame.x - 30, onFrame.y + 25});
  RECT after;
  GetWindowRect(form.Handle(), &after);
  EXPECT_EQ(after.left - before.left, -30);
  EXPECT_EQ(after.top - before.top, 25);
  form.Hide();
}

TEST(StationsHistoryForm, EntriesAreStackedButtonsThatStartTheirStationWithoutReordering) {
  THistoryForm form;
  for (const stations::Preset& p : form.Entries()) EXPECT_EQ(p, (stations::Preset{"none", "Empty"}));

  RECT first, second, last;
  GetWindowRect(form.EntryButton(1).Handle(), &first);
  GetWindowRect(form.EntryButton(2).Handle(), &second);
  GetWindowRect(form.EntryButton(11).Handle(), &last);
  EXPECT_EQ(first.right - first.left, 229);
  EXPECT_EQ(first.bottom - first.top, 18);
  EXPECT_EQ(second.top - first.top, 19);
  EXPECT_EQ(last.top - first.top, 190);
  EXPECT_FALSE(IsWindowVisible(form.EntryUrl(1).Handle()));

  stations::History history = stations::EmptyHistory();
  for (int i = 1; i <= 5; ++i)
    stations::PushHistory(history, "Station " + std::to_string(i), "http://s" + std::to_string(i));
  form.SetEntries(history);
  EXPECT_EQ(form.Entries(), history);
  EXPECT_EQ(form.VrDemoButtonHis3.Caption(), "Station 3");
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

TEST(StationsDialogs, TitlesFieldsAndListsShowTheirColours) {
  // Whether the labels, fields and lists are on the screen at all, above the panels.
  const auto count = [](const ui::Bitmap& shot, const RECT& r, ui::Color c) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += shot.PixelAt(x, y) == c;
    return n;
  };
  const auto shotOf = [](ui::Form& form) {
    form.Show();
    ui::Bitmap shot = CaptureClient(form.Handle());
    form.Hide();
    return shot;
  };
  const RECT title{8, 4, 200, 28};

  TEditStationForm editor;
  ui::Bitmap shot = shotOf(editor);
  EXPECT_GT(count(shot, title, ui::clAqua), 20) << "the title";
  EXPECT_GT(count(shot, {18, 40, 150, 56}, ui::clTeal), 20) << "a field caption";
  EXPECT_GT(count(shot, {18, 57, 290, 75}, ui::clAqua), 5) << "a field's text";
  EXPECT_GT(count(shot, {18, 57, 290, 75}, ui::clBlack), 1000) << "a field's face";
  EXPECT_GT(count(shot, {18, 126, 290, 196}, ui::clTeal), 100) << "the four lines of examples";

  TBandForm bands;
  shot = shotOf(bands);
  EXPECT_GT(count(shot, title, ui::clAqua), 20) << "the title";
  EXPECT_GT(count(shot, {14, 38, 224, 262}, ui::clTeal), 300) << "the names in the list";
  EXPECT_GT(count(shot, {10, 272, 220, 290}, ui::clTeal), 20) << "the entry field's caption";

  THistoryForm history;
  RECT lastEntry;
  GetWindowRect(history.VrDemoButtonHis11.Handle(), &lastEntry);
  MapWindowPoints(nullptr, history.Handle(), reinterpret_cast<POINT*>(&lastEntry), 2);
  shot = shotOf(history);
  EXPECT_GT(count(shot, title, ui::clAqua), 20) << "the title";
  EXPECT_GT(count(shot, lastEntry, ui::clTeal), 10) << "the last entry's \"none\"";
}
