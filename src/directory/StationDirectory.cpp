#include "directory/StationDirectory.h"

#include <windows.h>

#include <chrono>
#include <mutex>

#include "base/LocalDate.h"
#include "base/TextFile.h"
#include "directory/SearchRules.h"
#include "directory/ServerRules.h"

namespace directory {

StationDirectory::~StationDirectory() {
  clicks_->quitting = true;
  if (clicker_.Started()) clicker_.Stop(std::chrono::milliseconds(1000));
}

void StationDirectory::Load(const std::string& programDirectory) {
  path_ = programDirectory + "\\" + kDirectoryFileName;
  readable_ = false;
  file_ = {};
  if (const auto text = base::ReadTextFile(path_)) file_ = ParseDirectoryFile(*text);
  readable_ = true;
  servers_->SetNamed(ParseServers(file_.servers));
}

void StationDirectory::Save() {
  if (!readable_ || path_.empty()) return;
  base::WriteTextFile(path_, DirectoryFileText(file_));
}

void StationDirectory::PresetStored(const std::string& band, int group, int preset, const std::string& id,
                                    const std::string& url) {
  const DirectoryFile before = file_;
  KeepPresetStation(file_, band, group, preset, id, url);
  if (file_ != before) Save();
}

void StationDirectory::PresetPlayed(const std::string& band, int group, int preset, const std::string& url) {
  if (const std::optional<std::string> id = PresetStationId(file_, band, group, preset, url)) Played(*id);
}

void StationDirectory::Played(const std::string& id) {
  if (!TakeClick(file_, id, base::TodayText())) return;
  try {
    Save();
  } catch (const std::exception&) {
    // A click that cannot be noted is sent all the same; the file stays as it was.
  }
  {
    std::lock_guard lock(clicks_->mutex);
    clicks_->queue.push_back(id);
  }
  if (!clicker_.Started()) clicker_.Start([clicks = clicks_](bool) { clicks->Send(); });
  clicker_.Wake();
}

// On the clicks' thread: every click waiting, each to one server; a click that no server
// takes is not tried again (the directory only counts it).
void StationDirectory::Clicks::Send() {
  for (;;) {
    std::string id;
    {
      std::lock_guard lock(mutex);
      if (queue.empty()) return;
      id = queue.front();
      queue.pop_front();
    }
    if (quitting) continue;
    const auto answer = servers->Ask(ClickPath(id), [this] { return quitting.load(); });
    if (answer.error.empty()) ++sent;
  }
}

}  // namespace directory
