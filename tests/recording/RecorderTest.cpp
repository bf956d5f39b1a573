// The recorder's sound: REC, STOP and PLAY pressed as window messages, the file's bytes
// read back and the tone checked sample by sample, playback heard on the sound server's
// null sink, a recording held up, at its size limit, or on a full disk.
#include "RecorderTesting.h"

namespace {

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
  MessageBoxWatcher boxes;
  // Timed from the first sound: Wine's capture takes a second and more to deliver it.
  ASSERT_TRUE(StartRecording());
  EXPECT_TRUE(TransportBusy(m));
  // A fixed span by the clock: what the file holds is judged against it below.
  Pump(5000);
  LeftClick(w.VrDemoButtonStop);
  // Five seconds by the clock, which a busy machine's pump may stretch; the file holds
  // at most what passed since REC.
  const double sinceRec = (GetTickCount() - recClicked_) / 1000.0;
  EXPECT_TRUE(TransportReady(m));
  EXPECT_EQ(w.LabelStation.Caption(), "none");
  const std::string file = ProgramFolder().Content("take.wav");
  ASSERT_GE(file.size(), 46u);
  EXPECT_EQ(file.substr(0, 46), ExpectedHeader(file.size(), 44100, 16, 2));
  const std::size_t data = file.size() - 46;
  EXPECT_EQ(data % 4, 0u);
  // A machine too busy to read the capture in time loses sound and says so: what is
  // judged then is that it said so.
  if (!w.Recorder.CaptureStream()->Gaps().empty()) {
    ASSERT_FALSE(boxes.Seen().empty()) << "sound was lost and nobody was told";
    std::printf("sound was lost and told: %s\n", boxes.Seen()[0].text.c_str());
    return;
  }
  // Wine's capture may stand still for a moment on a busy machine; what it delivered is
  // judged below, sample by sample.
  ASSERT_GE(double(data) / 176400, 3.8);
  EXPECT_LE(double(data) / 176400, sinceRec + 0.3);
  EXPECT_EQ(w.VrNumSize.Value(), int(recording::RoundKilobytes(std::int64_t(data))));
  EXPECT_TRUE(w.Recorder.CaptureStream()->Gaps().empty());
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
  LeftClick(w.VrDemoButtonStart);
  EXPECT_EQ(w.LabelStation.Caption(), "File Playback");
  EXPECT_TRUE(TransportBusy(m));
  ASSERT_TRUE(WaitFor([&] { return Playing(w.PlayerRec); }, 5000)) << w.PlayerRec.lastError();
  const Tone heard = Listen(3000);
  EXPECT_NEAR(heard.hz, 440.0, 2.0);
  EXPECT_GT(heard.rms, 300.0);
  EXPECT_TRUE(WaitFor([&] { return w.VrClockRecPos.Seconds() >= 3; }, 3000));
  EXPECT_EQ(w.VrClockDuration.Minutes() * 60 + w.VrClockDuration.Seconds(), int(std::lround(double(data) / 176400)));
  // When it ends the buttons come back.
  EXPECT_TRUE(WaitFor([&] { return TransportReady(m); }, 15000));
  EXPECT_EQ(w.PlayerRec.URL(), "");
}

TEST_F(Recorder, StopDuringPlaybackEndsIt) {
  MessageBoxWatcher boxes;
  Record(1500);
  LeftClick(w.VrDemoButtonStart);
  ASSERT_TRUE(WaitFor([&] { return Playing(w.PlayerRec); }, 5000)) << w.PlayerRec.lastError();
  LeftClick(w.VrDemoButtonStop);
  EXPECT_TRUE(TransportReady(m));
  EXPECT_EQ(w.LabelStation.Caption(), "none");
  EXPECT_EQ(w.PlayerRec.URL(), "");
  EXPECT_TRUE(WaitFor([&] { return !Playing(w.PlayerRec); }, 1000));
  Pump(500);  // a while in which nothing of the ended playback takes the buttons again
  EXPECT_TRUE(TransportReady(m));
}

// A user-interface thread held up for longer than the capture buffer lasts loses sound;
// STOP says how much and where, and the file holds the rest.
TEST_F(Recorder, AHeldUpRecordingReportsTheSoundLost) {
  MessageBoxWatcher boxes;
  ASSERT_TRUE(StartRecording());
  // A second of sound recorded, then the hold-up.
  ASSERT_TRUE(WaitFor([&] { return w.Recorder.RecordFile()->GetDataSize() >= 176400; }, 4000));
  const double heldAt = double(w.Recorder.RecordFile()->GetDataSize()) / 176400;
  const DWORD heldTick = GetTickCount();
  // The hold-up itself, of a fixed length: the notifications wait while this thread sleeps.
  Sleep(2300);
  // The hold-up's gap; a machine busy with other work may hold the program up once more.
  const auto holdUpIn = [&](const std::vector<recording::CaptureGap>& gaps) {
    return std::find_if(gaps.begin(), gaps.end(), [&](const recording::CaptureGap& g) {
      return std::fabs(double(g.atByte) / 176400 - heldAt) < 0.15;
    });
  };
  // STOP once the notifications have caught up: the gap counted, and half a second
  // recorded after it (a gap that never comes fails below).
  WaitFor([&] {
    const auto& gaps = w.Recorder.CaptureStream()->Gaps();
    const auto gap = holdUpIn(gaps);
    return gap != gaps.end() && w.Recorder.RecordFile() && w.Recorder.RecordFile()->GetDataSize() >= gap->atByte + 88200;
  }, 5000);
  LeftClick(w.VrDemoButtonStop);
  const double after = (GetTickCount() - heldTick) / 1000.0;  // 2.8 s, longer on a busy machine
  const double sinceRec = (GetTickCount() - recClicked_) / 1000.0;
  Pump(200);  // a while in which nothing more is told than the one message below
  const auto gaps = w.Recorder.CaptureStream()->Gaps();
  const auto holdUp = holdUpIn(gaps);
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
  const std::string file = ProgramFolder().Content("take.wav");
  EXPECT_EQ(file.substr(0, 46), ExpectedHeader(file.size(), 44100, 16, 2));
  const double kept = double(file.size() - 46) / 176400;
  EXPECT_GE(kept, heldAt);
  EXPECT_LE(kept, sinceRec - lost + 0.3) << "held at " << heldAt << " s, " << after << " s after";
}

// A recording stops itself where its header could describe no more, with the file whole.
TEST_F(Recorder, ARecordingAtItsSizeLimitIsFinishedAndStopped) {
  MessageBoxWatcher boxes;
  w.Recorder.SetDataLimit(2 * 176400 + 2);
  ASSERT_TRUE(StartRecording());
  ASSERT_TRUE(WaitFor([&] { return TransportReady(m); }, 6000)) << "the recording did not stop at its limit";
  EXPECT_FALSE(w.Recorder.RecordFile());
  EXPECT_FALSE(w.Recorder.CaptureStream()->Capturing());
  const std::string file = ProgramFolder().Content("take.wav");
  EXPECT_EQ(file.size(), 46u + 2 * 176400) << "filled to the limit in whole frames";
  EXPECT_EQ(file.substr(0, 46), ExpectedHeader(file.size(), 44100, 16, 2));
  // Told that it stopped (after what a machine too busy may have lost, if anything).
  EXPECT_TRUE(WaitFor([&] {
    const auto seen = boxes.Seen();
    return !seen.empty() && seen.back().text == recording::kRecordingFullMessage;
  }, 3000));
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
  const std::string path = std::string(full) + "\\take.wav";
  OptionsForm->DirectoryEditLogger.SetText(path);
  MessageBoxWatcher boxes;
  LeftClick(w.VrDemoButtonRec);
  ASSERT_TRUE(WaitFor([&] { return !boxes.Seen().empty(); }, 30000)) << "the disk never filled";
  EXPECT_TRUE(WaitFor([&] { return !w.Recorder.CaptureStream()->Capturing(); }, 2000));
  Pump(1500);  // a while in which the buttons stay taken
  EXPECT_TRUE(TransportBusy(m)) << "the buttons wait for STOP";
  LeftClick(w.VrDemoButtonStop);
  Pump(300);  // a while in which nothing more is told than the messages below
  // The error once, and after it at most what a machine too busy lost, if anything.
  const auto seen = boxes.Seen();
  ASSERT_GE(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, "Stream write error");
  for (std::size_t i = 1; i < seen.size(); ++i)
    EXPECT_NE(seen[i].text.find("seconds of sound were lost"), std::string::npos) << seen[i].text;
  EXPECT_LE(seen.size(), 2u) << "the error is shown once";
  const std::string file = ReadFileBytes(path);
  ASSERT_GT(file.size(), 46u + 176400);
  EXPECT_EQ(file.substr(0, 46), ExpectedHeader(file.size(), 44100, 16, 2));
  std::vector<double> left = LeftChannel(file.substr(46));
  EXPECT_NEAR(MeasureTone(left, 44100).hz, 440.0, 1.0) << "what was written is the tone";

  // REC again on the full disk: its header cannot be written; no file is held or left.
  const std::string again = std::string(full) + "\\again.wav";
  OptionsForm->DirectoryEditLogger.SetText(again);
  LeftClick(w.VrDemoButtonRec);
  Pump(300);  // a while in which nothing more is told than the one message
  ASSERT_EQ(boxes.Seen().size(), seen.size() + 1);
  EXPECT_EQ(boxes.Seen().back().text, "Stream write error");
  EXPECT_TRUE(TransportReady(m));
  EXPECT_FALSE(w.Recorder.RecordFile());
  EXPECT_EQ(GetFileAttributesA(again.c_str()), INVALID_FILE_ATTRIBUTES);
  // With room again, the same name records.
  DeleteFileA(path.c_str());
  ASSERT_TRUE(StartRecording());
  LeftClick(w.VrDemoButtonStop);
  EXPECT_GT(ReadFileBytes(again).size(), 46u);
  DeleteFileA(again.c_str());
}

}  // namespace
