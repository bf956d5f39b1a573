// The program's entry: the single-instance guard, then the start, the message loop and
// the end.
#include <windows.h>

#include "app/Program.h"
#include "app/SingleInstance.h"
#include "app/StartLog.h"
#include "ui/Application.h"

namespace {

// Libraries that the program or the system load later by name alone come from the
// system folder, not from the program's folder or the current one, where a download may
// have left a library of the same name. Systems before the function's update lack it.
void LoadLibrariesFromTheSystemFolderOnly() {
  using SetDirectories = BOOL(WINAPI*)(DWORD);
  const auto set = reinterpret_cast<SetDirectories>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
  if (set) set(LOAD_LIBRARY_SEARCH_SYSTEM32);
  SetDllDirectoryA("");  // takes the current folder out of the older search order
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  app::StartStep("entry (loader, libraries, static objects)");
  LoadLibrariesFromTheSystemFolderOnly();
  static app::SingleInstanceGuard guard;  // released when the process ends
  if (guard.AnotherCopyRuns()) return 0;
  app::StartStep("single-instance guard");

  ui::Application& application = ui::App();
  try {
    if (app::StartProgram()) {
      application.ShowMainForm();
      app::StartStep("main window shown");
      application.Run();
    }
  } catch (const std::exception& e) {
    application.HandleException(e);
  }
  app::EndProgram();
  return 0;
}
