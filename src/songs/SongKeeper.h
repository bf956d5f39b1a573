// Keeps the songs of the station that plays: its past (fed by the player through
// StreamTap) and the files the user asked for. With Record Songs on, every song is
// written as the station sent it; Save This Song, Save Previous Song and Save Last 10
// Minutes take what the past still holds. A worker thread of its own copies frames out
// of the past, a piece at a time, and writes each file as its frames come, so that
// neither the player nor the window waits on the disk, and the end of the program has
// only the last moments of each file left to write. At its start the worker also keeps
// what a run that ended unexpectedly left in the songs folder (see LeftoverRules.h).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "base/Worker.h"
#include "playback/StreamTap.h"
#include "songs/SongPlanRules.h"

namespace songs {

class SongKeeper {
 public:
  static constexpr const char* kSettingsFileName = "songs.ini";
  // The longest the end of the program waits for the files under way; what is not
  // finished by then is kept by the next start.
  static constexpr unsigned kEndWaitMs = 1000;

  SongKeeper();
  // Finishes every file under way (the song that plays goes to "incomplete"), waiting at
  // most kEndWaitMs.
  ~SongKeeper();
  SongKeeper(const SongKeeper&) = delete;
  SongKeeper& operator=(const SongKeeper&) = delete;

  // Reads songs.ini in the program's folder; a missing or damaged file leaves Record
  // Songs off and the folder "Songs" there.
  void Load(const std::string& programDirectory);
  // What the player hands its frames to.
  std::shared_ptr<playback::StreamTap> Tap() const;
  // The name of the station whose stream connects next.
  void SetStation(const std::string& name);

  bool Recording() const;
  void SetRecording(bool on);
  std::string Folder() const;
  void SetFolder(const std::string& folder);

  // Whether a stream plays, and whether it sent a title (songs can only be told apart
  // then).
  bool Playing() const;
  bool TitlesSent() const;
  bool HasPreviousSong() const;
  // The bytes of the frames that the past of the stream playing (or played last) holds;
  // it grows by design until its half hour or 64 MB are full.
  std::size_t PastBytes() const;
  void SaveThisSong();
  void SavePreviousSong();
  void SaveLastMinutes();
  // The program ends: the stream's past ends here, and the worker finishes every file
  // under way and stops. Returns at once.
  void FinishAll();

  // A failure to report, once each until a file is written again; and news of a file
  // the user asked for. Empty when there is none. UTF-8, as the names of the songs are.
  std::string TakeFailure();
  std::string TakeNews();
  // The paths of the files written so far, in order, in UTF-8 (for a look at what was
  // kept).
  std::vector<std::string> Written() const;
  // Whether the worker has looked through the songs folder chosen last for what an
  // earlier run left.
  bool LeftoversDone() const;

 private:
  class Core;
  std::shared_ptr<Core> core_;
  base::Worker worker_;
};

}  // namespace songs
