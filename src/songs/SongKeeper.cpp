#include "songs/SongKeeper.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <map>

#include "base/LocalDate.h"
#include "base/Lock.h"
#include "base/TextFile.h"
#include "songs/LeftoverRules.h"
#include "songs/SongFile.h"
#include "songs/SongNameRules.h"
#include "songs/StreamPastRules.h"
#include "base/Encoding.h"

namespace songs {

namespace {

constexpr unsigned kPassMs = 200;
// The most bytes copied out of the past while the player's lock is held: a few
// milliseconds of the player's time at most, however much a save takes.
constexpr std::size_t kCopyBytes = 256 * 1024;
// How much of a file left behind is looked at to see whether it plays.
constexpr std::size_t kLeftoverHead = 64 * 1024;

// The keeper's paths and messages are UTF-8: a title in any script names its file.
std::string SystemMessage(DWORD error) {
  return base::Utf8FromAnsi(base::InOutErrorMessage(error));
}

bool Exists(const std::string& path) {
  return GetFileAttributesW(base::WideFromUtf8(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Makes the folder and those above it; the system's message when it cannot.
std::string MakeFolder(const std::string& path) {
  for (std::size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
    CreateDirectoryW(base::WideFromUtf8(path.substr(0, at)).c_str(), nullptr);
  if (CreateDirectoryW(base::WideFromUtf8(path).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) return "";
  return SystemMessage(GetLastError());
}

std::string FolderOf(const std::string& path) {
  return path.substr(0, path.find_last_of('\\'));
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

// Calls visit(name in UTF-8, what the system found) for each entry of the folder.
template <typename Visit>
void ForEachEntry(const std::string& folder, Visit visit) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(base::WideFromUtf8(folder + "\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = base::Utf8FromWide(found.cFileName);
    if (name != "." && name != "..") visit(name, found);
  } while (FindNextFileW(find, &found));
  FindClose(find);
}

// The player's side: every call only adds to the past, under the past's own lock.
class Feed : public playback::StreamTap {
 public:
  void Connected(const playback::StreamFormat& format, bool resumed) override {
    std::lock_guard lock(mutex);
    if (resumed && past && past->Live()) {
      // The same stream again, perhaps in another format: its past goes on.
      if (!StreamPast::SameFormat(past->Format(), format)) past->NewSegment(format);
      past->Resumed();
      return;
    }
    if (past) past->End();
    past = std::make_shared<StreamPast>(format, station);
  }
  void NewFormat(const playback::StreamFormat& format) override {
    std::lock_guard lock(mutex);
    if (past) past->NewSegment(format);
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
  std::string station;               // the name the next stream is kept under (UTF-8)
};

// The file a song is written into while it plays (a ".part" beside where it goes), owned
// so that it is always closed, and removed unless it was kept: a failure, a file dropped
// and the keeper's end leave nothing half-written behind. Only a program that ends before
// its owner does leaves one, for the next start to keep (LeftoverRules.h).
class SongSpool {
 public:
  SongSpool(std::string partPath, const char* muxer, const playback::StreamFormat& format, const SongTags& tags)
      : partPath_(std::move(partPath)), writer_(std::make_unique<SongFileWriter>(partPath_, muxer, format, tags)) {}
  ~SongSpool() {
    writer_.reset();
    if (!kept_) DeleteFileW(base::WideFromUtf8(partPath_).c_str());
  }
  SongSpool(const SongSpool&) = delete;
  SongSpool& operator=(const SongSpool&) = delete;

  const std::string& PartPath() const { return partPath_; }
  SongFileWriter& Writer() { return *writer_; }
  // Finishes the file and moves it to `path`; raises SongFileError.
  void KeepAs(const std::string& path) {
    writer_->Finish();
    writer_.reset();
    if (!MoveFileExW(base::WideFromUtf8(partPath_).c_str(), base::WideFromUtf8(path).c_str(), MOVEFILE_WRITE_THROUGH))
      throw SongFileError(SystemMessage(GetLastError()));
    kept_ = true;
  }

 private:
  std::string partPath_;
  std::unique_ptr<SongFileWriter> writer_;
  bool kept_ = false;
};

// The worker's own part of a plan: `discard` and `report` are what the plan's `dropped` and
// `asked` said when it last looked, under the lock.
struct Work {
  bool discard = false, report = false;
  std::vector<songs::Frame> pending;
  playback::StreamFormat format;  // of the segment the file holds
  std::string folder;             // the songs folder the file was begun in
  std::unique_ptr<SongSpool> spool;
  double firstAt = -1, lastEnd = 0;  // the stretch of the stream the file holds
  std::string failure;
};

}  // namespace

class SongKeeper::Core {
 public:
  Core() : feed_(std::make_shared<Feed>()) {}

  // The worker's turn: the songs folder looked through once it is known, then a pass;
  // the last one ends the stream's past first, so that every file is finished.
  void Turn(bool last);
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
  std::string TakeFailure();
  std::string TakeNews();
  std::vector<std::string> Written() const;
  bool LeftoversDone() const;

  const std::shared_ptr<Feed> feed_;

 private:
  // One pass: new plans for Record Songs, frames copied from the past a piece at a time,
  // each written to its file, and the files that are complete finished. Once the past
  // has ended, every file is.
  void Pass();
  void Write(const FilePlan& plan, Work& work, const std::string& folder);
  void Open(const FilePlan& plan, Work& work, const std::string& folder);
  void Finish(const FilePlan& plan, Work& work);
  // The plans just made are dated; mutex_ held. Whoever asked for them wakes the worker.
  void Planned();
  void Failed(const std::string& why);
  void SaveSettings();
  // The songs folder; mutex_ held.
  std::string FolderLocked() const;
  // What runs that ended unexpectedly left in the folder's stations: what plays goes to
  // "incomplete", the rest is deleted; the files of runs that go on stay as they are.
  void KeepLeftovers(const std::string& folder);

  mutable base::Mutex mutex_;
  std::string programDirectory_;
  bool loaded_ = false;
  std::string lookedThrough_;  // the songs folder whose leftovers were kept
  SongSettings settings_;
  SongPlanner planner_;
  std::map<long long, Work> work_;  // by plan, the worker's alone
  bool failureReported_ = false;
  std::deque<std::string> failures_, news_;
  std::vector<std::string> written_;
  unsigned long parts_ = 0;
};

SongKeeper::SongKeeper() : core_(std::make_shared<Core>()) {
  // The worker holds the core too: after a wait that ran out at the end, it may go on
  // until the process ends.
  worker_.Start([core = core_](bool last) { core->Turn(last); }, std::chrono::milliseconds(kPassMs));
}

SongKeeper::~SongKeeper() {
  worker_.Stop(std::chrono::milliseconds(kEndWaitMs));
}

void SongKeeper::Load(const std::string& programDirectory) {
  core_->Load(programDirectory);
  worker_.Wake();
}
std::shared_ptr<playback::StreamTap> SongKeeper::Tap() const { return core_->feed_; }
void SongKeeper::SetStation(const std::string& name) { core_->SetStation(name); }
bool SongKeeper::Recording() const { return core_->Recording(); }
void SongKeeper::SetRecording(bool on) {
  core_->SetRecording(on);
  worker_.Wake();
}
std::string SongKeeper::Folder() const { return core_->Folder(); }
void SongKeeper::SetFolder(const std::string& folder) {
  core_->SetFolder(folder);
  worker_.Wake();
}
bool SongKeeper::Playing() const { return core_->Playing(); }
bool SongKeeper::TitlesSent() const { return core_->TitlesSent(); }
bool SongKeeper::HasPreviousSong() const { return core_->HasPreviousSong(); }
std::size_t SongKeeper::PastBytes() const { return core_->PastBytes(); }
void SongKeeper::SaveThisSong() {
  core_->SaveThisSong();
  worker_.Wake();
}
void SongKeeper::SavePreviousSong() {
  core_->SavePreviousSong();
  worker_.Wake();
}
void SongKeeper::SaveLastMinutes() {
  core_->SaveLastMinutes();
  worker_.Wake();
}
void SongKeeper::FinishAll() { worker_.Quit(); }
std::string SongKeeper::TakeFailure() { return core_->TakeFailure(); }
std::string SongKeeper::TakeNews() { return core_->TakeNews(); }
std::vector<std::string> SongKeeper::Written() const { return core_->Written(); }
bool SongKeeper::LeftoversDone() const { return core_->LeftoversDone(); }

void SongKeeper::Core::Load(const std::string& programDirectory) {
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

void SongKeeper::Core::SetStation(const std::string& name) {
  std::lock_guard lock(feed_->mutex);
  feed_->station = base::Utf8FromAnsi(name);
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
      std::lock_guard past(feed_->mutex);
      planner_.RecordFromNow(feed_->past);
      Planned();
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
    Failed(base::Utf8FromAnsi(e.what()));
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

void SongKeeper::Core::Planned() {
  for (auto& plan : planner_.Plans())
    if (plan->date.empty()) plan->date = base::TodayText();
}

void SongKeeper::Core::SaveThisSong() {
  std::lock_guard lock(mutex_);
  std::lock_guard past(feed_->mutex);
  planner_.SaveThisSong(feed_->past);
  Planned();
}

void SongKeeper::Core::SavePreviousSong() {
  std::lock_guard lock(mutex_);
  std::lock_guard past(feed_->mutex);
  planner_.SavePreviousSong(feed_->past);
  Planned();
}

void SongKeeper::Core::SaveLastMinutes() {
  std::lock_guard lock(mutex_);
  std::lock_guard past(feed_->mutex);
  if (FilePlan* plan = planner_.SaveLastMinutes(feed_->past)) {
    SYSTEMTIME t;
    GetLocalTime(&t);
    plan->name = StretchNameAt(feed_->past->Station(), t);
  }
  Planned();
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

void SongKeeper::Core::Turn(bool last) {
  std::string lookThrough;
  {
    std::lock_guard lock(mutex_);
    if (loaded_ && !last && FolderLocked() != lookedThrough_) lookThrough = FolderLocked();
  }
  if (!lookThrough.empty()) {
    KeepLeftovers(base::Utf8FromAnsi(lookThrough));
    std::lock_guard lock(mutex_);
    lookedThrough_ = lookThrough;
  }
  if (last) {
    std::lock_guard lock(feed_->mutex);
    if (feed_->past) feed_->past->End();
  }
  Pass();
}

void SongKeeper::Core::Pass() {
  for (bool more = true; more;) {
    more = false;
    std::vector<std::pair<const FilePlan*, Work*>> due;
    std::string folder;
    {
      std::lock_guard lock(mutex_);
      std::lock_guard past(feed_->mutex);
      folder = base::Utf8FromAnsi(FolderLocked());
      if (settings_.record) {
        planner_.Record(feed_->past);
        Planned();
      }
      std::size_t budget = kCopyBytes;
      for (auto& owned : planner_.Plans()) {
        FilePlan& plan = *owned;
        Work& work = work_[plan.id];
        if (plan.dropped)
          plan.done = true;
        else if (budget == 0)
          more = true;
        else if (SongPlanner::Take(plan, budget, work.pending))
          more = true;
        if (work.format.codec.empty() && plan.segment >= 0) work.format = plan.past->SegmentOf(plan.segment).format;
        work.discard = plan.dropped;
        work.report = plan.asked;
        due.emplace_back(&plan, &work);
      }
    }
    for (auto [plan, work] : due) {
      Write(*plan, *work, folder);
      if (plan->done) {
        Finish(*plan, *work);
        work_.erase(plan->id);
      }
    }
    std::lock_guard lock(mutex_);
    planner_.Sweep();
  }
}

void SongKeeper::Core::Open(const FilePlan& plan, Work& work, const std::string& folder) {
  const playback::StreamFormat& format = work.format;
  const FileKind kind = FileKindFor(format.codec);
  if (!kind.muxer) {
    work.failure = "Songs of this station cannot be kept: its sound is in " + format.codec;
    return;
  }
  const bool song = plan.songId != 0;
  const std::string name = song ? (plan.song.title.empty() ? "Untitled" : plan.song.title) : plan.name;
  const std::string station = plan.past->Station();
  const std::string planned = SongPath(folder, station, name, kind.extension, false);
  if (planned.empty()) {
    work.failure = "Songs cannot be kept in " + folder + ": its path is too long";
    return;
  }
  if (const std::string error = MakeFolder(FolderOf(planned)); !error.empty()) {
    work.failure = "Songs cannot be kept in " + FolderOf(planned) + ": " + error;
    return;
  }
  std::string partPath;
  {
    std::lock_guard lock(mutex_);
    partPath = planned + PartSuffix(GetCurrentProcessId(), ++parts_);
  }
  work.folder = folder;
  SongTags tags;
  tags.album = station;
  tags.date = plan.date;
  if (song) {
    const ArtistAndTitle at = SplitArtist(plan.song.title);
    tags.title = at.title;
    tags.artist = at.artist;
  } else {
    tags.title = name;
  }
  work.spool = std::make_unique<SongSpool>(partPath, kind.muxer, format, tags);
}

void SongKeeper::Core::Write(const FilePlan& plan, Work& work, const std::string& folder) {
  if (!work.discard && !work.pending.empty() && work.failure.empty()) {
    if (!work.spool) Open(plan, work, folder);
    try {
      for (const songs::Frame& f : work.pending) {
        if (!work.failure.empty()) break;
        work.spool->Writer().Write(f.bytes, std::int64_t(f.seconds * work.format.sampleRate + 0.5));
        if (work.firstAt < 0) work.firstAt = f.at;
        work.lastEnd = f.at + f.seconds;
      }
      if (work.spool) work.spool->Writer().Flush();
    } catch (const SongFileError& e) {
      work.failure = "Songs cannot be kept in " + FolderOf(work.spool->PartPath()) + ": " + e.what();
    }
    // A file that failed goes at once, not when its song ends.
    if (!work.failure.empty()) work.spool.reset();
  }
  work.pending.clear();
}

void SongKeeper::Core::Finish(const FilePlan& plan, Work& work) {
  if (!work.failure.empty()) {
    work.spool.reset();
    Failed(work.failure);
    return;
  }
  const FileFate fate = FateOf(plan, {work.discard, work.report, work.spool != nullptr, work.firstAt, work.lastEnd});
  if (fate == FileFate::Drop) {
    work.spool.reset();
    return;
  }
  const std::string name = plan.songId ? (plan.song.title.empty() ? "Untitled" : plan.song.title) : plan.name;
  const std::string planned = SongPath(work.folder, plan.past->Station(), name, FileKindFor(work.format.codec).extension,
                                       fate == FileFate::KeepIncomplete);
  if (planned.empty()) {
    work.spool.reset();
    Failed("Songs cannot be kept in " + work.folder + ": its path is too long");
    return;
  }
  std::string path = planned;
  try {
    if (const std::string error = MakeFolder(FolderOf(planned)); !error.empty()) throw SongFileError(error);
    path = UniquePath(planned, Exists);
    work.spool->KeepAs(path);
    work.spool.reset();
  } catch (const std::exception& e) {
    work.spool.reset();
    Failed("The song cannot be kept in " + FolderOf(path) + ": " + e.what());
    return;
  }
  std::lock_guard lock(mutex_);
  failureReported_ = false;
  written_.push_back(path);
  if (work.report) news_.push_back("Saved " + path);
}

void SongKeeper::Core::KeepLeftovers(const std::string& folder) {
  ForEachEntry(folder, [&](const std::string& station, const WIN32_FIND_DATAW& found) {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    const std::string dir = folder + "\\" + station;
    ForEachEntry(dir, [&](const std::string& fileName, const WIN32_FIND_DATAW& file) {
      const Leftover left = ParseLeftoverName(fileName);
      if (left.kind == LeftoverKind::None || (file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
          OwnerRuns(left.owner, file.ftLastWriteTime))
        return;
      const std::string path = dir + "\\" + fileName;
      std::string playable;
      try {
        playable = PlayableStream(base::ReadFileStartUtf8(path, kLeftoverHead));
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
        name = StretchNameAt(station, t);
        extension = playable;
      } else {
        playable.clear();
      }
      if (playable.empty()) {
        DeleteFileW(base::WideFromUtf8(path).c_str());
        return;
      }
      // A file that plays and cannot be moved now stays where it is for the next start.
      const std::string planned = SongPath(folder, station, name, extension, true);
      if (!planned.empty() && MakeFolder(FolderOf(planned)).empty())
        MoveFileExW(base::WideFromUtf8(path).c_str(), base::WideFromUtf8(UniquePath(planned, Exists)).c_str(), MOVEFILE_WRITE_THROUGH);
    });
  });
}

}  // namespace songs
