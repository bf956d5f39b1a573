// The scheduled recordings' file (schedule.ini), read at start-up, which the user may
// edit by hand: every schedule kept is whole, comes back the same once written out and
// read again, and starts at its own local time (in a zone without changes), its length
// later.
#include "FuzzInput.h"
#include "schedule/ScheduleRules.h"

namespace {

constexpr std::size_t kMaxInput = 16 * 1024;

struct FixedZone : schedule::Zone {
  long long offset;
  explicit FixedZone(long long o) : offset(o) {}
  long long OffsetAt(long long) const override { return offset; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInput) return 0;
  fuzz::Input in(data, size);
  // A moment from 1970 to about 2106, and an offset of up to 14 hours either side.
  const long long now = in.Long();
  const FixedZone zone((long long)(in.Word() % (28 * 4 + 1)) * 900 - 14 * 3600);
  const schedule::ScheduleFile file = schedule::ParseScheduleFile(std::string(in.Rest()));
  FUZZ_CHECK(file.schedules.size() <= schedule::kMaxSchedules);
  for (const schedule::Schedule& s : file.schedules) {
    FUZZ_CHECK(schedule::ScheduleFault(s).empty());
    const auto o = schedule::NextOccurrence(s, now, zone);
    if (!o) continue;
    const schedule::Civil local = schedule::LocalOf(zone, o->start);
    FUZZ_CHECK(local.hour == s.hour && local.minute == s.minute && o->end > now);
    FUZZ_CHECK(o->end - o->start == s.minutes * 60LL);
  }
  const schedule::ScheduleFile again =
      schedule::ParseScheduleFile(schedule::ScheduleFileText(file.schedules, file.checked));
  FUZZ_CHECK(again.schedules == file.schedules && again.faults.empty() && again.checked == file.checked);
  return 0;
}
