// A long play (not part of the program): the program's own main window switches between
// two stations every 15 s with Record Songs on and the playing station recorded directly
// ("Playing Station (direct)", REC), while bench/soak.sh changes the titles. Every minute
// it prints the process's private bytes, the bytes that the songs' past holds (it grows by
// design), its threads and its handles (the fewest of five readings over two seconds); at
// the end, whether from the fifth minute on the memory less the past stayed within 2 MB and
// the threads and handles stayed constant.
//   soak_bench.exe MINUTES URL URL
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "BenchSupport.h"
#include "app/MainForm.h"
#include "support/MainWindowView.h"
#include "support/ProcessCounts.h"
#include "recording/OptionsForm.h"
#include "recording/StationCapture.h"

using namespace bench;

namespace {

constexpr double kSlotMs = 15000;  // one station's turn
constexpr int kSlotsPerMinute = 4;
constexpr int kSteadyFrom = 5;  // the minute from which the goal holds
constexpr double kMB = 1 << 20;

void Click(ui::WinControl& button) {
  SendMessageA(button.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(button.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

// Answers every message box of this process with its first button and keeps its text, so
// that a message never holds the run up; what they said is printed at the end.
class BoxAnswerer {
 public:
  BoxAnswerer() : thread_([this] { Run(); }) {}
  ~BoxAnswerer() {
    stop_ = true;
    thread_.join();
  }
  std::vector<std::string> Seen() {
    std::lock_guard lock(mutex_);
    return seen_;
  }

 private:
  static BOOL CALLBACK Find(HWND h, LPARAM found) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    char cls[16] = "";
    GetClassNameA(h, cls, sizeof cls);
    if (pid != GetCurrentProcessId() || std::string(cls) != "#32770" || !IsWindowVisible(h)) return TRUE;
    *reinterpret_cast<HWND*>(found) = h;
    return FALSE;
  }
  void Run() {
    for (; !stop_; Sleep(200)) {
      HWND box = nullptr;
      EnumWindows(Find, LPARAM(&box));
      if (!box) continue;
      char text[1024] = "";
      GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
      {
        std::lock_guard lock(mutex_);
        seen_.push_back(text);
      }
      DWORD_PTR unused;
      SendMessageTimeoutA(FindWindowExA(box, nullptr, "Button", nullptr), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 2000,
                          &unused);
      for (int i = 0; i < 200 && IsWindow(box) && IsWindowVisible(box); ++i) Sleep(10);
    }
  }
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<std::string> seen_;
  std::thread thread_;
};

struct Sample {
  double privateMB = 0, workingSetMB = 0, pastMB = 0;
  int threads = 0, handles = 0;
  double Own() const { return privateMB - pastMB; }
};

// GetProcessHandleCount answers 0 under Wine: the system's handle table is asked then.
int Handles(bool& fromTable) {
  DWORD n = 0;
  fromTable = !GetProcessHandleCount(GetCurrentProcess(), &n) || n == 0;
  return fromTable ? testing_support::HandleCount() : int(n);
}

// Private bytes are PrivateUsage, which Windows keeps equal to PagefileUsage (the commit
// charge). Wine answers 0 for PrivateUsage; its PagefileUsage is the process's anonymous
// memory (resident and swapped), its private bytes by another name.
Sample Measure(TMainForm& m, bool& handlesFromTable, bool& privateFromPagefile) {
  MainWindowView& w = View(m);
  PROCESS_MEMORY_COUNTERS_EX c{};
  c.cb = sizeof c;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&c), sizeof c);
  privateFromPagefile = c.PrivateUsage == 0;
  Sample s;
  s.privateMB = double(privateFromPagefile ? c.PagefileUsage : c.PrivateUsage) / kMB;
  s.workingSetMB = double(c.WorkingSetSize) / kMB;
  s.pastMB = double(w.Songs.PastBytes()) / kMB;
  s.threads = int(testing_support::ThreadIds().size());
  s.handles = Handles(handlesFromTable);
  // TUNORA_SOAK_TYPES: the handles by the table's type number, to tell what grows.
  if (std::getenv("TUNORA_SOAK_TYPES")) {
    std::map<int, int> types;
    std::map<int, std::string> names;
    testing_support::HandleCount(&types, &names);
    std::fprintf(stderr, "handle types:");
    for (const auto& [type, n] : types) std::fprintf(stderr, " %s:%d", names[type].c_str(), n);
    std::fprintf(stderr, "\n");
  }
  return s;
}

template <typename Field>
std::pair<double, double> Range(const std::vector<Sample>& v, Field f) {
  double lo = 1e300, hi = -1e300;
  for (const Sample& s : v) lo = std::min(lo, double(f(s))), hi = std::max(hi, double(f(s)));
  return {lo, hi};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: soak_bench MINUTES URL URL\n");
    return 2;
  }
  const int minutes = std::max(1, std::atoi(argv[1]));
  const std::string work = StartProgramIn("tunora-soak-", 1000);
  TMainForm& m = *MainForm;
  MainWindowView& w = View(m);
  BoxAnswerer boxes;
  w.VrDemoButtonStation[0].SetCaption("Tone MP3");
  w.EditStationURL[0].SetText(argv[2]);
  w.VrDemoButtonStation[1].SetCaption("Tone AAC");
  w.EditStationURL[1].SetText(argv[3]);
  WaitFor([&] { return m.Monitor().internetConnected; }, 5000);

  // TUNORA_SOAK_PLAIN: stations and titles only, without the songs and the recording (to
  // tell which of them holds on to something).
  const bool plain = std::getenv("TUNORA_SOAK_PLAIN") != nullptr;
  w.Songs.SetRecording(!plain);
  ui::ComboBox& drivers = OptionsForm->DriverBox;
  drivers.SetItemIndex(drivers.Count() - 1);
  m.FillFormatBox();
  const std::string recording = work + "\\soak.wav";
  OptionsForm->DirectoryEditLogger.SetText(recording);
  if (drivers.Text() != recording::kStationSourceName) {
    std::printf("no \"%s\" source under Options\n", recording::kStationSourceName);
    return 1;
  }
  Click(w.VrDemoButtonStation[0]);
  if (!WaitFor([&] { return w.WindowsMediaPlayer.playState() == playback::psPlaying; }, 10000)) {
    std::printf("the station did not play: %s\n", w.WindowsMediaPlayer.lastError().c_str());
    return 1;
  }
  if (!plain) Click(w.VrDemoButtonRec);

  bool fromTable = false, fromPagefile = false;
  std::printf("minute  private MB  working set MB  past MB  private-past MB  threads  handles\n");
  std::vector<Sample> samples;
  int silentTurns = 0;
  const double start = Millis();
  for (int slot = 0; slot < minutes * kSlotsPerMinute; ++slot) {
    const double slotStart = start + slot * kSlotMs;
    if (slot > 0) Click(w.VrDemoButtonStation[slot % 2]);
    // Half-way through a turn, the new station plays and the one it replaced is gone.
    Pump(slotStart + kSlotMs / 2 - Millis());
    if (w.WindowsMediaPlayer.playState() != playback::psPlaying) ++silentTurns;
    if (slot % kSlotsPerMinute == kSlotsPerMinute - 1) {
      Sample s = Measure(m, fromTable, fromPagefile);
      // A handle that lives a moment (a song's file being finished, a connection) is no
      // leak; a leak raises the fewest of several readings too.
      for (int reading = 0; reading < 4; ++reading) {
        Pump(500);
        s.handles = std::min(s.handles, Handles(fromTable));
      }
      samples.push_back(s);
      std::printf("%6zu  %10.2f  %14.2f  %7.2f  %15.2f  %7d  %7d\n", samples.size(), s.privateMB, s.workingSetMB,
                  s.pastMB, s.Own(), s.threads, s.handles);
      std::fflush(stdout);
    }
    Pump(slotStart + kSlotMs - Millis());
  }
  const std::int64_t recorded = w.Recorder.RecordFile() ? w.Recorder.RecordFile()->GetDataSize() : 0;
  Click(w.VrDemoButtonStop);
  Click(w.VrDemoButtonUnplug);
  Pump(1000);

  std::printf("private bytes from %s\n",
              fromPagefile ? "PagefileUsage (PrivateUsage answers 0 under Wine)" : "PrivateUsage");
  std::printf("handles counted by %s\n", fromTable
                                             ? "the system's handle table (GetProcessHandleCount answers 0 under Wine)"
                                             : "GetProcessHandleCount");
  std::printf("%d of %d turns did not play half-way through; %.1f s recorded directly; %zu song files\n", silentTurns,
              minutes * kSlotsPerMinute, double(recorded) / 176400, w.Songs.Written().size());
  for (const std::string& text : boxes.Seen()) std::printf("message box: %s\n", text.c_str());
  if (int(samples.size()) < kSteadyFrom) {
    std::printf("goal not judged: it holds from minute %d on\n", kSteadyFrom);
  } else {
    const std::vector<Sample> steady(samples.begin() + (kSteadyFrom - 1), samples.end());
    const auto own = Range(steady, [](const Sample& s) { return s.Own(); });
    const auto threads = Range(steady, [](const Sample& s) { return s.threads; });
    const auto handles = Range(steady, [](const Sample& s) { return s.handles; });
    const bool met = own.second - own.first <= 2 && threads.first == threads.second && handles.first == handles.second;
    std::printf(
        "from minute %d on: private less the past %.2f..%.2f MB (spread %.2f, goal: at most 2), threads "
        "%.0f..%.0f, handles %.0f..%.0f (goal: constant): goal %s\n",
        kSteadyFrom, own.first, own.second, own.second - own.first, threads.first, threads.second, handles.first,
        handles.second, met ? "met" : "missed");
  }
  DeleteFileA(recording.c_str());
  return 0;
}
