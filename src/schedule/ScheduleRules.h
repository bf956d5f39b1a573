// The scheduled recordings' rules: schedule.ini, the local calendar and its
// daylight-saving changes, when each schedule starts next, which starts were missed, and
// the names of the files. Times are seconds since 1970 in UTC; a schedule's own times are
// local, and each start is worked out anew from the calendar day, so that a daily 08:00
// stays 08:00 on both sides of a change. Portable.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace schedule {

constexpr const char* kScheduleFileName = "schedule.ini";
constexpr const char* kScheduledFolder = "Scheduled";
constexpr int kMaxMinutes = 24 * 60;
constexpr std::size_t kMaxSchedules = 100;

struct Date {
  int year = 0, month = 0, day = 0;
  bool operator==(const Date&) const = default;
};

enum class Days { Daily, Weekdays, Once };

struct Schedule {
  std::string name;  // the station's name, in the ANSI code page
  std::string url;
  Days days = Days::Daily;
  unsigned weekdays = 0;  // Weekdays: bit 0 Monday ... bit 6 Sunday
  Date date;              // Once
  int hour = 0, minute = 0;
  int minutes = 60;
  bool operator==(const Schedule&) const = default;
};

// What is wrong with a schedule, in words; empty when nothing is.
std::string ScheduleFault(const Schedule& s);

// "Daily", "Once" or "Mon,Wed,Fri", as in the file; ParseDays reads it (blanks and case
// aside) into s, false when it is none of them.
std::string DaysText(const Schedule& s);
bool ParseDays(const std::string& text, Schedule& s);
std::string DateText(const Date& d);
std::optional<Date> ParseDate(const std::string& text);
// "HH:MM".
std::string StartText(const Schedule& s);
bool ParseStart(const std::string& text, Schedule& s);

struct ScheduleFile {
  std::vector<Schedule> schedules;  // the good sections, in the file's order
  std::vector<std::string> faults;  // one line for each section or line left out
  long long checked = 0;            // when the program last looked at the clock (0: never)
};
ScheduleFile ParseScheduleFile(const std::string& text);
// `[Schedules]` with Checked= (when not 0), then `[Schedule1]` ... in order.
std::string ScheduleFileText(const std::vector<Schedule>& schedules, long long checked);

// The local calendar: how far local time is ahead of UTC at a moment, in seconds.
class Zone {
 public:
  virtual ~Zone() = default;
  virtual long long OffsetAt(long long utc) const = 0;
};

struct Civil {
  Date date;
  int hour = 0, minute = 0, second = 0;
};
Civil CivilOf(long long seconds);  // the calendar of seconds counted from 1970-01-01 00:00
long long SecondsOf(const Civil& c);
Civil LocalOf(const Zone& zone, long long utc);
// The moment a local time first happens; a time that the clock skips (the hour of a
// spring change) happens at the first moment after the gap.
long long MomentOf(const Zone& zone, const Civil& local);
// 0 Monday ... 6 Sunday.
int WeekdayOf(const Date& d);

struct Occurrence {
  long long start = 0, end = 0;
};
// The start of `s` that is under way at `now`, else the next one; none for a past Once.
std::optional<Occurrence> NextOccurrence(const Schedule& s, long long now, const Zone& zone);

struct Miss {
  std::size_t schedule;  // its index
  Occurrence when;
};
// The starts that came and went wholly between `from` and `to` (the program not running,
// the PC asleep), oldest first, at most `most` of them; the last month at most is looked at.
std::vector<Miss> Missed(const std::vector<Schedule>& schedules, long long from, long long to, const Zone& zone,
                         std::size_t most = 20);
// "<name> 2026-12-09 08:00" for a schedule's line in a list of missed ones.
std::string MissText(const Schedule& s, const Zone& zone, long long start);

// The earliest start after `now` of any schedule (to wake the PC for); none when no
// schedule starts again.
std::optional<long long> NextStart(const std::vector<Schedule>& schedules, long long now, const Zone& zone);

// "<name> YYYY-MM-DD HH-MM" of a recording that starts at `start`: the file's name
// before it is made safe for the file system.
std::string TakeName(const std::string& name, const Zone& zone, long long start);

// Whether `next` goes on from a recording of `s` that ends at `end`: the same station,
// starting that very moment. It is then recorded by the same connection into a file of
// its own, and no sound is lost between the two.
bool FollowsOn(const Schedule& s, long long end, const Schedule& next, const Occurrence& o);

// Which file of a connection's recording each frame goes to. The connection records one
// schedule, or several that follow on: each file holds its schedule's length of sound,
// counted in the frames' own samples, so that the burst a station sends at connecting
// does not make it longer; a file whose end has passed (sound lost to a drop) is closed
// when its time is up. Frames after the last file's end belong to none.
class TakeParts {
 public:
  static constexpr std::size_t kNone = std::size_t(-1);
  // A file `seconds` long, due to end at the moment `end`.
  void Add(long long seconds, long long end) { parts_.push_back({seconds, end}); }
  std::size_t Count() const { return parts_.size(); }
  long long End() const { return parts_.empty() ? 0 : parts_.back().end; }
  // The file that a frame of `ticks` samples at `rate` a second, arriving at `now`, goes
  // to; kNone once every file is full.
  std::size_t Frame(long long ticks, int rate, long long now);
  // The file that the frames go to now (Count() when all are full or their time is up).
  std::size_t Current(long long now);
  bool Done(long long now) { return Current(now) >= parts_.size(); }

 private:
  struct Part {
    long long seconds, end;
  };
  std::vector<Part> parts_;
  std::size_t current_ = 0;
  long long ticks_ = 0;  // in the current file
  int rate_ = 0;
};

// A schedule's line in the dialog's list.
std::string ScheduleLine(const Schedule& s);

}  // namespace schedule
