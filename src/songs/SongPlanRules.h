// What the song keeper plans: which files to write (Record Songs, Save This Song, Save
// Previous Song, Save Last 10 Minutes), which frames of the past each takes and when, and
// what becomes of each file at its end (kept, kept as incomplete, dropped). The keeper's
// thread does what these plans say, under the lock that the player waits for; here they
// are decided from the past alone, whose clock is its frames.
#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "songs/StreamPastRules.h"

namespace songs {

// Songs shorter than this (jingles, idents, adverts with titles) are not kept.
constexpr double kShortestSong = 30;
constexpr double kStretchSeconds = 10 * 60;

struct FilePlan {
  long long id = 0;  // numbers the plans, in the order they were made
  std::shared_ptr<StreamPast> past;
  long long songId = 0;  // 0: a stretch of time
  double from = 0, to = 0;  // the stretch of time; for a song, `from` is set only when it
  bool fromNow = false;     // is kept from a moment on (Record Songs turned on during it)
  long long next = -1;      // the next frame to take; below 0 until the file's start is known
  long long segment = -1;   // the first frame of the segment that the file holds
  bool fromStart = false;
  bool asked = false;    // the user asked for it: kept whatever its length, and reported
  bool dropped = false;  // replaced by a plan of the same song
  bool split = false;    // the stream's format changed before the song ended: the file stops there
  bool done = false;
  Song song;  // the song as it was when frames were last taken
  std::string date, name;  // the day it was asked for; the name of a stretch
};

enum class FileFate { Drop, Keep, KeepIncomplete };

// What a file holds when its plan is done, with what the plan's `dropped` and `asked`
// said when the keeper last looked (they may change under its lock only).
struct FileEnd {
  bool dropped = false, asked = false;
  bool written = false;  // it holds a frame
  double firstAt = 0, lastEnd = 0;
};
FileFate FateOf(const FilePlan& plan, const FileEnd& file);

class SongPlanner {
 public:
  std::deque<std::unique_ptr<FilePlan>>& Plans() { return plans_; }

  // Record Songs: a plan for each titled song of `past` whose start has been decided since
  // the last look.
  void Record(const std::shared_ptr<StreamPast>& past);
  // Record Songs was turned on: the song under way is kept from now on, as an incomplete
  // one, unless a file of it is under way (Record Songs was on a moment ago).
  void RecordFromNow(const std::shared_ptr<StreamPast>& past);
  // The song that plays, from its start; the one before it; the last 10 minutes (the
  // plan made, or null when nothing plays).
  void SaveThisSong(const std::shared_ptr<StreamPast>& past);
  void SavePreviousSong(const std::shared_ptr<StreamPast>& past);
  FilePlan* SaveLastMinutes(const std::shared_ptr<StreamPast>& past);
  // Copies the plan's next frames into `out`, within `budget` bytes (at least one frame),
  // and decides whether the plan is done; true when frames that are due are left for
  // another piece.
  static bool Take(FilePlan& plan, std::size_t& budget, std::vector<Frame>& out);
  // Forgets the plans that are done.
  void Sweep();

 private:
  FilePlan& Add(const std::shared_ptr<StreamPast>& past, long long songId, bool fromStart, bool asked);
  // Where the plan's file begins: the frame at `at` or the nearest one after it, before
  // `before`, that decodes alone, in the segment of the frame `anchor`.
  static void Start(FilePlan& plan, const StreamPast& past, double at, long long anchor, long long before);

  std::deque<std::unique_ptr<FilePlan>> plans_;
  long long nextId_ = 1;
  std::shared_ptr<StreamPast> recordedPast_;
  long long lastRecordedSong_ = 0;  // Record Songs has taken the songs up to this one
};

}  // namespace songs
