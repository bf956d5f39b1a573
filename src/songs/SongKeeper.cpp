#include "songs/SongKeeper.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <deque>

#include "base/Lock.h"
#include "base/TextFile.h"
#include "songs/LeftoverRules.h"
#include "songs/SongFile.h"
#include "songs/SongNameRules.h"
#include "songs/StreamPastRules.h"
#include "ui/AnsiText.h"

namespace songs {

namespace {

constexpr unsigned kPassMs = 200;
// The most bytes copied out of the past while the player's lock is held: a few
// milliseconds of the player's time at most, however much a save takes.
constexpr std::size_t kCopyBytes = 256 * 1024;
// How much of a file left behind is looked at to see whether it plays.
constexpr std::size_t kLeftoverHead = 64 * 1024;

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

std::string Today() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  char date[16];
  std::snprintf(date, sizeof date, "%04d-%02d-%02d", t.wYear, t.wMonth, t.wDay);
  return date;
}

std::string StretchNameAt(const std::string& station, const SYSTEMTIME& t) {
  return StretchName(station, t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
}

// Whether the process that wrote a file last at `written` still runs. A process that
// started after that is another one under a number used again; the two seconds allow for
// file systems (FAT) that keep the time of a write in steps of two seconds.
bool OwnerRuns(unsigned long pid, const FILETIME& written) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, pid);
  // A process of another user that the system does not let us look at runs all the same.
  if (!process) return GetLastError() == ERROR_ACCESS_DENIED;
  bool runs = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  FILETIME created, exited, kernel, user;
  if (runs && GetProcessTimes(process, &created, &exited, &kernel, &user)) {
    ULARGE_INTEGER start{{created.dwLowDateTime, created.dwHighDateTime}};
    ULARGE_INTEGER last{{written.dwLowDateTime, written.dwHighDateTime}};
    runs = start.QuadPart <= last.QuadPart + 2 * 10000000ull;
  }
  CloseHandle(process);
  return runs;
}

template <typename Visit>
void ForEachEntry(const std::string& folder, Visit visit) {
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") visit(found);
  } while (FindNextFileA(find, &found));
  FindClose(find);
}

// The player's side: every call only adds to the past, under the past's own lock.
class Feed : public playback::StreamTap {
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

  base::Mutex mutex;
  std::shared_ptr<StreamPast> past;  // the stream that plays or played last
  std::string station;               // the name the next stream is kept under
};

struct Job {
  std::shared_ptr<StreamPast> past;
  long long songId = 0;  // 0: a stretch of time
  double from = 0, to = 0;
  long long next = -1;  // the next frame to take; below 0 until the song's start is known
  bool fromStart = false;
  bool asked = false;    // the user asked for it: kept whatever its length, and reported
  bool dropped = false;  // replaced by a job of the same song
  std::string date;
  std::string name;  // of a stretch: chosen when it was asked for
  // The worker's own from here; `discard` and `report` are what `dropped` and `asked`
  // said when it last looked, under the lock.
  bool discard = false, report = false;
  std::vector<songs::Frame> pending;
  bool done = false;
  Song song;
  std::string folder;  // the songs folder the file was begun in
  std::string partPath;
  std::unique_ptr<SongFileWriter> file;
  double firstAt = -1, lastEnd = 0;  // the stretch of the stream the file holds
  std::string failure;
};

}  // namespace

class SongKeeper::Core {
 public:
  Core() : feed_(std::make_shared<Feed>()) {}

  void Run();
  void Load(const std::string& programDirectory);
  void SetStation(const std::string& name);
  bool Recording() const;
  void SetRecording(bool on);
  std::string Folder() const;
  void SetFolder(const std::string& folder);
  bool Playing() const;
  bool TitlesSent() const;
  bool HasPreviousSong() const;
  std::size_t PastBytes() const;
  void SaveThisSong();
  void SavePreviousSong();
  void SaveLastMinutes();
  void FinishAll();
  bool WaitStopped(unsigned ms);
  std::string TakeFailure();
  std::string TakeNews();
  std::vector<std::string> Written() const;
  bool LeftoversDone() const;

  const std::shared_ptr<Feed> feed_;

 private:
  // One pass: new jobs for Record Songs, frames copied from the past a piece at a time,
  // each written to its file, and the files that are complete finished. Once the past
  // has ended, every file is.
  void Pass();
  void StartRecordedSongs();
  // Copies the job's next frames, within `budget` bytes, into its pending ones and decides
  // whether it is done; true when frames that are due are left for another piece. Both
  // locks held.
  bool Take(Job& job, std::size_t& budget);
  void Write(Job& job, const std::string& folder);
  void Open(Job& job, const std::string& folder);
  void Finish(Job& job);
  void StartSongJob(const std::shared_ptr<StreamPast>& past, long long songId, bool fromStart, bool asked);
  void Failed(const std::string& why);
  void SaveSettings();
  // The songs folder; mutex_ held.
  std::string FolderLocked() const;
  // What runs that ended unexpectedly left in the folder's stations: what plays goes to
  // "incomplete", the rest is deleted; the files of runs that go on stay as they are.
  void KeepLeftovers(const std::string& folder);

  mutable base::Mutex mutex_;
  base::ConditionVariable wake_, stopped_;
  std::string programDirectory_;
  bool loaded_ = false;
  std::string lookedThrough_;  // the songs folder whose leftovers were kept
  SongSettings settings_;
  std::deque<std::unique_ptr<Job>> jobs_;
  long long lastRecordedSong_ = 0;  // Record Songs has taken the songs up to this one
  std::shared_ptr<StreamPast> recordedPast_;
  bool failureReported_ = false;
  std::deque<std::string> failures_, news_;
  std::vector<std::string> written_;
  unsigned long parts_ = 0;
  bool quit_ = false;
  bool stoppedFlag_ = false;
};

SongKeeper::SongKeeper() : core_(std::make_shared<Core>()) {
  // The worker holds the core too: after a wait that ran out at the end, it may go on
  // until the process ends.
  worker_ = std::thread([core = core_] { core->Run(); });
}

SongKeeper::~SongKeeper() {
  core_->FinishAll();
  if (core_->WaitStopped(kEndWaitMs))
    worker_.join();
  else
    worker_.detach();
}

void SongKeeper::Load(const std::string& programDirectory) { core_->Load(programDirectory); }
std::shared_ptr<playback::StreamTap> SongKeeper::Tap() const { return core_->feed_; }
void SongKeeper::SetStation(const std::string& name) { core_->SetStation(name); }
bool SongKeeper::Recording() const { return core_->Recording(); }
void SongKeeper::SetRecording(bool on) { core_->SetRecording(on); }
std::string SongKeeper::Folder() const { return core_->Folder(); }
void SongKeeper::SetFolder(const std::string& folder) { core_->SetFolder(folder); }
bool SongKeeper::Playing() const { return core_->Playing(); }
bool SongKeeper::TitlesSent() const { return core_->TitlesSent(); }
bool SongKeeper::HasPreviousSong() const { return core_->HasPreviousSong(); }
std::size_t SongKeeper::PastBytes() const { return core_->PastBytes(); }
void SongKeeper::SaveThisSong() { core_->SaveThisSong(); }
void SongKeeper::SavePreviousSong() { core_->SavePreviousSong(); }
void SongKeeper::SaveLastMinutes() { core_->SaveLastMinutes(); }
void SongKeeper::FinishAll() { core_->FinishAll(); }
std::string SongKeeper::TakeFailure() { return core_->TakeFailure(); }
std::string SongKeeper::TakeNews() { return core_->TakeNews(); }
std::vector<std::string> SongKeeper::Written() const { return core_->Written(); }
bool SongKeeper::LeftoversDone() const { return core_->LeftoversDone(); }

void SongKeeper::Core::Load(const std::string& programDirectory) {
  {
    std::lock_guard lock(mutex_);
    programDirectory_ = programDirectory;
    loaded_ = true;
    try {
      if (const std::optional<std::string> text = base::ReadTextFile(programDirectory + "\\" + kSettingsFileName))
        settings_ = ParseSongSettings(*text);
    } catch (const base::EInOutError&) {
      settings_ = {};
    }
  }
  wake_.notify_all();
}

void SongKeeper::Core::SetStation(const std::string& name) {
  std::lock_guard lock(feed_->mutex);
  feed_->station = name;
}

bool SongKeeper::Core::Recording() const {
  std::lock_guard lock(mutex_);
  return settings_.record;
}

std::string SongKeeper::Core::Folder() const {
  std::lock_guard lock(mutex_);
  return FolderLocked();
}

std::string SongKeeper::Core::FolderLocked() const {
  return settings_.folder.empty() ? programDirectory_ + "\\Songs" : settings_.folder;
}

bool SongKeeper::Core::LeftoversDone() const {
  std::lock_guard lock(mutex_);
  return loaded_ && lookedThrough_ == FolderLocked();
}

void SongKeeper::Core::SetRecording(bool on) {
  {
    std::lock_guard lock(mutex_);
    if (settings_.record == on) return;
    settings_.record = on;
    if (on) {
      // The song under way is kept from here on, as an incomplete one, unless a file of it
      // is still being written (Record Songs was on a moment ago).
      std::lock_guard past(feed_->mutex);
      recordedPast_ = feed_->past;
      lastRecordedSong_ = 0;
      if (recordedPast_ && recordedPast_->Live() && recordedPast_->TitlesSent()) {
        const Song& song = recordedPast_->Songs().back();
        lastRecordedSong_ = song.id;
        const bool kept = std::any_of(jobs_.begin(), jobs_.end(), [&](const std::unique_ptr<Job>& job) {
          return job->past == recordedPast_ && job->songId == song.id && !job->dropped;
        });
        if (!song.title.empty() && !kept) {
          StartSongJob(recordedPast_, song.id, false, false);
          jobs_.back()->next = recordedPast_->NextIndex();
        }
      }
    }
  }
  SaveSettings();
}

void SongKeeper::Core::SetFolder(const std::string& folder) {
  {
    std::lock_guard lock(mutex_);
    settings_.folder = folder;
    failureReported_ = false;  // a folder chosen anew is told of on its own
  }
  wake_.notify_all();
  SaveSettings();
}

void SongKeeper::Core::SaveSettings() {
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

bool SongKeeper::Core::Playing() const {
  std::lock_guard lock(feed_->mutex);
  return feed_->past && feed_->past->Live();
}

bool SongKeeper::Core::TitlesSent() const {
  std::lock_guard lock(feed_->mutex);
  return feed_->past && feed_->past->TitlesSent();
}

bool SongKeeper::Core::HasPreviousSong() const {
  std::lock_guard lock(feed_->mutex);
  return feed_->past && feed_->past->Songs().size() >= 2;
}

std::size_t SongKeeper::Core::PastBytes() const {
  std::lock_guard lock(feed_->mutex);
  return feed_->past ? feed_->past->BytesKept() : 0;
}

void SongKeeper::Core::StartSongJob(const std::shared_ptr<StreamPast>& past, long long songId, bool fromStart,
                                    bool asked) {
  auto job = std::make_unique<Job>();
  job->past = past;
  job->songId = songId;
  job->fromStart = fromStart;
  job->asked = asked;
  job->date = Today();
  jobs_.push_back(std::move(job));
  wake_.notify_all();
}

void SongKeeper::Core::SaveThisSong() {
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

void SongKeeper::Core::SavePreviousSong() {
  std::lock_guard lock(mutex_);
  std::lock_guard past(feed_->mutex);
  if (!feed_->past || feed_->past->Songs().size() < 2) return;
  const auto& songs = feed_->past->Songs();
  StartSongJob(feed_->past, songs[songs.size() - 2].id, true, true);
}

void SongKeeper::Core::SaveLastMinutes() {
  std::lock_guard lock(mutex_);
  std::lock_guard past(feed_->mutex);
  if (!feed_->past) return;
  StartSongJob(feed_->past, 0, true, true);
  Job& job = *jobs_.back();
  job.to = feed_->past->Now();
  job.from = std::max(feed_->past->Oldest(), job.to - kStretchSeconds);
  SYSTEMTIME t;
  GetLocalTime(&t);
  job.name = StretchNameAt(feed_->past->Station(), t);
}

void SongKeeper::Core::FinishAll() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_all();
}

bool SongKeeper::Core::WaitStopped(unsigned ms) {
  std::unique_lock lock(mutex_);
  return stopped_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stoppedFlag_; });
}

std::string SongKeeper::Core::TakeFailure() {
  std::lock_guard lock(mutex_);
  if (failures_.empty()) return "";
  std::string f = failures_.front();
  failures_.pop_front();
  return f;
}

std::string SongKeeper::Core::TakeNews() {
  std::lock_guard lock(mutex_);
  if (news_.empty()) return "";
  std::string n = news_.front();
  news_.pop_front();
  return n;
}

std::vector<std::string> SongKeeper::Core::Written() const {
  std::lock_guard lock(mutex_);
  return written_;
}

void SongKeeper::Core::Failed(const std::string& why) {
  std::lock_guard lock(mutex_);
  if (failureReported_) return;
  failureReported_ = true;
  failures_.push_back(why);
}

void SongKeeper::Core::Run() {
  for (bool quitting = false; !quitting;) {
    std::string lookThrough;
    {
      std::unique_lock lock(mutex_);
      wake_.wait_for(lock, std::chrono::milliseconds(kPassMs), [this] { return quit_; });
      quitting = quit_;
      if (loaded_ && !quitting && FolderLocked() != lookedThrough_) lookThrough = FolderLocked();
    }
    if (!lookThrough.empty()) {
      KeepLeftovers(lookThrough);
      std::lock_guard lock(mutex_);
      lookedThrough_ = lookThrough;
    }
    if (quitting) {
      std::lock_guard lock(feed_->mutex);
      if (feed_->past) feed_->past->End();
    }
    Pass();
  }
  {
    std::lock_guard lock(mutex_);
    stoppedFlag_ = true;
  }
  stopped_.notify_all();
}

void SongKeeper::Core::StartRecordedSongs() {
  const std::shared_ptr<StreamPast>& current = feed_->past;
  if (!settings_.record || !current) return;
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

bool SongKeeper::Core::Take(Job& job, std::size_t& budget) {
  StreamPast& past = *job.past;
  double limit = job.to + 1e-9;
  const Song* song = nullptr;
  if (job.songId == 0) {
    if (job.next < 0) job.next = past.IndexAt(job.from);
  } else {
    song = past.FindSong(job.songId);
    if (!song) {
      job.done = true;  // forgotten by the past before it began
      return false;
    }
    if (job.next < 0) {
      if (!song->Begun()) {
        job.done = !past.Live();
        return false;
      }
      const double start = song->begin - (song->joined ? 0 : kOverlapSeconds);
      if (start < past.Oldest()) job.fromStart = false;  // its start is no longer kept
      job.next = past.IndexAt(start);
    }
    limit = past.TakeUntil(*song);
    job.song = *song;
  }
  std::vector<songs::Frame> frames = past.FramesFrom(job.next, limit, budget);
  for (songs::Frame& f : frames) {
    budget -= std::min(budget, f.bytes.size());
    job.next = f.index + 1;
    job.pending.push_back(std::move(f));
  }
  // Nothing taken although frames were due: none of them is kept any more.
  if (!frames.empty() && job.next < past.IndexAt(limit)) return true;
  job.done = !song || (song->Ended() && (past.Now() >= limit || !past.Live()));
  return false;
}

void SongKeeper::Core::Pass() {
  for (bool more = true; more;) {
    more = false;
    std::vector<Job*> work;
    std::string folder;
    {
      std::lock_guard lock(mutex_);
      std::lock_guard past(feed_->mutex);
      folder = FolderLocked();
      StartRecordedSongs();
      std::size_t budget = kCopyBytes;
      for (auto& owned : jobs_) {
        Job& job = *owned;
        if (job.dropped)
          job.done = true;
        else if (budget == 0)
          more = true;
        else if (Take(job, budget))
          more = true;
        job.discard = job.dropped;
        job.report = job.asked;
        work.push_back(&job);
      }
    }
    for (Job* job : work) {
      Write(*job, folder);
      if (job->done) Finish(*job);
    }
    std::lock_guard lock(mutex_);
    for (auto it = jobs_.begin(); it != jobs_.end();) it = (*it)->done ? jobs_.erase(it) : std::next(it);
  }
}

void SongKeeper::Core::Open(Job& job, const std::string& folder) {
  const playback::StreamFormat& format = job.past->Format();
  const FileKind kind = FileKindFor(format.codec);
  if (!kind.muxer) {
    job.failure = "Songs of this station cannot be kept: its sound is in " + format.codec;
    return;
  }
  const bool song = job.songId != 0;
  if (song) job.name = job.song.title.empty() ? "Untitled" : job.song.title;
  const std::string station = job.past->Station();
  const std::string planned = SongPath(folder, station, job.name, kind.extension, false, ui::AnsiCodePageShape());
  if (planned.empty()) {
    job.failure = "Songs cannot be kept in " + folder + ": its path is too long";
    return;
  }
  if (const std::string error = MakeFolder(FolderOf(planned)); !error.empty()) {
    job.failure = "Songs cannot be kept in " + FolderOf(planned) + ": " + error;
    return;
  }
  {
    std::lock_guard lock(mutex_);
    job.partPath = planned + PartSuffix(GetCurrentProcessId(), ++parts_);
  }
  job.folder = folder;
  SongTags tags;
  tags.album = Utf8(station);
  tags.date = job.date;
  if (song) {
    const ArtistAndTitle at = SplitArtist(job.song.title);
    tags.title = Utf8(at.title);
    tags.artist = Utf8(at.artist);
  } else {
    tags.title = Utf8(job.name);
  }
  job.file = std::make_unique<SongFileWriter>(Utf8(job.partPath), kind.muxer, format, tags);
}

void SongKeeper::Core::Write(Job& job, const std::string& folder) {
  if (!job.discard && !job.pending.empty() && job.failure.empty()) {
    if (!job.file) Open(job, folder);
    try {
      for (const songs::Frame& f : job.pending) {
        if (!job.failure.empty()) break;
        job.file->Write(f.bytes, std::int64_t(f.seconds * job.past->Format().sampleRate + 0.5));
        if (job.firstAt < 0) job.firstAt = f.at;
        job.lastEnd = f.at + f.seconds;
      }
      if (job.file) job.file->Flush();
    } catch (const SongFileError& e) {
      job.failure = "Songs cannot be kept in " + FolderOf(job.partPath) + ": " + e.what();
    }
    // A file that failed goes at once, not when its song ends.
    if (!job.failure.empty() && job.file) {
      job.file.reset();
      DeleteFileW(Wide(job.partPath).c_str());
    }
  }
  job.pending.clear();
}

void SongKeeper::Core::Finish(Job& job) {
  const auto removePart = [&] {
    job.file.reset();
    if (!job.partPath.empty()) DeleteFileW(Wide(job.partPath).c_str());
  };
  const bool song = job.songId != 0;
  if (!job.failure.empty()) {
    removePart();
    Failed(job.failure);
    return;
  }
  if (job.discard || !job.file ||
      (song && !job.report && SongSecondsIn(job.song, job.firstAt, job.lastEnd) < kShortestSong)) {
    removePart();
    return;
  }
  const bool incomplete = song && (!job.fromStart || job.song.joined || job.song.cutOff);
  const std::string planned =
      SongPath(job.folder, job.past->Station(), job.name, FileKindFor(job.past->Format().codec).extension, incomplete,
               ui::AnsiCodePageShape());
  if (planned.empty()) {
    removePart();
    Failed("Songs cannot be kept in " + job.folder + ": its path is too long");
    return;
  }
  std::string path = planned;
  try {
    if (const std::string error = MakeFolder(FolderOf(planned)); !error.empty()) throw SongFileError(error);
    path = UniquePath(planned, Exists);
    job.file->Finish();
    job.file.reset();
    if (!MoveFileExW(Wide(job.partPath).c_str(), Wide(path).c_str(), MOVEFILE_WRITE_THROUGH))
      throw SongFileError(base::InOutErrorMessage(GetLastError()));
  } catch (const std::exception& e) {
    removePart();
    Failed("The song cannot be kept in " + FolderOf(path) + ": " + e.what());
    return;
  }
  std::lock_guard lock(mutex_);
  failureReported_ = false;
  written_.push_back(path);
  if (job.report) news_.push_back("Saved " + path);
}

void SongKeeper::Core::KeepLeftovers(const std::string& folder) {
  ForEachEntry(folder, [&](const WIN32_FIND_DATAA& station) {
    if (!(station.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    const std::string dir = folder + "\\" + station.cFileName;
    ForEachEntry(dir, [&](const WIN32_FIND_DATAA& file) {
      const Leftover left = ParseLeftoverName(file.cFileName);
      if (left.kind == LeftoverKind::None || (file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
          OwnerRuns(left.owner, file.ftLastWriteTime))
        return;
      const std::string path = dir + "\\" + file.cFileName;
      std::string playable;
      try {
        playable = PlayableStream(base::ReadFileStart(path, kLeftoverHead));
      } catch (const base::EInOutError&) {
        return;  // held by another program: looked at again at the next start
      }
      std::string name, extension;
      if (left.kind == LeftoverKind::Part) {
        const std::size_t dot = left.songFile.find_last_of('.');
        name = left.songFile.substr(0, dot);
        extension = dot == std::string::npos ? "" : left.songFile.substr(dot);
        if (!SameStreamKind(extension, playable)) playable.clear();
      } else if (playable == ".mp3" || playable == ".aac") {
        // The frames of earlier versions do not say whose song they are: named by when.
        FILETIME local;
        SYSTEMTIME t;
        FileTimeToLocalFileTime(&file.ftLastWriteTime, &local);
        FileTimeToSystemTime(&local, &t);
        name = StretchNameAt(station.cFileName, t);
        extension = playable;
      } else {
        playable.clear();
      }
      if (playable.empty()) {
        DeleteFileW(Wide(path).c_str());
        return;
      }
      // A file that plays and cannot be moved now stays where it is for the next start.
      const std::string planned = SongPath(folder, station.cFileName, name, extension, true, ui::AnsiCodePageShape());
      if (!planned.empty() && MakeFolder(FolderOf(planned)).empty())
        MoveFileExW(Wide(path).c_str(), Wide(UniquePath(planned, Exists)).c_str(), MOVEFILE_WRITE_THROUGH);
    });
  });
}

}  // namespace songs
