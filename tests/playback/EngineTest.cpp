// The player's engine under Wine: the device's count past 32 bits, a device that refuses
// sound or goes away, a tap that throws, and a second tuning to a server that takes one
// listener at a time.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

#include "support/LoopbackServer.h"
#include "support/SoundCapture.h"
#include "playback/StationPlayer.h"
#include "support/StationTesting.h"
#include "support/TestMedia.h"
#include "support/Tones.h"
#include "support/Waiting.h"
#include "playback/SoundFeeder.h"
#include "playback/WaveOutput.h"
#include "support/TestFolder.h"

using playback::StationPlayer;
using testing_support::WaitFor;

namespace {

bool Playing(const StationPlayer& p) { return p.State() == playback::psPlaying; }

// Runs a command of the machine itself (Wine starts Unix programs) and waits for it.
void RunNative(const std::string& command) {
  std::string line = "/bin/sh -c \"" + command + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
      << command;
  WaitForSingleObject(pi.hProcess, 10000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

// A file of the test session's folder, as the machine names it, and as Windows does
// (Wine's drive Z: is the machine's root): what a command of the machine answers, since
// Wine does not pass its exit code on.
std::string NativePath(const std::string& name) {
  const char* session = std::getenv("TUNORA_SESSION");
  return std::string(session ? session : "/tmp") + "/tunora-" + name;
}
std::string WindowsPath(const std::string& name) {
  std::string path = "Z:" + NativePath(name);
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

// The streams that the sound server plays (its sink inputs) are noted, so that a device
// the player opens later shows as one not noted.
void NoteSoundStreams() {
  RunNative("pactl list short sink-inputs | cut -f1 > " + NativePath("noted-streams"));
}
bool NewSoundStream() {
  RunNative("pactl list short sink-inputs | cut -f1 | grep -vxFf " + NativePath("noted-streams") + " > " +
            NativePath("new-streams"));
  return testing_support::FileSize(WindowsPath("new-streams")) > 0;
}

// Whether the station's tone reaches the sound server's sink within ms.
bool ToneHeardWithin(DWORD ms) {
  SoundCapture heard(ms);
  if (!heard.Recording() || !heard.WaitUntilRecording(5000)) return false;
  const DWORD from = GetTickCount();
  heard.Finish();
  return heard.SoundFrom(from) != 0;
}

class ThrowingTap : public playback::SoundTap {
 public:
  void Decoded(const playback::DecodedSound&) override {
    if (++calls == 3) throw std::runtime_error("the disk is gone");
  }
  std::atomic<int> calls{0};
};

}  // namespace

TEST(Engine, TheDevicesCountGoesOnPast32Bits) {
  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  const std::string path = std::string(dir) + "tunora-wrap-" + std::to_string(GetCurrentProcessId()) + ".wav";
  std::ofstream(path, std::ios::binary) << ToneWave(3.0, 44100, 1000);
  // The device's counter wraps one second into the file instead of after 27 hours.
  playback::WaveOutput::OffsetCountForTests(0xFFFFFFFFu - 44100 + 1);
  StationPlayer p;
  p.SetUrl(path);
  p.Play();
  ASSERT_TRUE(WaitFor([&] { return Playing(p); }, 5000)) << p.LastError();
  double last = 0;
  bool backwards = false;
  WaitFor(
      [&] {
        const double now = p.CurrentPosition();
        backwards |= now + 0.001 < last;
        last = now;
        return p.State() == playback::psMediaEnded;
      },
      8000);
  playback::WaveOutput::OffsetCountForTests(0);
  EXPECT_EQ(p.State(), playback::psMediaEnded) << "the end is reached past the wrap";
  EXPECT_FALSE(backwards);
  EXPECT_NEAR(p.CurrentPosition(), 3.0, 0.2);
  p.SetUrl("");
  DeleteFileA(path.c_str());
}

// A refused buffer and a stream that the sound server ends (as when a headset is
// pulled) both lead to a new device within moments; the station plays on.
TEST(Engine, ADeviceThatRefusesSoundOrGoesAwayIsReplaced) {
  REQUIRE_STATION("TUNORA_STATION_MP3");
  StationPlayer p;
  p.SetUrl(StationAddress("TUNORA_STATION_MP3"));
  p.Play();
  ASSERT_TRUE(WaitFor([&] { return Playing(p); }, 8000)) << p.LastError();
  NoteSoundStreams();
  playback::SoundFeeder::RefuseNextBufferForTests();
  EXPECT_TRUE(WaitFor(NewSoundStream, 8000)) << "a new device after a refused buffer";
  EXPECT_TRUE(ToneHeardWithin(2000)) << "after a refused buffer";
  NoteSoundStreams();
  RunNative("pactl list short sink-inputs | cut -f1 | xargs -r -n1 pactl kill-sink-input");
  EXPECT_TRUE(WaitFor(NewSoundStream, 10000)) << "a new device after the old one went away";
  EXPECT_TRUE(ToneHeardWithin(2000)) << "after the device went away";
  const double before = p.CurrentPosition();
  EXPECT_TRUE(WaitFor([&] { return p.CurrentPosition() > before + 0.5; }, 2000));
  EXPECT_TRUE(Playing(p)) << p.LastError();
}

TEST(Engine, ATapThatThrowsIsSwitchedOffAndThePlayGoesOn) {
  REQUIRE_STATION("TUNORA_STATION_MP3");
  const auto tap = std::make_shared<ThrowingTap>();
  StationPlayer p;
  p.SetTap(tap);
  p.SetUrl(StationAddress("TUNORA_STATION_MP3"));
  p.Play();
  ASSERT_TRUE(WaitFor([&] { return Playing(p); }, 8000)) << p.LastError();
  std::string notice;
  ASSERT_TRUE(WaitFor([&] { return !(notice = p.TakeTapNotice()).empty(); }, 5000));
  EXPECT_NE(notice.find("the disk is gone"), std::string::npos) << notice;
  Sleep(1000);  // waited out: the tap is to hear nothing more
  EXPECT_EQ(tap->calls, 3) << "switched off";
  EXPECT_TRUE(Playing(p)) << p.LastError();
  EXPECT_EQ(p.TakeTapNotice(), "") << "told once";
}

// Clicking the playing station again, or Stop and Play, lets the play go before the
// new one connects: a server that takes one listener per address plays again.
TEST(Engine, ASecondTuningToAServerOfOneListenerPlays) {
  const std::string mp3 = ReadMedia("tone.mp3");
  ASSERT_FALSE(mp3.empty());
  std::string body;
  for (int i = 0; i < 20; ++i) body += mp3;
  LoopbackServer* self = nullptr;
  LoopbackServer server([&](const std::string&) {
    if (self->Answering() > 1) return Reply{"HTTP/1.0 403 Forbidden\r\nContent-Length: 0\r\n", ""};
    return Reply{"HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n", body, 16000};
  });
  self = &server;
  StationPlayer p;
  p.SetUrl(server.Url("/one"));
  for (int tuning = 0; tuning < 3; ++tuning) {
    if (tuning == 2) p.Stop();
    p.Play();
    EXPECT_TRUE(WaitFor([&] { return Playing(p); }, 8000)) << "tuning " << tuning << ": " << p.LastError();
  }
  p.SetUrl("");
}
