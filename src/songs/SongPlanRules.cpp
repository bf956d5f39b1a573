#include "songs/SongPlanRules.h"

#include <algorithm>

namespace songs {

FileFate FateOf(const FilePlan& plan, const FileEnd& file) {
  const bool song = plan.songId != 0;
  if (file.dropped || !file.written) return FileFate::Drop;
  if (song && !file.asked && SongSecondsIn(plan.song, file.firstAt, file.lastEnd) < kShortestSong)
    return FileFate::Drop;
  const bool incomplete = song && (!plan.fromStart || plan.song.joined || plan.song.cutOff || plan.split);
  return incomplete ? FileFate::KeepIncomplete : FileFate::Keep;
}

FilePlan& SongPlanner::Add(const std::shared_ptr<StreamPast>& past, long long songId, bool fromStart, bool asked) {
  auto plan = std::make_unique<FilePlan>();
  plan->id = nextId_++;
  plan->past = past;
  plan->songId = songId;
  plan->fromStart = fromStart;
  plan->asked = asked;
  plans_.push_back(std::move(plan));
  return *plans_.back();
}

void SongPlanner::Record(const std::shared_ptr<StreamPast>& past) {
  if (!past) return;
  if (recordedPast_ != past) {
    recordedPast_ = past;
    lastRecordedSong_ = 0;
  }
  for (const Song& song : past->Songs()) {
    if (song.id <= lastRecordedSong_ || !song.Begun()) continue;
    lastRecordedSong_ = song.id;
    if (!song.title.empty()) Add(past, song.id, !song.joined, false);
  }
}

void SongPlanner::RecordFromNow(const std::shared_ptr<StreamPast>& past) {
  recordedPast_ = past;
  lastRecordedSong_ = 0;
  if (!past || !past->Live() || !past->TitlesSent()) return;
  const Song& song = past->Songs().back();
  lastRecordedSong_ = song.id;
  const bool kept = std::any_of(plans_.begin(), plans_.end(), [&](const std::unique_ptr<FilePlan>& plan) {
    return plan->past == past && plan->songId == song.id && !plan->dropped;
  });
  if (song.title.empty() || kept) return;
  FilePlan& plan = Add(past, song.id, false, false);
  plan.fromNow = true;
  plan.from = past->Now();
}

void SongPlanner::SaveThisSong(const std::shared_ptr<StreamPast>& past) {
  if (!past || !past->TitlesSent()) return;
  const long long id = past->Songs().back().id;
  for (auto& plan : plans_) {
    if (plan->past != past || plan->songId != id || plan->dropped) continue;
    if (plan->fromStart) {
      plan->asked = true;  // Record Songs has it from its start already
      return;
    }
    plan->dropped = true;
  }
  Add(past, id, true, true);
}

void SongPlanner::SavePreviousSong(const std::shared_ptr<StreamPast>& past) {
  if (!past || past->Songs().size() < 2) return;
  const auto& songs = past->Songs();
  Add(past, songs[songs.size() - 2].id, true, true);
}

FilePlan* SongPlanner::SaveLastMinutes(const std::shared_ptr<StreamPast>& past) {
  if (!past) return nullptr;
  FilePlan& plan = Add(past, 0, true, true);
  plan.to = past->Now();
  plan.from = std::max(past->Oldest(), plan.to - kStretchSeconds);
  return &plan;
}

void SongPlanner::Start(FilePlan& plan, const StreamPast& past, double at, long long anchor, long long before) {
  plan.segment = past.SegmentOf(anchor).first;
  const long long first = std::max(past.IndexAt(at), plan.segment);
  plan.next = past.DecodableFrom(first, before);
}

bool SongPlanner::Take(FilePlan& plan, std::size_t& budget, std::vector<Frame>& out) {
  StreamPast& past = *plan.past;
  double limit = plan.to + 1e-9;
  const Song* song = nullptr;
  if (plan.songId == 0) {
    // The last minutes of the format that plays now.
    if (plan.next < 0)
      Start(plan, past, plan.from, std::max(past.IndexAt(plan.to) - 1, past.IndexAt(plan.from)),
            past.IndexAt(plan.from + kOverlapSeconds));
  } else {
    song = past.FindSong(plan.songId);
    if (!song) {
      plan.done = true;  // forgotten by the past before it began
      return false;
    }
    plan.song = *song;
    if (plan.next < 0) {
      if (!song->Begun()) {
        plan.done = !past.Live();
        return false;
      }
      double start = song->begin - (song->joined ? 0 : kOverlapSeconds);
      if (plan.fromNow) start = std::max(start, plan.from);
      if (start < past.Oldest()) plan.fromStart = false;  // its start is no longer kept
      // A song's start moves only within the overlap before it; one without that
      // overlap (joined, or kept from a moment on) may lose a moment of itself.
      const long long begin = past.IndexAt(song->begin);
      const bool overlap = !song->joined && !plan.fromNow;
      Start(plan, past, start, begin, overlap ? begin : past.IndexAt(start + kOverlapSeconds));
    }
    limit = past.TakeUntil(*song);
  }
  const long long segmentEnd = past.SegmentEnd(plan.segment);
  std::vector<Frame> frames = past.FramesFrom(plan.next, limit, budget);
  for (Frame& f : frames) {
    if (f.index >= segmentEnd) break;
    budget -= std::min(budget, f.bytes.size());
    plan.next = f.index + 1;
    out.push_back(std::move(f));
  }
  const long long due = std::min(past.IndexAt(limit), segmentEnd);
  // Nothing taken although frames were due: none of them is kept any more.
  if (!frames.empty() && plan.next < due) return true;
  if (segmentEnd < past.NextIndex() && plan.next >= segmentEnd) {
    // The stream went on in another format: the file ends with its segment, and the song
    // is whole only when it ended there too.
    plan.done = true;
    const double changed = past.SegmentOf(segmentEnd).at;
    plan.split = song && (!song->Ended() || song->end > changed + 1e-9);
    return false;
  }
  plan.done = !song || (song->Ended() && (past.Now() >= limit || !past.Live()));
  return false;
}

void SongPlanner::Sweep() {
  plans_.erase(std::remove_if(plans_.begin(), plans_.end(), [](const auto& plan) { return plan->done; }),
               plans_.end());
}

}  // namespace songs
