// The recorder on the real main window, started the way the program starts, capturing
// the session's sine source through DirectSound: REC, STOP and PLAY pressed as window
// messages, the file's bytes read back and the tone checked sample by sample, playback
// heard on the sound server's null sink, and the options dialog.
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

namespace {

std::string Directory() {
  static const std::string dir = ProcessTempDirectory("tunora-recorder-");
  return dir;
}

std::string InDir(const std::string& name) {
  return Directory() + "\\" + name;
}

std::string ReadFile(const std::string& path) {
  return ReadFileBytes(path);
}

TMainForm& Started() { return StartedProgram(Directory()); }

// What reaches the sound server's null sink, through its monitor: frequency and level.
Tone Listen(DWORD ms) {
  SoundCapture capture(ms);
  if (!capture.Recording()) return {};
  // The program plays on this thread: its messages are served while the sound is recorded.
  if (!PumpUntil([&] { return capture.Done(); }, ms + 2000)) ADD_FAILURE() << "the sink's recording never ended";
  capture.Finish(false);
  return MeasureTone(capture.Samples(), SoundCapture::kRate, capture.Samples().size() / 10);
}

// Whether the running program's import table names the library.
bool ImportsLibrary(const char* name) {
  const auto* base = reinterpret_cast<const BYTE*>(GetModuleHandleA(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d)
    if (_stricmp(reinterpret_cast<const char*>(base + d->Name), name) == 0) return true;
  return false;
}

bool TransportReady(TMainForm& m) {
  return m.VrDemoButtonRec.Enabled() && m.VrDemoButtonStart.Enabled() && m.VrDemoButtonOptions.Enabled() &&
         m.VrDemoButtonBurn.Enabled();
}
bool TransportBusy(TMainForm& m) {
  return !m.VrDemoButtonRec.Enabled() && !m.VrDemoButtonStart.Enabled() && !m.VrDemoButtonOptions.Enabled() &&
         !m.VrDemoButtonBurn.Enabled();
}

class Recorder : public ::testing::Test {
 protected:
  void SetUp() override {
    m_ = &Started();
    LeftClick(m_->VrDemoButtonStop);
    m_->Recorder.SetDataLimit(-1);
    OptionsForm->DriverBox.SetItemIndex(0);
    m_->FillFormatBox();
    OptionsForm->DirectoryEditLogger.SetText(InDir("take.wav"));
    // The file player lets go of a recording it played a moment after it is stopped.
    ASSERT_TRUE(
        PumpUntil([] { return DeleteFileA(InDir("take.wav").c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND; }, 10000))
        << "the take of the test before is still held open";
    // Each test begins without the sheets of the one before (a user's among them).
    for (const char* sheet : {"take.cue", "take (2).cue", "take (3).cue"}) DeleteFileA(InDir(sheet).c_str());
  }
  void TearDown() override {
    LeftClick(m_->VrDemoButtonStop);
    m_->Recorder.SetSourceMaker(nullptr);
    m_->TimerTunora.SetEnabled(true);
    for (const char* sheet : {"take.cue", "take (2).cue"}) DeleteFileA(InDir(sheet).c_str());
  }
  // The titles come from the test alone: the window's tick would hand over the player's.
  void TitlesFromTheTest(const std::string& first) {
    m_->TimerTunora.SetEnabled(false);
    m_->Recorder.TitleHeard(first);
  }
  // The message that a box of the recorder said, once the tick that tells it has run.
  std::string Told(MessageBoxWatcher& boxes, const std::string& part) {
    std::string text;
    PumpUntil([&] {
      m_->Recorder.TitleHeard("");
      for (const SeenBox& b : boxes.Seen())
        if (b.text.find(part) != std::string::npos) text = b.text;
      return !text.empty();
    }, 3000);
    return text;
  }

  // REC, then the first sound in the file. A new capture buffer under Wine and PulseAudio
  // gives its first sound within 2 s as a rule, but now and then only after several:
  // the start is waited for, so that what follows is timed from the sound.
  ::testing::AssertionResult StartRecording() {
    TMainForm& m = *m_;
    const auto recording = [&] { return m.Recorder.RecordFile() && m.Recorder.RecordFile()->GetDataSize() > 0; };
    // Wine's capture on a busy machine now and then never starts delivering (its
    // position stands still); a second REC then starts it. Twice in a row is a fault.
    for (int attempt = 1; attempt <= 2; ++attempt) {
      recClicked_ = GetTickCount();
      LeftClick(m.VrDemoButtonRec);
      if (PumpUntil(recording, 10000)) return ::testing::AssertionSuccess();
      std::printf("no sound within 10 s of REC %d (%s)\n", attempt,
                  m.Recorder.CaptureStream()->Capturing() ? "capturing" : "not capturing");
      if (attempt == 1) LeftClick(m.VrDemoButtonStop);
    }
    return ::testing::AssertionFailure() << "no sound recorded within 10 s of REC, twice";
  }
  // When the REC that started the recording was pressed: a busy machine's capture may
  // deliver its first sound seconds later, and then all it held since.
  DWORD recClicked_ = 0;

  // REC, `ms` of recording, STOP; the file's bytes.
  std::string Record(DWORD ms) {
    TMainForm& m = *m_;
    LeftClick(m.VrDemoButtonRec);
    EXPECT_TRUE(TransportBusy(m));
    EXPECT_TRUE(m.Recorder.CaptureStream() && m.Recorder.CaptureStream()->Capturing());
    Pump(ms);
    LeftClick(m.VrDemoButtonStop);
    EXPECT_TRUE(TransportReady(m));
    EXPECT_EQ(m.LabelStation.Caption(), "none");
    return ReadFile(InDir("take.wav"));
  }

  TMainForm* m_ = nullptr;
};

TEST_F(Recorder, TheFormatListIsWhatTheDeviceAcceptsWithTheDefaultSelected) {
  // Ask the device directly, format by format.
  IDirectSoundCapture* device = nullptr;
  ASSERT_EQ(recording::DXDirectSoundCaptureCreate(nullptr, &device, nullptr), DS_OK);
  std::vector<std::string> accepted;
  for (const CaptureFormat& f : recording::ProbeFormats([](const CaptureFormat&) { return true; })) {
    WAVEFORMATEX wfx{WAVE_FORMAT_PCM,
                     WORD(f.channels),
                     f.samplesPerSec,
                     f.samplesPerSec * f.channels * (f.bitsPerSample / 8),
                     WORD(f.channels * (f.bitsPerSample / 8)),
                     WORD(f.bitsPerSample),
                     0};
    DSCBUFFERDESC1 desc{sizeof desc, 0, wfx.nAvgBytesPerSec, 0, &wfx};
    IDirectSoundCaptureBuffer* buffer = nullptr;
    if (device->CreateCaptureBuffer(reinterpret_cast<LPCDSCBUFFERDESC>(&desc), &buffer, nullptr) == DS_OK) {
      accepted.push_back(recording::FormatLine(f));
      buffer->Release();
    }
  }
  device->Release();
  const ui::ComboBox& box = OptionsForm->FormatBox;
  EXPECT_EQ(box.Items(), accepted);
  EXPECT_EQ(box.Count(), 28) << "Wine's capture takes the 8- and 16-bit formats";
  EXPECT_EQ(box.Text(), "44100Hz 16bit Stereo");
  EXPECT_EQ(box.ItemIndex(), 19);

  // The devices, enumerated once, the primary one first.
  const recording::TDirectXDrivers& drivers = recording::CaptureDrivers();
  EXPECT_EQ(&drivers, &recording::CaptureDrivers());
  ASSERT_GE(drivers.Count(), 2);
  EXPECT_EQ(drivers[0].Guid, nullptr);
  EXPECT_EQ(drivers[1].Guid, &drivers[1].GuidData);
  EXPECT_EQ(OptionsForm->DriverBox.Count(), drivers.Count() + 1) << "the devices, then the playing station";
  EXPECT_EQ(OptionsForm->DriverBox.Item(0), drivers[0].Description);
  // One library, however its name is spelled.
  const int libraries = recording::LoadedLibraryCount();
  EXPECT_NE(recording::LoadLibraryProc("dsound.DLL", "DirectSoundCaptureCreate"), nullptr);
  EXPECT_EQ(recording::LoadedLibraryCount(), libraries);
  try {
    recording::LoadLibraryProc("DSound.dll", "NoSuchFunction");
    ADD_FAILURE() << "a missing entry point is an error";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "DSound.dll not loaded");
  }
  // DirectSound is loaded at run time only: the program's import table does not name it.
  EXPECT_TRUE(ImportsLibrary("user32.dll"));
  EXPECT_FALSE(ImportsLibrary("dsound.dll"));
}

TEST_F(Recorder, FiveSecondsHoldTheToneWithNoSampleLostOrRepeatedAndPlayBack) {
  TMainForm& m = *m_;
  MessageBoxWatcher boxes;
  // Timed from the first sound: Wine's capture takes a second and more to deliver it.
  ASSERT_TRUE(StartRecording());
  EXPECT_TRUE(TransportBusy(m));
  Pump(5000);
  LeftClick(m.VrDemoButtonStop);
  // Five seconds by the clock, which a busy machine's pump may stretch; the file holds
  // at most what passed since REC.
  const double sinceRec = (GetTickCount() - recClicked_) / 1000.0;
  EXPECT_TRUE(TransportReady(m));
  EXPECT_EQ(m.LabelStation.Caption(), "none");
  const std::string file = ReadFile(InDir("take.wav"));
  ASSERT_GE(file.size(), 46u);
  EXPECT_EQ(file.substr(0, 46), ExpectedHeader(file.size(), 44100, 16, 2));
  const std::size_t data = file.size() - 46;
  EXPECT_EQ(data % 4, 0u);
  // A machine too busy to read the capture in time loses sound and says so: what is
  // judged then is that it said so.
  if (!m.Recorder.CaptureStream()->Gaps().empty()) {
    ASSERT_FALSE(boxes.Seen().empty()) << "sound was lost and nobody was told";
    std::printf("sound was lost and told: %s\n", boxes.Seen()[0].text.c_str());
    return;
  }
  // Wine's capture may stand still for a moment on a busy machine; what it delivered is
  // judged below, sample by sample.
  ASSERT_GE(double(data) / 176400, 3.8);
  EXPECT_LE(double(data) / 176400, sinceRec + 0.3);
  EXPECT_EQ(m.VrNumSize.Value(), int(recording::RoundKilobytes(std::int64_t(data))));
  EXPECT_TRUE(m.Recorder.CaptureStream()->Gaps().empty());
  EXPECT_TRUE(boxes.Seen().empty()) << boxes.Seen()[0].text;

  // The sine source's tone, continuous from the first block to the last.
  std::vector<double> left = LeftChannel(file.substr(46));
  left.erase(left.begin(), left.begin() + 8820);  // the capture's first 0.2 s settles
  double sum = 0;
  for (double v : left) sum += v * v;
  EXPECT_GT(std::sqrt(sum / double(left.size())), 1000.0);
  const double hz = MeasureTone(left, 44100).hz;
  EXPECT_NEAR(hz, 440.0, 1.0);
  // Blocks of 50 ms hold 22 whole periods, so the reference's double-frequency term
  // cancels and the phases are steady to a few thousandths of a radian.
  const std::vector<double> phases = BlockPhases(left, 44100, 440.0, 2205);
  ASSERT_GE(phases.size(), 75u) << "the 3.8 s judged";
  EXPECT_LT(LargestPhaseStep(phases), 0.01) << "a sample lost or repeated moves it by 0.04 or more";

  // PLAY: the file player plays it, the clocks follow, the tone reaches the sink.
  LeftClick(m.VrDemoButtonStart);
  EXPECT_EQ(m.LabelStation.Caption(), "File Playback");
  EXPECT_TRUE(TransportBusy(m));
  ASSERT_TRUE(PumpUntil([&] { return Playing(m.PlayerRec); }, 5000)) << m.PlayerRec.lastError();
  const Tone heard = Listen(3000);
  EXPECT_NEAR(heard.hz, 440.0, 2.0);
  EXPECT_GT(heard.rms, 300.0);
  EXPECT_TRUE(PumpUntil([&] { return m.VrClockRecPos.Seconds() >= 3; }, 3000));
  EXPECT_EQ(m.VrClockDuration.Minutes() * 60 + m.VrClockDuration.Seconds(), int(std::lround(double(data) / 176400)));
  // When it ends the buttons come back.
  EXPECT_TRUE(PumpUntil([&] { return TransportReady(m); }, 15000));
  EXPECT_EQ(m.PlayerRec.URL(), "");
}

TEST_F(Recorder, StopDuringPlaybackEndsIt) {
  TMainForm& m = *m_;
  MessageBoxWatcher boxes;
  Record(3000);
  LeftClick(m.VrDemoButtonStart);
  ASSERT_TRUE(PumpUntil([&] { return Playing(m.PlayerRec); }, 5000)) << m.PlayerRec.lastError();
  LeftClick(m.VrDemoButtonStop);
  EXPECT_TRUE(TransportReady(m));
  EXPECT_EQ(m.LabelStation.Caption(), "none");
  EXPECT_EQ(m.PlayerRec.URL(), "");
  EXPECT_TRUE(PumpUntil([&] { return !Playing(m.PlayerRec); }, 1000));
  Pump(500);
  EXPECT_TRUE(TransportReady(m));
}

TEST_F(Recorder, MissingOptionsAreReportedAndTouchNoFile) {
  TMainForm& m = *m_;
  MessageBoxWatcher boxes;
  OptionsForm->DirectoryEditLogger.SetText("");
  LeftClick(m.VrDemoButtonRec);
  EXPECT_TRUE(TransportReady(m));
  EXPECT_FALSE(m.Recorder.RecordFile());
  EXPECT_EQ(GetFileAttributesA(InDir("take.wav").c_str()), INVALID_FILE_ATTRIBUTES);

  // No format selected: the file there keeps its bytes.
  OptionsForm->DirectoryEditLogger.SetText(InDir("take.wav"));
  std::ofstream(InDir("take.wav"), std::ios::binary) << "keep";
  OptionsForm->FormatBox.SetItemIndex(OptionsForm->FormatBox.Count());
  EXPECT_EQ(OptionsForm->FormatBox.Text(), "");
  LeftClick(m.VrDemoButtonRec);
  EXPECT_TRUE(TransportReady(m));
  EXPECT_EQ(ReadFile(InDir("take.wav")), "keep");
  Pump(200);
  const auto seen = boxes.Seen();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].text, "Recording options are missing under 'Options'!");
  EXPECT_EQ(seen[1].text, "Recording options are missing under 'Options'!");
}

// A REC that fails (a folder that does not exist) says why, holds no file and leaves the
// buttons as they were; the next REC records.
TEST_F(Recorder, AFailedRecHoldsNoFileAndTheNextRecRecords) {
  TMainForm& m = *m_;
  MessageBoxWatcher boxes;
  OptionsForm->DirectoryEditLogger.SetText(InDir("missing\\take.wav"));
  LeftClick(m.VrDemoButtonRec);
  Pump(200);
  const auto seen = boxes.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text.rfind("Cannot create file \"" + InDir("missing\\take.wav") + "\".", 0), 0u) << seen[0].text;
  EXPECT_TRUE(TransportReady(m));
  EXPECT_FALSE(m.Recorder.RecordFile());
  OptionsForm->DirectoryEditLogger.SetText(InDir("take.wav"));
  ASSERT_TRUE(StartRecording());
  LeftClick(m.VrDemoButtonStop);
  EXPECT_GT(ReadFile(InDir("take.wav")).size(), 46u);
}

// A capture that cannot start (a device that refuses its buffer) leaves neither a file
// nor a cue sheet; the REC says why, as one that cannot make its file.
class RefusingSource : public recording::CaptureSource {
 public:
  RefusingSource() { formats_ = recording::ProbeFormats([](const CaptureFormat&) { return true; }); }

 protected:
  void StartCapture(const CaptureFormat&) override {
    throw recording::ESoundCaptureStreamError("Sound Capture Buffer cannot be made.");
  }
  void StopCapture() override {}
};

TEST_F(Recorder, ARecWhoseCaptureCannotStartLeavesNoFile) {
  TMainForm& m = *m_;
  MessageBoxWatcher boxes;
  TitlesFromTheTest("Artist - Song");
  m.Recorder.SetSourceMaker([] { return std::make_unique<RefusingSource>(); });
  LeftClick(m.VrDemoButtonRec);
  ASSERT_TRUE(PumpUntil([&] { return !boxes.Seen().empty(); }, 3000)) << "the REC that failed said nothing";
  Pump(300);
  ASSERT_EQ(boxes.Seen().size(), 1u);
  EXPECT_EQ(boxes.Seen()[0].text, "Sound Capture Buffer cannot be made.");
  EXPECT_TRUE(TransportReady(m));
  for (const char* file : {"take.wav", "take.cue"})
    EXPECT_EQ(GetFileAttributesA(InDir(file).c_str()), INVALID_FILE_ATTRIBUTES) << file;
}

// A cue sheet of the recording's name that this program did not write (a CD rip's beside
// its WAVE) is left as it is: ours goes beside it under a free name, which STOP tells; the
// next recording into the file replaces ours, and one without titles removes it.
TEST_F(Recorder, AUsersCueSheetIsLeftAndOursGoesBesideIt) {
  TMainForm& m = *m_;
  MessageBoxWatcher boxes;
  const std::string users = "FILE \"take.wav\" WAVE\r\n  TRACK 01 AUDIO\r\n    INDEX 01 00:00:00\r\n";
  std::ofstream(InDir("take.cue"), std::ios::binary) << users;
  for (const char* title : {"First Song", "Second Song"}) {
    TitlesFromTheTest(title);
    ASSERT_TRUE(StartRecording());
    LeftClick(m.VrDemoButtonStop);
    EXPECT_NE(Told(boxes, "cue sheet").find(InDir("take (2).cue")), std::string::npos) << title;
    const std::string ours = ReadFile(InDir("take (2).cue"));
    EXPECT_NE(ours.find(std::string("TITLE \"") + title), std::string::npos) << ours;
    EXPECT_EQ(ours.find("TRACK 02"), std::string::npos) << ours;
  }
  EXPECT_EQ(GetFileAttributesA(InDir("take (3).cue").c_str()), INVALID_FILE_ATTRIBUTES);
  TitlesFromTheTest("");
  Record(300);
  EXPECT_TRUE(PumpUntil([&] { return GetFileAttributesA(InDir("take (2).cue").c_str()) == INVALID_FILE_ATTRIBUTES; },
                        3000))
      << "a recording without titles leaves our stale sheet";
  EXPECT_EQ(ReadFile(InDir("take.cue")), users);
}

// A station that changes its title at every tick: while it records, the sheet is written
// at most once a second, and never by the tick that heard the title; after STOP it holds
// every title.
TEST_F(Recorder, TitlesAtEveryTickWriteTheSheetAtMostOnceASecond) {
  TMainForm& m = *m_;
  MessageBoxWatcher boxes;
  TitlesFromTheTest("Title 0");
  ASSERT_TRUE(StartRecording());
  std::set<std::string> versions;
  const DWORD start = GetTickCount();
  for (int i = 1; i < 30; ++i) {
    Pump(100);
    m.Recorder.TitleHeard("Title " + std::to_string(i));
    versions.insert(ReadFile(InDir("take.cue")));
  }
  const DWORD seconds = (GetTickCount() - start) / 1000;
  EXPECT_LE(versions.size(), seconds + 2) << "versions of the sheet in " << seconds << " s";
  LeftClick(m.VrDemoButtonStop);
  // At once after STOP as a rule; a busy machine may hold the recording's end up.
  EXPECT_TRUE(PumpUntil([&] { return ReadFile(InDir("take.cue")).find("TRACK 30") != std::string::npos; }, 10000))
      << ReadFile(InDir("take.cue"));
  EXPECT_TRUE(boxes.Seen().empty()) << boxes.Seen()[0].text;
}

// An exception while DirectSound lists its devices (memory running out) ends the listing
// and reaches the caller once DirectSound has returned, never through its frames.
TEST_F(Recorder, AFailureWhileTheDevicesAreListedReachesTheCaller) {
  int calls = 0;
  EXPECT_THROW(recording::EnumerateCaptureDevices([&](const GUID*, const std::string&, const std::string&) {
                 ++calls;
                 throw std::bad_alloc();
               }),
               std::bad_alloc);
  EXPECT_EQ(calls, 1) << "the listing ended at the failure";
  int devices = 0;
  recording::EnumerateCaptureDevices([&](const GUID*, const std::string&, const std::string&) { ++devices; });
  EXPECT_GE(devices, 2) << "the primary device and the session's source";
}

// A user-interface thread held up for longer than the capture buffer lasts loses sound;
// STOP says how much and where, and the file holds the rest.
TEST_F(Recorder, AHeldUpRecordingReportsTheSoundLost) {
  TMainForm& m = *m_;
  MessageBoxWatcher boxes;
  ASSERT_TRUE(StartRecording());
  // A second of sound recorded, then the hold-up.
  ASSERT_TRUE(PumpUntil([&] { return m.Recorder.RecordFile()->GetDataSize() >= 176400; }, 4000));
  const double heldAt = double(m.Recorder.RecordFile()->GetDataSize()) / 176400;
  const DWORD heldTick = GetTickCount();
  Sleep(2300);  // the notifications wait while this thread sleeps
  Pump(1500);
  LeftClick(m.VrDemoButtonStop);
  const double after = (GetTickCount() - heldTick) / 1000.0;  // 3.8 s, longer on a busy machine
  const double sinceRec = (GetTickCount() - recClicked_) / 1000.0;
  Pump(200);
  // The hold-up's gap; a machine busy with other work may hold the program up once more.
  const auto gaps = m.Recorder.CaptureStream()->Gaps();
  const auto holdUp = std::find_if(gaps.begin(), gaps.end(), [&](const recording::CaptureGap& g) {
    return std::fabs(double(g.atByte) / 176400 - heldAt) < 0.15;
  });
  ASSERT_NE(holdUp, gaps.end()) << gaps.size() << " gaps, none where the program was held up";
  // Whole laps of the 1 s buffer: two in 2.3 s as a rule; one where a busy machine held
  // up the capture device itself (what it never captured is no loss of the program's),
  // more where it held the program up past the sleep; never more than the time allows.
  EXPECT_EQ(holdUp->lostBytes % 176400, 0) << holdUp->lostBytes;
  EXPECT_GE(holdUp->lostBytes, 176400);
  EXPECT_LE(double(holdUp->lostBytes) / 176400, std::ceil(after)) << holdUp->lostBytes;
  double lost = 0;
  for (const recording::CaptureGap& g : gaps) lost += double(g.lostBytes) / 176400;
  const auto seen = boxes.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_NE(seen[0].text.find("seconds of sound were lost during the recording"), std::string::npos) << seen[0].text;
  char where[32];
  std::snprintf(where, sizeof where, "%.1f s before 00:00:0", double(holdUp->lostBytes) / 176400);
  EXPECT_NE(seen[0].text.find(where), std::string::npos) << seen[0].text;
  // The file holds what came before the hold-up and after it, and nothing lost.
  const std::string file = ReadFile(InDir("take.wav"));
  EXPECT_EQ(file.substr(0, 46), ExpectedHeader(file.size(), 44100, 16, 2));
  const double kept = double(file.size() - 46) / 176400;
  EXPECT_GE(kept, heldAt);
  EXPECT_LE(kept, sinceRec - lost + 0.3) << "held at " << heldAt << " s, " << after << " s after";
}

// A recording stops itself where its header could describe no more, with the file whole.
TEST_F(Recorder, ARecordingAtItsSizeLimitIsFinishedAndStopped) {
  TMainForm& m = *m_;
  MessageBoxWatcher boxes;
  m.Recorder.SetDataLimit(2 * 176400 + 2);
  ASSERT_TRUE(StartRecording());
  ASSERT_TRUE(PumpUntil([&] { return TransportReady(m); }, 6000)) << "the recording did not stop at its limit";
  EXPECT_FALSE(m.Recorder.RecordFile());
  EXPECT_FALSE(m.Recorder.CaptureStream()->Capturing());
  const std::string file = ReadFile(InDir("take.wav"));
  EXPECT_EQ(file.size(), 46u + 2 * 176400) << "filled to the limit in whole frames";
  EXPECT_EQ(file.substr(0, 46), ExpectedHeader(file.size(), 44100, 16, 2));
  Pump(200);
  // Told that it stopped (after what a machine too busy may have lost, if anything).
  const auto seen = boxes.Seen();
  ASSERT_GE(seen.size(), 1u);
  EXPECT_EQ(seen.back().text, recording::kRecordingFullMessage);
  EXPECT_LE(seen.size(), 3u) << "a REC pressed twice on a busy machine may have told of lost sound twice";
}

// A file system that fills up: the write error is shown once, capturing stops, the
// buttons wait for STOP, and STOP leaves a valid file with everything written. Runs
// with TUNORA_FULL_DIR naming a small file system (tests/recording/with-full-disk.sh).
TEST_F(Recorder, AFullDiskIsReportedOnceAndStopLeavesAValidFile) {
  const char* full = std::getenv("TUNORA_FULL_DIR");
  if (!full || !*full) GTEST_SKIP() << "run with tests/recording/with-full-disk.sh";
  TMainForm& m = *m_;
  const std::string path = std::string(full) + "\\take.wav";
  OptionsForm->DirectoryEditLogger.SetText(path);
  MessageBoxWatcher boxes;
  LeftClick(m.VrDemoButtonRec);
  ASSERT_TRUE(PumpUntil([&] { return !boxes.Seen().empty(); }, 30000)) << "the disk never filled";
  EXPECT_TRUE(PumpUntil([&] { return !m.Recorder.CaptureStream()->Capturing(); }, 2000));
  Pump(1500);
  EXPECT_TRUE(TransportBusy(m)) << "the buttons wait for STOP";
  LeftClick(m.VrDemoButtonStop);
  Pump(300);
  // The error once, and after it at most what a machine too busy lost, if anything.
  const auto seen = boxes.Seen();
  ASSERT_GE(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, "Stream write error");
  for (std::size_t i = 1; i < seen.size(); ++i)
    EXPECT_NE(seen[i].text.find("seconds of sound were lost"), std::string::npos) << seen[i].text;
  EXPECT_LE(seen.size(), 2u) << "the error is shown once";
  const std::string file = ReadFile(path);
  ASSERT_GT(file.size(), 46u + 176400);
  EXPECT_EQ(file.substr(0, 46), ExpectedHeader(file.size(), 44100, 16, 2));
  std::vector<double> left = LeftChannel(file.substr(46));
  EXPECT_NEAR(MeasureTone(left, 44100).hz, 440.0, 1.0) << "what was written is the tone";

  // REC again on the full disk: its header cannot be written; no file is held or left.
  const std::string again = std::string(full) + "\\again.wav";
  OptionsForm->DirectoryEditLogger.SetText(again);
  LeftClick(m.VrDemoButtonRec);
  Pump(300);
  ASSERT_EQ(boxes.Seen().size(), seen.size() + 1);
  EXPECT_EQ(boxes.Seen().back().text, "Stream write error");
  EXPECT_TRUE(TransportReady(m));
  EXPECT_FALSE(m.Recorder.RecordFile());
  EXPECT_EQ(GetFileAttributesA(again.c_str()), INVALID_FILE_ATTRIBUTES);
  // With room again, the same name records.
  DeleteFileA(path.c_str());
  ASSERT_TRUE(StartRecording());
  LeftClick(m.VrDemoButtonStop);
  EXPECT_GT(ReadFile(again).size(), 46u);
  DeleteFileA(again.c_str());
}

// The options dialog's controls where its table puts them.
TEST_F(Recorder, TheOptionsDialogIsLaidOutAsDesigned) {
  TOptionsForm& o = *OptionsForm;
  o.Show();
  Pump(100);
  struct Place {
    ui::Control* c;
    int left, top, width, height;
  };
  for (const Place& p :
       {Place{&o.VrBlotterOptions, 0, 0, 349, 202}, Place{&o.VrBlotter1, 8, 48, 332, 22},
        Place{&o.FormatBox, 0, 1, 333, 22}, Place{&o.VrBlotter2, 8, 90, 332, 22}, Place{&o.DriverBox, 0, 1, 333, 22},
        Place{&o.VrBlotter3, 8, 132, 333, 27}, Place{&o.DirectoryEditLogger, 5, 4, 326, 21},
        Place{&o.VrDemoButtonExport, 121, 167, 106, 24}, Place{&o.VrDemoButtonExit, 234, 167, 106, 24}}) {
    EXPECT_EQ(p.c->Left(), p.left) << p.c->Name();
    EXPECT_EQ(p.c->Top(), p.top) << p.c->Name();
    EXPECT_EQ(p.c->Width(), p.width) << p.c->Name();
    if (p.c != &o.FormatBox && p.c != &o.DriverBox) {
      EXPECT_EQ(p.c->Height(), p.height) << p.c->Name();
    }
  }
  EXPECT_EQ(o.LabelOptions.GetFont(), ui::MakeFont("Arial", 16, true, ui::clAqua));
  EXPECT_EQ(o.LabelRecFormat.Caption(), "Record Format:");
  EXPECT_EQ(o.LabelTempFile.Caption(), "Temporary Audio File:");
  EXPECT_EQ(o.DirectoryEditLogger.GetColor(), ui::clBlack);
  EXPECT_EQ(o.DirectoryEditLogger.GetFont().color, ui::clAqua);
  EXPECT_EQ(o.VrDemoButtonExport.Caption(), "Export File");
  EXPECT_EQ(o.DirectoryEditLogger.Dialog.title, "Tempor\xE4re Audiodatei ausw\xE4hlen");
  EXPECT_EQ(o.SaveDialogLogger.title, "Export File");
  EXPECT_TRUE(o.SaveDialogLogger.options.overwritePrompt);
  // The browse button sits inside the edit at its right end.
  ASSERT_NE(o.DirectoryEditLogger.BrowseButton(), nullptr);
  RECT edit, button;
  GetWindowRect(o.DirectoryEditLogger.Handle(), &edit);
  GetWindowRect(o.DirectoryEditLogger.BrowseButton(), &button);
  EXPECT_EQ(button.right, edit.right);
  EXPECT_GT(button.left, edit.left + 250);
  o.Hide();
}

// Another device resets the format to the default; a file dropped on the name field
// becomes the recording file.
TEST_F(Recorder, ADeviceChangeResetsTheFormatAndADroppedFileIsTaken) {
  TOptionsForm& o = *OptionsForm;
  o.Show();
  Pump(100);
  o.FormatBox.SetItemIndex(0);
  SendMessageA(o.DriverBox.Handle(), CB_SETCURSEL, 1, 0);
  SendMessageA(o.VrBlotter2.Handle(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), LPARAM(o.DriverBox.Handle()));
  EXPECT_EQ(o.DriverBox.ItemIndex(), 1);
  EXPECT_EQ(o.FormatBox.Text(), "44100Hz 16bit Stereo");

  const std::string dropped = InDir("dropped.wav");
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + dropped.size() + 2);
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), dropped.c_str(), dropped.size() + 1);
  GlobalUnlock(memory);
  SendMessageA(o.DirectoryEditLogger.Handle(), WM_DROPFILES, WPARAM(memory), 0);
  EXPECT_EQ(o.DirectoryEditLogger.Text(), dropped);
  o.Hide();
}

// Export copies the recording; a copy that fails says so and why.
TEST_F(Recorder, ExportCopiesTheRecordingAndReportsACopyThatFails) {
  const std::string file = Record(1000);
  OptionsForm->ExportTo(InDir("copy.wav"));
  EXPECT_EQ(ReadFile(InDir("copy.wav")), file);
  std::ofstream(InDir("copy.wav"), std::ios::binary) << "old";
  OptionsForm->ExportTo(InDir("copy.wav"));
  EXPECT_EQ(ReadFile(InDir("copy.wav")), file) << "an existing file is replaced";

  // As the user exports: the button, and a file chosen in its save dialog.
  TOptionsForm& o = *OptionsForm;
  o.Show();
  std::string chosen = InDir("chosen.wav");
  std::thread answer = WhenDialogAppears("Export File", AnswerFileDialog, &chosen);
  LeftClick(o.VrDemoButtonExport);
  answer.join();
  EXPECT_EQ(ReadFile(chosen), file);
  // A dialog cancelled copies nothing.
  answer = WhenDialogAppears(
      "Export File", [](HWND d, void*) { PostMessageA(d, WM_COMMAND, IDCANCEL, 0); }, nullptr);
  DeleteFileA(chosen.c_str());
  LeftClick(o.VrDemoButtonExport);
  answer.join();
  EXPECT_EQ(GetFileAttributesA(chosen.c_str()), INVALID_FILE_ATTRIBUTES);
  o.Hide();

  try {
    OptionsForm->ExportTo(InDir("no such folder\\copy.wav"));
    ADD_FAILURE() << "a failed copy must be reported";
  } catch (const std::exception& e) {
    EXPECT_EQ(std::string(e.what()).rfind("The recording \"" + InDir("take.wav") + "\" could not be copied to \"" +
                                              InDir("no such folder\\copy.wav") + "\". ",
                                          0),
              0u)
        << e.what();
  }
}

}  // namespace
