// The recorder behind the main window's transport buttons: REC records what the capture
// input hears into the WAVE file named in the options, STOP finishes it (and ends a
// playback of it), PLAY queues the file for the file player. It also fills the options'
// format list from the capture device.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "recording/CueSheetWriter.h"
#include "recording/DXSounds.h"
#include "recording/RecorderWindow.h"
#include "recording/Wave.h"

namespace recording {

inline constexpr const char* kOptionsMissingMessage = "Recording options are missing under 'Options'!";

class TRecorder {
 public:
  explicit TRecorder(RecorderWindow& window);
  ~TRecorder();
  TRecorder(const TRecorder&) = delete;
  TRecorder& operator=(const TRecorder&) = delete;

  // A new source for the device chosen under "Audio Driver" (the playing station for its
  // entry), its formats listed in the options with "44100Hz 16bit Stereo" selected.
  void FillFormatBox();
  void Rec();
  // tellUser: whether lost sound is reported (not while the program exits).
  void Stop(bool tellUser = true);
  void Play();
  // Appends the captured bytes to the file and shows its size.
  void WriteCapturedData(CaptureSource& source);
  // Each tick: the station's title now in UTF-8 (empty: none known), which a recording
  // notes in the cue sheet beside its file; once a recording is over, what its sheet has
  // to tell.
  void TitleHeard(const std::string& utf8);
  // Exit: STOP, telling the user what it tells, then the capture stream goes.
  void StopAndReleaseCapture();
  // The window goes: a running capture stops and the file is finished.
  void FinishOnDestroy();

  CaptureSource* CaptureStream() const { return capture_.get(); }
  TWaveFileStream* RecordFile() const { return file_.get(); }
  // The most sample data a recording may hold; below the 32-bit header's own limit only
  // where a test wants to reach it in seconds. -1: the header's limit.
  void SetDataLimit(std::int64_t bytes) { dataLimit_ = bytes; }
  // Where REC takes its source from: the device chosen in the options, unless a test gives
  // a source of its own (nullptr: the options again).
  using SourceMaker = std::function<std::unique_ptr<CaptureSource>()>;
  void SetSourceMaker(SourceMaker make) { makeSource_ = std::move(make); }

 private:
  void WriteAvailable();
  // The source of the device chosen in the options.
  std::unique_ptr<CaptureSource> NewSource();
  // STOP, and the message, once the notification that calls this is over.
  void StopLater(const std::string& message);
  // The title heard last, into the cue sheet at this point of the recording.
  void NoteTitle(std::int64_t atBytes);

  RecorderWindow& window_;
  std::unique_ptr<CaptureSource> capture_;
  std::unique_ptr<TWaveFileStream> file_;
  std::int64_t dataLimit_ = -1;
  std::uint32_t lastRefreshMs_ = 0;
  std::uint32_t lastShownMs_ = 0;
  bool stopPending_ = false;  // the recording is to be stopped: nothing more is written
  std::string lastTitle_;  // the title heard last, recording or not (UTF-8)
  CueSheetWriter cueSheets_;
  SourceMaker makeSource_;
};

}  // namespace recording
