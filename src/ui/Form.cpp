#include "ui/Form.h"

#include <exception>
#include <stdexcept>

#include "ui/Application.h"

namespace ui {

namespace {
BOOL CALLBACK CollectEnabledWindow(HWND h, LPARAM lp) {
  if (IsWindowVisible(h) && IsWindowEnabled(h)) reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
  return TRUE;
}
}  // namespace

Form::Form(std::string name) : WinControl(std::move(name)) {
  visible_ = false;
  color_ = clBtnFace;
  font_ = Font{};
  font_.color = clWindowText;
}

Form::~Form() = default;

void Form::DoDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  if (OnDestroy) OnDestroy(*this);
}

void Form::FillCreateParams(CreateParams& p) {
  p.style = WS_POPUP | WS_CLIPCHILDREN;
  p.exStyle = 0;
  Form* main = App().MainForm();
  if (!main || main == this) {
    p.exStyle |= WS_EX_APPWINDOW;  // its own task-bar entry
  } else {
    p.parent = main->Handle();  // owned by the main window: no task-bar entry of its own
  }
}

void Form::HandleCreated() {
  if (position_ != FormPosition::Designed) CenterOnScreen();
}

void Form::CenterOnScreen() {
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const Point p = CenteredIn({work.left, work.top, work.right, work.bottom}, Width(), Height());
  SetBounds(p.x, p.y, Width(), Height());
}

void Form::SizeToContent() {
  int w = 0, h = 0;
  for (Control* c : Controls()) {
    if (!c->Visible()) continue;
    w = std::max(w, c->BoundsRect().right);
    h = std::max(h, c->BoundsRect().bottom);
  }
  SetClientSize(w, h);
}

void Form::SetVisible(bool visible) {
  if (visible == visible_) return;
  HandleNeeded();
  visible_ = visible;
  if (visible) {
    if (position_ == FormPosition::CenterOnShow) CenterOnScreen();
    // A failing show handler is reported like any handler's error, but only once the
    // window is on screen: the window is shown all the same.
    std::exception_ptr failure;
    try {
      if (OnShow) OnShow(*this);
    } catch (...) {
      failure = std::current_exception();
    }
    ShowWindow(Handle(), SW_SHOW);
    UpdateWindow(Handle());
    if (failure) App().ReportException(failure);
  } else {
    ShowWindow(Handle(), SW_HIDE);
    if (OnHide) OnHide(*this);
  }
}

void Form::BringToFront() {
  if (Handle()) SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

int Form::ShowModal() {
  if (modal_ || Visible()) throw std::logic_error("The window " + Name() + " is already shown");
  ReleaseCapture();
  HWND previous = GetActiveWindow();
  // Every other enabled window of the program is disabled while this one runs.
  std::vector<HWND> disabled;
  EnumThreadWindows(GetCurrentThreadId(), CollectEnabledWindow, reinterpret_cast<LPARAM>(&disabled));
  for (HWND h : disabled) EnableWindow(h, FALSE);
  modal_ = true;
  modalResult_ = mrNone;
  try {
    Show();
    SetActiveWindow(Handle());
    while (modalResult_ == mrNone) {
      if (!App().HandleMessage()) {
        modalResult_ = mrCancel;  // the program is ending
        break;
      }
    }
  } catch (...) {
    modalResult_ = mrCancel;
  }
  const int result = modalResult_;
  for (HWND h : disabled)
    if (IsWindow(h)) EnableWindow(h, TRUE);
  Hide();
  modal_ = false;
  if (previous && IsWindow(previous)) SetActiveWindow(previous);
  return result;
}

void Form::Close() {
  CloseAction action = CloseAction::Hide;
  if (OnClose) OnClose(*this, action);
  if (action == CloseAction::None) return;
  if (modal_) {
    modalResult_ = mrCancel;
  } else if (App().MainForm() == this) {
    Hide();
    App().Terminate();
  } else {
    Hide();
  }
}

LRESULT Form::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NCHITTEST:
      if (dragByBackground_) {
        const LRESULT hit = DefaultProc(msg, wp, lp);
        if (hit == HTCLIENT) return DragHitTest(GetAsyncKeyState(VK_LBUTTON) < 0);
        return hit;
      }
      break;
    case WM_CLOSE:
      Close();
      return 0;
    case WM_WINDOWPOSCHANGED: {
      // The system moves and sizes top-level windows too (a drag, another program):
      // the bounds follow, so that whoever reads them sees where the window really is.
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(lp);
      if ((pos->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE) && !IsIconic(Handle())) {
        RECT r;
        GetWindowRect(Handle(), &r);
        const Rect now{r.left, r.top, r.right, r.bottom};
        if (now != bounds_) {
          bounds_ = now;
          BoundsChanged();
        }
      }
      break;
    }
    case WM_ACTIVATE:
      if (LOWORD(wp) != WA_INACTIVE) {
        if (OnActivate) OnActivate(*this);
      } else if (OnDeactivate) {
        OnDeactivate(*this);
      }
      break;
    default:
      break;
  }
  return WinControl::WndProc(msg, wp, lp);
}

}  // namespace ui
