#include "songs/SongKeeper.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "base/TextFile.h"
#include "songs/SongFile.h"
#include "songs/StreamPastRules.h"
#include "ui/AnsiText.h"

namespace songs {

namespace {

constexpr unsigned kPassMs = 200;

std::wstring Wide(const std::string& ansi) {
  const int n = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), int(ansi.size()), nullptr, 0);
  std::wstring wide(std::size_t(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), int(ansi.size()), wide.data(), n);
  return wide;
}

std::string Utf8(const std::string& ansi) {
  const std::wstring wide = Wide(ansi);
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(std::size_t(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), int(wide.size()), utf8.data(), n, nullptr, nullptr);
  return utf8;
}

bool Exists(const std::string& path) {
  return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Makes the folder and those above it; the system's message when it cannot.
std::string MakeFolder(const std::string& path) {
  for (std::size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
    CreateDirectoryW(Wide(path.substr(0, at)).c_str(), nullptr);
  if (CreateDirectoryW(Wide(path).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) return "";
  return base::InOutErrorMessage(GetLastError());
}

std::string FolderOf(const std::string& path) {
  return path.substr(0, path.find_last_of('\\'));
}

struct LocalTime {
  int year, month, day, hour, minute, second;
};
LocalTime Now() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

}  // namespace

// The player's side: every call only adds to the past, under the past's own lock.
class SongKeeper::Feed : public playback::StreamTap {
 public:
  void Connected(const playback::StreamFormat& format, bool resumed) override {
    std::lock_guard lock(mutex);
    if (resumed && past && past->Live() && past->Format().codec == format.codec) {
      past->Resumed();
      return;
    }
    if (past) past->End();
    past = std::make_shared<StreamPast>(format, station);
  }
  void Frame(const std::uint8_t* data, std::size_t size, std::int64_t ticks) override {
    std::lock_guard lock(mutex);
    if (past) past->AddFrame(data, size, ticks);
  }
  void Sound(int rate, const std::int16_t* samples, std::size_t count) override {
    std::lock_guard lock(mutex);
    if (past) past->AddSound(rate, samples, count);
  }
  void Title(const std::string& title) override {
    std::lock_guard lock(mutex);
    if (past) past->AddTitle(title);
  }
  void Ended() override {
    std::lock_guard lock(mutex);
    if (past) past->End();
  }

  std::mutex mutex;
  std::shared_ptr<StreamPast> past;  // the stream that plays or played last
  std::string station;               // the name the next stream is kept under
};

struct SongKeeper::Job {
  std::shared_ptr<StreamPast> past;
  long long songId = 0;  // 0: a stretch of time
  double from = 0, to = 0;
  long long next = -1;  // the next frame to take; below 0 until the song's start is known
  bool fromStart = false;
  bool asked = false;    // the user asked for it: kept whatever its length, and reported
  bool dropped = false;  // replaced by a job of the same song
  std::string date;
  // The worker's own from here; `discard` and `report` are what `dropped` and `asked`
  // said when it last looked, under the lock.
  bool discard = false, report = false;
  std::vector<songs::Frame> pending;
  bool done = false;
  Song song;
  std::string spoolPath;
  std::FILE* spool = nullptr;
  std::vector<std::pair<std::uint32_t, std::int64_t>> frames;  // size and length of each spooled
  double seconds = 0;
  std::string failure;
};

SongKeeper::SongKeeper() : feed_(std::make_shared<Feed>()) {
  worker_ = std::thread([this] { Run(); });
}

SongKeeper::~SongKeeper() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_all();
  worker_.join();
  {
    std::lock_guard lock(feed_->mutex);
    if (feed_->past) feed_->past->End();
  }
  Pass(true);
}

void SongKeeper::Load(const std::string& programDirectory) {
  std::lock_guard lock(mutex_);
  programDirectory_ = programDirectory;
  try {
    if (const std::optional<std::string> text = base::ReadTextFile(programDirectory + "\\" + kSettingsFileName))
      settings_ = ParseSongSettings(*text);
  } catch (const base::EInOutError&) {
    settings_ = {};
  }
}

std::shared_ptr<playback::StreamTap> SongKeeper::Tap() const {
  return feed_;
}

void SongKeeper::SetStation(const std::string& name) {
  std::lock_guard lock(feed_->mutex);
  feed_->station = name;
}

bool SongKeeper::Recording() const {
  std::lock_guard lock(mutex_);
  return settings_.record;
}

std::string SongKeeper::Folder() const {
  std::lock_guard lock(mutex_);
  return FolderLocked();
}

std::string SongKeeper::FolderLocked() const {
  return settings_.folder.empty() ? programDirectory_ + "\\Songs" : settings_.folder;
}

void SongKeeper::SetRecording(bool on) {
  {
    std::lock_guard lock(mutex_);
    if (settings_.record == on) return;
    settings_.record = on;
    if (on) {
      // The song under way is kept from here on, as an incomplete one.
      std::lock_guard past(feed_->mutex);
      recordedPast_ = feed_->past;
      lastRecordedSong_ = 0;
      if (recordedPast_ && recordedPast_->Live() && recordedPast_->TitlesSent()) {
        const Song& song = recordedPast_->Songs().back();
        lastRecordedSong_ = song.id;
        if (!song.title.empty()) {
          StartSongJob(recordedPast_, song.id, false, false);
          jobs_.back()->next = recordedPast_->NextIndex();
        }
      }
    }
  }
  SaveSettings();
}

void SongKeeper::SetFolder(const std::string& folder) {
  {
    std::lock_guard lock(mutex_);
    settings_.folder = folder;
    failureReported_ = false;  // a folder chosen anew is told of on its own
  }
  SaveSettings();
}

void SongKeeper::SaveSettings() {
  std::string path, text;
  {
    std::lock_guard lock(mutex_);
    path = programDirectory_ + "\\" + kSettingsFileName;
    text = SongSettingsText(settings_);
  }
  try {
    base::WriteTextFile(path, text);
  } catch (const base::EInOutError& e) {
    Failed(e.what());
  }
}

bool SongKeeper::Playing() const {
  std::lock_guard lock(feed_->mutex);
  return feed_->past && feed_->past->Live();
}

bool SongKeeper::TitlesSent() const {
  std::lock_guard lock(feed_->mutex);
  return feed_->past && feed_->past->TitlesSent();
}

bool SongKeeper::HasPreviousSong() const {
  std::lock_guard lock(feed_->mutex);
  return feed_->past && feed_->past->Songs().size() >= 2;
}

void SongKeeper::StartSongJob(const std::shared_ptr<StreamPast>& past, long long songId, bool fromStart, bool asked) {
  auto job = std::make_unique<Job>();
  job->past = past;
  job->songId = songId;
  job->fromStart = fromStart;
  job->asked = asked;
  const LocalTime t = Now();
  char date[16];
  std::snprintf(date, sizeof date, "%04d-%02d-%02d", t.year, t.month, t.day);
  job->date = date;
  jobs_.push_back(std::move(job));
  wake_.notify_all();
}

void SongKeeper::SaveThisSong() {
  std::lock_guard lock(mutex_);
  std::lock_guard past(feed_->mutex);
  if (!feed_->past || !feed_->past->TitlesSent()) return;
  const long long id = feed_->past->Songs().back().id;
  for (auto& job : jobs_) {
    if (job->past != feed_->past || job->songId != id || job->dropped) continue;
    if (job->fromStart) {
      job->asked = true;  // Record Songs has it from its start already
      return;
    }
    job->dropped = true;
  }
  StartSongJob(feed_->past, id, true, true);
}

void SongKeeper::SavePreviousSong() {
  std::lock_guard lock(mutex_);
  std::lock_guard past(feed_->mutex);
  if (!feed_->past || feed_->past->Songs().size() < 2) return;
  const auto& songs = feed_->past->Songs();
  StartSongJob(feed_->past, songs[songs.size() - 2].id, true, true);
}

void SongKeeper::SaveLastMinutes() {
  std::lock_guard lock(mutex_);
  std::lock_guard past(feed_->mutex);
  if (!feed_->past) return;
  StartSongJob(feed_->past, 0, true, true);
  Job& job = *jobs_.back();
  job.to = feed_->past->Now();
  job.from = std::max(feed_->past->Oldest(), job.to - kStretchSeconds);
}

std::string SongKeeper::TakeFailure() {
  std::lock_guard lock(mutex_);
  if (failures_.empty()) return "";
  std::string f = failures_.front();
  failures_.pop_front();
  return f;
}

std::string SongKeeper::TakeNews() {
  std::lock_guard lock(mutex_);
  if (news_.empty()) return "";
  std::string n = news_.front();
  news_.pop_front();
  return n;
}

std::vector<std::string> SongKeeper::Written() const {
  std::lock_guard lock(mutex_);
  return written_;
}

void SongKeeper::Failed(const std::string& why) {
  std::lock_guard lock(mutex_);
  if (failureReported_) return;
  failureReported_ = true;
  failures_.push_back(why);
}

void SongKeeper::Run() {
  std::unique_lock lock(mutex_);
  while (!quit_) {
    wake_.wait_for(lock, std::chrono::milliseconds(kPassMs));
    if (quit_) break;
    lock.unlock();
    Pass(false);
    lock.lock();
  }
}

void SongKeeper::Pass(bool finishAll) {
  std::vector<Job*> work;
  std::string folder;
  {
    std::lock_guard lock(mutex_);
    std::lock_guard past(feed_->mutex);
    folder = FolderLocked();
    const std::shared_ptr<StreamPast>& current = feed_->past;
    if (settings_.record && current) {
      if (recordedPast_ != current) {
        recordedPast_ = current;
        lastRecordedSong_ = 0;
      }
      for (const Song& song : current->Songs()) {
        if (song.id <= lastRecordedSong_ || !song.Begun()) continue;
        lastRecordedSong_ = song.id;
        if (!song.title.empty()) StartSongJob(current, song.id, !song.joined, false);
      }
    }
    for (auto& owned : jobs_) {
      Job& job = *owned;
      if (job.dropped) {
        job.done = true;
      } else if (job.songId == 0) {
        job.pending = job.past->FramesFrom(job.past->IndexAt(job.from), job.to + 1e-9);
        job.done = true;
      } else if (const Song* song = job.past->FindSong(job.songId)) {
        if (job.next < 0 && song->Begun()) {
          const double start = song->begin - (song->joined ? 0 : kOverlapSeconds);
          if (start < job.past->Oldest()) job.fromStart = false;  // its start is no longer kept
          job.next = job.past->IndexAt(start);
        }
        if (job.next >= 0) {
          const double limit = job.past->TakeUntil(*song);
          std::vector<songs::Frame> frames = job.past->FramesFrom(job.next, limit);
          if (!frames.empty()) job.next = frames.back().index + 1;
          for (auto& f : frames) job.pending.push_back(std::move(f));
          job.song = *song;
          job.done = song->Ended() && (job.past->Now() >= limit || !job.past->Live());
        } else if (!job.past->Live()) {
          job.done = true;
        }
      } else {
        job.done = true;  // forgotten by the past before it began
      }
      if (finishAll) job.done = true;
      job.discard = job.dropped;
      job.report = job.asked;
      work.push_back(&job);
    }
  }
  for (Job* job : work) {
    if (!job->discard && !job->pending.empty() && job->failure.empty()) {
      if (!job->spool) {
        const std::string dir = folder + "\\" + SafeFileName(job->past->Station(), ui::AnsiCodePageShape());
        if (const std::string error = MakeFolder(dir); !error.empty()) {
          job->failure = "Songs cannot be kept in " + dir + ": " + error;
        } else {
          std::lock_guard lock(mutex_);
          job->spoolPath = dir + "\\~song" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++spools_) +
                           ".frames";
        }
        if (job->failure.empty() && !(job->spool = _wfopen(Wide(job->spoolPath).c_str(), L"w+b")))
          job->failure = "Songs cannot be kept in " + dir + ": " + base::InOutErrorMessage(GetLastError());
      }
      for (const songs::Frame& f : job->pending) {
        if (!job->failure.empty()) break;
        if (std::fwrite(f.bytes.data(), 1, f.bytes.size(), job->spool) != f.bytes.size())
          job->failure = "Songs cannot be kept in " + folder + ": the disk is full or cannot be written";
        job->frames.emplace_back(std::uint32_t(f.bytes.size()), std::int64_t(f.seconds * job->past->Format().sampleRate + 0.5));
        job->seconds += f.seconds;
      }
    }
    job->pending.clear();
    if (job->done) Finish(*job);
  }
  std::lock_guard lock(mutex_);
  for (auto it = jobs_.begin(); it != jobs_.end();) it = (*it)->done ? jobs_.erase(it) : std::next(it);
}

void SongKeeper::Finish(Job& job) {
  std::string folder;
  {
    std::lock_guard lock(mutex_);
    folder = FolderLocked();
  }
  const auto removeSpool = [&] {
    if (job.spool) std::fclose(job.spool);
    job.spool = nullptr;
    if (!job.spoolPath.empty()) DeleteFileW(Wide(job.spoolPath).c_str());
  };
  const bool song = job.songId != 0;
  const FileKind kind = FileKindFor(job.past->Format().codec);
  if (!job.failure.empty()) {
    removeSpool();
    Failed(job.failure);
    return;
  }
  if (job.discard || job.frames.empty() || (song && !job.report && job.seconds < kShortestSong)) {
    removeSpool();
    return;
  }
  if (!kind.muxer) {
    removeSpool();
    Failed("Songs of this station cannot be kept: its sound is in " + job.past->Format().codec);
    return;
  }
  const std::string station = job.past->Station();
  std::string name;
  bool incomplete = false;
  if (song) {
    name = job.song.title.empty() ? "Untitled" : job.song.title;
    incomplete = !job.fromStart || job.song.joined || job.song.cutOff;
  } else {
    const LocalTime t = Now();
    name = StretchName(station, t.year, t.month, t.day, t.hour, t.minute, t.second);
  }
  const std::string planned = SongPath(folder, station, name, kind.extension, incomplete, ui::AnsiCodePageShape());
  if (planned.empty()) {
    removeSpool();
    Failed("Songs cannot be kept in " + folder + ": its path is too long");
    return;
  }
  const std::string path = UniquePath(planned, Exists);
  const std::string part = path + ".part";
  if (const std::string error = MakeFolder(FolderOf(path)); !error.empty()) {
    removeSpool();
    Failed("Songs cannot be kept in " + FolderOf(path) + ": " + error);
    return;
  }
  SongTags tags;
  tags.album = Utf8(station);
  tags.date = job.date;
  if (song) {
    const ArtistAndTitle at = SplitArtist(job.song.title);
    tags.title = Utf8(at.title);
    tags.artist = Utf8(at.artist);
    if (job.song.gaps > 0)
      tags.comment = "The stream dropped " + std::to_string(job.song.gaps) +
                     (job.song.gaps == 1 ? " time" : " times") + " during this song; what it missed is not here";
  } else {
    tags.title = Utf8(name);
  }
  std::rewind(job.spool);
  std::size_t at = 0;
  const NextFrame next = [&](std::string& bytes, std::int64_t& ticks) {
    if (at >= job.frames.size()) return false;
    bytes.resize(job.frames[at].first);
    ticks = job.frames[at].second;
    ++at;
    return std::fread(bytes.data(), 1, bytes.size(), job.spool) == bytes.size();
  };
  try {
    if (std::fflush(job.spool) != 0) throw SongFileError("the disk is full or cannot be written");
    WriteSongFile(Utf8(part), kind.muxer, job.past->Format(), tags, next);
    if (!MoveFileExW(Wide(part).c_str(), Wide(path).c_str(), MOVEFILE_WRITE_THROUGH))
      throw SongFileError(base::InOutErrorMessage(GetLastError()));
  } catch (const std::exception& e) {
    DeleteFileW(Wide(part).c_str());
    removeSpool();
    Failed("The song cannot be kept in " + FolderOf(path) + ": " + e.what());
    return;
  }
  removeSpool();
  std::lock_guard lock(mutex_);
  failureReported_ = false;
  written_.push_back(path);
  if (job.report) news_.push_back("Saved " + path);
}

}  // namespace songs
