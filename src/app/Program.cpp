#include "app/Program.h"

#include <windows.h>

#include <atomic>
#include <future>
#include <system_error>
#include <thread>

#include "app/AllForms.h"
#include "app/SplashForm.h"
#include "app/StartLog.h"
#include "recording/DXClass.h"
#include "recording/DXSounds.h"
#include "ui/Application.h"
#include "ui/Synchronize.h"

namespace app {

namespace {

// Loading the sound system (the system's sound driver, DirectSound, the capture device
// and its formats) is a good part of a start. A thread of its own does it: it answers the
// sound-card check beside the splash window and the making of the windows. The rest
// waits until the main window shows, since every call it makes to the system would slow
// those down: it then probes the default capture device's formats and lists the capture
// devices for the recorder's lists, and loads the libraries that the program imports
// late (the network, TLS, the shell), which the first station and the tray icon then
// find loaded. The user-interface thread touches the capture devices only once the
// warm-up is done with them, or when it is asked to wait for it. Joined at the end, or at
// the latest when the process exits; a warm-up still waiting then stops there.
struct SoundWarmUp {
  std::thread thread;
  std::future<bool> soundcard;
  std::promise<bool> goOn;  // false: the program ends before the window needed the rest
  bool told = false;
  std::atomic<bool> done{false};
  ~SoundWarmUp() { Join(false); }
  void Tell(bool on) {
    if (!told) goOn.set_value(on);
    told = true;
  }
  void Join(bool finish = true) {
    Tell(finish);
    if (thread.joinable()) thread.join();
  }
};
SoundWarmUp warmUp;

void StartSoundWarmUp() {
  warmUp.Join();  // a second start (the tests) waits for the first warm-up
  warmUp.done = false;
  warmUp.goOn = {};
  warmUp.told = false;
  std::promise<bool> soundcard;
  warmUp.soundcard = soundcard.get_future();
  try {
    warmUp.thread = std::thread([soundcard = std::move(soundcard), goOn = warmUp.goOn.get_future()]() mutable {
      soundcard.set_value(TSplashForm::IsSoundcard());
      if (!goOn.get()) return;
      recording::PrefetchDefaultCaptureFormats();
      try {
        recording::CaptureDrivers();
      } catch (...) {
        // The recorder's list asks again when it is filled, and tells why it failed.
      }
      warmUp.done = true;
      for (const char* library : {"ws2_32.dll", "secur32.dll", "crypt32.dll", "bcrypt.dll", "shell32.dll"})
        LoadLibraryA(library);  // kept for the life of the process, as a late import keeps it
    });
  } catch (const std::system_error&) {
    // No thread to spare: the checks and the recorder load the sound system themselves.
  }
}

// The answer of the warm-up, or of this thread when there was no warm-up to give one.
bool SoundcardFound() {
  try {
    return warmUp.soundcard.get();
  } catch (const std::future_error&) {
    return TSplashForm::IsSoundcard();
  }
}

}  // namespace

bool StartProgram() {
  StartSoundWarmUp();
  ui::Application& application = ui::App();
  application.SetTitle("tunora");  // the title message boxes carry until it is set
  ui::InitSynchronize();
  StartStep("synchronisation window");
  ShowSplash();
  StartStep("splash shown, media player checked");
  application.SetTitle("Ovexia Tunora");
  if (EnvironmentOk) CreateAllForms();
  // The sound card's answer, found meanwhile, just before the main window shows; with
  // the media player missing too its message follows that one's.
  SplashForm->FinishChecks(SoundcardFound());
  StartStep("sound card checked");
  return EnvironmentOk;
}

void ContinueSoundWarmUp() { warmUp.Tell(true); }

bool SoundWarmedUp() { return warmUp.done || !warmUp.thread.joinable(); }

void FinishSoundWarmUp() {
  if (!SoundWarmedUp()) warmUp.Join();
}

void EndProgram() {
  warmUp.Join(false);
  ui::App().DestroyForms();
  DestroySplash();
}

}  // namespace app
