// The main window and the real player against a station that misbehaves in every way a
// server can (scripts/fault-server.py, started with the local test station): for each
// fault the displays say what went wrong, the 100 ms tick is never late by more than
// 50 ms, another preset plays at once afterwards, and in the end the program holds no
// more threads or handles than before. TUNORA_FAULT_AFTER sets the seconds of good
// stream before a stall, a close or garbage (1 here; the benchmark sweep uses 5). The
// player brings such a stream back, and every new connection plays that long again before
// the fault. The player's time-outs are cut here (3 s to connect, a stall noticed after
// 2 s, soundless bytes after 1 s, 3 s of attempts), so that each fault is told within
// seconds; the station that never answers meets the real 10 s.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "app/MainForm.h"
#include "support/MainWindowView.h"
#include "support/StartedProgram.h"
#include "support/ProcessCounts.h"
#include "support/StationTesting.h"
#include "ui/Application.h"
#include "support/WindowTesting.h"

using namespace testing_support;

namespace {

constexpr playback::PlayerTimeouts kShortTimeouts{
    .connectMs = 3000, .startStallMs = 4000, .stallMs = 2000, .undecodableMs = 1000, .reconnectBudgetMs = 3000};
constexpr playback::PlayerTimeouts kSlowListTimeouts{.connectMs = 30000};

// The program as it starts, with the tick watch switched on.
TMainForm& Started() {
    SetEnvironmentVariableA(TMainForm::kTickWatchVariable, (ProgramFolder() / "ticks.txt").c_str());
  TMainForm& m = StartedProgram(std::make_shared<TestConnection>());
  MainWindowView& w = View(m);
  w.WindowsMediaPlayer.SetTimeouts(kShortTimeouts);
  return m;
}

std::string Fault(const std::string& path) {
  return std::string(StationAddress("TUNORA_STATION_FAULTS")) + path;
}

std::string After() {
  const char* after = std::getenv("TUNORA_FAULT_AFTER");
  return after && *after ? after : "1";
}

// What a fault may lead to. A player may ride out some faults (a long header, lying
// metadata lengths cost a few frames at most); the others must be told.
enum class Outcome { Fails, PlaysThenFails, FailsOrPlays };

struct Case {
  std::string name;
  std::string url;
  Outcome outcome;
  std::string says;  // part of the reason the LED display scrolls
  DWORD withinMs;    // the reason (or the sound) comes this soon after the press
  playback::PlayerTimeouts timeouts = kShortTimeouts;
};

// The time-outs that users have.
constexpr playback::PlayerTimeouts kRealTimeouts{};

// The good station on preset 0 plays at once: its name shows within a few seconds.
void PlaysAtOnce(TMainForm& m, const std::string& after) {
  MainWindowView& w = View(m);
  // With the time-outs users have: a busy machine may hold the program up longer than the
  // short ones of the faults (each case sets its own again).
  w.WindowsMediaPlayer.SetTimeouts(playback::PlayerTimeouts{});
  LeftClick(w.VrDemoButtonStation[0]);
  EXPECT_TRUE(WaitFor([&] { return w.LabelStation.Caption() == "Tone"; }, 10000))
      << "after " << after << ": " << w.WindowsMediaPlayer.lastError() << " / " << w.LabelStation.Caption();
  EXPECT_EQ(w.VrMatrixConn.Text(), "OVEXIA TUNORA ONLINE!") << "after " << after;
}

// A plain 100 ms window timer on a thread of its own, that paints a small window of its
// own at every tick: how late a timer of this process comes on the machine as it is right
// now (CPU, Wine's server and the display server shared with other work), against which
// the main window's tick is judged.
class ControlTimer {
 public:
  ControlTimer() {
    thread_ = std::thread([this] {
      MSG msg;
      PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's message queue
      HWND window = CreateWindowExA(0, "STATIC", "control", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40, nullptr, nullptr,
                                    nullptr, nullptr);
      threadId_ = GetCurrentThreadId();
      const UINT_PTR timer = SetTimer(nullptr, 0, 100, nullptr);
      int shade = 0;
      while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message != WM_TIMER) {
          DispatchMessageA(&msg);
          continue;
        }
        {
          std::lock_guard lock(mutex_);
          watch_.Tick(GetTickCount64());
        }
        HDC dc = GetDC(window);
        HBRUSH brush = CreateSolidBrush(RGB(shade, shade, shade));
        const RECT all{0, 0, 40, 40};
        FillRect(dc, &all, brush);
        GdiFlush();
        DeleteObject(brush);
        ReleaseDC(window, dc);
        shade = (shade + 16) & 0xFF;
      }
      KillTimer(nullptr, timer);
      DestroyWindow(window);
    });
    if (!WaitFor([&] { return threadId_ != 0; }, 10000))
      ADD_FAILURE() << "the control timer's thread made no window within 10 s";
  }
  ~ControlTimer() {
    if (!threadId_) {
      thread_.detach();  // still in the window's creation: it cannot be asked to end
      return;
    }
    PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    thread_.join();
  }
  void Reset() {
    std::lock_guard lock(mutex_);
    watch_.Reset();
  }
  unsigned long long WorstLateMs() {
    std::lock_guard lock(mutex_);
    return watch_.WorstLateMs();
  }

 private:
  std::mutex mutex_;
  playback::TickWatch watch_{100};
  std::atomic<DWORD> threadId_{0};
  std::thread thread_;
};

// Plays the fault on preset 1 and the good station after it; returns how late the
// ticks came, at worst, from the press until the good station played. Nothing when a
// short time-out, not the fault, decided what was told (a machine too busy to connect
// in time), or nothing was told in time, and this was not the last attempt.
std::optional<unsigned long long> RunFault(TMainForm& m, const Case& c, bool lastAttempt) {
  MainWindowView& w = View(m);
  w.WindowsMediaPlayer.SetTimeouts(c.timeouts);
  SetPreset(m, 1, c.name, c.url);
  m.TickWatch()->Reset();
  LeftClick(w.VrDemoButtonStation[1]);
  const DWORD start = GetTickCount();
  bool played = false;
  const bool ended = WaitFor([&] {
    played = played || w.LabelStation.Caption() == c.name;
    return w.LabelStation.Caption() == monitor::kStationFaultText ||
           (c.outcome == Outcome::FailsOrPlays && played);
  }, c.withinMs);
  const DWORD toldMs = GetTickCount() - start;
  const bool told = w.LabelStation.Caption() == monitor::kStationFaultText;
  const std::string shown = w.VrMatrixConn.Text();
  if (told && !lastAttempt && shown.find("does not answer") != std::string::npos &&
      c.says.find("does not answer") == std::string::npos) {
    std::printf("%-10s the time-out decided (%s): again\n", c.name.c_str(), shown.c_str());
    PlaysAtOnce(m, c.name);
    return std::nullopt;
  }
  if (!ended && !lastAttempt) {
    std::printf("%-10s nothing told after %lu ms (a busy machine): again\n", c.name.c_str(), toldMs);
    PlaysAtOnce(m, c.name);
    return std::nullopt;
  }
  EXPECT_TRUE(ended) << "still \"" << w.LabelStation.Caption() << "\" after " << toldMs << " ms";
  if (told) {
    EXPECT_NE(shown, "OVEXIA TUNORA ONLINE!");
    EXPECT_GT(shown.size(), 15u) << "the reason in words: " << shown;
    if (!c.says.empty()) {
      EXPECT_NE(shown.find(c.says), std::string::npos) << shown;
    }
    EXPECT_TRUE(w.LabelStation.Visible()) << "the failure does not blink";
    EXPECT_FALSE(m.Monitor().connecting);
  } else if (c.outcome == Outcome::FailsOrPlays && played) {
    // Riding the fault out: the sound goes on.
    const int at = w.VrClockstposition.Seconds();
    EXPECT_TRUE(WaitFor([&] { return w.VrClockstposition.Seconds() > at; }, 6000)) << "the position runs";
  }
  if (c.outcome == Outcome::PlaysThenFails) {
    EXPECT_TRUE(played) << "the good start played before the fault";
  }
  PlaysAtOnce(m, c.name);
  // The ticks from the press through the fault to the next station playing.
  EXPECT_GT(m.TickWatch()->Ticks(), 5u);
  const unsigned long long worst = m.TickWatch()->WorstLateMs();
  std::printf("%-10s %5lu ms  %-70s %s\n", c.name.c_str(), toldMs,
              (told ? shown : played ? std::string("(plays)") : shown).substr(0, 70).c_str(),
              m.TickWatch()->Report().c_str());
  return worst;
}

TEST(StreamFaults, EveryFaultIsToldOnTheDisplaysWithTheTickOnTimeAndNothingLeaks) {
  REQUIRE_STATION("TUNORA_STATION_FAULTS");
  TMainForm& m = Started();
  MainWindowView& w = View(m);
  ASSERT_NE(m.TickWatch(), nullptr) << "the switch turns the tick watch on";
  const std::string after = "?after=" + After();
  const DWORD stallMs = DWORD(std::atof(After().c_str()) * 1000);
  const Case cases[] = {
      {"Refused", StationAddress("TUNORA_STATION_REFUSED"), Outcome::Fails, "refuses the connection", 3000},
      {"Silent", Fault("/silent"), Outcome::Fails, "does not answer", 13000, kRealTimeouts},
      {"Missing", Fault("/404"), Outcome::Fails, "404", 3000},
      {"Web page", Fault("/html"), Outcome::Fails, "web page", 4000},
      // These play twice (the station's 4 s burst and the good start, then the fault),
      // the second time after the player connected again.
      {"Stall", Fault("/stall" + after), Outcome::PlaysThenFails, "stopped sending", 2 * stallMs + 30000},
      {"Close", Fault("/close" + after), Outcome::PlaysThenFails, "closed the connection", 2 * stallMs + 18000},
      {"Garbage", Fault("/garbage" + after), Outcome::PlaysThenFails, "no sound", 2 * stallMs + 25000},
      {"Big header", Fault("/bigheader"), Outcome::FailsOrPlays, "", 13000},
      {"Trickle", Fault("/trickle"), Outcome::Fails, "does not answer", 6000},
      {"Loop", Fault("/redirect"), Outcome::Fails, "", 4000},
      {"Big list", Fault("/bigplaylist"), Outcome::Fails, "", 13000},
      // Reading 4 MB of list took an overloaded machine longer than even the real 10 s to
      // connect: the cap, not the time-out, is what this case shows.
      {"Endless", Fault("/endless.m3u8"), Outcome::Fails, "larger than 4 MB", 33000, kSlowListTimeouts},
      // A busy machine may take longer than a short connect time-out to fetch the list.
      {"Self list", Fault("/self.pls"), Outcome::Fails, "back to itself", 13000, kRealTimeouts},
      {"Liar", Fault("/icylie"), Outcome::FailsOrPlays, "", 13000},
      // Told once 64 KB of the stream showed no frame: some seconds with a short burst,
      // and more on a busy machine.
      {"AAC", Fault("/wrongtype?type=audio/aac"), Outcome::Fails, "no AAC frames", 13000, kRealTimeouts},
      {"Ogg", Fault("/wrongtype?type=application/ogg"), Outcome::Fails, "", 13000, kRealTimeouts},
  };
  ControlTimer control;  // before the threads are counted: it is no thread of the program
  SetPreset(m, 0, "Tone", StationAddress("TUNORA_STATION_MP3"));
  for (int k = 1; k < TMainForm::kPresets; ++k) SetPreset(m, k, "none", "");

  // The first play starts what every later one reuses (the sound device's threads); a
  // trace starts GoogleTest's own watcher thread, which stays.
  ASSERT_TRUE(WaitFor([&] { return m.Monitor().internetConnected; }, 3000));
  {
    SCOPED_TRACE("the first play");
    PlaysAtOnce(m, "the start");
  }
  LeftClick(w.VrDemoButtonUnplug);
  Pump(1000);  // the stopped play's threads end before the count the sweep is held to
  const std::set<DWORD> threadsBefore = ThreadIds();
  const int handlesBefore = HandleCount();
  ASSERT_GT(handlesBefore, 0) << "the handle table can be read";

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name + " " + c.url);
    // A machine busy with other work may hold up any program's timer now and then; a
    // program that holds up its own does so every time. Each try is judged against a
    // plain timer of this process in the same time; one of three must pass. So must one
    // of three whose outcome the fault decided, not a short time-out.
    for (int attempt = 1;; ++attempt) {
      control.Reset();
      const std::optional<unsigned long long> late = RunFault(m, c, attempt == 3);
      if (!late) continue;
      const unsigned long long worst = *late;
      const unsigned long long machine = control.WorstLateMs();
      // The window's tick paints far more than the plain timer does, so on a machine that
      // holds up every timer it comes later still: up to 200 ms and three times the plain
      // timer's lateness then. A hold-up of the program's own (a wait on the network is
      // seconds) is late every time, busy or not.
      const unsigned long long allowed = machine > 20 ? 200 + 3 * machine : 50;
      if (worst <= allowed || attempt == 3) {
        EXPECT_LE(worst, allowed) << m.TickWatch()->Report() << "; a plain timer came up to " << machine
                                  << " ms late";
        break;
      }
      std::printf("%-10s ticks came late (%s; a plain timer up to %llu ms): again\n", c.name.c_str(),
                  m.TickWatch()->Report().c_str(), machine);
    }
  }

  LeftClick(w.VrDemoButtonUnplug);
  EXPECT_EQ(w.LabelStation.Caption(), "none");
  EXPECT_TRUE(WaitFor([&] { return w.VrMatrixConn.Text() == "OVEXIA TUNORA ONLINE!"; }, 1000));
  // The player's worker lets go of a session within moments and the sound device's
  // threads end with it; Wine's own pool threads end after some seconds idle.
  EXPECT_TRUE(WaitFor([&] { return ThreadIds().size() <= threadsBefore.size(); }, 20000))
      << ThreadIds().size() << " threads, " << threadsBefore.size() << " before; new ones started in "
      << NewThreads(threadsBefore);
  // Wine makes a few handles of its own on first use (sockets, fonts); a handle lost on
  // any path of the sweep, which runs each fault at least once and the good station
  // seventeen times, would soon pass this.
  EXPECT_TRUE(WaitFor([&] { return HandleCount() <= handlesBefore + 6; }, 5000))
      << HandleCount() << " handles, " << handlesBefore << " before";
  std::printf("threads %u (%u before), handles %d (%d before)\n", unsigned(ThreadIds().size()),
              unsigned(threadsBefore.size()), HandleCount(), handlesBefore);
}

}  // namespace
