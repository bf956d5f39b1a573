// The files of a scheduled recording: the station's frames as it sent them (no decoding,
// no encoding), each schedule into `Scheduled\<name> YYYY-MM-DD HH-MM.<ext>` in the
// program's folder through the songs' frame writer and file-name rules, with the
// recorder's cue sheet of the titles heard beside it. Called on the reader's thread.
#pragma once

#include <memory>
#include <string>

#include "playback/StreamTap.h"
#include "recording/CueSheetWriter.h"
#include "schedule/Scheduler.h"
#include "songs/SongFile.h"

namespace app {

class ScheduledFiles : public playback::StreamTap {
 public:
  ScheduledFiles(std::string programDirectory, std::shared_ptr<schedule::TakePlan> plan);
  ~ScheduledFiles() override;

  void Connected(const playback::StreamFormat& format, bool resumed) override;
  void NewFormat(const playback::StreamFormat& format) override;
  void Frame(const std::uint8_t* data, std::size_t size, std::int64_t ticks) override;
  void Sound(int, const std::int16_t*, std::size_t) override {}
  void Title(const std::string& title) override;
  // The last file is closed, and its sheets written before the scheduler hears of the end.
  void Ended() override;

 private:
  void Open(const std::string& name);
  void Close();
  void NoteTitle();
  void Fail(const std::string& why);
  // What the cue sheets of the files before had to tell.
  void TakeSheetReports();

  const std::string directory_;  // UTF-8
  const std::shared_ptr<schedule::TakePlan> plan_;
  playback::StreamFormat format_;
  std::size_t part_ = schedule::TakeParts::kNone;  // the file open, or the last one
  bool failed_ = false;                            // the current part cannot be written
  std::unique_ptr<songs::SongFileWriter> file_;
  std::int64_t ticks_ = 0, flushedTicks_ = 0;  // of the open file
  std::string title_;                          // UTF-8
  recording::CueSheetWriter cueSheets_;
};

}  // namespace app
