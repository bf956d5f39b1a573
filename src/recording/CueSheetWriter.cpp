#include "recording/CueSheetWriter.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <deque>
#include <stdexcept>
#include <vector>

#include "base/Lock.h"
#include "base/TextFile.h"
#include "recording/CueSheetRules.h"

namespace recording {

namespace {

using Clock = std::chrono::steady_clock;

// How many other names are tried for a sheet whose name other files hold.
constexpr int kOtherNames = 100;
constexpr std::size_t kNone = std::string::npos;

struct Recording {
  std::string wavePath, waveName;
  std::uint32_t bytesPerSecond = 0;
  CueTracks tracks;
  std::size_t changed = kNone;  // the first track changed since the sheets were written
  bool ended = false;
  bool done = false;  // the sheets were written (or failed) after the end
  std::vector<std::string> paths;  // the worker's own: the name in use of each sheet
  bool Due() const { return changed != kNone || (ended && !done); }
};

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsOwn(const std::string& path, const std::string& waveName) {
  try {
    return IsOwnCueSheet(base::ReadFileStart(path, 1024), waveName);
  } catch (const base::EInOutError&) {
    return false;  // a folder of that name, or a file another program holds
  }
}

// The sheet's name for this recording: the first name that no file holds, or that holds
// a sheet of ours for the same WAVE file (an earlier recording's, whose sound is gone).
std::string FreeName(const std::string& plain, const std::string& waveName) {
  for (int n = 1; n <= kOtherNames; ++n) {
    const std::string candidate = CueSheetOtherPath(plain, n);
    if (!Exists(candidate) || IsOwn(candidate, waveName)) return candidate;
  }
  throw std::runtime_error("The cue sheet " + plain + " was not written: every name for it is taken.");
}

// The further sheets of ours after `first` from `sheet` on, which a recording with fewer
// titles leaves stale.
void RemoveOwnParts(const std::string& first, std::size_t sheet, const std::string& waveName) {
  for (;; ++sheet) {
    const std::string part = CueSheetPartPath(first, sheet);
    if (!Exists(part) || !IsOwn(part, waveName)) return;
    DeleteFileA(part.c_str());
  }
}

}  // namespace

struct CueSheetWriter::Shared {
  base::Mutex mutex;
  base::ConditionVariable wake, idle;
  std::deque<std::shared_ptr<Recording>> recordings;  // oldest first; the last may be running
  std::deque<std::string> reports;
  Clock::time_point lastWrite;
  bool busy = false, quit = false, stopped = false;

  void Run();
  bool EndedAndWritten() const {
    if (busy) return false;
    for (const auto& r : recordings)
      if (r->ended && r->Due()) return false;
    return true;
  }
  // Writes the sheets from firstSheet on (when `rewrite`), and after the end removes what
  // is stale. Returns the failure, if any, and where it leaves the sheets to be written
  // again from.
  static std::string Write(Recording& r, std::size_t firstSheet, const std::vector<CueTrack>& tracks,
                           std::size_t count, bool rewrite, bool ending, std::size_t& failedFrom);
};

CueSheetWriter::CueSheetWriter() : shared_(std::make_shared<Shared>()) {
  // The worker holds the shared state too: after a wait that ran out at the end, it may go
  // on until the process ends.
  worker_ = std::thread([shared = shared_] { shared->Run(); });
}

CueSheetWriter::~CueSheetWriter() {
  {
    std::lock_guard lock(shared_->mutex);
    shared_->quit = true;
  }
  shared_->wake.notify_all();
  bool stopped;
  {
    std::unique_lock lock(shared_->mutex);
    stopped = shared_->idle.wait_for(lock, std::chrono::milliseconds(kEndWaitMs), [this] { return shared_->stopped; });
  }
  if (stopped)
    worker_.join();
  else
    worker_.detach();
}

void CueSheetWriter::Begin(const std::string& wavePath, std::uint32_t bytesPerSecond) {
  auto r = std::make_shared<Recording>();
  r->wavePath = wavePath;
  r->waveName = wavePath.substr(wavePath.find_last_of("\\/") + 1);
  r->bytesPerSecond = bytesPerSecond;
  {
    std::lock_guard lock(shared_->mutex);
    if (!shared_->recordings.empty()) shared_->recordings.back()->ended = true;
    shared_->recordings.push_back(std::move(r));
  }
  shared_->wake.notify_all();
}

void CueSheetWriter::Heard(const std::string& title, std::int64_t atBytes, const std::string& utf8) {
  {
    std::lock_guard lock(shared_->mutex);
    if (shared_->recordings.empty() || shared_->recordings.back()->ended) return;
    Recording& r = *shared_->recordings.back();
    r.changed = std::min(r.changed, r.tracks.Heard(title, atBytes, utf8));
  }
  shared_->wake.notify_all();
}

void CueSheetWriter::End() {
  {
    std::lock_guard lock(shared_->mutex);
    if (!shared_->recordings.empty()) shared_->recordings.back()->ended = true;
  }
  shared_->wake.notify_all();
}

bool CueSheetWriter::WaitEnded(unsigned timeoutMs) {
  std::unique_lock lock(shared_->mutex);
  return shared_->idle.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                [this] { return shared_->EndedAndWritten(); });
}

std::string CueSheetWriter::TakeReport() {
  std::lock_guard lock(shared_->mutex);
  if (shared_->reports.empty()) return "";
  std::string report = std::move(shared_->reports.front());
  shared_->reports.pop_front();
  return report;
}

void CueSheetWriter::Shared::Run() {
  std::unique_lock lock(mutex);
  for (;;) {
    while (recordings.size() > 1 && !recordings.front()->Due()) recordings.pop_front();
    std::shared_ptr<Recording> r;
    for (const auto& each : recordings)
      if (each->Due()) {
        r = each;
        break;
      }
    if (!r) {
      if (quit) break;
      idle.notify_all();
      wake.wait(lock);
      continue;
    }
    const Clock::time_point due = lastWrite + std::chrono::milliseconds(kIntervalMs);
    if (!r->ended && !quit && Clock::now() < due) {
      wake.wait_until(lock, due);
      continue;
    }
    // Only the sheets from the first change on are written again (and copied here).
    const std::vector<CueTrack>& all = r->tracks.Tracks();
    const std::size_t count = all.size();
    const bool rewrite = r->changed != kNone;
    const std::size_t firstSheet = count > 0 ? CueSheetOf(std::min(r->changed, count - 1)) : 0;
    const std::vector<CueTrack> tracks(all.begin() + std::ptrdiff_t(std::min(CueSheetFirstTrack(firstSheet), count)),
                                       all.end());
    const bool ending = r->ended;
    r->changed = kNone;
    busy = true;
    lock.unlock();
    std::size_t failedFrom = kNone;
    const std::string failure = Write(*r, firstSheet, tracks, count, rewrite, ending, failedFrom);
    lock.lock();
    busy = false;
    lastWrite = Clock::now();
    // A sheet that failed is written again with the next title; after the end, its
    // failure is told instead.
    if (!ending) r->changed = std::min(r->changed, failedFrom);
    if (ending) {
      r->done = true;
      if (!failure.empty()) {
        reports.push_back(failure);
      } else if (count > 0 && r->paths[0] != CueSheetPath(r->wavePath)) {
        reports.push_back("The cue sheet of this recording was written as " + r->paths[0] + ", since " +
                          CueSheetPath(r->wavePath) + " is another file, which was left as it is.");
      }
    }
    idle.notify_all();
  }
  stopped = true;
  idle.notify_all();
}

std::string CueSheetWriter::Shared::Write(Recording& r, std::size_t firstSheet, const std::vector<CueTrack>& tracks,
                                          std::size_t count, bool rewrite, bool ending, std::size_t& failedFrom) {
  std::size_t sheet = firstSheet;
  try {
    if (rewrite && count == 0) {
      // The only title was taken back before it had any sound.
      for (const std::string& path : r.paths) DeleteFileA(path.c_str());
      r.paths.clear();
    }
    for (; rewrite && count > 0 && sheet <= CueSheetOf(count - 1); ++sheet) {
      while (r.paths.size() <= sheet) {
        const std::size_t next = r.paths.size();
        r.paths.push_back(FreeName(next == 0 ? CueSheetPath(r.wavePath) : CueSheetPartPath(r.paths[0], next),
                                   r.waveName));
      }
      const std::size_t from = CueSheetFirstTrack(sheet) - CueSheetFirstTrack(firstSheet);
      base::WriteTextFile(r.paths[sheet], CueSheetText(r.waveName, sheet, std::span(tracks).subspan(from),
                                                       r.bytesPerSecond));
    }
    if (!ending) return "";
    if (count > 0) {
      RemoveOwnParts(r.paths[0], CueSheetOf(count - 1) + 1, r.waveName);
      return "";
    }
    // No title: a sheet of ours beside the file describes an earlier recording's sound.
    for (int n = 1; n <= kOtherNames; ++n) {
      const std::string candidate = CueSheetOtherPath(CueSheetPath(r.wavePath), n);
      if (!Exists(candidate)) break;
      if (!IsOwn(candidate, r.waveName)) continue;
      DeleteFileA(candidate.c_str());
      RemoveOwnParts(candidate, 1, r.waveName);
    }
    return "";
  } catch (const std::exception& e) {
    failedFrom = std::min(CueSheetFirstTrack(sheet), count > 0 ? count - 1 : 0);
    return e.what();
  }
}

}  // namespace recording
