#include "app/ScheduledFiles.h"

#include <windows.h>

#include "base/Encoding.h"
#include "songs/SongNameRules.h"

namespace app {

namespace {

// The file is handed to the system this often, so that a recording cut short plays.
constexpr std::int64_t kFlushSeconds = 2;

bool Exists(const std::string& path) {
  return GetFileAttributesW(base::WideFromUtf8(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

ScheduledFiles::ScheduledFiles(std::string programDirectory, std::shared_ptr<schedule::TakePlan> plan)
    : directory_(base::Utf8FromAnsi(programDirectory)), plan_(std::move(plan)) {}

ScheduledFiles::~ScheduledFiles() {
  Close();
}

void ScheduledFiles::Connected(const playback::StreamFormat& format, bool resumed) {
  // The same format again after a drop goes on in the same file; another one needs a file
  // with its own headers.
  const bool same = resumed && format.codec == format_.codec && format.sampleRate == format_.sampleRate &&
                    format.channels == format_.channels && format.headers == format_.headers;
  if (!same) NewFormat(format);
}

void ScheduledFiles::NewFormat(const playback::StreamFormat& format) {
  Close();
  format_ = format;
}

void ScheduledFiles::Frame(const std::uint8_t* data, std::size_t size, std::int64_t ticks) {
  std::string name;
  const std::size_t part = plan_->Frame(ticks, format_.sampleRate, name);
  if (part == schedule::TakeParts::kNone) {
    Close();
    return;
  }
  if (part != part_) {
    Close();
    part_ = part;
    failed_ = false;
  }
  if (failed_) return;
  try {
    if (!file_) Open(name);
    file_->Write(std::string(reinterpret_cast<const char*>(data), size), ticks);
    ticks_ += ticks;
    if (ticks_ - flushedTicks_ >= kFlushSeconds * format_.sampleRate) {
      file_->Flush();
      flushedTicks_ = ticks_;
    }
  } catch (const std::exception& e) {
    Fail(e.what());
  }
}

void ScheduledFiles::Open(const std::string& name) {
  const songs::FileKind kind = songs::FileKindFor(format_.codec);
  if (!kind.muxer) throw songs::SongFileError("the station's " + format_.codec + " frames cannot be kept as sent");
  const std::string planned =
      songs::SongPath(directory_, schedule::kScheduledFolder, base::Utf8FromAnsi(name), kind.extension, false);
  if (planned.empty()) throw songs::SongFileError("the program's folder leaves no room for a file name");
  const std::string folder = directory_ + "\\" + schedule::kScheduledFolder;
  if (!CreateDirectoryW(base::WideFromUtf8(folder).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
    throw songs::SongFileError("the folder " + folder + " cannot be made");
  const std::string path = songs::UniquePath(planned, Exists);
  const songs::ArtistAndTitle tags = songs::SplitArtist(title_);
  file_ = std::make_unique<songs::SongFileWriter>(
      path, kind.muxer, format_,
      songs::SongTags{base::Utf8FromAnsi(name), tags.artist, base::Utf8FromAnsi(plan_->Station()), ""});
  ticks_ = flushedTicks_ = 0;
  TakeSheetReports();
  // The cue sheet counts in samples: its "bytes" are the frames' ticks at their rate.
  cueSheets_.Begin(base::AnsiFromUtf8(path), std::uint32_t(format_.sampleRate));
  NoteTitle();
}

void ScheduledFiles::Close() {
  if (!file_) return;
  try {
    if (file_->Started()) file_->Finish();
  } catch (const std::exception& e) {
    Fail(e.what());
  }
  file_.reset();
  cueSheets_.End();
}

void ScheduledFiles::Ended() {
  Close();
  cueSheets_.WaitEnded(recording::CueSheetWriter::kEndWaitMs);
  TakeSheetReports();
}

void ScheduledFiles::TakeSheetReports() {
  for (std::string report = cueSheets_.TakeReport(); !report.empty(); report = cueSheets_.TakeReport())
    plan_->Fail(report);
}

void ScheduledFiles::Title(const std::string& title) {
  if (title == title_) return;
  title_ = title;
  if (file_) NoteTitle();
}

void ScheduledFiles::NoteTitle() {
  // As the recorder's sheet: ANSI, with the UTF-8 text where the ANSI one lost something.
  const std::string ansi = base::AnsiFromUtf8(title_);
  cueSheets_.Heard(ansi, ticks_, base::Utf8FromAnsi(ansi) == title_ ? "" : title_);
}

void ScheduledFiles::Fail(const std::string& why) {
  failed_ = true;
  plan_->Fail("The scheduled recording of " + plan_->Station() + " cannot be written: " + base::AnsiFromUtf8(why));
  file_.reset();
  cueSheets_.End();
}

}  // namespace app
