#include "schedule/ScheduleRules.h"

#include <gtest/gtest.h>

#include "songs/SongNameRules.h"

using namespace schedule;

namespace {

constexpr long long kHour = 3600;

long long Utc(int y, int mo, int d, int h, int mi) {
  return SecondsOf({{y, mo, d}, h, mi, 0});
}

// The last (or n-th) Sunday of a month, as the zones' rules name their change days.
int LastSunday(int y, int m) {
  for (int d = 31;; --d)
    if (ParseDate(DateText({y, m, d})) && WeekdayOf({y, m, d}) == 6) return d;
}
int NthSunday(int y, int m, int n) {
  int d = 1;
  while (WeekdayOf({y, m, d}) != 6) ++d;
  return d + 7 * (n - 1);
}

// Central Europe: +1, and +2 from the last Sunday of March to the last of October (01:00 UTC).
struct Europe : Zone {
  long long OffsetAt(long long utc) const override {
    const int y = CivilOf(utc).date.year;
    const bool summer = utc >= Utc(y, 3, LastSunday(y, 3), 1, 0) && utc < Utc(y, 10, LastSunday(y, 10), 1, 0);
    return (summer ? 2 : 1) * kHour;
  }
};
// New York: -5, and -4 from the second Sunday of March to the first of November (02:00 local).
struct NewYork : Zone {
  long long OffsetAt(long long utc) const override {
    const int y = CivilOf(utc).date.year;
    const bool summer = utc >= Utc(y, 3, NthSunday(y, 3, 2), 7, 0) && utc < Utc(y, 11, NthSunday(y, 11, 1), 6, 0);
    return (summer ? -4 : -5) * kHour;
  }
};

Schedule Daily(int h, int m, int minutes = 60) {
  Schedule s;
  s.name = "Radio";
  s.url = "http://127.0.0.1/tone.mp3";
  s.hour = h;
  s.minute = m;
  s.minutes = minutes;
  return s;
}

std::string Local(const Zone& z, long long utc) {
  const Civil c = LocalOf(z, utc);
  Schedule at;
  at.hour = c.hour;
  at.minute = c.minute;
  return DateText(c.date) + " " + StartText(at);
}

}  // namespace

TEST(ScheduleRules, ADailyStartKeepsItsLocalTimeAcrossBothChangesInBothZones) {
  const Europe europe;
  const NewYork newYork;
  const struct {
    const Zone& zone;
    Date from;
  } cases[] = {{europe, {2026, 3, 27}}, {europe, {2026, 10, 23}}, {newYork, {2026, 3, 6}}, {newYork, {2026, 10, 30}}};
  for (const auto& c : cases) {
    long long now = MomentOf(c.zone, {c.from, 9, 0, 0});
    for (int day = 1; day <= 4; ++day) {
      const auto o = NextOccurrence(Daily(8, 0), now, c.zone);
      ASSERT_TRUE(o);
      const Civil local = LocalOf(c.zone, o->start);
      EXPECT_EQ(8, local.hour) << DateText(local.date);
      EXPECT_EQ(0, local.minute);
      now = o->end;
    }
  }
}

TEST(ScheduleRules, TheSkippedHourStartsAtTheFirstMinuteAfterItAndTheDoubledHourOnce) {
  const Europe europe;
  const NewYork newYork;
  // Spring: 02:30 does not happen; the clock goes from 01:59 to 03:00 (Europe 01:00 UTC).
  EXPECT_EQ(Utc(2026, 3, 29, 1, 0), NextOccurrence(Daily(2, 30), Utc(2026, 3, 28, 12, 0), europe)->start);
  EXPECT_EQ("2026-03-29 03:00", Local(europe, Utc(2026, 3, 29, 1, 0)));
  EXPECT_EQ(Utc(2026, 3, 8, 7, 0), NextOccurrence(Daily(2, 30), Utc(2026, 3, 7, 12, 0), newYork)->start);
  // Autumn: 02:30 happens twice in Europe (00:30 and 01:30 UTC), 01:30 twice in New York.
  const auto first = NextOccurrence(Daily(2, 30, 20), Utc(2026, 10, 24, 12, 0), europe);
  EXPECT_EQ(Utc(2026, 10, 25, 0, 30), first->start);
  // Past the first pass, during the second, the next start is the next day's.
  EXPECT_EQ(Utc(2026, 10, 26, 1, 30), NextOccurrence(Daily(2, 30, 20), Utc(2026, 10, 25, 1, 20), europe)->start);
  EXPECT_EQ(Utc(2026, 11, 1, 5, 30), NextOccurrence(Daily(1, 30, 20), Utc(2026, 10, 31, 12, 0), newYork)->start);
  EXPECT_EQ(Utc(2026, 11, 2, 6, 30), NextOccurrence(Daily(1, 30, 20), Utc(2026, 11, 1, 6, 0), newYork)->start);
}

TEST(ScheduleRules, MidnightTheYearsEndWeekdaysAndOnce) {
  const Europe z;
  // A show that began before midnight is still under way after it.
  const auto late = NextOccurrence(Daily(23, 30, 60), MomentOf(z, {{2026, 12, 10}, 0, 15, 0}), z);
  EXPECT_EQ("2026-12-09 23:30", Local(z, late->start));
  EXPECT_EQ("2026-12-10 00:00", Local(z, NextOccurrence(Daily(0, 0), MomentOf(z, {{2026, 12, 9}, 1, 0, 0}), z)->start));
  Schedule fridays = Daily(20, 0);
  ASSERT_TRUE(ParseDays("fri, Mon", fridays));
  EXPECT_EQ("Mon,Fri", DaysText(fridays));
  const long long newYearsEve = MomentOf(z, {{2026, 12, 31}, 21, 0, 0});  // a Thursday
  EXPECT_EQ("2027-01-01 20:00", Local(z, NextOccurrence(fridays, newYearsEve, z)->start));
  Schedule once = Daily(0, 0);
  once.days = Days::Once;
  once.date = {2027, 1, 1};
  EXPECT_EQ("2027-01-01 00:00", Local(z, NextOccurrence(once, newYearsEve, z)->start));
  EXPECT_FALSE(NextOccurrence(once, MomentOf(z, {{2027, 1, 1}, 1, 0, 0}), z));
  EXPECT_EQ(NextOccurrence(once, newYearsEve, z)->start, NextStart({fridays, once}, newYearsEve, z));
}

TEST(ScheduleRules, StartsMissedWhileTheProgramWasOffAreListedOnceAndOneUnderWayIsNot) {
  const Europe z;
  Schedule once = Daily(10, 0, 30);
  once.days = Days::Once;
  once.date = {2026, 12, 9};
  const std::vector<Schedule> all{Daily(8, 0, 30), once};
  const long long off = MomentOf(z, {{2026, 12, 8}, 7, 0, 0});
  const auto missed = Missed(all, off, MomentOf(z, {{2026, 12, 9}, 10, 10, 0}), z);
  ASSERT_EQ(2u, missed.size());  // the 10:00 once is under way: it records the rest
  EXPECT_EQ("Radio 2026-12-08 08:00", MissText(all[0], z, missed[0].when.start));
  EXPECT_EQ("Radio 2026-12-09 08:00", MissText(all[0], z, missed[1].when.start));
  // Looked at again from where the list ended, nothing is listed twice.
  EXPECT_TRUE(Missed(all, MomentOf(z, {{2026, 12, 9}, 10, 10, 0}), MomentOf(z, {{2026, 12, 9}, 10, 20, 0}), z).empty());
  EXPECT_EQ(20u, Missed(all, off - 40 * 86400, off, z).size());  // the newest ones of a long absence
}

TEST(ScheduleRules, BackToBackSchedulesSplitOneConnectionWithoutLosingAFrame) {
  Schedule other = Daily(9, 0);
  EXPECT_TRUE(FollowsOn(Daily(8, 0), 1000, other, {1000, 4600}));
  EXPECT_FALSE(FollowsOn(Daily(8, 0), 1000, other, {1060, 4600}));
  other.url += "x";
  EXPECT_FALSE(FollowsOn(Daily(8, 0), 1000, other, {1000, 4600}));

  TakeParts parts;
  parts.Add(60, 1060);
  parts.Add(60, 1120);
  long long perPart[2] = {}, lost = 0;
  // A station's burst runs ahead of the clock: the files are full before their ends.
  for (long long frame = 0; frame < 5000; ++frame) {
    const std::size_t to = parts.Frame(1152, 44100, 1000 + frame * 1152 / 44100 / 2);
    if (to == TakeParts::kNone)
      ++lost;
    else
      perPart[to] += 1152;
  }
  EXPECT_NEAR(60.0, double(perPart[0]) / 44100, 0.03);
  EXPECT_NEAR(60.0, double(perPart[1]) / 44100, 0.03);
  EXPECT_EQ(5000 - (perPart[0] + perPart[1]) / 1152, lost);
  EXPECT_TRUE(parts.Done(1070)) << "the last file is full before its time is up";
  // Sound lost to a drop: the file is closed when its time is up, the next one begins.
  TakeParts late;
  late.Add(60, 1060);
  late.Add(60, 1120);
  EXPECT_EQ(0u, late.Frame(1152, 44100, 1000));
  EXPECT_EQ(1u, late.Frame(1152, 44100, 1066));
  EXPECT_TRUE(late.Done(1126));
}

TEST(ScheduleRules, TheFileKeepsGoodSectionsAndReportsDamagedOnes) {
  const std::string text =
      "[Schedules]\r\nChecked=1765000000\r\n"
      "[Schedule1]\r\nName=Jazz FM\r\nUrl=http://x/a.mp3\r\nDays=Mon,Wed\r\nStart=08:05\r\nMinutes=30\r\n"
      "[Schedule2]\nName=Bad\nUrl=http://x\nDays=Someday\nStart=08:00\nMinutes=5\n"
      "[Schedule3]\rName=Once\rUrl=http://y\rDays=Once\rDate=2027-02-30\rStart=08:00\rMinutes=5\r"
      "[Schedule4]\r\nName=NoStart\r\nUrl=http://y\r\nMinutes=5\r\n"
      "[Schedule5]\r\nName=Long\r\nUrl=http://y\r\nStart=7:00\r\nMinutes=1441\r\n"
      "[Schedule6]\r\nName=Late\r\nUrl=http://z\r\nDays=Once\r\nDate=2027-01-01\r\nStart=23:59\r\nMinutes=1440\r\n";
  const ScheduleFile file = ParseScheduleFile(text);
  EXPECT_EQ(1765000000, file.checked);
  ASSERT_EQ(2u, file.schedules.size());
  EXPECT_EQ("Jazz FM", file.schedules[0].name);
  EXPECT_EQ(0b101u, file.schedules[0].weekdays);
  EXPECT_EQ(Days::Once, file.schedules[1].days);
  ASSERT_EQ(4u, file.faults.size());
  EXPECT_EQ("[Schedule2]: Days=Someday is not Daily, Once or weekdays", file.faults[0]);
  // Written and read again, the schedules are the same.
  const ScheduleFile again = ParseScheduleFile(ScheduleFileText(file.schedules, 42));
  EXPECT_EQ(file.schedules, again.schedules);
  EXPECT_EQ(42, again.checked);
  EXPECT_TRUE(again.faults.empty());
}

TEST(ScheduleRules, FileNamesFromAStationsNameAreMadeSafeByTheSongsRules) {
  const Europe z;
  const long long start = MomentOf(z, {{2026, 12, 9}, 8, 5, 0});
  EXPECT_EQ("Jazz FM 2026-12-09 08-05", TakeName("Jazz FM", z, start));
  EXPECT_EQ("C:\\p\\Scheduled\\a_b_ 2026-12-09 08-05.mp3",
            songs::SongPath("C:\\p", kScheduledFolder, TakeName("a/b?", z, start), ".mp3", false));
  EXPECT_EQ("C:\\p\\Scheduled\\x_y 2026-12-09 08-05.aac",
            songs::SongPath("C:\\p", kScheduledFolder, TakeName("x\ry", z, start), ".aac", false));
  EXPECT_EQ("", ScheduleFault(Daily(8, 0)));
  EXPECT_NE("", ScheduleFault(Daily(24, 0)));
}
