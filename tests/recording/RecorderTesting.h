// The recorder on the real main window, for the recorder's tests: the program started
// the way it starts, capturing the session's sine source through DirectSound, and a
// fixture that brings the recorder back to a fresh state before each test.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <mmsystem.h>
#include <shlobj.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <thread>

#include "app/MainForm.h"
#include "support/MainWindowView.h"
#include "support/StartedProgram.h"
#include "support/SoundCapture.h"
#include "recording/CaptureRules.h"
#include "recording/DXClass.h"
#include "recording/OptionsForm.h"
#include "support/WaveChecks.h"
#include "recording/WaveRules.h"
#include "ui/Application.h"
#include "support/WindowTesting.h"

using namespace testing_support;
using recording::CaptureFormat;

inline TMainForm& Started() { return StartedProgram(); }

// What reaches the sound server's null sink, through its monitor: frequency and level.
inline Tone Listen(DWORD ms) {
  SoundCapture capture(ms);
  if (!capture.Recording()) return {};
  // The program plays on this thread: its messages are served while the sound is recorded.
  if (!WaitFor([&] { return capture.Done(); }, ms + 10000)) ADD_FAILURE() << "the sink's recording never ended";
  capture.Finish(false);
  return MeasureTone(capture.Samples(), SoundCapture::kRate, capture.Samples().size() / 10);
}

// Whether the running program's import table names the library.
inline bool ImportsLibrary(const char* name) {
  const auto* base = reinterpret_cast<const BYTE*>(GetModuleHandleA(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d)
    if (_stricmp(reinterpret_cast<const char*>(base + d->Name), name) == 0) return true;
  return false;
}

inline bool TransportReady(TMainForm& m) {
  MainWindowView& w = View(m);
  return w.VrDemoButtonRec.Enabled() && w.VrDemoButtonStart.Enabled() && w.VrDemoButtonOptions.Enabled() &&
         w.VrDemoButtonBurn.Enabled();
}
inline bool TransportBusy(TMainForm& m) {
  MainWindowView& w = View(m);
  return !w.VrDemoButtonRec.Enabled() && !w.VrDemoButtonStart.Enabled() && !w.VrDemoButtonOptions.Enabled() &&
         !w.VrDemoButtonBurn.Enabled();
}

class Recorder : public ::testing::Test {
 protected:
  void SetUp() override {
    LeftClick(w.VrDemoButtonStop);
    w.Recorder.SetDataLimit(-1);
    OptionsForm->DriverBox.SetItemIndex(0);
    m.FillFormatBox();
    OptionsForm->DirectoryEditLogger.SetText(ProgramFolder() / "take.wav");
    // The file player lets go of a recording it played a moment after it is stopped.
    ASSERT_TRUE(
        WaitFor([] { return DeleteFileA((ProgramFolder() / "take.wav").c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND; }, 10000))
        << "the take of the test before is still held open";
    // Each test begins without the sheets of the one before (a user's among them).
    for (const char* sheet : {"take.cue", "take (2).cue", "take (3).cue"}) DeleteFileA((ProgramFolder() / sheet).c_str());
  }
  void TearDown() override {
    LeftClick(w.VrDemoButtonStop);
    w.Recorder.SetSourceMaker(nullptr);
    w.TimerTunora.SetEnabled(true);
    for (const char* sheet : {"take.cue", "take (2).cue"}) DeleteFileA((ProgramFolder() / sheet).c_str());
  }
  // The titles come from the test alone: the window's tick would hand over the player's.
  void TitlesFromTheTest(const std::string& first) {
    w.TimerTunora.SetEnabled(false);
    w.Recorder.TitleHeard(first);
  }
  // The message that a box of the recorder said, once the tick that tells it has run: a
  // box shown from now on, not one an earlier recording's news showed.
  std::string Told(MessageBoxWatcher& boxes, const std::string& part) {
    const std::size_t before = boxes.Seen().size();
    std::string text;
    WaitFor([&] {
      w.Recorder.TitleHeard("");
      const auto seen = boxes.Seen();
      for (std::size_t i = before; i < seen.size(); ++i)
        if (seen[i].text.find(part) != std::string::npos) text = seen[i].text;
      return !text.empty();
    }, 3000);
    return text;
  }

  // REC, then the first sound in the file. A new capture buffer under Wine and PulseAudio
  // gives its first sound within 2 s as a rule, but now and then only after several:
  // the start is waited for, so that what follows is timed from the sound.
  ::testing::AssertionResult StartRecording() {
    const auto recording = [&] { return w.Recorder.RecordFile() && w.Recorder.RecordFile()->GetDataSize() > 0; };
    // Wine's capture on a busy machine now and then never starts delivering (its
    // position stands still); a second REC then starts it. Twice in a row is a fault.
    for (int attempt = 1; attempt <= 2; ++attempt) {
      recClicked_ = GetTickCount();
      LeftClick(w.VrDemoButtonRec);
      if (WaitFor(recording, 10000)) return ::testing::AssertionSuccess();
      std::printf("no sound within 10 s of REC %d (%s)\n", attempt,
                  w.Recorder.CaptureStream()->Capturing() ? "capturing" : "not capturing");
      if (attempt == 1) LeftClick(w.VrDemoButtonStop);
    }
    return ::testing::AssertionFailure() << "no sound recorded within 10 s of REC, twice";
  }
  // When the REC that started the recording was pressed: a busy machine's capture may
  // deliver its first sound seconds later, and then all it held since.
  DWORD recClicked_ = 0;

  // REC, until the file holds `ms` of sound (whenever Wine's capture delivers it), STOP;
  // the file's bytes.
  std::string Record(DWORD ms) {
    LeftClick(w.VrDemoButtonRec);
    EXPECT_TRUE(TransportBusy(m));
    EXPECT_TRUE(w.Recorder.CaptureStream() && w.Recorder.CaptureStream()->Capturing());
    const std::int64_t bytes = std::int64_t(ms) * 176400 / 1000;
    EXPECT_TRUE(WaitFor([&] { return w.Recorder.RecordFile() && w.Recorder.RecordFile()->GetDataSize() >= bytes; }, ms + 10000))
        << "no " << ms << " ms of sound recorded";
    LeftClick(w.VrDemoButtonStop);
    EXPECT_TRUE(TransportReady(m));
    EXPECT_EQ(w.LabelStation.Caption(), "none");
    return ProgramFolder().Content("take.wav");
  }

  TMainForm& m = Started();
  MainWindowView& w = View(m);
};
