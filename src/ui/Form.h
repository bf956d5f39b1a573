// A top-level window of the program. Every form of the program is a class derived from
// Form with one global instance. Forms have no system frame; dialogs are moved by
// dragging their background.
#pragma once

#include <functional>
#include <vector>

#include "ui/WinControl.h"

namespace ui {

constexpr int mrNone = 0;
constexpr int mrOk = 1;
constexpr int mrCancel = 2;

enum class FormPosition {
  Designed,        // stays where its bounds put it
  CenterOnCreate,  // centred on the screen once, when the window is made
  CenterOnShow,    // centred on the screen each time it is shown
};

// What a close request does: hide the window, or nothing.
enum class CloseAction { None, Hide };
using CloseEvent = std::function<void(Form& sender, CloseAction& action)>;

class Form : public WinControl {
 public:
  explicit Form(std::string name);
  ~Form() override;

  void SetClientSize(int width, int height) { SetBounds(Left(), Top(), width, height); }
  // Sizes the window to hold its visible children (their furthest right and bottom edges).
  void SizeToContent();
  void SetPosition(FormPosition p) { position_ = p; }
  void CenterOnScreen();

  // While the left mouse button is down the window answers the system's hit test with
  // "caption", so a press on its background drags it.
  void SetDragByBackground(bool on) { dragByBackground_ = on; }
  // Keys reach the form's key handlers before the focused control's.
  void SetKeyPreview(bool on) { keyPreview_ = on; }
  bool KeyPreview() const { return keyPreview_; }

  void SetVisible(bool visible) override;
  // Shows the window and runs a nested message loop until a modal result is set; the
  // other windows of the program are disabled meanwhile. Returns the result.
  int ShowModal();
  bool IsModal() const { return modal_; }
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int result) { modalResult_ = result; }
  // Asks the window to close: a modal one ends with mrCancel, the main form ends the
  // program, any other is hidden.
  void Close();
  using WinControl::BringToFront;
  // Raises the window above the other windows.
  void BringToFront();

  NotifyEvent OnShow;
  NotifyEvent OnHide;
  NotifyEvent OnActivate;
  NotifyEvent OnDeactivate;
  NotifyEvent OnDestroy;
  CloseEvent OnClose;

  // Raises OnDestroy; the application calls it before it deletes the form.
  void DoDestroy();

 protected:
  void FillCreateParams(CreateParams& params) override;
  void HandleCreated() override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  FormPosition position_ = FormPosition::CenterOnShow;
  bool dragByBackground_ = false;
  bool keyPreview_ = false;
  bool modal_ = false;
  int modalResult_ = mrNone;
  bool destroyed_ = false;
};

// The hit-test answer of a window dragged by its background: 2 (caption) while the left
// mouse button is down, 1 (client) otherwise.
constexpr int DragHitTest(bool leftButtonDown) { return leftButtonDown ? 2 : 1; }

}  // namespace ui
