// Recording the playing station itself ("Playing Station (direct)" under Options), and
// the device chosen there, on the real main window: the station's own samples at their
// own level whatever the fader shows, a file bit for bit as FFmpeg decodes it, the time
// line kept across a switch of stations, and the cue sheet of the titles heard.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "support/MainWindowView.h"
#include "support/StartedProgram.h"
#include "support/StationTesting.h"
#include "support/TestMedia.h"
#include "support/Tones.h"
#include "recording/CaptureRules.h"
#include "recording/CueSheetRules.h"
#include "recording/DXClass.h"
#include "recording/OptionsForm.h"
#include "recording/StationCapture.h"
#include "support/WaveChecks.h"
#include "support/WindowTesting.h"

using namespace testing_support;

namespace {

// The Audio Driver entry chosen as a user chooses it: the list's selection and the
// notification its window sends.
void ChooseDriver(int index) {
  TOptionsForm& o = *OptionsForm;
  SendMessageA(o.DriverBox.Handle(), CB_SETCURSEL, WPARAM(index), 0);
  SendMessageA(o.VrBlotter2.Handle(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), LPARAM(o.DriverBox.Handle()));
}

int DriverIndex(const std::string& text) {
  const auto& items = OptionsForm->DriverBox.Items();
  const auto it = std::find_if(items.begin(), items.end(), [&](const std::string& s) { return s.find(text) != std::string::npos; });
  return it == items.end() ? -1 : int(it - items.begin());
}

// The sound in frames of `frame` bytes at 44.1 kHz without its runs of silence of 10 ms
// or more.
std::string WithoutSilences(const std::string& sound, std::size_t frame) {
  const std::size_t shortest = 441 * frame;
  const std::string silent(frame, '\0');
  std::string out;
  std::size_t zeros = 0;  // bytes of the run of silent frames so far
  for (std::size_t i = 0; i + frame <= sound.size(); i += frame) {
    if (sound.compare(i, frame, silent) == 0) {
      zeros += frame;
      continue;
    }
    if (zeros > 0 && zeros < shortest) out.append(zeros, '\0');
    zeros = 0;
    out.append(sound, i, frame);
  }
  if (zeros > 0 && zeros < shortest) out.append(zeros, '\0');
  return out;
}

class DirectRecording : public ::testing::Test {
 protected:
  void SetUp() override {
    // A busy machine may hold the window up past what the station's queue keeps; STOP then
    // says how much was lost, which only the bit-for-bit test cannot accept.
    boxes_ = std::make_unique<MessageBoxWatcher>("Ovexia Tunora");
    m.Connection().SetSystem(std::make_shared<TestConnection>());
    ASSERT_TRUE(WaitFor([&] { return m.Monitor().internetConnected; }, 3000));
    OptionsForm->Show();
    ChooseDriver(DriverIndex(recording::kStationSourceName));
    OptionsForm->DirectoryEditLogger.SetText(ProgramFolder() / "direct.wav");
  }
  void TearDown() override {
    LeftClick(w.VrDemoButtonStop);
    LeftClick(w.VrDemoButtonUnplug);
    ChooseFormat(recording::kDefaultFormatLine);
    ChooseDriver(0);
    OptionsForm->Hide();
    boxes_.reset();
  }
  void Play(int preset, const std::string& name, const std::string& url) {
    SetPreset(w, preset, name, url);
    LeftClick(w.VrDemoButtonStation[preset]);
  }
  // REC for ms, STOP: the file's sample data.
  std::string Record(DWORD ms) {
    LeftClick(w.VrDemoButtonRec);
    Pump(ms);  // a span by the clock, whose sound the callers measure
    LeftClick(w.VrDemoButtonStop);
    const std::string file = ProgramFolder().Content("direct.wav");
    EXPECT_GE(file.size(), 46u);
    return file.size() < 46 ? std::string() : file.substr(46);
  }

  void ChooseFormat(const std::string& line) {
    const auto& items = OptionsForm->FormatBox.Items();
    const auto it = std::find(items.begin(), items.end(), line);
    ASSERT_NE(it, items.end()) << line;
    OptionsForm->FormatBox.SetItemIndex(int(it - items.begin()));
  }
  // A file played from its start while recording: the recording holds `raw`, FFmpeg's
  // decoding of it in the recording's format (frames of `frame` bytes), sample for
  // sample in one run, silence before it.
  void ExpectRecordedBitForBit(const std::string& file, const std::string& raw, std::size_t frame) {
    const std::string reference = ReadMedia(raw);
    ASSERT_GE(reference.size(), 44100 * frame) << MediaPath(raw);
    LeftClick(w.VrDemoButtonRec);
    Play(0, "Sweep", MediaPath(file));
    ASSERT_TRUE(WaitFor([&] { return w.WindowsMediaPlayer.playState() == playback::psMediaEnded; }, 15000));
    // The lead, handed out after the file's end: 0.6 s more of the recording's time line.
    const std::int64_t ended = w.Recorder.RecordFile()->GetDataSize();
    EXPECT_TRUE(WaitFor([&] { return w.Recorder.RecordFile()->GetDataSize() >= ended + std::int64_t(26460 * frame); }, 5000));
    LeftClick(w.VrDemoButtonStop);
    const std::string data = ProgramFolder().Content("direct.wav").substr(46);
    // Where the sweep begins: its first sound, at a whole frame.
    const std::size_t first = reference.find_first_not_of('\0') / frame * frame;
    const std::size_t at = data.find(reference.substr(first, 1000 * frame));
    ASSERT_NE(at, std::string::npos) << "the sweep's start is not in the recording of " << file;
    ASSERT_GE(data.size() - at, reference.size() - first) << "the recording ends inside the sweep";
    if (!w.Recorder.CaptureStream()->Gaps().empty()) {
      std::printf("sound was lost and told: the recording cannot be whole\n");
    } else {
      // A player held up past half a second leaves silence in the recording and the
      // station's sound after it unchanged: silences are taken out of both before comparing.
      const std::string sent = WithoutSilences(reference.substr(first), frame);
      EXPECT_EQ(WithoutSilences(data.substr(at), frame).compare(0, sent.size(), sent), 0)
          << "a sample of " << file << " differs";
    }
    EXPECT_TRUE(std::all_of(data.begin(), data.begin() + std::ptrdiff_t(at - first), [](char c) { return c == 0; }))
        << "before it, silence";
  }

  TMainForm& m = StartedProgram();
  MainWindowView& w = View(m);
  std::unique_ptr<MessageBoxWatcher> boxes_;
};

// The entry follows the system's devices and lists every format, the stream's own
// selected; the station is recorded at its own level with the fader at 10 %, unbroken.
TEST_F(DirectRecording, HoldsTheStationAtItsOwnLevelWhateverTheFader) {
  REQUIRE_STATION("TUNORA_STATION_MP3");
  const ui::ComboBox& drivers = OptionsForm->DriverBox;
  EXPECT_EQ(drivers.Items().back(), recording::kStationSourceName);
  EXPECT_EQ(drivers.Count(), recording::CaptureDrivers().Count() + 1);
  EXPECT_EQ(OptionsForm->FormatBox.Count(), 56);
  EXPECT_EQ(OptionsForm->FormatBox.Text(), "44100Hz 16bit Stereo");
  m.SetVolume(100);
  Play(0, "Tone", StationAddress("TUNORA_STATION_MP3"));
  ASSERT_TRUE(WaitFor([&] { return Playing(w.WindowsMediaPlayer); }, 10000));
  std::vector<double> left = LeftChannel(Record(5000));
  // 5 s, less what a busy machine's player fell behind by.
  ASSERT_GT(left.size(), 2u * 44100);
  // REC may come before the station's next sound: its first moments are left out.
  left.erase(left.begin(), left.begin() + 22050);
  const Tone tone = MeasureTone(left, 44100);
  EXPECT_NEAR(tone.hz, 440, 1);
  // The station's sine (an eighth of full scale, and -3 dB in each channel of its
  // stereo): 2048 rms, where the fader at 10 % would leave 205.
  EXPECT_NEAR(tone.rms, 2048, 200) << "the sine at the station's level, not the fader's";
  // Unbroken, unless the recording told of sound lost (a machine too busy to read it in
  // time) or the station itself fell silent for a while (a player held up for more than
  // half a second is silence in the recording): a break is a fault only where nothing
  // explains it.
  std::size_t zeros = 0, longestSilence = 0;
  for (const double v : left) longestSilence = std::max(longestSilence, zeros = v == 0 ? zeros + 1 : 0);
  if (w.Recorder.CaptureStream()->Gaps().empty() && longestSilence < 441)
    EXPECT_LT(LargestPhaseStep(BlockPhases(left, 44100, 440, 2205)), 0.01);
  else
    std::printf("sound lost or the station silent for %zu samples: the break is not judged\n", longestSilence);
  m.SetVolume(1000);
}

// A file played from its start and recorded in its own format holds FFmpeg's decoding of
// it sample for sample, in one run.
TEST_F(DirectRecording, AFileIsRecordedBitForBit) {
  ExpectRecordedBitForBit("sweep.mp3", "sweep.raw", 4);
}

// A mono station recorded in mono holds its samples at their own level, not 3 dB down;
// a mono MP3 file and a 24-bit FLAC file recorded in their own formats hold FFmpeg's
// decoding of them sample for sample.
TEST_F(DirectRecording, MonoAnd24BitSoundIsRecordedInItsOwnFormat) {
  REQUIRE_STATION("TUNORA_STATION_MONO");
  ChooseFormat("44100Hz 16bit Mono");
  Play(0, "Mono", StationAddress("TUNORA_STATION_MONO"));
  ASSERT_TRUE(WaitFor([&] { return Playing(w.WindowsMediaPlayer); }, 10000));
  const std::string data = Record(3000);
  std::vector<double> mono;
  for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
    std::int16_t v;
    std::memcpy(&v, data.data() + i, 2);
    mono.push_back(v);
  }
  ASSERT_GT(mono.size(), 44100u);
  const Tone tone = MeasureTone(mono, 44100, 22050);
  EXPECT_NEAR(tone.hz, 330, 1);
  // The station's sine is an eighth of full scale: 2896 rms in its one channel.
  EXPECT_NEAR(tone.rms, 2896, 200) << "the mono station's own level";
  LeftClick(w.VrDemoButtonUnplug);
  ExpectRecordedBitForBit("sweep-mono.mp3", "sweep-mono.raw", 2);
  ChooseFormat("44100Hz 24bit Stereo");
  ExpectRecordedBitForBit("sweep24.flac", "sweep24.raw", 6);
}

// Silence while no station plays, the second station after it, and as long as it took.
TEST_F(DirectRecording, KeepsItsTimeLineAcrossAStationSwitch) {
  REQUIRE_STATION("TUNORA_STATION_AAC");
  LeftClick(w.VrDemoButtonRec);
  const DWORD rec = GetTickCount();
  Play(0, "Tone", StationAddress("TUNORA_STATION_MP3"));
  ASSERT_TRUE(WaitFor([&] { return Playing(w.WindowsMediaPlayer); }, 10000));
  // Spans by the clock: the recording's parts and length are judged against them.
  Pump(2000);
  LeftClick(w.VrDemoButtonUnplug);
  Pump(1500);
  Play(1, "Other", StationAddress("TUNORA_STATION_AAC"));
  ASSERT_TRUE(WaitFor([&] { return Playing(w.WindowsMediaPlayer); }, 10000));
  Pump(2000);
  LeftClick(w.VrDemoButtonStop);
  const DWORD wall = GetTickCount() - rec;
  const std::vector<double> left = LeftChannel(ProgramFolder().Content("direct.wav").substr(46));
  // A lost second and a half of silence is the fault; a busy machine's clicks may take
  // several tenths, and sound it lost, and told, is not in the file.
  double lostMs = 0;
  for (const recording::CaptureGap& gap : w.Recorder.CaptureStream()->Gaps()) lostMs += double(gap.lostBytes) / 176.4;
  EXPECT_NEAR(double(left.size()) / 44100 * 1000 + lostMs, double(wall), 1000.0);
  // Tenths of a second: 440 Hz, then silence, then 550 Hz.
  std::vector<int> parts;
  for (std::size_t at = 0; at + 4410 <= left.size(); at += 4410) {
    const Tone t = MeasureTone(std::vector<double>(left.begin() + std::ptrdiff_t(at), left.begin() + std::ptrdiff_t(at + 4410)), 44100);
    const int hz = t.rms < 100 ? 0 : int(std::lround(t.hz / 10) * 10);
    if (parts.empty() || parts.back() != hz) parts.push_back(hz);
  }
  parts.erase(std::remove_if(parts.begin(), parts.end(), [](int hz) { return hz != 0 && hz != 440 && hz != 550; }),
              parts.end());
  parts.erase(std::unique(parts.begin(), parts.end()), parts.end());
  // A station held up for more than half a second on a busy machine is silence inside
  // its own part: the same tone on both sides of it is one part.
  for (std::size_t i = 1; i + 1 < parts.size();)
    if (parts[i] == 0 && parts[i - 1] != 0 && parts[i - 1] == parts[i + 1])
      parts.erase(parts.begin() + std::ptrdiff_t(i), parts.begin() + std::ptrdiff_t(i + 2));
    else
      ++i;
  // STOP ends the recording with silence where the station was late with its sound.
  if (parts.size() > 4 && parts.back() == 0) parts.pop_back();
  EXPECT_EQ(parts, (std::vector<int>{0, 440, 0, 550})) << "silence, the first station, silence, the second";
}

// The device chosen under Audio Driver is the one recorded: the session's second source
// plays 880 Hz where the default one plays 440 Hz.
TEST_F(DirectRecording, TheChosenDeviceIsTheOneRecorded) {
  const int second = DriverIndex("TunoraSine880");
  ASSERT_GE(second, 0) << "the session has no second capture source";
  ChooseDriver(second);
  EXPECT_EQ(OptionsForm->FormatBox.Text(), "44100Hz 16bit Stereo");
  // Wine's capture on a busy machine now and then never starts delivering; a second REC
  // starts it.
  const auto recorded = [&] { return w.Recorder.RecordFile() && w.Recorder.RecordFile()->GetDataSize() > 2 * 176400; };
  LeftClick(w.VrDemoButtonRec);
  if (!WaitFor(recorded, 12000)) {
    LeftClick(w.VrDemoButtonStop);
    LeftClick(w.VrDemoButtonRec);
  }
  ASSERT_TRUE(WaitFor(recorded, 12000));
  LeftClick(w.VrDemoButtonStop);
  std::vector<double> left = LeftChannel(ProgramFolder().Content("direct.wav").substr(46));
  EXPECT_NEAR(MeasureTone(left, 44100, left.size() / 4).hz, 880, 2);
}

// Titles changed while recording give a cue sheet beside the file, a track at each; a
// recording without titles leaves none. With TUNORA_CUE_DIR the sheet and its file are
// kept there for a cue parser to read (tests/recording/check-cue.sh).
TEST_F(DirectRecording, TitlesHeardMakeACueSheet) {
  REQUIRE_STATION("TUNORA_STATION_MP3");
  ASSERT_TRUE(SetStationTitle("First Artist - First Song"));
  Play(0, "Tone", StationAddress("TUNORA_STATION_MP3"));
  ASSERT_TRUE(WaitFor([&] { return w.WindowsMediaPlayer.currentMedia().getItemInfo("Title") == "First Artist - First Song"; }, 15000));
  // The tick that hands the title to the tray's text hands it to the recorder too.
  const auto ticked = [&](const std::string& title) { return WaitFor([&] { return w.TitleTray.Title() == title; }); };
  EXPECT_TRUE(ticked("First Artist - First Song"));
  LeftClick(w.VrDemoButtonRec);
  // A second of the recording under the first title.
  EXPECT_TRUE(WaitFor([&] { return w.Recorder.RecordFile()->GetDataSize() >= 176400; }, 5000));
  ASSERT_TRUE(SetStationTitle("Second Song"));
  ASSERT_TRUE(WaitFor([&] { return w.WindowsMediaPlayer.currentMedia().getItemInfo("Title") == "Second Song"; }, 15000));
  // Where the recording stood when the title came (its own time line, which a busy
  // machine may put behind the clock).
  const double second = double(w.Recorder.RecordFile()->GetDataSize()) / 176400;
  EXPECT_TRUE(ticked("Second Song"));
  // A title in letters the ANSI code page lacks: the sheet has its own text too.
  const std::string kino = "\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE", star = "\xD0\x97\xD0\xB2\xD0\xB5\xD0\xB7\xD0\xB4\xD0\xB0";
  ASSERT_TRUE(SetStationTitle(kino + " - " + star, "UTF-8"));
  ASSERT_TRUE(WaitFor([&] { return w.WindowsMediaPlayer.currentMedia().titleUtf8() == kino + " - " + star; }, 15000));
  EXPECT_TRUE(ticked(kino + " - " + star));
  LeftClick(w.VrDemoButtonStop);
  // Written by the sheets' own thread once STOP is pressed.
  std::string cue;
  EXPECT_TRUE(WaitFor([&] { return (cue = ProgramFolder().Content("direct.cue")).find("TRACK 03") != std::string::npos; },
                        3000));
  EXPECT_EQ(cue.rfind(std::string(recording::kCueSheetMark) +
                          "\r\nFILE \"direct.wav\" WAVE\r\n  TRACK 01 AUDIO\r\n    TITLE \"First Song\"\r\n"
                          "    PERFORMER \"First Artist\"\r\n    INDEX 01 00:00:00\r\n  TRACK 02 AUDIO\r\n"
                          "    TITLE \"Second Song\"\r\n    INDEX 01 00:0",
                      0),
            0u)
      << cue;
  EXPECT_TRUE(GetACP() != 1252 || cue.find("  TRACK 03 AUDIO\r\n    TITLE \"??????\"\r\n    PERFORMER \"????\"\r\n"
                                           "    REM UTF8-TITLE \"" + star + "\"\r\n    REM UTF8-PERFORMER \"" + kino +
                                           "\"\r\n    INDEX 01 00:") != std::string::npos)
      << cue;
  const std::size_t index = cue.find("INDEX 01 00:", cue.find("TRACK 02"));
  ASSERT_NE(index, std::string::npos);
  const double at = std::atoi(cue.c_str() + index + 12) + std::atoi(cue.c_str() + index + 15) / 75.0;
  EXPECT_NEAR(at, second, 0.5) << cue;
  if (const char* keep = std::getenv("TUNORA_CUE_DIR"); keep && *keep) {
    CopyFileA((ProgramFolder() / "direct.wav").c_str(), (std::string(keep) + "\\direct.wav").c_str(), FALSE);
    CopyFileA((ProgramFolder() / "direct.cue").c_str(), (std::string(keep) + "\\direct.cue").c_str(), FALSE);
  }
  // No station, no title: the stale sheet goes.
  LeftClick(w.VrDemoButtonUnplug);
  EXPECT_TRUE(ticked(""));
  Record(500);
  EXPECT_TRUE(WaitFor([] { return !ProgramFolder().Has("direct.cue"); }, 3000));
}

}  // namespace
