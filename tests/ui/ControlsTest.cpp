// The plain controls under Wine: sorted lists, edits, drop-down lists, transparent
// labels, pictures, popup menus and the common dialogs.
#include <gtest/gtest.h>

#include <cmath>

#include "ui/Dialogs.h"
#include "ui/Form.h"
#include "ui/Menus.h"
#include "ui/StdControls.h"
#include "support/WindowTesting.h"

using namespace testing_support;

namespace {

class Host : public HostForm {
 public:
  Host() : HostForm(300, 200, ui::clRed) {
    HandleNeeded();  // the controls put on it get their windows at once
  }
};

std::string ListBoxText(HWND h, int i) {
  char buf[256] = "";
  SendMessageA(h, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(buf));
  return buf;
}

}  // namespace

TEST(Controls, ASortedListBoxOrdersWithoutRegardToCase) {
  Host host;
  ui::ListBox list("List");
  list.SetSorted(true);
  list.SetParent(&host);
  list.SetBounds(0, 0, 150, 150);
  for (const char* s : {"pop-Rock", "Alternative", "blues", "Zed", "alpha", "Blues"}) list.Add(s);
  const std::vector<std::string> expected{"alpha", "Alternative", "blues", "Blues", "pop-Rock", "Zed"};
  EXPECT_EQ(list.Items(), expected);
  for (int i = 0; i < list.Count(); ++i) EXPECT_EQ(ListBoxText(list.Handle(), i), expected[std::size_t(i)]);

  EXPECT_EQ(list.ItemIndex(), -1);
  list.SetItemIndex(4);
  EXPECT_EQ(list.ItemIndex(), 4);
  list.Delete(0);
  EXPECT_EQ(list.Item(0), "Alternative");
  EXPECT_EQ(ListBoxText(list.Handle(), 0), "Alternative");
  list.Clear();
  EXPECT_EQ(SendMessageA(list.Handle(), LB_GETCOUNT, 0, 0), 0);
}

TEST(Controls, AnEditHasNoLengthLimitAndReportsChanges) {
  Host host;
  ui::Edit edit("Edit");
  edit.SetParent(&host);
  edit.SetBounds(10, 10, 200, 20);
  int changes = 0;
  edit.OnChange = [&](ui::Control&) { ++changes; };
  const std::string longUrl = "http://example.invalid/" + std::string(40000, 'a');
  edit.SetText(longUrl);
  EXPECT_EQ(edit.Text(), longUrl);
  edit.SetText("");
  changes = 0;
  host.Show();
  edit.SetFocus();
  SendMessageA(edit.Handle(), WM_CHAR, 'k', 0);
  EXPECT_EQ(edit.Text(), "k");
  EXPECT_EQ(changes, 1);
}

TEST(Controls, ADropDownListKeepsItsItemsAndReportsAChoice) {
  Host host;
  ui::ComboBox box("Box");
  box.SetParent(&host);
  box.SetBounds(10, 10, 200, 22);
  int changes = 0;
  box.OnChange = [&](ui::Control&) { ++changes; };
  box.Add("PCM 8000 Hz, 8 bit, mono");
  box.Add("PCM 44100 Hz, 16 bit, stereo");
  EXPECT_EQ(box.ItemIndex(), -1);
  EXPECT_EQ(box.Text(), "");
  box.SetItemIndex(1);
  EXPECT_EQ(box.Text(), "PCM 44100 Hz, 16 bit, stereo");
  EXPECT_EQ(changes, 0) << "only the user's choice is reported";
  SendMessageA(host.Handle(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box.Handle()));
  EXPECT_EQ(changes, 1);
}

// A window made hidden makes its controls' windows only when it is first shown; lists
// keep their selection until then (the settings select items long before).
TEST(Controls, ListsKeepTheirSelectionUntilTheirWindowIsMade) {
  ui::Form later("Later");
  ui::ComboBox box("Box");
  box.SetParent(&later);
  ui::ListBox list("List");
  list.SetParent(&later);
  list.SetSorted(true);
  ASSERT_EQ(box.Handle(), nullptr);
  box.Add("8000 Hz");
  box.Add("44100 Hz");
  box.SetItemIndex(5);
  EXPECT_EQ(box.ItemIndex(), -1) << "an index outside the list selects nothing";
  box.SetItemIndex(1);
  EXPECT_EQ(box.Text(), "44100 Hz");
  list.Add("Pop");
  list.Add("Talk");
  list.SetItemIndex(1);
  list.Add("jazz");  // lands before the selected "Talk"
  EXPECT_EQ(list.ItemIndex(), 2);
  list.Delete(0);
  EXPECT_EQ(list.ItemIndex(), 1);
  list.Delete(1);
  EXPECT_EQ(list.ItemIndex(), -1) << "the selected item is gone";
  list.SetItemIndex(0);

  later.HandleNeeded();
  ASSERT_NE(box.Handle(), nullptr);
  EXPECT_EQ(SendMessageA(box.Handle(), CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(SendMessageA(list.Handle(), LB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(ListBoxText(list.Handle(), 0), "Pop");
}

TEST(Controls, ALabelDrawsItsTextOnItsParentsBackground) {
  Host host;
  ui::Label label("Label");
  label.SetParent(&host);
  label.SetPosition(10, 10);
  label.SetFont(ui::MakeFont("Arial", 16, true, ui::clAqua));
  label.SetCaption("Station History");
  EXPECT_GT(label.Width(), 40) << "sized to its text";
  host.Show();
  ui::Bitmap shot = CaptureClient(host.Handle());
  int text = 0, foreign = 0;
  for (int y = label.Top(); y < label.BoundsRect().bottom; ++y)
    for (int x = label.Left(); x < label.BoundsRect().right; ++x) {
      const ui::Color c = shot.PixelAt(x, y);
      if (c == ui::clAqua) ++text;
      // Anti-aliased edges blend aqua into red: green and blue alike, red falling as
      // green rises (linearly, or along the display's gamma). Any other colour, a
      // background of the label's own for one, is foreign.
      const double r = ui::RedOf(c) / 255.0, g = ui::GreenOf(c) / 255.0;
      const bool blend = std::abs(ui::GreenOf(c) - ui::BlueOf(c)) <= 12 &&
                         (std::abs(r + g - 1) <= 0.25 || std::abs(std::pow(r, 2.2) + std::pow(g, 2.2) - 1) <= 0.3);
      if (c != ui::clAqua && c != ui::clRed && !blend) ++foreign;
    }
  EXPECT_GT(text, 30);
  EXPECT_EQ(foreign, 0);
}

TEST(Controls, AnImageShowsItsJpegPicture) {
  Host host;
  ui::Image image("Image");
  image.SetParent(&host);
  image.SetAutoSize(true);
  image.SetPicture(ui::Bitmap::FromJpegResource("SPLASH"));
  EXPECT_EQ(image.Width(), 488);
  host.SetClientSize(500, 240);
  host.Show();
  ui::Bitmap shot = CaptureClient(host.Handle());
  // Against the picture as another decoder reads it; decoders may round the colour
  // transform differently by a step or two.
  const ReferencePicture reference = ReadReferencePicture("splash-reference.ppm");
  ASSERT_EQ(reference.width, 488);
  ASSERT_EQ(reference.height, 232);
  int mismatches = 0, distinct = 0;
  ui::Color previous = shot.PixelAt(0, 0);
  for (int y = 0; y < 232; y += 3)
    for (int x = 0; x < 488; x += 3) {
      const ui::Color seen = shot.PixelAt(x, y);
      if (!NearColor(seen, reference.At(x, y), 6)) ++mismatches;
      if (seen != previous) ++distinct;
      previous = seen;
    }
  EXPECT_EQ(mismatches, 0);
  EXPECT_GT(distinct, 1000) << "the picture is not a plain fill";
}

TEST(Controls, APopupMenuRunsTheChosenItem) {
  Host host;
  host.Show();
  ui::PopupMenu menu;
  std::string chosen;
  menu.Add("Drag and Drop Display", [&] { chosen = "display"; });
  menu.Add("-", nullptr);
  menu.Add("Drag and Drop Fader Block", [&] { chosen = "fader"; });
  int index = -1;
  std::atomic<bool> pressed{false};
  // On a busy machine the menu now and then closes unchosen before its keys reach it:
  // then once more.
  for (int attempt = 0; attempt < 2 && index == -1; ++attempt) {
    std::thread keys = PressMenuKeys({VK_DOWN, VK_DOWN, VK_RETURN}, &pressed);
    index = menu.Popup({200, 200}, &host);
    keys.join();
  }
  EXPECT_TRUE(pressed) << "the keys never reached an open menu";
  EXPECT_EQ(index, 2);
  EXPECT_EQ(chosen, "fader");
}

TEST(Controls, TheSaveDialogReturnsTheChosenFileWithItsExtension) {
  ui::SaveDialog dialog;
  dialog.title = "Choose the recording file";
  dialog.filter = "Windows PCM (*.wav)|*.wav";
  dialog.defaultExt = "*.wav";
  dialog.initialDir = "C:\\";
  std::string name = "myrecording";
  std::thread answer = WhenDialogAppears(dialog.title, AnswerFileDialog, &name);
  const bool ok = dialog.Execute();
  answer.join();
  EXPECT_TRUE(ok);
  EXPECT_EQ(dialog.fileName, "C:\\myrecording.wav");
}

TEST(Controls, TheColourDialogReturnsTheColour) {
  ui::ColorDialog dialog;
  dialog.color = ui::clTeal;
  // The user types another colour into the dialog's red, green and blue fields.
  std::thread answer = WhenDialogAppears(
      "Color",
      [](HWND d, void*) {
        SetDlgItemTextA(d, 706, "12");
        SetDlgItemTextA(d, 707, "34");
        SetDlgItemTextA(d, 708, "56");
        PostMessageA(d, WM_COMMAND, IDOK, 0);
      },
      nullptr);
  EXPECT_TRUE(dialog.Execute());
  answer.join();
  EXPECT_EQ(dialog.color, ui::Rgb(12, 34, 56));

  // Cancel keeps the colour the dialog started with.
  dialog.color = ui::clTeal;
  answer = WhenDialogAppears(
      "Color",
      [](HWND d, void*) {
        SetDlgItemTextA(d, 706, "200");
        PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
      },
      nullptr);
  EXPECT_FALSE(dialog.Execute());
  answer.join();
  EXPECT_EQ(dialog.color, ui::clTeal);
}

TEST(Controls, BitmapsLoadFromResourcesAndFilesAndADamagedFileIsNamed) {
  const ui::Bitmap logo = ui::Bitmap::FromBitmapResource("LOGO");
  EXPECT_EQ(logo.Width(), 102);
  EXPECT_EQ(logo.Height(), 12);

  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  const std::string path = std::string(dir) + "tunora-damaged-" + std::to_string(GetCurrentProcessId()) + ".bmp";
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(f, "BM\x10\0\0\0garbage", 15, &written, nullptr);
  CloseHandle(f);
  try {
    ui::Bitmap::FromBitmapFile(path);
    ADD_FAILURE() << "a damaged bitmap file was accepted";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find(path), std::string::npos);
  }
  DeleteFileA(path.c_str());
}
