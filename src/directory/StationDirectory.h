// The program's side of the public station directory that outlives the Find Station
// dialog: its servers, directory.ini (the servers a user named, the directory's id of
// each preset saved from it, the day each station's play was last counted), and the
// clicks the directory asks for, sent once a day per station on a thread of their own.
// The main window owns it. A directory that is down never touches a preset.
#pragma once

#include <atomic>
#include <deque>
#include <memory>
#include <string>

#include "base/Lock.h"
#include "base/Worker.h"
#include "directory/DirectoryFileRules.h"
#include "directory/DirectoryServers.h"

namespace directory {

class StationDirectory {
 public:
  StationDirectory() = default;
  // Stops the clicks under way (waiting for them a moment at most).
  ~StationDirectory();
  StationDirectory(const StationDirectory&) = delete;
  StationDirectory& operator=(const StationDirectory&) = delete;

  // Reads directory.ini in the program's folder. A file that cannot be read is reported
  // (raises base::EInOutError) and is then never written, so that it keeps what it holds.
  void Load(const std::string& programDirectory);
  // Shared with the threads that use them, which may outlive a dialog or this.
  const std::shared_ptr<DirectoryServers>& Servers() const { return servers_; }

  // A preset now holds this station of the directory (id), or one of the user's own
  // (empty id); written at once.
  void PresetStored(const std::string& band, int group, int preset, const std::string& id, const std::string& url);
  // A station of the directory starts playing: its play is counted once a day.
  void Played(const std::string& id);
  // A preset starts playing: counted when it holds a station saved from the directory.
  void PresetPlayed(const std::string& band, int group, int preset, const std::string& url);

  // The clicks that reached a server, for the tests.
  int ClicksSent() const { return clicks_->sent; }

 private:
  // What the clicks' thread shares with this; the thread may outlive this after Exit.
  struct Clicks {
    explicit Clicks(std::shared_ptr<DirectoryServers> servers) : servers(std::move(servers)) {}
    void Send();
    std::shared_ptr<DirectoryServers> servers;
    base::Mutex mutex;  // guards queue
    std::deque<std::string> queue;
    std::atomic<bool> quitting{false};
    std::atomic<int> sent{0};
  };
  void Save();

  std::string path_;
  bool readable_ = false;
  DirectoryFile file_;
  std::shared_ptr<DirectoryServers> servers_ = std::make_shared<DirectoryServers>();
  std::shared_ptr<Clicks> clicks_ = std::make_shared<Clicks>(servers_);
  base::Worker clicker_;
};

}  // namespace directory
