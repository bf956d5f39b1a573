// A control with a window of its own. It keeps its child controls in z-order, paints its
// windowless children, routes the mouse to them (capture, enter and leave included) and
// hands window messages to virtual handlers. Every exception a handler lets escape is
// shown by the application's error report at the window procedure.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/Control.h"

namespace ui {

struct CreateParams {
  const char* className = nullptr;  // nullptr: the framework's own window class
  DWORD style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  DWORD exStyle = 0;
  HWND parent = nullptr;
};

class WinControl : public Control {
 public:
  explicit WinControl(std::string name = {});
  ~WinControl() override;

  bool IsWindowed() const override { return true; }
  HWND Handle() const { return hwnd_; }
  // Creates the window now if it does not exist yet (a child needs its parent's first).
  void HandleNeeded();

  void SetParent(WinControl* parent) override;
  void SetBounds(int left, int top, int width, int height) override;
  void SetVisible(bool visible) override;
  void SetEnabled(bool enabled) override;
  void SetCaption(const std::string& caption) override;
  void Invalidate() override;
  void Repaint() override;
  void SetFocus();
  bool Focused() const;

  // Children in z-order, bottom first.
  const std::vector<Control*>& Controls() const { return children_; }
  void BringToFront(Control* child);
  void SendToBack(Control* child);
  // The topmost visible child under p (client coordinates), windowed ones included;
  // nullptr where the point is on the control's own surface.
  Control* ControlAt(Point p) const;

  // Paints the window's own background, then the windowless children below `upto`
  // (all of them for nullptr), into canvas in the window's client coordinates. Used by
  // controls that show what lies behind them.
  void PaintBackgroundBelow(Canvas& canvas, const Rect& area, const Control* upto);

  // Offers a typed character to this window's controls, at every depth; true when one
  // took it away.
  bool BroadcastDialogChar(char ch);

  // The object behind a window of the framework, or nullptr.
  static WinControl* FromHandle(HWND hwnd);

  KeyEvent OnKeyDown;
  KeyEvent OnKeyUp;
  KeyPressEvent OnKeyPress;
  NotifyEvent OnEnter;
  NotifyEvent OnExit;

  // Key entry points; a form with key preview sees keys before its controls.
  virtual void KeyDown(unsigned& key, unsigned shift);
  virtual void KeyUp(unsigned& key, unsigned shift);
  virtual void KeyPress(char& key);

 protected:
  virtual void FillCreateParams(CreateParams& params);
  virtual void CreateHandle();
  // Called once the window exists: derived controls send their initial settings.
  virtual void HandleCreated() {}
  virtual LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT DefaultProc(UINT msg, WPARAM wp, LPARAM lp);
  // Paints the window's own surface (the default fills with the colour).
  virtual void PaintWindow(Canvas& canvas, const Rect& area);
  // Reflected notifications and colours of a child system control.
  virtual bool Notification(UINT code) { (void)code; return false; }
  virtual HBRUSH ControlColor(HDC dc) { (void)dc; return nullptr; }
  // Whether the window paints its windowless children (true for containers).
  bool paintsChildren_ = true;

  void ColorChanged() override;
  void FontChanged() override;

 private:
  friend class Control;
  friend class Application;
  static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  void OnPaint();
  void PaintChildren(Canvas& canvas, const Rect& area, const Control* upto);
  bool RouteMouse(UINT msg, WPARAM wp, LPARAM lp);
  void SetHover(Control* target);
  bool OnSetCursor();
  void AddChild(Control* c);
  void RemoveChild(Control* c);
  void ReleaseChildCapture(Control* c);

  HWND hwnd_ = nullptr;
  WNDPROC systemProc_ = nullptr;  // set for subclassed system controls
  std::vector<Control*> children_;
  Control* captured_ = nullptr;     // windowless child holding the mouse
  Control* hover_ = nullptr;        // control (this or a windowless child) under the mouse
  bool trackingLeave_ = false;
  UniqueBrush colorBrush_;
  Bitmap paintBuffer_;
};

}  // namespace ui
