// The settings file (Defaults.ini) as the program reads it at start-up, and the integer
// rule of its number lines. A damaged line stops the reading with one of the three
// refusals the program reports (a bad number, a refused recording name, a band that
// cannot name files); whatever was read, the settings the program then saves must come
// back the same after they are written out and read again.
#include <cstdlib>
#include <optional>

#include "FuzzInput.h"
#include "stations/StationFilesRules.h"

namespace {

constexpr std::size_t kMaxInput = 16 * 1024;

class Collect : public stations::SettingsTarget {
 public:
  stations::SettingsValues values;
  void SetRecordingPath(const std::string& path) override { values.recordingPath = path; }
  void SetFormatIndex(int index) override { values.formatIndex = index; }
  void SetDriverIndex(int index) override { values.driverIndex = index; }
  void SetHistoryName(int slot, const std::string& name) override { Slot(slot).name = name; }
  void SetHistoryUrl(int slot, const std::string& url) override { Slot(slot).url = url; }
  void SetBand(const std::string& band) override { values.band = band; }
  void SetLeft(int left) override { values.left = left; }
  void SetTop(int top) override { values.top = top; }

 private:
  stations::Preset& Slot(int slot) {
    FUZZ_CHECK(slot >= 1 && slot <= stations::kHistorySlots);
    return values.history[std::size_t(slot - 1)];
  }
};

bool Same(const stations::SettingsValues& a, const stations::SettingsValues& b) {
  return a.recordingPath == b.recordingPath && a.formatIndex == b.formatIndex && a.driverIndex == b.driverIndex &&
         a.history == b.history && a.band == b.band && a.left == b.left && a.top == b.top;
}

// The integer rule, said another way: blanks around an optional sign and decimal digits,
// within 32 bits.
std::optional<long long> ReferenceInteger(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  std::string_view digits = text;
  if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) digits.remove_prefix(1);
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
  while (digits.size() > 1 && digits[0] == '0') digits.remove_prefix(1);
  if (digits.size() > 11) return std::nullopt;
  const long long value = std::atoll(std::string(digits).c_str()) * (text[0] == '-' ? -1 : 1);
  if (value < -2147483648LL || value > 2147483647LL) return std::nullopt;
  return value;
}

void CheckInteger(const std::string& text) {
  const std::optional<long long> expected = ReferenceInteger(text);
  try {
    const int value = base::ParseSettingsInteger(text);
    FUZZ_CHECK(expected && *expected == value);
  } catch (const base::EConvertError&) {
    FUZZ_CHECK(!expected);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInput) return 0;
  fuzz::Input in(data, size);
  const std::vector<std::string> lines = base::SplitLines(in.Rest());
  for (std::size_t i = 0; i < lines.size() && i < 4; ++i) CheckInteger(lines[i]);

  // The file's own paths exist when their first byte is even: both branches are taken.
  const auto exists = [](const std::string& path) { return !path.empty() && path[0] % 2 == 0; };
  // What the controls hold before the file is read: a refused line stops the reading and
  // leaves them so, the lines before it applied.
  Collect first;
  first.values.recordingPath = "C:\\Program\\webfile.wav";
  try {
    stations::ReadSettings(lines, "C:\\Program", exists, first);
  } catch (const base::EConvertError&) {
    // The program reports each refusal, keeps the file in a copy, and starts with what
    // was read; the next Exit writes that, so it must read back whole.
  } catch (const stations::EInvalidFileName&) {
  } catch (const stations::EInvalidBandName&) {
  }
  const std::string text = base::JoinLines(stations::SettingsLines(first.values));
  const std::vector<std::string> again = base::SplitLines(text);
  FUZZ_CHECK(again.size() == std::size_t(stations::kSettingsLineCount));
  Collect second;
  stations::ReadSettings(again, "C:\\Program", [](const std::string&) { return true; }, second);
  FUZZ_CHECK(Same(first.values, second.values));
  return 0;
}
