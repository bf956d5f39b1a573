// The station library's other files: a station group file, the band list, and the
// history lines of the settings file. Whatever a file holds, what the program writes
// back must read as the same values.
#include "FuzzInput.h"
#include "stations/StationFilesRules.h"

namespace {

constexpr std::size_t kMaxInput = 16 * 1024;

class HistoryOnly : public stations::SettingsTarget {
 public:
  stations::History history = stations::EmptyHistory();
  void SetRecordingPath(const std::string&) override {}
  void SetFormatIndex(int) override {}
  void SetDriverIndex(int) override {}
  void SetHistoryName(int slot, const std::string& name) override { Slot(slot).name = name; }
  void SetHistoryUrl(int slot, const std::string& url) override { Slot(slot).url = url; }
  void SetBand(const std::string&) override {}
  void SetLeft(int) override {}
  void SetTop(int) override {}

 private:
  stations::Preset& Slot(int slot) {
    FUZZ_CHECK(slot >= 1 && slot <= stations::kHistorySlots);
    return history[std::size_t(slot - 1)];
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInput) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> lines = base::SplitLines(text);
  for (const std::string& line : lines) FUZZ_CHECK(line.find_first_of(std::string("\r\n\0", 3)) == std::string::npos);

  // A station group file.
  const stations::PresetGroup group = stations::ParseGroup(lines);
  const std::string groupText = base::JoinLines(stations::GroupLines(group));
  FUZZ_CHECK(stations::ParseGroup(base::SplitLines(groupText)) == group);

  // The band list: every band kept can name its files, and reads back the same.
  const std::vector<std::string> bands = stations::ParseBandFile(text).bands;
  for (const std::string& band : bands) FUZZ_CHECK(stations::IsValidBandName(band));
  const stations::BandFile again = stations::ParseBandFile(stations::BandFileText(bands));
  FUZZ_CHECK(again.bands == bands && again.refused.empty());
  (void)stations::GroupFileName("C:\\Program", bands.empty() ? "" : bands.front(), int(size));

  // The history: lines 4 to 25 of the settings; the integer lines are left empty.
  std::vector<std::string> settings(3);
  settings.insert(settings.end(), lines.begin(), lines.begin() + std::min<std::size_t>(lines.size(), 22));
  HistoryOnly read;
  stations::ApplySettings(settings, read);
  stations::History pushed = read.history;
  stations::PushHistory(pushed, group[0].name, group[0].url);
  FUZZ_CHECK(pushed[0] == group[0]);
  for (std::size_t k = 1; k < pushed.size(); ++k) FUZZ_CHECK(pushed[k] == read.history[k - 1]);
  return 0;
}
