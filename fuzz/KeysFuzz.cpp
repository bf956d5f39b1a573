// keys.ini, which the user writes, and the sleep timer's typed minutes: both come from
// outside. A last line that switches the global keys off always wins; typed minutes are
// within 1..720 and read back the same when written out.
#include <string>

#include "FuzzInput.h"
#include "keys/MediaKeyRules.h"
#include "nowplaying/SleepTimerRules.h"

namespace {

constexpr std::size_t kMaxInput = 16 * 1024;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInput) return 0;
  fuzz::Input in(data, size);
  const std::string typed(in.Piece('\n'));
  const std::string file(in.Rest());
  keys::ParseKeySettings(file);
  if (file.find('\0') == std::string::npos)
    FUZZ_CHECK(!keys::ParseKeySettings(file + "\r\nGlobalMediaKeys=0\r\n").globalKeys);
  if (const std::optional<int> minutes = nowplaying::ParseSleepMinutes(typed)) {
    FUZZ_CHECK(*minutes >= 1 && *minutes <= 720);
    FUZZ_CHECK(nowplaying::ParseSleepMinutes(std::to_string(*minutes)) == minutes);
  }
  return 0;
}
