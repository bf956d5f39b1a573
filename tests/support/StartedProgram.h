// The program under test in the test's own process: started once per test program as
// the shipped exe starts (the splash window and its checks, every window, the main
// window's first showing), in a working directory of the test's choosing.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

#include "app/InternetWatch.h"
#include "app/MainForm.h"
#include "app/Program.h"
#include "playback/StationPlayer.h"
#include "ui/Application.h"
#include "support/TestFolder.h"
#include "support/WindowTesting.h"

namespace testing_support {

// A connection system the test switches: online from the start, for tests whose faults
// are the station's or the disk's; counts the program's attempts to dial.
class TestConnection : public app::ConnectionSystem {
 public:
  std::atomic<bool> connected{true};
  std::atomic<int> attempts{0};
  bool IsConnected() override { return connected; }
  void AttemptConnect() override { ++attempts; }
};

// The started program's folder, where a user keeps the program and its files: one for
// the test program, removed when it ends.
inline const TestFolder& ProgramFolder() {
  static const TestFolder folder;
  return folder;
}

// The started program; the first call starts it in `folder`, waits until the start has
// finished, and with `connection` (when given) as its view of the machine's connection,
// until it sees it.
inline TMainForm& StartedProgram(std::shared_ptr<app::ConnectionSystem> connection = nullptr,
                                 const TestFolder& folder = ProgramFolder()) {
  if (ui::App().Forms().empty()) {
    SetCurrentDirectoryA(folder.Path().c_str());
    if (!app::StartProgram()) ADD_FAILURE() << "the environment checks refused the machine";
    ui::App().ShowMainForm();
    // The rest of the start runs from the message loop once the window shows.
    if (!WaitFor([] { return MainForm->SoundListsFilled(); }, 10000))
      ADD_FAILURE() << "the recorder's lists were not filled within 10 s of the showing";
    if (connection) {
      MainForm->Connection().SetSystem(std::move(connection));
      if (!WaitFor([] { return MainForm->Monitor().internetConnected; }, 5000))
        ADD_FAILURE() << "the program did not see the test's connection within 5 s";
    }
  }
  return *MainForm;
}

// Whether sound of the player is leaving the device.
inline bool Playing(const TWindowsMediaPlayer& player) { return player.playState() == playback::psPlaying; }

}  // namespace testing_support
