// Runs the scheduled recordings: reads and writes schedule.ini, starts each schedule at
// its time with a reader of its own (StationTake) whose frames go to the files that the
// window's side makes, ends it at its end, and tells what was missed while the program
// was not running or the PC slept. While a recording runs it keeps the PC awake; it sets
// a timer that may wake the PC 30 s before the next start. The main window's tick drives
// it on the UI thread.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <windows.h>

#include "base/Lock.h"
#include "playback/StreamTap.h"
#include "schedule/ScheduleRules.h"
#include "schedule/StationTake.h"

namespace schedule {

// The local time of this PC, as the system's time-zone rules give it.
class SystemZone : public Zone {
 public:
  long long OffsetAt(long long utc) const override;
};
// Seconds since 1970 in UTC, now.
long long NowUtc();

// One connection's recording, shared by the scheduler (the UI thread) and its files (the
// reader's thread): the file each frame goes to, and what went wrong with them.
class TakePlan {
 public:
  TakePlan(std::string station, std::string url) : station_(std::move(station)), url_(std::move(url)) {}
  const std::string& Station() const { return station_; }  // ANSI
  const std::string& Url() const { return url_; }
  // A file named `name` (ANSI, not yet safe for the file system) of `seconds` of sound,
  // due to end at `end`.
  void Add(const std::string& name, long long seconds, long long end);
  // The file a frame goes to and its name; TakeParts::kNone when none.
  std::size_t Frame(long long ticks, int rate, std::string& name);
  bool Done();
  long long End() const;
  void Fail(const std::string& why);
  std::string TakeFailure();

 private:
  const std::string station_, url_;
  mutable base::Mutex mutex_;
  TakeParts parts_;
  std::vector<std::string> names_;
  std::string failure_;
};

class Scheduler {
 public:
  // Makes the files of a connection's recording, in the program's folder.
  using FilesMaker = std::function<std::shared_ptr<playback::StreamTap>(std::shared_ptr<TakePlan>)>;
  // The PC is woken this long before a start.
  static constexpr long long kWakeAheadSeconds = 30;

  explicit Scheduler(FilesMaker maker);
  ~Scheduler();
  Scheduler(const Scheduler&) = delete;
  Scheduler& operator=(const Scheduler&) = delete;

  // Reads schedule.ini of the program's folder: a damaged file is told, its good sections
  // kept; the starts missed since the last run are told.
  void Load(const std::string& programDirectory);
  // Often (the window's tick); looks at the clock once a second.
  void Tick();
  const std::vector<Schedule>& Schedules() const { return schedules_; }
  // The dialog's list, saved at once; raises base::EInOutError with the file's name. A
  // damaged file is first kept as schedule.ini.damaged.
  void SetSchedules(std::vector<Schedule> schedules);
  // The recordings under way, "Jazz FM until 09:00"; empty when none.
  std::string Running() const;
  // Ends the recordings under way (their files are kept).
  void StopRecordings();
  // What to tell the user, once each (ANSI); empty when nothing.
  std::string TakeNotice();
  // The damaged file's report, for the dialog; empty when it read clean.
  const std::string& FileFault() const { return fileFault_; }
  // The system refused a timer that wakes the PC.
  bool WakeRefused() const { return wakeRefused_; }
  const Zone& LocalZone() const { return zone_; }
  // The program ends: the recordings end, the time is written for the next start's list
  // of missed ones.
  void Finish();

 private:
  struct Run {
    std::shared_ptr<TakePlan> plan;
    std::unique_ptr<StationTake> take;
    Schedule last;  // the schedule of its last file, which another may follow on
    std::string error;
    bool over = false;
  };
  void Look(long long now);
  void Start(const Schedule& s, const Occurrence& o, long long now);
  // Schedules that start when a recording of their station ends go into its connection.
  void FollowOn(Run& run);
  bool Taken(const Schedule& s, long long start) const;
  void KeepAwake(bool on);
  void ArmWake(long long now);
  void WriteChecked(long long now);
  std::string FilePath() const { return directory_ + "\\" + kScheduleFileName; }

  FilesMaker maker_;
  SystemZone zone_;
  std::string directory_;
  std::vector<Schedule> schedules_;
  std::string fileFault_;
  bool loaded_ = false;
  long long lastLook_ = 0;
  unsigned long long nextLookTick_ = 0;
  std::vector<Run> runs_;
  std::vector<std::pair<Schedule, long long>> taken_;  // starts begun, kept two days
  std::vector<std::string> notices_;
  bool awake_ = false;
  HANDLE wakeTimer_ = nullptr;
  std::optional<long long> armed_;
  bool wakeRefused_ = false;
};

}  // namespace schedule
