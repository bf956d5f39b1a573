// The program's entry: the single-instance guard, the splash window with its checks,
// then every window in its order and the message loop.
#include <windows.h>

#include "app/AllForms.h"
#include "app/SingleInstance.h"
#include "app/SplashForm.h"
#include "ui/Application.h"
#include "ui/Synchronize.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  static app::SingleInstanceGuard guard;  // released when the process ends
  if (guard.AnotherCopyRuns()) return 0;

  ui::Application& application = ui::App();
  application.SetTitle("tunora");  // the title message boxes carry until it is set
  try {
    ui::InitSynchronize();
    ShowSplash();
    application.Initialize();
    application.SetTitle("Ovexia Tunora");
    if (EnvironmentOk) {
      app::CreateAllForms();
      application.Run();
    }
    application.DestroyForms();
    DestroySplash();
  } catch (const std::exception& e) {
    application.HandleException(e);
  }
  return 0;
}
