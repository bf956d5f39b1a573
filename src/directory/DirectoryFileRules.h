// directory.ini beside the settings: the servers a user named, the directory's id of
// each preset that was saved from it, and the day each station's last play was counted
// by the directory. Lines it does not know are left out; nothing in it fails. Portable.
//
//   [Directory]
//   Servers=https://de1.api.radio-browser.info http://127.0.0.1:8400
//   [Presets]
//   Preset=<band>|<group>|<preset>|<station id>|<stream address>
//   [Clicks]
//   Click=<station id>|<YYYY-MM-DD>
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace directory {

inline constexpr const char* kDirectoryFileName = "directory.ini";

struct PresetStation {
  std::string band;
  int group = 0, preset = 0;  // 1..100, 1..7
  std::string id, url;
  bool operator==(const PresetStation&) const = default;
};

struct DirectoryFile {
  std::string servers;  // the Servers= value as written (ParseServers reads it)
  std::vector<PresetStation> presets;
  std::map<std::string, std::string> clicks;  // station id -> the day its play was last counted
  bool operator==(const DirectoryFile&) const = default;
};

DirectoryFile ParseDirectoryFile(std::string_view text);
std::string DirectoryFileText(const DirectoryFile& file);

// The preset now holds a station of the directory (id valid) or, with an empty id, one
// of its own: what the preset held before is forgotten.
void KeepPresetStation(DirectoryFile& file, const std::string& band, int group, int preset, const std::string& id,
                       const std::string& url);
// The directory's id of the station in that preset, while the preset still plays the
// address that was saved there (an edited preset is the user's own).
std::optional<std::string> PresetStationId(const DirectoryFile& file, const std::string& band, int group, int preset,
                                           const std::string& url);

// A preset named "none" (the name of an empty one), or with neither name nor address.
bool PresetEmpty(std::string_view name, std::string_view url);

// Whether a play of the station is to be counted today ("YYYY-MM-DD"): true once a day
// per station, which is then noted; the notes of other days go.
bool TakeClick(DirectoryFile& file, const std::string& id, const std::string& today);

}  // namespace directory
