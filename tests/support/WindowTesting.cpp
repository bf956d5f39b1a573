#include "support/WindowTesting.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include "ui/Application.h"
#include "ui/Timer.h"

namespace testing_support {

void Pump(DWORD ms) {
  const DWORD start = GetTickCount();
  do {
    ui::App().ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  } while (GetTickCount() - start < ms);
}

// The test program's windows answer while a test waits.
const bool kPumpWhileWaiting = (idleWhileWaiting = Pump, true);

ui::Color ReferencePicture::At(int x, int y) const {
  const std::size_t i = (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3;
  return ui::Rgb(rgb[i], rgb[i + 1], rgb[i + 2]);
}

std::string BuildResourcePath(const std::string& name) {
  std::string path = std::string(TUNORA_RES_DIR_PATH) + "/" + name;
  if (!path.empty() && path[0] == '/') path = "Z:" + path;  // the build folder, seen from Wine
  return path;
}

ReferencePicture ReadReferencePicture(const std::string& name) {
  ReferencePicture p;
  std::ifstream in(BuildResourcePath(name), std::ios::binary);
  std::string magic;
  int maxValue = 0;
  in >> magic >> p.width >> p.height >> maxValue;
  in.get();  // the one blank before the samples
  if (!in || magic != "P6" || maxValue != 255) return {};
  p.rgb.resize(std::size_t(p.width) * std::size_t(p.height) * 3);
  in.read(reinterpret_cast<char*>(p.rgb.data()), std::streamsize(p.rgb.size()));
  if (!in) return {};
  return p;
}

bool NearColor(ui::Color a, ui::Color b, int tolerance) {
  return std::abs(ui::RedOf(a) - ui::RedOf(b)) <= tolerance && std::abs(ui::GreenOf(a) - ui::GreenOf(b)) <= tolerance &&
         std::abs(ui::BlueOf(a) - ui::BlueOf(b)) <= tolerance;
}

ui::Bitmap CaptureClient(HWND hwnd) {
  UpdateWindow(hwnd);
  Pump(50);
  RECT r;
  GetClientRect(hwnd, &r);
  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  ui::Bitmap shot(r.right, r.bottom, ui::clNone);
  HDC screen = GetDC(nullptr);
  BitBlt(shot.Dc(), 0, 0, r.right, r.bottom, screen, origin.x, origin.y, SRCCOPY);
  ReleaseDC(nullptr, screen);
  return shot;
}

void SendMouse(HWND hwnd, UINT msg, int x, int y, WPARAM keys) {
  SendMessageA(hwnd, msg, keys, MAKELPARAM(x, y));
}

void LeftClick(ui::WinControl& c) {
  SendMouse(c.Handle(), WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
  SendMouse(c.Handle(), WM_LBUTTONUP, 5, 5, 0);
}

void LeftClickOn(ui::WinControl& host, ui::Control& part) {
  const int x = part.Left() + part.Width() / 2, y = part.Top() + part.Height() / 2;
  SendMouse(host.Handle(), WM_LBUTTONDOWN, x, y, MK_LBUTTON);
  SendMouse(host.Handle(), WM_LBUTTONUP, x, y, 0);
}

void WhenShown(ui::Form& form, std::function<void()> act, bool* ran) {
  auto timer = std::make_shared<ui::Timer>();
  timer->SetInterval(20);
  if (ran) *ran = false;
  timer->OnTimer = [timer, &form, act, ran] {
    if (!IsWindowVisible(form.Handle())) return;
    timer->SetEnabled(false);
    if (ran) *ran = true;
    act();
  };
  timer->SetEnabled(true);
}

void SendClick(HWND hwnd, int x, int y, bool right) {
  // The window that would get the mouse there: the deepest visible, enabled child.
  for (;;) {
    HWND child = ChildWindowFromPointEx(hwnd, POINT{x, y}, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED | CWP_SKIPTRANSPARENT);
    if (!child || child == hwnd) break;
    POINT p{x, y};
    MapWindowPoints(hwnd, child, &p, 1);
    hwnd = child;
    x = p.x;
    y = p.y;
  }
  SendMouse(hwnd, WM_MOUSEMOVE, x, y);
  SendMouse(hwnd, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, x, y, right ? MK_RBUTTON : MK_LBUTTON);
  SendMouse(hwnd, right ? WM_RBUTTONUP : WM_LBUTTONUP, x, y);
}

namespace {
void MouseInput(DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  SendInput(1, &in, sizeof in);
}
}  // namespace

void RealDrag(POINT from, POINT to) {
  // The input comes from a thread of its own: a drag may run the system's modal move
  // loop on this thread until the button is released.
  std::atomic<bool> done{false};
  std::thread hand([&] {
    SetCursorPos(from.x, from.y);
    Sleep(100);
    MouseInput(MOUSEEVENTF_LEFTDOWN);
    Sleep(150);
    for (int i = 1; i <= 10; ++i) {
      SetCursorPos(from.x + (to.x - from.x) * i / 10, from.y + (to.y - from.y) * i / 10);
      MouseInput(MOUSEEVENTF_MOVE);
      Sleep(40);
    }
    MouseInput(MOUSEEVENTF_LEFTUP);
    Sleep(150);
    done = true;
  });
  WaitFor([&] { return done.load(); }, 10000);
  hand.join();
  Pump(100);
}

void RealClick(POINT at, bool right) {
  SetCursorPos(at.x, at.y);
  MouseInput(MOUSEEVENTF_MOVE);
  Sleep(30);
  MouseInput(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
  Sleep(30);
  MouseInput(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
}

void RealMove(POINT to) {
  SetCursorPos(to.x, to.y);
  MouseInput(MOUSEEVENTF_MOVE);
}

namespace {

struct MenuSearch {
  HMENU skip;
  HWND found;
};

BOOL CALLBACK FindMenuWindow(HWND h, LPARAM lp) {
  auto* s = reinterpret_cast<MenuSearch*>(lp);
  char cls[16] = "";
  GetClassNameA(h, cls, sizeof cls);
  if (std::string(cls) != "#32768" || !IsWindowVisible(h)) return TRUE;
  if (reinterpret_cast<HMENU>(SendMessageA(h, 0x01E1 /* MN_GETHMENU */, 0, 0)) == s->skip) return TRUE;
  s->found = h;
  return FALSE;
}

// A visible popup menu window other than the one showing `skip`.
HWND WaitMenuWindow(HMENU skip) {
  for (int i = 0; i < 500; ++i) {
    MenuSearch s{skip, nullptr};
    EnumWindows(FindMenuWindow, reinterpret_cast<LPARAM>(&s));
    if (s.found) return s.found;
    Sleep(10);
  }
  return nullptr;
}

}  // namespace

std::thread ChooseFromMenu(std::vector<std::string> path, std::atomic<bool>* chosen) {
  if (chosen) *chosen = false;
  return std::thread([path, chosen] {
    HMENU previous = nullptr;
    for (const std::string& caption : path) {
      HWND window = WaitMenuWindow(previous);
      if (!window) return;
      Sleep(100);
      HMENU menu = reinterpret_cast<HMENU>(SendMessageA(window, 0x01E1, 0, 0));
      int found = -1;
      for (int i = 0; i < GetMenuItemCount(menu) && found < 0; ++i) {
        char text[256] = "";
        GetMenuStringA(menu, UINT(i), text, sizeof text, MF_BYPOSITION);
        if (caption == text) found = i;
      }
      RECT r{};
      if (found < 0 || !GetMenuItemRect(nullptr, menu, UINT(found), &r)) return;
      RealClick({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
      previous = menu;
    }
    if (chosen) *chosen = true;
  });
}

namespace {

// The highlighted entry of a menu of this process; -1 for none, or when its entries cannot
// be read (a menu of another process).
int Highlighted(HMENU menu) {
  for (int i = 0; i < GetMenuItemCount(menu); ++i)
    if (GetMenuState(menu, UINT(i), MF_BYPOSITION) & MF_HILITE) return i;
  return -1;
}

}  // namespace

std::thread PressMenuKeys(std::vector<WPARAM> keys, std::atomic<bool>* done) {
  if (done) *done = false;
  return std::thread([keys, done] {
    HWND window = WaitMenuWindow(nullptr);
    if (!window) return;
    for (int i = 0; i < 200 && !IsWindowVisible(window); ++i) Sleep(10);
    Sleep(100);
    HMENU menu = nullptr;  // MN_GETHMENU: the menu, once the window has one
    for (int i = 0; i < 100 && GetMenuItemCount(menu = reinterpret_cast<HMENU>(SendMessageA(window, 0x01E1, 0, 0))) <= 0;
         ++i)
      Sleep(20);
    const bool readable = GetMenuItemCount(menu) > 0;
    for (WPARAM k : keys) {
      const int before = Highlighted(menu);
      PostMessageA(window, WM_KEYDOWN, k, 0);
      // Each key waits for the menu to answer the one before (a busy machine is slow to).
      const bool moves = readable && (k == VK_UP || k == VK_DOWN);
      for (int i = 0; i < 300 && moves && Highlighted(menu) == before; ++i) Sleep(10);
      if (!moves) Sleep(60);
    }
    if (done) *done = true;
  });
}

namespace {
struct FindBox {
  DWORD pid;
  HWND found;
  const std::string* title;
};

BOOL CALLBACK FindBoxProc(HWND h, LPARAM lp) {
  auto* f = reinterpret_cast<FindBox*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (pid != f->pid || !IsWindowVisible(h)) return TRUE;
  char cls[64] = "", title[256] = "";
  GetClassNameA(h, cls, sizeof cls);
  GetWindowTextA(h, title, sizeof title);
  if (std::string(cls) != "#32770") return TRUE;
  if (f->title && *f->title != title) return TRUE;
  f->found = h;
  return FALSE;
}

HWND FindDialog(const std::string* title) {
  FindBox f{GetCurrentProcessId(), nullptr, title};
  EnumWindows(FindBoxProc, reinterpret_cast<LPARAM>(&f));
  return f.found;
}
}  // namespace

MessageBoxWatcher::MessageBoxWatcher() : thread_([this] { Run(); }) {}

MessageBoxWatcher::MessageBoxWatcher(std::string title, int button)
    : title_(std::move(title)), button_(button), thread_([this] { Run(); }) {}

MessageBoxWatcher::~MessageBoxWatcher() {
  stop_ = true;
  // The watcher may be waiting for this thread's windows to answer (reading a window's
  // text sends it a message): answer sent messages until it has ended.
  while (!finished_) {
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    Sleep(1);
  }
  thread_.join();
}

std::vector<SeenBox> MessageBoxWatcher::Seen() {
  std::lock_guard lock(mutex_);
  return seen_;
}

void MessageBoxWatcher::Run() {
  while (!stop_) {
    if (HWND box = FindDialog(title_.empty() ? nullptr : &title_)) {
      char title[256] = "", text[1024] = "";
      GetWindowTextA(box, title, sizeof title);
      GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
      {
        std::lock_guard lock(mutex_);
        seen_.push_back({title, text});
      }
      // Press the box's button as a user would: the chosen one, or its first.
      HWND ok = button_ ? GetDlgItem(box, button_) : FindWindowExA(box, nullptr, "Button", nullptr);
      DWORD_PTR unused;
      SendMessageTimeoutA(ok, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 2000, &unused);
      for (int i = 0; i < 200 && IsWindow(box) && IsWindowVisible(box); ++i) Sleep(10);
    }
    Sleep(10);
  }
  finished_ = true;
}

namespace {

BOOL CALLBACK FindEdit(HWND h, LPARAM found) {
  char cls[16] = "";
  GetClassNameA(h, cls, sizeof cls);
  if (std::string(cls) != "Edit" || !IsWindowVisible(h)) return TRUE;
  *reinterpret_cast<HWND*>(found) = h;
  return FALSE;
}

}  // namespace

void AnswerFileDialog(HWND dialog, void* path) {
  HWND edit = nullptr;
  EnumChildWindows(dialog, FindEdit, reinterpret_cast<LPARAM>(&edit));
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(static_cast<std::string*>(path)->c_str()));
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

std::thread WhenDialogAppears(const std::string& title, void (*act)(HWND, void*), void* ctx) {
  return std::thread([title, act, ctx] {
    for (int i = 0; i < 1000; ++i) {
      if (HWND d = FindDialog(&title)) {
        Sleep(100);  // let it finish its own set-up
        act(d, ctx);
        return;
      }
      Sleep(10);
    }
    // Whatever the test expects of the answer was never put to the proof.
    ADD_FAILURE() << "the dialog \"" << title << "\" never appeared";
  });
}

}  // namespace testing_support
