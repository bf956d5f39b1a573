#include "ui/WinControl.h"

#include <windowsx.h>

#include <algorithm>
#include <stdexcept>

#include "ui/Application.h"

namespace ui {

namespace {

constexpr const char* kWindowClass = "TunoraWindow";
constexpr const char* kObjectProperty = "Tunora.Control";

void RegisterWindowClass(WNDPROC proc) {
  static bool done = false;
  if (done) return;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  wc.hIcon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
  wc.lpszClassName = kWindowClass;
  if (!RegisterClassExA(&wc)) throw std::runtime_error("The window class cannot be registered");
  done = true;
}

unsigned ShiftFromKeys(WPARAM wp) {
  unsigned s = 0;
  if (wp & MK_SHIFT) s |= ssShift;
  if (wp & MK_CONTROL) s |= ssCtrl;
  if (wp & MK_LBUTTON) s |= ssLeft;
  if (wp & MK_RBUTTON) s |= ssRight;
  if (wp & MK_MBUTTON) s |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

unsigned KeyboardShift() {
  unsigned s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

HCURSOR CursorHandle(Cursor c) {
  switch (c) {
    case Cursor::Hand: return LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));     // IDC_HAND
    case Cursor::SizeAll: return LoadCursorA(nullptr, MAKEINTRESOURCEA(32646));  // IDC_SIZEALL
    case Cursor::Cross: return LoadCursorA(nullptr, MAKEINTRESOURCEA(32515));    // IDC_CROSS
    default: return LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));               // IDC_ARROW
  }
}

// Ends a paint cycle however the painting code leaves.
struct PaintGuard {
  HWND hwnd;
  PAINTSTRUCT ps{};
  HDC dc;
  explicit PaintGuard(HWND h) : hwnd(h), dc(BeginPaint(h, &ps)) {}
  ~PaintGuard() { EndPaint(hwnd, &ps); }
};

}  // namespace

WinControl::WinControl(std::string name) : Control(std::move(name)) {}

WinControl::~WinControl() {
  for (Control* c : children_) c->parent_ = nullptr;
  children_.clear();
  if (hwnd_) {
    RemovePropA(hwnd_, kObjectProperty);
    if (systemProc_) SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(systemProc_));
    HWND h = hwnd_;
    hwnd_ = nullptr;
    DestroyWindow(h);
  }
}

WinControl* WinControl::FromHandle(HWND hwnd) {
  return hwnd ? static_cast<WinControl*>(GetPropA(hwnd, kObjectProperty)) : nullptr;
}

void WinControl::FillCreateParams(CreateParams&) {}

void WinControl::HandleNeeded() {
  if (hwnd_) return;
  if (Parent()) Parent()->HandleNeeded();  // a child's window needs its parent's
  if (!hwnd_) CreateHandle();
}

void WinControl::CreateHandle() {
  RegisterWindowClass(&WinControl::StaticWndProc);
  CreateParams p;
  FillCreateParams(p);
  HWND parentWindow = Parent() ? Parent()->Handle() : p.parent;
  if ((p.style & WS_CHILD) && !parentWindow) return;  // made when the parent's window is
  DWORD style = p.style;
  if (visible_ && (style & WS_CHILD)) style |= WS_VISIBLE;
  if (!enabled_) style |= WS_DISABLED;
  const char* cls = p.className ? p.className : kWindowClass;
  HWND h = CreateWindowExA(p.exStyle, cls, caption_.c_str(), style, bounds_.left, bounds_.top, bounds_.Width(),
                           bounds_.Height(), parentWindow, nullptr, GetModuleHandleA(nullptr), this);
  if (!h) throw std::runtime_error("The window " + Name() + " cannot be created");
  // The system links a new child window below its siblings; the framework's z-order puts
  // the latest control on top.
  if (style & WS_CHILD) SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (p.className) {
    // A system control: subclass it so that its messages pass through this object.
    hwnd_ = h;
    SetPropA(h, kObjectProperty, this);
    systemProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WinControl::StaticWndProc)));
    SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), FALSE);
  }
  HandleCreated();
  for (Control* c : children_)
    if (c->IsWindowed()) static_cast<WinControl*>(c)->HandleNeeded();
}

LRESULT CALLBACK WinControl::StaticWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
    auto* self = static_cast<WinControl*>(cs->lpCreateParams);
    if (self && !GetPropA(hwnd, kObjectProperty)) {
      self->hwnd_ = hwnd;
      SetPropA(hwnd, kObjectProperty, self);
    }
  }
  WinControl* self = FromHandle(hwnd);
  if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    const WNDPROC sys = self->systemProc_;
    RemovePropA(hwnd, kObjectProperty);
    self->hwnd_ = nullptr;
    self->systemProc_ = nullptr;
    return sys ? CallWindowProcA(sys, hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
  }
  return self->HandleMessage(msg, wp, lp);
}

LRESULT WinControl::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  try {
    return WndProc(msg, wp, lp);
  } catch (const std::exception& e) {
    App().HandleException(e);
  } catch (...) {
    App().HandleUnknownException();
  }
  return 0;
}

LRESULT WinControl::DefaultProc(UINT msg, WPARAM wp, LPARAM lp) {
  return systemProc_ ? CallWindowProcA(systemProc_, hwnd_, msg, wp, lp) : DefWindowProcA(hwnd_, msg, wp, lp);
}

LRESULT WinControl::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      if (!systemProc_) return 1;  // painted, flicker-free, in WM_PAINT
      break;
    case WM_PAINT:
      if (!systemProc_) {
        OnPaint();
        return 0;
      }
      break;
    case WM_NCHITTEST:
      // A disabled control lets the mouse through to its parent, as Windows does.
      if (!enabled_ && Parent()) return HTTRANSPARENT;
      break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
      if (RouteMouse(msg, wp, lp) && !systemProc_) return 0;
      break;
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      SetHover(nullptr);
      break;
    case WM_CAPTURECHANGED:
      if (captured_) {
        Control* c = captured_;
        captured_ = nullptr;
        c->MouseCaptureLost();
      } else if (reinterpret_cast<HWND>(lp) != hwnd_) {
        MouseCaptureLost();
      }
      break;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wp) == hwnd_ && LOWORD(lp) == HTCLIENT && OnSetCursor()) return TRUE;
      break;
    case WM_COMMAND:
      if (lp) {
        if (WinControl* child = FromHandle(reinterpret_cast<HWND>(lp)); child && child->Notification(HIWORD(wp)))
          return 0;
      }
      break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
      if (WinControl* child = FromHandle(reinterpret_cast<HWND>(lp)))
        if (HBRUSH b = child->ControlColor(reinterpret_cast<HDC>(wp))) return reinterpret_cast<LRESULT>(b);
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      unsigned key = unsigned(wp);
      KeyDown(key, KeyboardShift());
      if (key == 0) return 0;
      break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      unsigned key = unsigned(wp);
      KeyUp(key, KeyboardShift());
      if (key == 0) return 0;
      break;
    }
    case WM_CHAR: {
      char ch = char(wp);
      KeyPress(ch);
      if (ch == 0) return 0;
      wp = WPARAM(static_cast<unsigned char>(ch));
      break;
    }
    case WM_SETFOCUS:
      if (OnEnter) OnEnter(*this);
      break;
    case WM_KILLFOCUS:
      if (OnExit) OnExit(*this);
      break;
    default:
      break;
  }
  return DefaultProc(msg, wp, lp);
}

void WinControl::KeyDown(unsigned& key, unsigned shift) {
  if (OnKeyDown) OnKeyDown(*this, key, shift);
}

void WinControl::KeyUp(unsigned& key, unsigned shift) {
  if (OnKeyUp) OnKeyUp(*this, key, shift);
}

void WinControl::KeyPress(char& key) {
  if (OnKeyPress) OnKeyPress(*this, key);
}

bool WinControl::BroadcastDialogChar(char ch) {
  // A handler may change the list (a click that hides or removes controls): walk a copy.
  const std::vector<Control*> children = children_;
  for (Control* c : children) {
    if (std::find(children_.begin(), children_.end(), c) == children_.end()) continue;
    if (c->DialogChar(ch)) return true;
    if (c->IsWindowed() && static_cast<WinControl*>(c)->BroadcastDialogChar(ch)) return true;
  }
  return false;
}

void WinControl::PaintWindow(Canvas& canvas, const Rect& area) {
  if (color_ != clNone) canvas.FillRect(area, color_);
}

void WinControl::OnPaint() {
  PaintGuard pg(hwnd_);
  const Rect area{pg.ps.rcPaint.left, pg.ps.rcPaint.top, pg.ps.rcPaint.right, pg.ps.rcPaint.bottom};
  if (area.Empty()) return;
  // Paint into a buffer the size of the damaged area, then copy it in one go. The buffer
  // is kept between paints and only grows.
  if (paintBuffer_.Width() < area.Width() || paintBuffer_.Height() < area.Height())
    paintBuffer_.SetSize(std::max(area.Width(), paintBuffer_.Width()), std::max(area.Height(), paintBuffer_.Height()),
                         clNone);
  HDC dc = paintBuffer_.Dc();
  SavedDc saved(dc);
  SetViewportOrgEx(dc, -area.left, -area.top, nullptr);
  Canvas canvas(dc);
  PaintWindow(canvas, area);
  if (paintsChildren_) PaintChildren(canvas, area, nullptr);
  SetViewportOrgEx(dc, 0, 0, nullptr);
  SelectClipRgn(dc, nullptr);
  BitBlt(pg.dc, area.left, area.top, area.Width(), area.Height(), dc, 0, 0, SRCCOPY);
}

void WinControl::PaintChildren(Canvas& canvas, const Rect& area, const Control* upto) {
  HDC dc = canvas.Handle();
  for (Control* c : children_) {
    if (c == upto) break;
    if (c->IsWindowed() || !c->visible_) continue;
    if (c->bounds_.Intersect(area).Empty()) continue;
    SavedDc saved(dc);
    OffsetViewportOrgEx(dc, c->bounds_.left, c->bounds_.top, nullptr);
    IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
    c->Paint(canvas);
  }
}

void WinControl::PaintBackgroundBelow(Canvas& canvas, const Rect& area, const Control* upto) {
  PaintWindow(canvas, area);
  PaintChildren(canvas, area, upto);
}

Control* WinControl::ControlAt(Point p) const {
  for (auto it = children_.rbegin(); it != children_.rend(); ++it)
    if ((*it)->visible_ && (*it)->bounds_.Contains(p)) return *it;
  return nullptr;
}

bool WinControl::RouteMouse(UINT msg, WPARAM wp, LPARAM lp) {
  const Point p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  // The control under the pointer: a windowless child, or this window itself (also
  // where the child there is disabled: it passes the mouse on to its parent).
  Control* under = this;
  if (Control* c = ControlAt(p); c && !c->IsWindowed() && c->enabled_) under = c;

  if (!trackingLeave_) {
    TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, hwnd_, 0};
    trackingLeave_ = TrackMouseEvent(&tme) != FALSE;
  }
  SetHover(under);

  Control* target = captured_ ? captured_ : under;
  const Point o = target->OriginInWindow();
  const int x = p.x - o.x, y = p.y - o.y;
  const unsigned shift = ShiftFromKeys(wp);
  switch (msg) {
    case WM_MOUSEMOVE:
      target->MouseMove(shift, x, y);
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: {
      const MouseButton b = (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) ? MouseButton::Left
                            : (msg == WM_MBUTTONDOWN)                          ? MouseButton::Middle
                                                                               : MouseButton::Right;
      if (!systemProc_) {
        if (target != this) captured_ = target;
        if (GetCapture() != hwnd_) SetCapture(hwnd_);
      }
      target->MouseDown(b, shift, x, y);
      break;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      const MouseButton b = msg == WM_LBUTTONUP   ? MouseButton::Left
                            : msg == WM_MBUTTONUP ? MouseButton::Middle
                                                  : MouseButton::Right;
      if (!systemProc_ && (wp & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0) {
        captured_ = nullptr;
        if (GetCapture() == hwnd_) ReleaseCapture();
      }
      target->MouseUp(b, shift, x, y);
      break;
    }
    default:
      return false;
  }
  return true;
}

void WinControl::SetHover(Control* target) {
  if (target == hover_) return;
  Control* old = hover_;
  hover_ = target;
  // Moving between a child and this window's own surface is a leave of one and an
  // enter of the other; this window stays "inside" while a child of it is hovered.
  if (old && old != this) old->MouseLeave();
  if (!target) {
    if (old) MouseLeave();
    return;
  }
  if (!old) MouseEnter();
  if (target != this) target->MouseEnter();
}

bool WinControl::OnSetCursor() {
  POINT pt;
  GetCursorPos(&pt);
  ::ScreenToClient(hwnd_, &pt);
  Control* c = captured_;
  if (!c) c = ControlAt({pt.x, pt.y});
  if (!c || c->IsWindowed() || !c->enabled_) c = this;
  Cursor cur = c->cursor_;
  if (cur == Cursor::Default) cur = cursor_;
  if (cur == Cursor::Default) return false;
  ::SetCursor(CursorHandle(cur));
  return true;
}

void WinControl::AddChild(Control* c) {
  children_.push_back(c);
  if (!c->IsWindowed()) return;
  auto* w = static_cast<WinControl*>(c);
  // A windowed control gets its window as soon as it is put on a parent that has one;
  // on any other, when the parent makes its own. A control that has a window already
  // needs its new parent's.
  if (!hwnd_ && w->hwnd_) HandleNeeded();
  if (hwnd_) {
    if (w->hwnd_) {
      ::SetParent(w->hwnd_, hwnd_);
      SetWindowPos(w->hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    } else {
      w->HandleNeeded();
    }
  }
}

void WinControl::RemoveChild(Control* c) {
  ReleaseChildCapture(c);
  if (hover_ == c) hover_ = this;
  children_.erase(std::remove(children_.begin(), children_.end(), c), children_.end());
}

void WinControl::ReleaseChildCapture(Control* c) {
  if (captured_ == c) {
    captured_ = nullptr;
    if (hwnd_ && GetCapture() == hwnd_) ReleaseCapture();
  }
  if (hover_ == c) {
    hover_ = this;
    c->mouseInside_ = false;
  }
}

void WinControl::BringToFront(Control* child) {
  auto it = std::find(children_.begin(), children_.end(), child);
  if (it == children_.end()) return;
  children_.erase(it);
  children_.push_back(child);
  if (child->IsWindowed() && static_cast<WinControl*>(child)->hwnd_)
    SetWindowPos(static_cast<WinControl*>(child)->hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  child->Invalidate();
}

void WinControl::SendToBack(Control* child) {
  auto it = std::find(children_.begin(), children_.end(), child);
  if (it == children_.end()) return;
  children_.erase(it);
  children_.insert(children_.begin(), child);
  if (child->IsWindowed() && static_cast<WinControl*>(child)->hwnd_)
    SetWindowPos(static_cast<WinControl*>(child)->hwnd_, HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  child->Invalidate();
}

void WinControl::SetParent(WinControl* parent) {
  Control::SetParent(parent);
  if (hwnd_ && !parent) ShowWindow(hwnd_, SW_HIDE);
}

void WinControl::SetBounds(int left, int top, int width, int height) {
  const Rect r = Rect::FromBounds(left, top, std::max(0, width), std::max(0, height));
  if (r == bounds_) return;
  bounds_ = r;
  if (hwnd_) SetWindowPos(hwnd_, nullptr, left, top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  BoundsChanged();
}

void WinControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  if (hwnd_) ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
  VisibleChanged();
}

void WinControl::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (hwnd_) EnableWindow(hwnd_, enabled);
  EnabledChanged();
  Invalidate();
}

void WinControl::SetCaption(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  if (hwnd_) SetWindowTextA(hwnd_, caption.c_str());
  CaptionChanged();
}

void WinControl::Invalidate() {
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void WinControl::Repaint() {
  if (!hwnd_) return;
  InvalidateRect(hwnd_, nullptr, FALSE);
  UpdateWindow(hwnd_);
}

void WinControl::SetFocus() {
  if (hwnd_) ::SetFocus(hwnd_);
}

bool WinControl::Focused() const { return hwnd_ && ::GetFocus() == hwnd_; }

void WinControl::ColorChanged() {
  colorBrush_.Reset();
  Invalidate();
}

void WinControl::FontChanged() {
  if (hwnd_ && systemProc_) SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), TRUE);
  Invalidate();
}

}  // namespace ui
