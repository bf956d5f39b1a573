// The base of every control: position in its parent, visibility, enabled state, caption,
// colour, font, cursor and the mouse events. A plain Control has no window of its own:
// its windowed parent paints it in z-order and routes the mouse to it.
#pragma once

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>

#include "ui/Canvas.h"
#include "ui/Color.h"
#include "ui/Font.h"
#include "ui/Geometry.h"

namespace ui {

class WinControl;
class Form;

enum class MouseButton { Left, Right, Middle };

// Shift-state bits of mouse and key events.
constexpr unsigned ssShift = 1;
constexpr unsigned ssAlt = 2;
constexpr unsigned ssCtrl = 4;
constexpr unsigned ssLeft = 8;
constexpr unsigned ssRight = 16;
constexpr unsigned ssMiddle = 32;

enum class Cursor { Default, Arrow, Hand, SizeAll, Cross };

class Control;
using NotifyEvent = std::function<void(Control& sender)>;
using MouseEvent = std::function<void(Control& sender, MouseButton button, unsigned shift, int x, int y)>;
using MouseMoveEvent = std::function<void(Control& sender, unsigned shift, int x, int y)>;
using KeyEvent = std::function<void(Control& sender, unsigned& key, unsigned shift)>;
using KeyPressEvent = std::function<void(Control& sender, char& key)>;

class Control {
 public:
  explicit Control(std::string name = {});
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  WinControl* Parent() const { return parent_; }
  // Puts the control on a windowed parent, on top of its siblings (nullptr removes it).
  virtual void SetParent(WinControl* parent);
  // The form the control lies on (itself for a form).
  Form* ParentForm();

  int Left() const { return bounds_.left; }
  int Top() const { return bounds_.top; }
  int Width() const { return bounds_.Width(); }
  int Height() const { return bounds_.Height(); }
  Rect BoundsRect() const { return bounds_; }
  Rect ClientRect() const { return {0, 0, Width(), Height()}; }
  virtual void SetBounds(int left, int top, int width, int height);
  void SetPosition(int left, int top) { SetBounds(left, top, Width(), Height()); }
  void SetSize(int width, int height) { SetBounds(Left(), Top(), width, height); }

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible itself and on a visible parent chain up to a shown window.
  bool Showing() const;

  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);

  const std::string& Caption() const { return caption_; }
  virtual void SetCaption(const std::string& caption);

  Color GetColor() const { return color_; }
  virtual void SetColor(Color c);
  const Font& GetFont() const { return font_; }
  virtual void SetFont(const Font& font);
  Cursor GetCursor() const { return cursor_; }
  void SetCursor(Cursor c) { cursor_ = c; }

  // Asks for a repaint of the control's area (its parent's area for a windowless one).
  virtual void Invalidate();
  // Invalidates and paints at once.
  virtual void Repaint();

  // Coordinates: client of this control <-> screen, and <-> the nearest windowed ancestor.
  Point ClientToScreen(Point p) const;
  Point ScreenToClient(Point p) const;
  Point OriginInWindow() const;
  // The window that paints this control (itself when windowed, else the nearest ancestor).
  WinControl* HostWindow() const;

  // Mouse capture: all mouse input goes to this control until it is released.
  void SetMouseCapture(bool capture);
  bool MouseCapture() const;

  virtual bool IsWindowed() const { return false; }
  // A windowless control paints itself here, in its own client coordinates.
  virtual void Paint(Canvas& canvas);

  // Entry points of the mouse, called by the router; they update the state and raise
  // the events. Coordinates are in the control's client area.
  virtual void MouseDown(MouseButton button, unsigned shift, int x, int y);
  virtual void MouseUp(MouseButton button, unsigned shift, int x, int y);
  virtual void MouseMove(unsigned shift, int x, int y);
  virtual void MouseEnter();
  virtual void MouseLeave();
  virtual void Click();
  // A character typed in the window while the focused control takes no typing (or with
  // Alt held) is offered to every control of the window; true takes it away.
  virtual bool DialogChar(char ch) {
    (void)ch;
    return false;
  }
  // The mouse capture was taken away (a modal window, another program): a press ends.
  virtual void MouseCaptureLost();
  bool MouseInside() const { return mouseInside_; }

  NotifyEvent OnClick;
  MouseEvent OnMouseDown;
  MouseEvent OnMouseUp;
  MouseMoveEvent OnMouseMove;
  NotifyEvent OnMouseEnter;
  NotifyEvent OnMouseLeave;

 protected:
  // Hooks for derived controls after a change of state.
  virtual void BoundsChanged() {}
  virtual void VisibleChanged() {}
  virtual void EnabledChanged() {}
  virtual void CaptionChanged() { Invalidate(); }
  virtual void ColorChanged() { Invalidate(); }
  virtual void FontChanged() { Invalidate(); }

  Rect bounds_;
  bool visible_ = true;
  bool enabled_ = true;
  std::string caption_;
  Color color_ = clBtnFace;
  Font font_;
  Cursor cursor_ = Cursor::Default;

 private:
  friend class WinControl;
  std::string name_;
  WinControl* parent_ = nullptr;
  bool mouseInside_ = false;
  bool leftPressed_ = false;
};

}  // namespace ui
