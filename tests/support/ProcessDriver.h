// Starts the program as a separate process and watches its windows from outside: the
// start-up tests see exactly what a user would.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "support/TestFolder.h"
#include "support/Waiting.h"

namespace testing_support {

struct TopWindow {
  HWND hwnd;
  std::string className;
  std::string title;
  bool visible;
};

class ProcessDriver {
 public:
  // Starts exe with the given working directory; showCommand, when not -1, is the show
  // state a shortcut would ask for (SW_SHOWMINNOACTIVE for "Run: minimized").
  ProcessDriver(const std::string& exe, const std::string& workDir, int showCommand = -1);
  ~ProcessDriver();  // ends the process if it still runs, unless detached
  // Lets the process run on after the driver is gone (for a test that kills it from outside).
  void Detach() { detached_ = true; }

  DWORD Pid() const { return pi_.dwProcessId; }
  bool Running() const;
  // Waits for the end of the process; returns its exit code, or -1 on time-out.
  long WaitExit(DWORD timeoutMs);
  // The process's top-level windows, message boxes included.
  std::vector<TopWindow> Windows() const;
  // Waits until a visible window of the class with the title appears (nullptr on time-out).
  HWND WaitWindow(const std::string& className, const std::string& title, DWORD timeoutMs) const;
  // Waits until a visible window of the class other than `besides` appears (a dialog
  // over the main window); nullptr on time-out.
  HWND WaitOtherWindow(const std::string& className, HWND besides, DWORD timeoutMs) const;
  // Waits for a message box of the process and returns its text; it is then closed with OK.
  // Returns "" if none came within timeoutMs or the process ended.
  std::string AnswerMessageBox(DWORD timeoutMs);
  // Whether a visible window of the class with the title was seen by any of the calls
  // above while the process ran.
  bool EverShowed(const std::string& className, const std::string& title) const;

 private:
  PROCESS_INFORMATION pi_{};
  bool detached_ = false;
  mutable std::vector<TopWindow> seen_;
};

// The shipped program named by the test's first argument, as a full Windows path (a Unix
// path is reached through drive Z:). Resolved at the first call, before a program in the
// test's own process makes its folder the current one.
const std::string& ProgramPath();

// The first window below parent, at any depth, whose text is text (nullptr if none).
HWND FindDescendant(HWND parent, const std::string& text);
// A left click in the middle of a window of another process, as posted mouse messages.
void ClickWindow(HWND hwnd);
// Presses the main window's REC once the recorder's lists have enabled it; false when it
// never was within timeoutMs.
bool PressRec(HWND main, DWORD timeoutMs = 10000);
// The window's rectangle on the screen.
RECT ScreenRect(HWND hwnd);

// The text of a message box's message.
std::string MessageBoxText(HWND box);
}  // namespace testing_support
