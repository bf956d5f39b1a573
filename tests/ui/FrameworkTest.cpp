// The form and control framework under Wine: painting of windowless controls, the mouse
// router, modal showing, key preview, the general error report and timers.
#include <gtest/gtest.h>

#include <stdexcept>

#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/StdControls.h"
#include "ui/Timer.h"
#include "support/WindowTesting.h"

using namespace testing_support;

namespace {

// A windowless block of one colour that logs what reaches it.
class Block : public ui::Control {
 public:
  Block(std::string name, ui::Color c, std::vector<std::string>& log) : Control(std::move(name)), log_(log) {
    color_ = c;
  }
  void Paint(ui::Canvas& canvas) override { canvas.FillRect(ClientRect(), color_); }
  void MouseDown(ui::MouseButton b, unsigned s, int x, int y) override {
    log_.push_back(Name() + " down " + std::to_string(x) + "," + std::to_string(y));
    Control::MouseDown(b, s, x, y);
  }
  void MouseUp(ui::MouseButton b, unsigned s, int x, int y) override {
    log_.push_back(Name() + " up " + std::to_string(x) + "," + std::to_string(y));
    Control::MouseUp(b, s, x, y);
  }
  void MouseMove(unsigned s, int x, int y) override {
    log_.push_back(Name() + " move " + std::to_string(x) + "," + std::to_string(y));
    Control::MouseMove(s, x, y);
  }
  void MouseEnter() override {
    log_.push_back(Name() + " enter");
    Control::MouseEnter();
  }
  void MouseLeave() override {
    log_.push_back(Name() + " leave");
    Control::MouseLeave();
  }
  void Click() override {
    log_.push_back(Name() + " click");
    Control::Click();
  }

 private:
  std::vector<std::string>& log_;
};

class TestForm : public ui::Form {
 public:
  TestForm() : Form("TestForm") {
    SetColor(ui::clBlue);
    SetClientSize(200, 100);
    red.SetParent(this);
    red.SetBounds(10, 10, 50, 50);
    green.SetParent(this);
    green.SetBounds(30, 30, 50, 50);
    OnMouseDown = [this](ui::Control&, ui::MouseButton, unsigned, int x, int y) {
      log.push_back("form down " + std::to_string(x) + "," + std::to_string(y));
    };
  }
  std::vector<std::string> log;
  Block red{"red", ui::clRed, log};
  Block green{"green", ui::clLime, log};
};

bool Contains(const std::vector<std::string>& log, const std::string& entry) {
  return std::find(log.begin(), log.end(), entry) != log.end();
}

}  // namespace

TEST(Framework, WindowlessControlsPaintInZOrder) {
  TestForm form;
  form.Show();
  ui::Bitmap shot = CaptureClient(form.Handle());
  EXPECT_EQ(shot.PixelAt(5, 5), ui::clBlue);
  EXPECT_EQ(shot.PixelAt(20, 20), ui::clRed);
  EXPECT_EQ(shot.PixelAt(40, 40), ui::clLime) << "the later control lies on top";
  EXPECT_EQ(shot.PixelAt(70, 70), ui::clLime);

  form.BringToFront(&form.red);
  EXPECT_EQ(CaptureClient(form.Handle()).PixelAt(40, 40), ui::clRed);

  form.red.Hide();
  shot = CaptureClient(form.Handle());
  EXPECT_EQ(shot.PixelAt(20, 20), ui::clBlue) << "a hidden control leaves its parent's background";
  EXPECT_EQ(shot.PixelAt(40, 40), ui::clLime);
}

TEST(Framework, WindowedControlsStackInTheOrderTheyArePlaced) {
  TestForm form;
  ui::Panel back("back"), front("front"), late("late");
  back.SetColor(ui::clYellow);
  front.SetColor(ui::clAqua);
  back.SetParent(&form);
  back.SetBounds(0, 0, 200, 100);
  front.SetParent(&form);
  front.SetBounds(100, 20, 50, 50);
  form.Show();
  ui::Bitmap shot = CaptureClient(form.Handle());
  EXPECT_EQ(shot.PixelAt(120, 40), ui::clAqua) << "the later window lies on top";
  EXPECT_EQ(shot.PixelAt(20, 20), ui::clYellow) << "a window covers the form's windowless controls";

  // A window made only when its parent's window is made is stacked the same way.
  ui::Panel holder("holder");
  late.SetColor(ui::clFuchsia);
  late.SetParent(&holder);
  late.SetBounds(0, 0, 20, 20);
  holder.SetColor(ui::clNavy);
  holder.SetParent(&form);
  holder.SetBounds(150, 0, 50, 50);
  shot = CaptureClient(form.Handle());
  EXPECT_EQ(shot.PixelAt(160, 10), ui::clFuchsia);
  EXPECT_EQ(shot.PixelAt(190, 40), ui::clNavy);
}

TEST(Framework, TheMouseReachesTheControlUnderThePointer) {
  TestForm form;
  form.Show();
  SendClick(form.Handle(), 15, 15);
  EXPECT_TRUE(Contains(form.log, "red down 5,5"));
  EXPECT_TRUE(Contains(form.log, "red click"));
  EXPECT_FALSE(Contains(form.log, "green click"));

  form.log.clear();
  SendClick(form.Handle(), 5, 95);
  EXPECT_EQ(form.log, (std::vector<std::string>{"red leave", "form down 5,95"}));

  // A disabled control passes the mouse to its parent.
  form.log.clear();
  form.green.SetEnabled(false);
  SendClick(form.Handle(), 70, 70);
  EXPECT_TRUE(Contains(form.log, "form down 70,70"));
  EXPECT_FALSE(Contains(form.log, "green click"));
}

TEST(Framework, ThePressedControlKeepsTheMouseUntilRelease) {
  TestForm form;
  form.Show();
  SendMouse(form.Handle(), WM_MOUSEMOVE, 15, 15);
  SendMouse(form.Handle(), WM_LBUTTONDOWN, 15, 15, MK_LBUTTON);
  SendMouse(form.Handle(), WM_MOUSEMOVE, 150, 80, MK_LBUTTON);
  SendMouse(form.Handle(), WM_LBUTTONUP, 150, 80);
  const std::vector<std::string> expected{"red enter", "red move 5,5", "red down 5,5", "red leave",
                                          "red move 140,70", "red up 140,70"};
  EXPECT_EQ(form.log, expected) << "released outside: no click";
  // With the button up, the mouse is routed by position again.
  form.log.clear();
  SendClick(form.Handle(), 70, 70);
  EXPECT_TRUE(Contains(form.log, "green click"));
}

TEST(Framework, EnterAndLeaveFollowThePointer) {
  TestForm form;
  std::vector<std::string> formLog;
  form.OnMouseEnter = [&](ui::Control&) { formLog.push_back("enter"); };
  form.OnMouseLeave = [&](ui::Control&) { formLog.push_back("leave"); };
  form.Show();
  SendMouse(form.Handle(), WM_MOUSEMOVE, 5, 5);
  SendMouse(form.Handle(), WM_MOUSEMOVE, 15, 15);
  SendMouse(form.Handle(), WM_MOUSEMOVE, 16, 16);
  SendMouse(form.Handle(), WM_MOUSEMOVE, 70, 70);
  SendMouse(form.Handle(), WM_MOUSEMOVE, 150, 90);
  SendMessageA(form.Handle(), WM_MOUSELEAVE, 0, 0);
  const std::vector<std::string> expected{"red enter", "red move 5,5", "red move 6,6", "red leave",
                                          "green enter", "green move 40,40", "green leave"};
  EXPECT_EQ(form.log, expected);
  EXPECT_EQ(formLog, (std::vector<std::string>{"enter", "leave"}));
}

TEST(Framework, ModalResultsEndTheModalLoop) {
  TestForm owner;
  owner.Show();
  TestForm dialog;
  ui::Timer timer;
  timer.SetInterval(50);
  bool ownerWasDisabled = false;
  int result = ui::mrNone;
  timer.OnTimer = [&] {
    ownerWasDisabled = !IsWindowEnabled(owner.Handle());
    dialog.SetModalResult(result);
    timer.SetEnabled(false);
  };

  result = ui::mrOk;
  timer.SetEnabled(true);
  EXPECT_EQ(dialog.ShowModal(), ui::mrOk);
  EXPECT_TRUE(ownerWasDisabled) << "the other windows are disabled while a modal window runs";
  EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
  EXPECT_FALSE(IsWindowVisible(dialog.Handle()));

  // Closing a modal window ends it with "cancel".
  timer.OnTimer = [&] {
    dialog.Close();
    timer.SetEnabled(false);
  };
  timer.SetEnabled(true);
  EXPECT_EQ(dialog.ShowModal(), ui::mrCancel);
}

TEST(Framework, AnExceptionInAHandlerIsShownAndTheProgramGoesOn) {
  TestForm form;
  int clicks = 0;
  form.red.OnClick = [&](ui::Control&) {
    ++clicks;
    throw std::runtime_error("The station file is damaged");
  };
  form.Show();
  MessageBoxWatcher watcher;
  SendClick(form.Handle(), 15, 15);
  SendClick(form.Handle(), 15, 15);
  ASSERT_EQ(watcher.Seen().size(), 2u);
  EXPECT_EQ(watcher.Seen()[0].text, "The station file is damaged");
  EXPECT_EQ(watcher.Seen()[0].title, ui::App().Title());
  EXPECT_EQ(clicks, 2);
  EXPECT_TRUE(IsWindowVisible(form.Handle()));
}

TEST(Framework, KeyPreviewSeesKeysBeforeTheFocusedControl) {
  TestForm form;
  ui::Edit edit("Edit");
  edit.SetParent(&form);
  edit.SetBounds(100, 10, 80, 20);
  std::vector<std::string> log;
  form.SetKeyPreview(true);
  form.OnKeyDown = [&](ui::Control&, unsigned& key, unsigned) {
    log.push_back("form " + std::to_string(key));
    if (key == 'X') key = 0;
  };
  edit.OnKeyDown = [&](ui::Control&, unsigned& key, unsigned) { log.push_back("edit " + std::to_string(key)); };
  form.Show();
  edit.SetFocus();
  PostMessageA(edit.Handle(), WM_KEYDOWN, 'X', 0);
  PostMessageA(edit.Handle(), WM_KEYDOWN, 'Y', 0);
  Pump(100);
  EXPECT_EQ(log, (std::vector<std::string>{"form 88", "form 89", "edit 89"}));
}

TEST(Framework, DialogsAreMovedByDraggingTheirDisabledBackground) {
  TestForm dialog;
  ui::Panel background("Background");
  background.SetParent(&dialog);
  background.SetBounds(0, 0, 200, 100);
  background.SetEnabled(false);
  dialog.SetDragByBackground(true);
  dialog.Show();
  Pump(100);
  RECT before;
  GetWindowRect(dialog.Handle(), &before);
  RealDrag({before.left + 100, before.top + 50}, {before.left + 160, before.top + 90});
  RECT after;
  GetWindowRect(dialog.Handle(), &after);
  EXPECT_EQ(after.left - before.left, 60);
  EXPECT_EQ(after.top - before.top, 40);
}
