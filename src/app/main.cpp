// The program's entry: the single-instance guard, then the start, the message loop and
// the end.
#include <windows.h>

#include "app/Program.h"
#include "app/SingleInstance.h"
#include "ui/Application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  static app::SingleInstanceGuard guard;  // released when the process ends
  if (guard.AnotherCopyRuns()) return 0;

  ui::Application& application = ui::App();
  try {
    if (app::StartProgram()) application.Run();
  } catch (const std::exception& e) {
    application.HandleException(e);
  }
  app::EndProgram();
  return 0;
}
