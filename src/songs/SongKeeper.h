// Keeps the songs of the station that plays: its past (fed by the player through
// StreamTap) and the files the user asked for. With Record Songs on, every song is
// written as the station sent it; Save This Song, Save Previous Song and Save Last 10
// Minutes take what the past still holds. A worker thread of its own copies frames out
// of the past and writes the files, so neither the player nor the window waits on disk.
#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "playback/StreamTap.h"
#include "songs/SongNameRules.h"

namespace songs {

class StreamPast;

// Songs shorter than this (jingles, idents, adverts with titles) are not kept.
constexpr double kShortestSong = 30;
constexpr double kStretchSeconds = 10 * 60;

class SongKeeper {
 public:
  static constexpr const char* kSettingsFileName = "songs.ini";

  SongKeeper();
  // Finishes every file under way (the song that plays goes to "incomplete").
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
  void SaveThisSong();
  void SavePreviousSong();
  void SaveLastMinutes();

  // A failure to report, once each until a file is written again; and news of a file
  // the user asked for. Empty when there is none.
  std::string TakeFailure();
  std::string TakeNews();
  // The paths of the files written so far, in order (for a look at what was kept).
  std::vector<std::string> Written() const;

 private:
  struct Job;
  class Feed;
  void Run();
  // One pass: new jobs for Record Songs, frames copied from the past, files finished.
  void Pass(bool finishAll);
  void StartSongJob(const std::shared_ptr<StreamPast>& past, long long songId, bool fromStart, bool asked);
  void Finish(Job& job);
  void Failed(const std::string& why);
  void SaveSettings();
  // The songs folder; mutex_ held.
  std::string FolderLocked() const;

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::shared_ptr<Feed> feed_;
  std::string programDirectory_;
  SongSettings settings_;
  std::deque<std::unique_ptr<Job>> jobs_;
  long long lastRecordedSong_ = 0;  // Record Songs has taken the songs up to this one
  std::shared_ptr<StreamPast> recordedPast_;
  bool failureReported_ = false;
  std::deque<std::string> failures_, news_;
  std::vector<std::string> written_;
  long long spools_ = 0;
  bool quit_ = false;
  std::thread worker_;
};

}  // namespace songs
