#include "schedule/ScheduleRules.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "base/LineRules.h"

namespace schedule {

namespace {

constexpr long long kDay = 86400;
// A file whose sound lags its clock (a drop) is given this long past its end for the
// sound still on its way.
constexpr long long kLateSeconds = 5;
constexpr const char* kWeekdays[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};

long long DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

Date CivilFromDays(long long z) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  const int d = int(doy - (153 * mp + 2) / 5 + 1);
  const int m = int(mp < 10 ? mp + 3 : mp - 9);
  return {int(yoe + era * 400 + (m <= 2)), m, d};
}

bool ValidDate(const Date& d) {
  if (d.year < 1970 || d.year > 9999 || d.month < 1 || d.month > 12 || d.day < 1) return false;
  return CivilFromDays(DaysFromCivil(d.year, d.month, d.day)) == d;
}

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool SameWord(const std::string& a, const char* b) {
  std::string lower;
  for (char c : a) lower += char(std::tolower(static_cast<unsigned char>(c)));
  std::string other;
  for (const char* p = b; *p; ++p) other += char(std::tolower(static_cast<unsigned char>(*p)));
  return lower == other;
}

// Digits only, of exactly `width` characters.
bool Number(const std::string& text, std::size_t width, int& out) {
  if (text.size() != width || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  out = std::stoi(text);
  return true;
}

bool OnDay(const Schedule& s, const Date& d) {
  switch (s.days) {
    case Days::Daily:
      return true;
    case Days::Weekdays:
      return (s.weekdays >> WeekdayOf(d)) & 1u;
    case Days::Once:
      return d == s.date;
  }
  return false;
}

Date AddDays(const Date& d, long long days) {
  return CivilFromDays(DaysFromCivil(d.year, d.month, d.day) + days);
}

}  // namespace

std::string ScheduleFault(const Schedule& s) {
  if (Trimmed(s.name).empty()) return "A schedule needs a name for its files.";
  if (Trimmed(s.url).empty()) return "A schedule needs the station's address.";
  if (s.days == Days::Weekdays && (s.weekdays == 0 || s.weekdays > 0x7F)) return "Choose at least one weekday.";
  if (s.days == Days::Once && !ValidDate(s.date)) return "The date is not a date of the calendar (YYYY-MM-DD).";
  if (s.hour < 0 || s.hour > 23 || s.minute < 0 || s.minute > 59) return "The start is not a time of day (HH:MM).";
  if (s.minutes < 1 || s.minutes > kMaxMinutes) return "A recording lasts 1 to 1440 minutes.";
  return "";
}

std::string DaysText(const Schedule& s) {
  if (s.days == Days::Daily) return "Daily";
  if (s.days == Days::Once) return "Once";
  std::string text;
  for (int i = 0; i < 7; ++i)
    if ((s.weekdays >> i) & 1u) text += (text.empty() ? "" : ",") + std::string(kWeekdays[i]);
  return text;
}

bool ParseDays(const std::string& text, Schedule& s) {
  const std::string t = Trimmed(text);
  if (SameWord(t, "Daily")) {
    s.days = Days::Daily;
    return true;
  }
  if (SameWord(t, "Once")) {
    s.days = Days::Once;
    return true;
  }
  unsigned mask = 0;
  std::size_t at = 0;
  while (at <= t.size()) {
    const std::size_t comma = std::min(t.find(',', at), t.size());
    const std::string word = Trimmed(t.substr(at, comma - at));
    const auto* found =
        std::find_if(std::begin(kWeekdays), std::end(kWeekdays), [&](const char* w) { return SameWord(word, w); });
    if (found == std::end(kWeekdays)) return false;
    mask |= 1u << (found - std::begin(kWeekdays));
    at = comma + 1;
  }
  s.days = Days::Weekdays;
  s.weekdays = mask;
  return true;
}

std::string DateText(const Date& d) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", d.year % 10000, d.month % 100, d.day % 100);
  return text;
}

std::optional<Date> ParseDate(const std::string& text) {
  const std::string t = Trimmed(text);
  Date d;
  if (t.size() != 10 || t[4] != '-' || t[7] != '-' || !Number(t.substr(0, 4), 4, d.year) ||
      !Number(t.substr(5, 2), 2, d.month) || !Number(t.substr(8, 2), 2, d.day) || !ValidDate(d))
    return std::nullopt;
  return d;
}

std::string StartText(const Schedule& s) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d:%02d", s.hour % 100, s.minute % 100);
  return text;
}

bool ParseStart(const std::string& text, Schedule& s) {
  const std::string t = Trimmed(text);
  const std::size_t colon = t.find(':');
  int h = 0, m = 0;
  if (colon == std::string::npos || colon < 1 || colon > 2 || !Number(t.substr(0, colon), colon, h) ||
      !Number(t.substr(colon + 1), 2, m) || h > 23 || m > 59)
    return false;
  s.hour = h;
  s.minute = m;
  return true;
}

ScheduleFile ParseScheduleFile(const std::string& text) {
  ScheduleFile file;
  struct Section {
    std::string name;
    Schedule s;
    std::string fault;
    bool hasUrl = false, hasStart = false, hasDate = false;
  };
  std::optional<Section> section;
  bool inHeader = false;
  const auto close = [&] {
    if (!section) return;
    Section& c = *section;
    if (c.fault.empty() && !c.hasUrl) c.fault = "it has no Url=";
    if (c.fault.empty() && !c.hasStart) c.fault = "it has no Start=";
    if (c.fault.empty() && c.s.days == Days::Once && !c.hasDate) c.fault = "it is Once but has no Date=";
    if (c.fault.empty()) c.fault = ScheduleFault(c.s);
    // What the days do not use is not kept: the file written from it would not hold it.
    if (c.s.days != Days::Weekdays) c.s.weekdays = 0;
    if (c.s.days != Days::Once) c.s.date = {};
    if (c.fault.empty() && file.schedules.size() >= kMaxSchedules)
      c.fault = "more than " + std::to_string(kMaxSchedules) + " schedules";
    if (c.fault.empty())
      file.schedules.push_back(c.s);
    else
      file.faults.push_back("[" + c.name + "]: " + c.fault);
    section.reset();
  };
  for (const std::string& raw : base::SplitLines(text)) {
    const std::string line = Trimmed(raw);
    if (line.empty() || line[0] == ';') continue;
    if (line.front() == '[' && line.back() == ']') {
      close();
      const std::string name = line.substr(1, line.size() - 2);
      inHeader = SameWord(name, "Schedules");
      if (!inHeader) section = Section{name, {}, {}};
      continue;
    }
    const std::size_t eq = line.find('=');
    const std::string key = eq == std::string::npos ? "" : Trimmed(line.substr(0, eq));
    const std::string value = eq == std::string::npos ? "" : line.substr(eq + 1);
    if (inHeader && SameWord(key, "Checked")) {
      const std::string v = Trimmed(value);
      if (!v.empty() && v.size() < 18 && std::all_of(v.begin(), v.end(), [](char c) { return c >= '0' && c <= '9'; }))
        file.checked = std::stoll(v);
      continue;
    }
    if (!section) {
      if (!inHeader) file.faults.push_back("a line outside any schedule: " + line.substr(0, 80));
      continue;
    }
    Section& c = *section;
    if (!c.fault.empty()) continue;
    if (SameWord(key, "Name")) {
      c.s.name = Trimmed(value);
    } else if (SameWord(key, "Url")) {
      c.s.url = Trimmed(value);
      c.hasUrl = true;
    } else if (SameWord(key, "Days")) {
      if (!ParseDays(value, c.s)) c.fault = "Days=" + value.substr(0, 80) + " is not Daily, Once or weekdays";
    } else if (SameWord(key, "Date")) {
      const std::optional<Date> d = ParseDate(value);
      if (!d) c.fault = "Date=" + value.substr(0, 80) + " is not a date (YYYY-MM-DD)";
      c.s.date = d.value_or(Date{});
      c.hasDate = true;
    } else if (SameWord(key, "Start")) {
      if (!ParseStart(value, c.s)) c.fault = "Start=" + value.substr(0, 80) + " is not a time (HH:MM)";
      c.hasStart = true;
    } else if (SameWord(key, "Minutes")) {
      int m = 0;
      const std::string v = Trimmed(value);
      if (v.empty() || v.size() > 4 || !Number(v, v.size(), m) || m < 1 || m > kMaxMinutes)
        c.fault = "Minutes=" + value.substr(0, 80) + " is not 1 to 1440";
      c.s.minutes = m;
    } else if (eq == std::string::npos) {
      c.fault = "a line that is no Key=Value: " + line.substr(0, 80);
    }
  }
  close();
  return file;
}

std::string ScheduleFileText(const std::vector<Schedule>& schedules, long long checked) {
  std::vector<std::string> lines;
  if (checked > 0) lines = {"[Schedules]", "Checked=" + std::to_string(checked), ""};
  for (std::size_t i = 0; i < schedules.size(); ++i) {
    const Schedule& s = schedules[i];
    lines.push_back("[Schedule" + std::to_string(i + 1) + "]");
    lines.push_back("Name=" + s.name);
    lines.push_back("Url=" + s.url);
    lines.push_back("Days=" + DaysText(s));
    if (s.days == Days::Once) lines.push_back("Date=" + DateText(s.date));
    lines.push_back("Start=" + StartText(s));
    lines.push_back("Minutes=" + std::to_string(s.minutes));
    if (i + 1 < schedules.size()) lines.push_back("");
  }
  return base::JoinLines(lines);
}

Civil CivilOf(long long seconds) {
  const long long days = seconds >= 0 ? seconds / kDay : -((-seconds + kDay - 1) / kDay);
  const long long rest = seconds - days * kDay;
  return {CivilFromDays(days), int(rest / 3600), int(rest / 60 % 60), int(rest % 60)};
}

long long SecondsOf(const Civil& c) {
  return DaysFromCivil(c.date.year, c.date.month, c.date.day) * kDay + c.hour * 3600 + c.minute * 60 + c.second;
}

Civil LocalOf(const Zone& zone, long long utc) {
  return CivilOf(utc + zone.OffsetAt(utc));
}

long long MomentOf(const Zone& zone, const Civil& local) {
  const long long wall = SecondsOf(local);
  const auto localAt = [&](long long u) { return u + zone.OffsetAt(u); };
  // The offsets a day and a half either side cover any change near this day.
  const long long a = wall - zone.OffsetAt(wall - 3 * kDay / 2), b = wall - zone.OffsetAt(wall + 3 * kDay / 2);
  const bool aHappens = localAt(a) == wall, bHappens = localAt(b) == wall;
  if (aHappens && bHappens) return std::min(a, b);  // the doubled hour: its first pass
  if (aHappens) return a;
  if (bHappens) return b;
  // Skipped: the first moment whose local time is past it, which is the change itself.
  long long lo = std::min(a, b), hi = std::max(a, b);
  while (lo < hi) {
    const long long mid = lo + (hi - lo) / 2;
    if (localAt(mid) >= wall)
      hi = mid;
    else
      lo = mid + 1;
  }
  return lo;
}

int WeekdayOf(const Date& d) {
  const long long days = DaysFromCivil(d.year, d.month, d.day);  // 1970-01-01 was a Thursday
  return int(((days + 3) % 7 + 7) % 7);
}

std::optional<Occurrence> NextOccurrence(const Schedule& s, long long now, const Zone& zone) {
  const auto at = [&](const Date& d) {
    const long long start = MomentOf(zone, Civil{d, s.hour, s.minute, 0});
    return Occurrence{start, start + s.minutes * 60LL};
  };
  if (s.days == Days::Once) {
    if (!ValidDate(s.date)) return std::nullopt;
    const Occurrence o = at(s.date);
    return o.end > now ? std::optional(o) : std::nullopt;
  }
  // From the day before: a start late in the evening may still be under way.
  const Date today = LocalOf(zone, now).date;
  for (int i = -1; i <= 8; ++i) {
    const Date d = AddDays(today, i);
    if (!OnDay(s, d)) continue;
    if (const Occurrence o = at(d); o.end > now) return o;
  }
  return std::nullopt;
}

std::vector<Miss> Missed(const std::vector<Schedule>& schedules, long long from, long long to, const Zone& zone,
                         std::size_t most) {
  std::vector<Miss> missed;
  from = std::max(from, to - 31 * kDay);
  for (std::size_t i = 0; i < schedules.size(); ++i)
    for (auto o = NextOccurrence(schedules[i], from, zone); o && o->start < to && missed.size() < 40 * most;
         o = NextOccurrence(schedules[i], o->end, zone))
      if (o->start >= from && o->end <= to) missed.push_back({i, *o});
  std::stable_sort(missed.begin(), missed.end(),
                   [](const Miss& a, const Miss& b) { return a.when.start < b.when.start; });
  if (missed.size() > most) missed.erase(missed.begin(), missed.end() - std::ptrdiff_t(most));
  return missed;
}

std::string MissText(const Schedule& s, const Zone& zone, long long start) {
  const Civil c = LocalOf(zone, start);
  char when[32];
  std::snprintf(when, sizeof when, " %s %02d:%02d", DateText(c.date).c_str(), c.hour, c.minute);
  return s.name + when;
}

std::optional<long long> NextStart(const std::vector<Schedule>& schedules, long long now, const Zone& zone) {
  std::optional<long long> next;
  for (const Schedule& s : schedules) {
    std::optional<Occurrence> o = NextOccurrence(s, now, zone);
    if (o && o->start <= now) o = NextOccurrence(s, o->end, zone);  // under way: the one after
    if (o && (!next || o->start < *next)) next = o->start;
  }
  return next;
}

std::string TakeName(const std::string& name, const Zone& zone, long long start) {
  const Civil c = LocalOf(zone, start);
  char when[32];
  std::snprintf(when, sizeof when, " %s %02d-%02d", DateText(c.date).c_str(), c.hour, c.minute);
  return name + when;
}

bool FollowsOn(const Schedule& s, long long end, const Schedule& next, const Occurrence& o) {
  return o.start == end && next.url == s.url;
}

std::size_t TakeParts::Current(long long now) {
  while (current_ < parts_.size() && now >= parts_[current_].end + kLateSeconds) {
    ++current_;
    ticks_ = 0;
  }
  return current_;
}

std::size_t TakeParts::Frame(long long ticks, int rate, long long now) {
  if (rate <= 0) return kNone;
  // A new rate (a connection again at another one) counts on in the new one.
  if (rate != rate_) {
    ticks_ = rate_ > 0 ? ticks_ * rate / rate_ : 0;
    rate_ = rate;
  }
  for (;;) {
    if (Current(now) >= parts_.size()) return kNone;
    if (ticks_ < parts_[current_].seconds * rate) break;
    ++current_;
    ticks_ = 0;
  }
  ticks_ += ticks;
  return current_;
}

std::string ScheduleLine(const Schedule& s) {
  std::string days = DaysText(s);
  if (s.days == Days::Once) days = DateText(s.date);
  return StartText(s) + "  " + std::to_string(s.minutes) + " min  " + days + "  " + s.name;
}

}  // namespace schedule
