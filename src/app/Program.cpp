#include "app/Program.h"

#include "app/AllForms.h"
#include "app/SplashForm.h"
#include "ui/Application.h"
#include "ui/Synchronize.h"

namespace app {

bool StartProgram() {
  ui::Application& application = ui::App();
  application.SetTitle("tunora");  // the title message boxes carry until it is set
  ui::InitSynchronize();
  ShowSplash();
  application.Initialize();
  application.SetTitle("Ovexia Tunora");
  if (!EnvironmentOk) return false;
  CreateAllForms();
  return true;
}

void EndProgram() {
  ui::App().DestroyForms();
  DestroySplash();
}

}  // namespace app
