// What the Find Station dialog needs of the main window: a station played as a preview,
// the band and group it shows, their presets, a preset kept through the station
// editor's own path, and the program's side of the directory. The main window
// implements it.
#pragma once

#include <string>

namespace directory {

class StationDirectory;

class DirectoryWindow {
 public:
  virtual ~DirectoryWindow() = default;

  // Plays the station at once, as a press on a preset does; nothing is saved.
  virtual void PlayPreview(const std::string& name, const std::string& url) = 0;
  virtual std::string ShownBand() = 0;
  virtual int ShownGroup() = 0;
  // Preset 1..7 of the group shown.
  virtual std::string PresetName(int preset) = 0;
  virtual std::string PresetUrl(int preset) = 0;
  // Keeps name and url in preset 1..7 of the group shown and writes the group's file, as
  // the station editor does; raises what that raises.
  virtual void StorePreset(int preset, const std::string& name, const std::string& url) = 0;
  virtual StationDirectory& Directory() = 0;
};

}  // namespace directory
