#include "stations/StationFilesRules.h"

#include "base/PathRules.h"

namespace stations {

std::string GroupFileName(const std::string& dir, const std::string& band, int group) {
  return dir + "\\" + band + std::to_string(group) + ".dat";
}

bool IsValidBandName(std::string_view band) {
  if (band.size() > kMaxBandNameLength) return false;
  for (const char c : band) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) return false;
  }
  if (!band.empty() && (band.back() == '.' || band.back() == ' ')) return false;
  if (base::IsReservedDeviceName(band)) return false;
  for (int group = 1; group <= kGroupCount; ++group)
    if (base::IsReservedDeviceName(std::string(band) + std::to_string(group))) return false;
  return true;
}

std::string InvalidBandNameMessage(const std::string& band) {
  return "\"" + band +
         "\" cannot be the name of a station band: its station files are named after it. A band name holds none of "
         "\\ / : * ? \" < > |, does not end in a dot or a blank, and is not a device name such as CON, NUL, COM or "
         "LPT.";
}

namespace {

const std::string& LineAt(const std::vector<std::string>& lines, std::size_t index) {
  static const std::string empty;
  return index < lines.size() ? lines[index] : empty;
}

}  // namespace

PresetGroup ParseGroup(const std::vector<std::string>& lines) {
  PresetGroup group;
  for (std::size_t k = 0; k < group.size(); ++k) group[k] = {LineAt(lines, 2 * k), LineAt(lines, 2 * k + 1)};
  return group;
}

std::vector<std::string> GroupLines(const PresetGroup& group) {
  std::vector<std::string> lines;
  for (const Preset& p : group) {
    lines.push_back(p.name);
    lines.push_back(p.url);
  }
  return lines;
}

PresetGroup EmptyGroup() {
  PresetGroup group;
  group.fill({"none", "none"});
  return group;
}

History EmptyHistory() {
  History history;
  history.fill({"none", "Empty"});
  return history;
}

void PushHistory(History& history, const std::string& name, const std::string& url) {
  for (std::size_t k = history.size() - 1; k > 0; --k) history[k] = history[k - 1];
  history[0] = {name, url};
}

bool IsValidRecordingFileName(std::string_view path) {
  const std::size_t sep = path.find_last_of("\\/:");
  const std::string_view name = sep == std::string_view::npos ? path : path.substr(sep + 1);
  return name.find_first_of("<>[]|") == std::string_view::npos;
}

std::string RecordingPathFromSettings(const std::string& line1, const std::string& dir,
                                      const FileExistsFn& fileExists) {
  if (!IsValidRecordingFileName(line1)) throw EInvalidFileName("Invalid file name - " + line1);
  if (line1.empty() || !fileExists(line1)) return dir + "\\" + kDefaultRecordingName;
  return line1;
}

void ApplySettings(const std::vector<std::string>& lines, SettingsTarget& target) {
  for (std::size_t i = 1; i < kSettingsLineCount; ++i) {
    const std::string& line = LineAt(lines, i);
    if (line.empty()) continue;
    const int lineNumber = int(i) + 1;
    if (lineNumber == 2) {
      target.SetFormatIndex(base::ParseSettingsInteger(line));
    } else if (lineNumber == 3) {
      target.SetDriverIndex(base::ParseSettingsInteger(line));
    } else if (lineNumber <= 25) {
      const int slot = (lineNumber - 4) / 2 + 1;
      if (lineNumber % 2 == 0)
        target.SetHistoryName(slot, line);
      else
        target.SetHistoryUrl(slot, line);
    } else if (lineNumber == 26) {
      if (!IsValidBandName(line)) throw EInvalidBandName(InvalidBandNameMessage(line));
      target.SetBand(line);
    } else if (lineNumber == 27) {
      target.SetLeft(base::ParseSettingsInteger(line));
    } else {
      target.SetTop(base::ParseSettingsInteger(line));
    }
  }
}

void ReadSettings(const std::optional<std::vector<std::string>>& lines, const std::string& dir,
                  const FileExistsFn& fileExists, SettingsTarget& target) {
  if (!lines) {
    target.SetRecordingPath(kDefaultRecordingName);
    return;
  }
  target.SetRecordingPath(RecordingPathFromSettings(LineAt(*lines, 0), dir, fileExists));
  ApplySettings(*lines, target);
}

std::vector<std::string> SettingsLines(const SettingsValues& values) {
  std::vector<std::string> lines{values.recordingPath, std::to_string(values.formatIndex),
                                 std::to_string(values.driverIndex)};
  for (const Preset& p : values.history) {
    lines.push_back(p.name);
    lines.push_back(p.url);
  }
  lines.push_back(values.band);
  lines.push_back(std::to_string(values.left));
  lines.push_back(std::to_string(values.top));
  return lines;
}

const std::vector<std::string>& BuiltInBands() {
  static const std::vector<std::string> bands{"Alternative",
                                              "Blues-Jazz",
                                              "Christian",
                                              "Classical",
                                              "Country",
                                              "Dance-Techno",
                                              "Folk",
                                              "Heavy Metal",
                                              "News",
                                              "Oldies",
                                              "Others - Favorites",
                                              "Others - New",
                                              "Ovexia Radio Network",
                                              "Police",
                                              "Pop-Rock",
                                              "Reggae",
                                              "Sport",
                                              "Talk",
                                              "Top 40"};
  return bands;
}

BandFile ParseBandFile(std::string_view text) {
  BandFile file;
  for (std::string& line : base::SplitLines(text)) (IsValidBandName(line) ? file.bands : file.refused).push_back(line);
  return file;
}

std::string BandFileText(const std::vector<std::string>& bands) {
  return base::JoinLines(bands);
}

}  // namespace stations
