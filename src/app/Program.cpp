#include "app/Program.h"

#include <windows.h>
// mmsystem.h needs windows.h first
#include <mmsystem.h>

#include <system_error>
#include <thread>

#include "app/AllForms.h"
#include "app/SplashForm.h"
#include "recording/DXSounds.h"
#include "ui/Application.h"
#include "ui/Synchronize.h"

namespace app {

namespace {

// Loading the sound system (the system's sound driver, DirectSound, the capture device
// and its formats) is a good part of a start. A thread of its own begins it at once,
// beside the splash window and the making of the windows; the checks and the recorder's
// lists then find it loaded. Nothing it does is seen, and nothing waits for it but them.
// Joined at the end, or at the latest when the process exits.
struct JoinedThread {
  std::thread thread;
  ~JoinedThread() { Join(); }
  void Join() {
    if (thread.joinable()) thread.join();
  }
};
JoinedThread soundWarmUp;

}  // namespace

bool StartProgram() {
  soundWarmUp.Join();  // a second start (the tests) waits for the first warm-up
  try {
    soundWarmUp.thread = std::thread([] {
      waveOutGetNumDevs();
      recording::PrefetchDefaultCaptureFormats();
    });
  } catch (const std::system_error&) {
    // No thread to spare: the checks and the recorder load the sound system themselves.
  }
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
  soundWarmUp.Join();
  ui::App().DestroyForms();
  DestroySplash();
}

}  // namespace app
