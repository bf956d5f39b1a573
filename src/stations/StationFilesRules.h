// The station library's files as text: the station group files, the settings file Defaults.ini, the history and the band list. Portable: the
// Win32 side reads and writes the files (TextFile.h) and copies values to the controls.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/LineRules.h"

namespace stations {

// ---- Station groups -------------------------------------------------------------------

struct Preset {
  std::string name;
  std::string url;
  friend bool operator==(const Preset&, const Preset&) = default;
};

constexpr int kPresetsPerGroup = 7;
constexpr int kGroupLineCount = 2 * kPresetsPerGroup;
using PresetGroup = std::array<Preset, kPresetsPerGroup>;

// Groups are numbered 1 to kGroupCount within each band.
constexpr int kGroupCount = 100;

// dir + "\" + band + decimal group + ".dat"; the band is used verbatim, blanks included.
std::string GroupFileName(const std::string& dir, const std::string& band, int group);

// The longest band name: with "100.dat" after it, a file name of 255 bytes.
constexpr std::size_t kMaxBandNameLength = 248;

// Whether the band's group files can be named after it, for every group number: no
// \ / : * ? " < > |, no control character, no dot or blank at its end, at most
// kMaxBandNameLength bytes, and no device name, alone or with a group number after it
// ("COM" with group 1 is the port COM1). An empty name passes: the band file may hold one.
bool IsValidBandName(std::string_view band);

// What the user is told about a band name that cannot be used.
std::string InvalidBandNameMessage(const std::string& band);

class EInvalidBandName : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Line 2k-1 is the name and line 2k the URL of preset k; missing lines read as empty.
PresetGroup ParseGroup(const std::vector<std::string>& lines);
// The 14 lines of a group file.
std::vector<std::string> GroupLines(const PresetGroup& group);
// What a group without a file shows: seven times "none" / "none".
PresetGroup EmptyGroup();

// ---- History --------------------------------------------------------------------------

constexpr int kHistorySlots = 11;
// Slot 1 (index 0) is the newest.
using History = std::array<Preset, kHistorySlots>;

// Every slot "none" / "Empty", as the history is before the settings are read.
History EmptyHistory();
// Moves every entry one slot down (the oldest is lost) and puts the station in slot 1.
// No test for duplicates, "none" or empty texts.
void PushHistory(History& history, const std::string& name, const std::string& url);

// ---- Settings (Defaults.ini) ----------------------------------------------------------

constexpr int kSettingsLineCount = 28;
constexpr const char* kSettingsFileName = "Defaults.ini";
constexpr const char* kDefaultRecordingName = "webfile.wav";
constexpr const char* kDefaultBand = "Ovexia Radio Network";

// A recording path whose file-name part holds a character a file name cannot hold:
// "Invalid file name - %s".
class EInvalidFileName : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// True unless the file-name part (after the last "\", "/" or ":") holds one of
// < > [ ] |. An empty text is a valid (empty) name.
bool IsValidRecordingFileName(std::string_view path);

using FileExistsFn = std::function<bool(const std::string& path)>;

// The recording path that settings line 1 leaves: a refused name raises
// EInvalidFileName; a path naming no existing file becomes dir + "\webfile.wav".
std::string RecordingPathFromSettings(const std::string& line1, const std::string& dir, const FileExistsFn& fileExists);

// Where the values of the settings file go, in the order of its lines. History slots
// are numbered 1 (newest) to 11, like the history window's controls.
class SettingsTarget {
 public:
  virtual ~SettingsTarget() = default;
  virtual void SetRecordingPath(const std::string& path) = 0;
  virtual void SetFormatIndex(int index) = 0;
  virtual void SetDriverIndex(int index) = 0;
  virtual void SetHistoryName(int slot, const std::string& name) = 0;
  virtual void SetHistoryUrl(int slot, const std::string& url) = 0;
  virtual void SetBand(const std::string& band) = 0;
  virtual void SetLeft(int left) = 0;
  virtual void SetTop(int top) = 0;
};

// Lines 2 to 28 (lines[1] .. lines[27]) in order, each only when not empty. Missing
// lines count as empty. The first bad integer (lines 2, 3, 27, 28) raises
// EConvertError, a band (line 26) that cannot name files EInvalidBandName; the lines
// before it stay applied, the ones after it are not.
void ApplySettings(const std::vector<std::string>& lines, SettingsTarget& target);

// The whole reading of the settings file; `lines` is empty (nullopt) when the file does
// not exist. Without a file only the recording path changes (to "webfile.wav"). With one,
// line 1 gives the recording path (a refused name stops here, before anything is
// applied), then ApplySettings.
void ReadSettings(const std::optional<std::vector<std::string>>& lines, const std::string& dir,
                  const FileExistsFn& fileExists, SettingsTarget& target);

struct SettingsValues {
  std::string recordingPath;
  int formatIndex = -1;
  int driverIndex = -1;
  History history = EmptyHistory();
  std::string band = kDefaultBand;
  int left = 0;
  int top = 0;
};

// The 28 lines of Defaults.ini.
std::vector<std::string> SettingsLines(const SettingsValues& values);

// ---- Bands (stationbands.ini) ---------------------------------------------------------

constexpr const char* kBandFileName = "stationbands.ini";

// The 19 names in force while no band file exists, in their sorted order.
const std::vector<std::string>& BuiltInBands();
struct BandFile {
  std::vector<std::string> bands;
  // Names that cannot be bands (IsValidBandName), left out of `bands`.
  std::vector<std::string> refused;
};

// One band per line (SplitLines); the caller's sorted list puts them in order.
BandFile ParseBandFile(std::string_view text);
std::string BandFileText(const std::vector<std::string>& bands);

}  // namespace stations
