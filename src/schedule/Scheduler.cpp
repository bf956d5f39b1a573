#include "schedule/Scheduler.h"

#include <algorithm>
#include <utility>

#include "base/TextFile.h"

namespace schedule {

namespace {

constexpr long long kFileTimeTo1970 = 116444736000000000LL;  // 100 ns units from 1601
// A look at the clock this long after the last one: the PC slept, or the program was held
// up, and starts in between may have come and gone.
constexpr long long kGapSeconds = 90;
constexpr long long kKeepTakenSeconds = 2 * 86400;

long long SecondsOfSystemTime(const SYSTEMTIME& t) {
  return SecondsOf({{t.wYear, t.wMonth, t.wDay}, t.wHour, t.wMinute, t.wSecond});
}

std::string Clock(const Zone& zone, long long utc) {
  const Civil c = LocalOf(zone, utc);
  Schedule s;
  s.hour = c.hour;
  s.minute = c.minute;
  return StartText(s);
}

}  // namespace

long long NowUtc() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const long long units = (long long)(((unsigned long long)now.dwHighDateTime << 32) | now.dwLowDateTime);
  return (units - kFileTimeTo1970) / 10000000;
}

long long SystemZone::OffsetAt(long long utc) const {
  const long long units = utc * 10000000 + kFileTimeTo1970;
  FILETIME file{DWORD(units & 0xFFFFFFFF), DWORD((unsigned long long)units >> 32)};
  SYSTEMTIME universal, local;
  if (!FileTimeToSystemTime(&file, &universal) || !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
    return 0;
  return SecondsOfSystemTime(local) - utc;
}

void TakePlan::Add(const std::string& name, long long seconds, long long end) {
  std::lock_guard lock(mutex_);
  parts_.Add(seconds, end);
  names_.push_back(name);
}

std::size_t TakePlan::Frame(long long ticks, int rate, std::string& name) {
  std::lock_guard lock(mutex_);
  const std::size_t part = parts_.Frame(ticks, rate, NowUtc());
  if (part != TakeParts::kNone) name = names_[part];
  return part;
}

bool TakePlan::Done() {
  std::lock_guard lock(mutex_);
  return parts_.Done(NowUtc());
}

long long TakePlan::End() const {
  std::lock_guard lock(mutex_);
  return parts_.End();
}

void TakePlan::Fail(const std::string& why) {
  std::lock_guard lock(mutex_);
  if (failure_.empty()) failure_ = why;
}

std::string TakePlan::TakeFailure() {
  std::lock_guard lock(mutex_);
  return std::exchange(failure_, std::string());
}

Scheduler::Scheduler(FilesMaker maker) : maker_(std::move(maker)) {}

Scheduler::~Scheduler() {
  Finish();
  if (wakeTimer_) CloseHandle(wakeTimer_);
}

void Scheduler::Load(const std::string& programDirectory) {
  directory_ = programDirectory;
  loaded_ = true;
  const long long now = NowUtc();
  ScheduleFile file;
  try {
    if (const std::optional<std::string> text = base::ReadTextFile(FilePath())) file = ParseScheduleFile(*text);
  } catch (const base::EInOutError& e) {
    fileFault_ = e.what();
  }
  schedules_ = file.schedules;
  if (!file.faults.empty()) {
    fileFault_ = FilePath() + " is damaged; these schedules are left out until it is saved again:";
    for (const std::string& fault : file.faults) fileFault_ += "\r\n" + fault;
  }
  if (!fileFault_.empty()) notices_.push_back(fileFault_);
  lastLook_ = file.checked > 0 && file.checked < now ? file.checked : now;
  Look(now);
  WriteChecked(now);
}

void Scheduler::Tick() {
  if (!loaded_) return;
  const unsigned long long tick = GetTickCount64();
  if (tick < nextLookTick_) return;
  nextLookTick_ = tick + 1000;
  Look(NowUtc());
}

void Scheduler::Look(long long now) {
  if (now - lastLook_ > kGapSeconds) {
    const std::vector<Miss> missed = Missed(schedules_, lastLook_, now, zone_);
    if (!missed.empty()) {
      std::string text = "Scheduled recordings missed while the program was not running or the PC slept:";
      for (const Miss& m : missed) text += "\r\n" + MissText(schedules_[m.schedule], zone_, m.when.start);
      notices_.push_back(text);
    }
  }
  lastLook_ = now;
  std::erase_if(taken_, [&](const auto& t) { return t.second < now - kKeepTakenSeconds; });

  // The recordings that are over, and what went wrong with them.
  const std::size_t before = runs_.size();
  for (Run& run : runs_) {
    // Looked at before its news: what it told before it ended is told all the same.
    run.over = run.take->Ended();
    if (run.plan->Done()) run.take->Stop();
    if (const std::string failure = run.plan->TakeFailure(); !failure.empty()) notices_.push_back(failure);
    const std::string error = run.take->LastError();
    if (!error.empty() && error != run.error)
      notices_.push_back("The scheduled recording of " + run.plan->Station() +
                         " cannot connect, and tries again: " + error);
    run.error = error;
  }
  std::erase_if(runs_, [](const Run& run) { return run.over; });
  for (Run& run : runs_) FollowOn(run);
  for (const Schedule& s : schedules_) {
    const std::optional<Occurrence> o = NextOccurrence(s, now, zone_);
    if (o && o->start <= now && !Taken(s, o->start)) Start(s, *o, now);
  }
  KeepAwake(!runs_.empty());
  if (runs_.size() != before) WriteChecked(now);
  ArmWake(now);
}

bool Scheduler::Taken(const Schedule& s, long long start) const {
  return std::any_of(taken_.begin(), taken_.end(), [&](const auto& t) { return t.second == start && t.first == s; });
}

void Scheduler::Start(const Schedule& s, const Occurrence& o, long long now) {
  taken_.emplace_back(s, o.start);
  Run run;
  run.plan = std::make_shared<TakePlan>(s.name, s.url);
  run.plan->Add(TakeName(s.name, zone_, o.start), o.end - std::max(now, o.start), o.end);
  run.last = s;
  try {
    run.take = std::make_unique<StationTake>(s.url, maker_(run.plan));
  } catch (const std::exception& e) {
    notices_.push_back("The scheduled recording of " + s.name + " cannot start: " + e.what());
    return;
  }
  FollowOn(run);
  runs_.push_back(std::move(run));
}

void Scheduler::FollowOn(Run& run) {
  for (bool added = true; added;) {
    added = false;
    const long long end = run.plan->End();
    for (const Schedule& s : schedules_) {
      const std::optional<Occurrence> o = NextOccurrence(s, end, zone_);
      if (!o || !FollowsOn(run.last, end, s, *o) || Taken(s, o->start)) continue;
      taken_.emplace_back(s, o->start);
      run.plan->Add(TakeName(s.name, zone_, o->start), o->end - o->start, o->end);
      run.last = s;
      added = true;
      break;
    }
  }
}

std::string Scheduler::Running() const {
  std::string text;
  for (const Run& run : runs_)
    text += (text.empty() ? "" : ", ") + run.plan->Station() + " until " + Clock(zone_, run.plan->End());
  return text;
}

void Scheduler::StopRecordings() {
  for (Run& run : runs_) run.take->Stop();
}

std::string Scheduler::TakeNotice() {
  if (notices_.empty()) return "";
  std::string notice = notices_.front();
  notices_.erase(notices_.begin());
  return notice;
}

void Scheduler::SetSchedules(std::vector<Schedule> schedules) {
  const long long now = NowUtc();
  // The damaged sections are kept for the user to mend, not overwritten.
  if (!fileFault_.empty() && base::FileExists(FilePath()))
    CopyFileA(FilePath().c_str(), (FilePath() + ".damaged").c_str(), FALSE);
  base::WriteTextFile(FilePath(), ScheduleFileText(schedules, now));
  schedules_ = std::move(schedules);
  fileFault_.clear();
  armed_.reset();
  ArmWake(now);
}

void Scheduler::KeepAwake(bool on) {
  if (on == awake_) return;
  awake_ = on;
  SetThreadExecutionState(on ? ES_CONTINUOUS | ES_SYSTEM_REQUIRED : ES_CONTINUOUS);
}

void Scheduler::ArmWake(long long now) {
  const std::optional<long long> next = NextStart(schedules_, now, zone_);
  if (next == armed_) return;
  armed_ = next;
  if (!wakeTimer_) wakeTimer_ = CreateWaitableTimerA(nullptr, TRUE, nullptr);
  if (!wakeTimer_) return;
  if (!next) {
    CancelWaitableTimer(wakeTimer_);
    return;
  }
  // An absolute time, in 100 ns units from 1601, UTC.
  LARGE_INTEGER due;
  due.QuadPart = (std::max(*next - kWakeAheadSeconds, now + 1)) * 10000000 + kFileTimeTo1970;
  SetLastError(0);
  const BOOL set = SetWaitableTimer(wakeTimer_, &due, 0, nullptr, nullptr, TRUE);
  wakeRefused_ = !set || GetLastError() == ERROR_NOT_SUPPORTED;
}

void Scheduler::WriteChecked(long long now) {
  // A damaged file is never written behind the user's back: its sections would be lost.
  if (!loaded_ || !fileFault_.empty() || (schedules_.empty() && !base::FileExists(FilePath()))) return;
  try {
    base::WriteTextFile(FilePath(), ScheduleFileText(schedules_, now));
  } catch (const base::EInOutError&) {
    // The next start may list a start as missed that was not: nothing is lost.
  }
}

void Scheduler::Finish() {
  if (!loaded_) return;
  for (Run& run : runs_) run.take->Stop();
  runs_.clear();  // each waits a moment for its files
  KeepAwake(false);
  WriteChecked(NowUtc());
  loaded_ = false;
}

}  // namespace schedule
