// The program's windows as start-up makes them: their order, frames and sizes, the
// splash picture, and the message window.
#include <gtest/gtest.h>

#include "app/AllForms.h"
#include "app/FormSure.h"
#include "app/SplashForm.h"
#include "stations/HistoryForm.h"
#include "ui/Application.h"
#include "support/WindowTesting.h"

using namespace testing_support;

namespace {

// Start-up's forms live as long as the test program, like in the program itself.
void EnsureForms() {
  if (ui::App().Forms().empty()) app::CreateAllForms();
}

}  // namespace

TEST(Forms, EveryWindowIsMadeInOrderFramelessAndHidden) {
  EnsureForms();
  struct Expected {
    const char* name;
    int width, height;
    ui::Color color;
  };
  const Expected expected[] = {
      {"MainForm", 601, 352, ui::clBlack},     {"HistoryForm", 262, 293, ui::clBlack},
      {"BandForm", 238, 387, ui::clBlack},     {"OptionsForm", 349, 202, ui::clBlack},
      {"SkinForm", 290, 430, ui::clBlack},     {"EditStationForm", 311, 245, ui::clBlack},
      {"FormSure", 492, 236, ui::Rgb(47, 47, 47)}, {"AboutForm", 560, 417, ui::clBlack},
      {"FindStationForm", 560, 440, ui::clBlack},
      {"ScheduleForm", 440, 432, ui::clBlack},
      {"SleepMinutesForm", 238, 122, ui::clBlack},
  };
  const auto& forms = ui::App().Forms();
  ASSERT_EQ(forms.size(), std::size(expected));
  EXPECT_EQ(ui::App().MainForm(), forms[0].get());
  for (std::size_t i = 0; i < forms.size(); ++i) {
    ui::Form& f = *forms[i];
    SCOPED_TRACE(expected[i].name);
    // Only the main window has its window from the start; the others make theirs when
    // first shown.
    f.HandleNeeded();
    EXPECT_EQ(f.Name(), expected[i].name);
    RECT client, window;
    GetClientRect(f.Handle(), &client);
    GetWindowRect(f.Handle(), &window);
    EXPECT_EQ(client.right, expected[i].width);
    EXPECT_EQ(client.bottom, expected[i].height);
    EXPECT_EQ(window.right - window.left, expected[i].width) << "no frame around the client area";
    EXPECT_EQ(f.GetColor(), expected[i].color);
    EXPECT_FALSE(IsWindowVisible(f.Handle()));
    EXPECT_EQ(GetWindowLongA(f.Handle(), GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU), 0);
  }
}

TEST(Forms, TheSplashWindowShowsItsPictureInAThinGreyFrame) {
  ShowSplash();
  ASSERT_NE(SplashForm, nullptr);
  EXPECT_TRUE(EnvironmentOk) << "this machine has the player's class key and a sound device";
  RECT client;
  GetClientRect(SplashForm->Handle(), &client);
  EXPECT_EQ(client.right, 492);
  EXPECT_EQ(client.bottom, 236);

  ui::Bitmap shot = CaptureClient(SplashForm->Handle());
  const ui::Bitmap& picture = SplashForm->SplashForm.Picture();
  ASSERT_EQ(picture.Width(), 488);
  ASSERT_EQ(picture.Height(), 232);
  EXPECT_EQ(shot.PixelAt(0, 0), ui::clGray);
  EXPECT_EQ(shot.PixelAt(491, 235), ui::clGray);
  EXPECT_EQ(shot.PixelAt(1, 1), ui::clBlack);
  // The picture is on the screen as another decoder reads it, and it is no plain fill.
  const ReferencePicture reference = ReadReferencePicture("splash-reference.ppm");
  ASSERT_EQ(reference.width, 488);
  int differences = 0, distinct = 0;
  for (int y = 0; y < 232; y += 7)
    for (int x = 0; x < 488; x += 7) {
      differences += !NearColor(shot.PixelAt(x + 2, y + 2), reference.At(x, y), 6);
      distinct += shot.PixelAt(x + 2, y + 2) != shot.PixelAt(2, 2);
    }
  EXPECT_EQ(differences, 0);
  EXPECT_GT(distinct, 100);
  DestroySplash();
  EXPECT_EQ(SplashForm, nullptr);
}

LRESULT CALLBACK RefuseActivation(int code, WPARAM wp, LPARAM lp) {
  return code == HCBT_ACTIVATE ? 1 : CallNextHookEx(nullptr, code, wp, lp);
}

// A start whose first window is not made active (a shortcut set to start minimised, or
// another program holding the foreground): the checks run all the same.
TEST(Forms, TheSplashWindowChecksTheMachineEvenWhenItIsNotActivated) {
  EnvironmentOk = false;
  HHOOK refuseActivation = SetWindowsHookExA(WH_CBT, RefuseActivation, nullptr, GetCurrentThreadId());
  ASSERT_NE(refuseActivation, nullptr);
  ShowSplash();
  UnhookWindowsHookEx(refuseActivation);
  ASSERT_NE(SplashForm, nullptr);
  EXPECT_NE(GetActiveWindow(), SplashForm->Handle()) << "the window was activated after all";
  EXPECT_TRUE(IsWindowVisible(SplashForm->Handle()));
  EXPECT_TRUE(EnvironmentOk);
  DestroySplash();
}

TEST(Forms, TheMessageWindowClosesOnAClickOnItsPicture) {
  EnsureForms();
  FormSure->Show();
  ASSERT_TRUE(IsWindowVisible(FormSure->Handle()));
  const ui::Bitmap shot = CaptureClient(FormSure->Handle());
  const ReferencePicture reference = ReadReferencePicture("splash-reference.ppm");
  ASSERT_EQ(reference.width, 488);
  for (int y = 10; y < 232; y += 37)
    for (int x = 10; x < 488; x += 53) EXPECT_TRUE(NearColor(shot.PixelAt(x + 2, y + 2), reference.At(x, y), 6));
  SendClick(FormSure->Handle(), 200, 100);
  EXPECT_FALSE(IsWindowVisible(FormSure->Handle()));
}

TEST(Forms, ADialogIsDraggedByItsBackground) {
  EnsureForms();
  HistoryForm->Show();
  Pump(100);
  RECT before;
  GetWindowRect(HistoryForm->Handle(), &before);
  EXPECT_NEAR((before.left + before.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1) << "centred when shown";
  RealDrag({before.left + 200, before.top + 20}, {before.left + 150, before.top - 20});
  RECT after;
  GetWindowRect(HistoryForm->Handle(), &after);
  EXPECT_EQ(after.left - before.left, -50);
  EXPECT_EQ(after.top - before.top, -40);
  HistoryForm->Hide();
}
