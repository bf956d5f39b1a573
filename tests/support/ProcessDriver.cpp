#include "support/ProcessDriver.h"

#include <cstdio>
#include <stdexcept>

extern std::vector<std::string> TestArguments;

namespace testing_support {

namespace {

struct Collect {
  DWORD pid;
  std::vector<TopWindow>* out;
};

BOOL CALLBACK CollectWindow(HWND h, LPARAM lp) {
  auto* c = reinterpret_cast<Collect*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (pid != c->pid) return TRUE;
  char cls[128] = "", title[512] = "";
  GetClassNameA(h, cls, sizeof cls);
  GetWindowTextA(h, title, sizeof title);
  c->out->push_back({h, cls, title, IsWindowVisible(h) != FALSE});
  return TRUE;
}

}  // namespace

ProcessDriver::ProcessDriver(const std::string& exe, const std::string& workDir, int showCommand) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  if (showCommand != -1) {
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = WORD(showCommand);
  }
  std::string cmd = "\"" + exe + "\"";
  if (!CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, workDir.c_str(), &si, &pi_))
    throw std::runtime_error("cannot start " + exe);
}

ProcessDriver::~ProcessDriver() {
  if (!detached_ && Running()) {
    TerminateProcess(pi_.hProcess, 1);
    WaitForSingleObject(pi_.hProcess, 5000);
  }
  CloseHandle(pi_.hThread);
  CloseHandle(pi_.hProcess);
}

bool ProcessDriver::Running() const { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }

long ProcessDriver::WaitExit(DWORD timeoutMs) {
  // The windows are looked at while waiting, for EverShowed.
  const DWORD start = GetTickCount();
  while (WaitForSingleObject(pi_.hProcess, 10) != WAIT_OBJECT_0) {
    if (GetTickCount() - start > timeoutMs) return -1;
    Windows();
  }
  DWORD code = 0;
  GetExitCodeProcess(pi_.hProcess, &code);
  return long(code);
}

std::vector<TopWindow> ProcessDriver::Windows() const {
  std::vector<TopWindow> out;
  Collect c{pi_.dwProcessId, &out};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&c));
  for (const TopWindow& w : out)
    if (w.visible) seen_.push_back(w);
  return out;
}

bool ProcessDriver::EverShowed(const std::string& className, const std::string& title) const {
  for (const TopWindow& w : seen_)
    if (w.className == className && w.title == title) return true;
  return false;
}

HWND ProcessDriver::WaitOtherWindow(const std::string& className, HWND besides, DWORD timeoutMs) const {
  for (DWORD waited = 0; waited < timeoutMs; waited += 20, Sleep(20))
    for (const TopWindow& w : Windows())
      if (w.visible && w.className == className && w.hwnd != besides) return w.hwnd;
  return nullptr;
}

HWND ProcessDriver::WaitWindow(const std::string& className, const std::string& title, DWORD timeoutMs) const {
  const DWORD start = GetTickCount();
  do {
    for (const TopWindow& w : Windows())
      if (w.visible && w.className == className && w.title == title) return w.hwnd;
    Sleep(20);
  } while (GetTickCount() - start < timeoutMs && Running());
  return nullptr;
}

std::string ProcessDriver::AnswerMessageBox(DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  do {
    for (const TopWindow& w : Windows()) {
      if (!w.visible || w.className != "#32770") continue;
      const std::string text = MessageBoxText(w.hwnd);
      // Press the box's OK button as a user would.
      HWND ok = FindWindowExA(w.hwnd, nullptr, "Button", nullptr);
      DWORD_PTR unused;
      SendMessageTimeoutA(ok, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 2000, &unused);
      // Wait until this box is gone, so that the next call sees the next one; a box that
      // stays is told in the text, which then matches no expected message.
      if (!WaitFor([&] { return !IsWindow(w.hwnd) || !IsWindowVisible(w.hwnd); }, 5000))
        return text + " [the box stayed open after its OK was pressed]";
      return text;
    }
    Sleep(20);
  } while (GetTickCount() - start < timeoutMs && Running());
  return "";
}

namespace {

struct FindText {
  const std::string* text;
  HWND found;
};

BOOL CALLBACK MatchText(HWND h, LPARAM lp) {
  auto* f = reinterpret_cast<FindText*>(lp);
  char text[512] = "";
  GetWindowTextA(h, text, sizeof text);
  if (*f->text != text) return TRUE;
  f->found = h;
  return FALSE;
}

}  // namespace

HWND FindDescendant(HWND parent, const std::string& text) {
  FindText f{&text, nullptr};
  EnumChildWindows(parent, MatchText, reinterpret_cast<LPARAM>(&f));
  return f.found;
}

void ClickWindow(HWND hwnd) {
  RECT r;
  GetClientRect(hwnd, &r);
  const LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
  PostMessageA(hwnd, WM_MOUSEMOVE, 0, at);
  PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(hwnd, WM_LBUTTONUP, 0, at);
}

bool PressRec(HWND main, DWORD timeoutMs) {
  HWND rec = FindDescendant(main, "REC");
  if (!rec || !WaitFor([&] { return IsWindowEnabled(rec) != FALSE; }, timeoutMs)) return false;
  ClickWindow(rec);
  return true;
}

RECT ScreenRect(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return r;
}

const std::string& ProgramPath() {
  static const std::string path = [] {
    const std::string exe = TestArguments.empty() ? std::string("tunora.exe") : TestArguments[0];
    if (exe[0] == '/') return "Z:" + exe;
    char full[MAX_PATH] = "";
    GetFullPathNameA(exe.c_str(), MAX_PATH, full, nullptr);
    return std::string(full);
  }();
  return path;
}

std::string MessageBoxText(HWND box) {
  char text[1024] = "";
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the message's static control
  return text;
}

}  // namespace testing_support
