#include "recording/Recorder.h"

#include <string>
#include <vector>

#include "playback/WindowsMediaPlayer.h"
#include "recording/CaptureRules.h"
#include "recording/DXClass.h"
#include "recording/OptionsForm.h"
#include "recording/StationCapture.h"
#include "base/Encoding.h"
#include "ui/Dialogs.h"
#include "ui/Synchronize.h"

namespace recording {

namespace {

// How long Exit waits for the last cue sheet, so that what it has to tell comes before
// the goodbye.
constexpr unsigned kExitSheetWaitMs = 500;

}  // namespace

TRecorder::TRecorder(RecorderWindow& window) : window_(window) {}

TRecorder::~TRecorder() {
  FinishOnDestroy();
}

std::unique_ptr<CaptureSource> TRecorder::NewSource() {
  if (makeSource_) return makeSource_();
  const ui::ComboBox& drivers = OptionsForm->DriverBox;
  if (drivers.Text() == kStationSourceName)
    return std::make_unique<TStationCaptureStream>(
        [this](std::shared_ptr<playback::SoundTap> tap) { window_.TapStation(std::move(tap)); });
  const int index = drivers.ItemIndex();
  if (index <= 0) return std::make_unique<TSoundCaptureStream>();
  const TDirectXDrivers& devices = CaptureDrivers();
  return std::make_unique<TSoundCaptureStream>(index < devices.Count() ? devices[index].Guid : nullptr);
}

void TRecorder::FillFormatBox() {
  capture_.reset();
  capture_ = NewSource();
  ui::ComboBox& box = OptionsForm->FormatBox;
  box.Clear();
  std::vector<std::string> lines;
  for (const TSoundCaptureFormat& f : capture_->Formats()) {
    lines.push_back(FormatLine(f));
    box.Add(lines.back());
  }
  box.SetItemIndex(DefaultFormatIndex(lines));
}

void TRecorder::Rec() {
  capture_.reset();
  capture_ = NewSource();
  window_.RecordingPlayer().SetURL("");
  TOptionsForm& options = *OptionsForm;
  if (options.FormatBox.Text().empty() || options.DriverBox.Text().empty() ||
      options.DirectoryEditLogger.Text().empty()) {
    ui::ShowMessage(kOptionsMissingMessage);
    return;
  }
  const int index = options.FormatBox.ItemIndex();
  if (index < 0 || index >= int(capture_->Formats().size()))
    throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
  // The file is kept only once its header is written: a REC that fails (a full disk, a
  // folder that cannot be written) holds no file, and the next REC starts afresh.
  const std::string name = options.DirectoryEditLogger.Text();
  auto file = std::make_unique<TWaveFileStream>(name, FileMode::Create);
  try {
    const TSoundCaptureFormat& f = capture_->Formats()[std::size_t(index)];
    file->SetPCMFormat(f.samplesPerSec, f.bitsPerSample, f.channels);
    file->Open(true);
  } catch (...) {
    file.reset();
    DeleteFileA(name.c_str());  // made just now, and holding no sound
    throw;
  }
  file_ = std::move(file);
  stopPending_ = false;
  lastRefreshMs_ = lastShownMs_ = GetTickCount();
  window_.EnableTransport(false);
  capture_->SetOnData([this](CaptureSource& s) { WriteCapturedData(s); }, this);
  capture_->SetFormatIndex(index);
  try {
    capture_->Start();
  } catch (...) {
    // Nothing was recorded: the file goes, as when it could not be made, and no cue
    // sheet was touched.
    capture_->Stop();
    file_.reset();
    DeleteFileA(name.c_str());
    Stop(false);
    throw;
  }
  cueSheets_.Begin(name, ReadPcmFormat(file_->GetFormat()).avgBytesPerSec);
  NoteTitle(0);
}

void TRecorder::WriteCapturedData(CaptureSource&) {
  if (!file_ || !capture_ || stopPending_) return;
  try {
    WriteAvailable();
  } catch (const ESoundCaptureStreamError& e) {
    // Finished and stopped once this notification is over: stopping joins the worker
    // that waits for this very call.
    StopLater(std::string(e.what()) + " The recording was stopped; everything before this is saved.");
  }
}

void TRecorder::WriteAvailable() {
  const std::int64_t available = capture_->GetAvailable();
  const int blockAlign = ReadPcmFormat(file_->GetFormat()).blockAlign;
  const std::int64_t limit = dataLimit_ >= 0 ? dataLimit_ : file_->DataLimit(blockAlign);
  const std::int64_t writable = WritableBytes(file_->GetDataSize(), available, limit, blockAlign);
  if (writable > 0) file_->CopyFrom(*capture_, writable);
  const std::uint32_t now = GetTickCount();
  if (SizeDisplayDue(lastShownMs_, now)) {
    window_.ShowRecordingSize(int(RoundKilobytes(file_->GetDataSize())));
    lastShownMs_ = now;
  }
  if (HeaderRefreshDue(lastRefreshMs_, now)) {
    file_->RefreshSizes();
    lastRefreshMs_ = now;
  }
  // The file cannot describe more.
  if (writable < available) StopLater(kRecordingFullMessage);
}

void TRecorder::StopLater(const std::string& message) {
  stopPending_ = true;
  ui::Post([this, message] {
    if (!stopPending_ || !file_) return;
    Stop();
    ui::ShowMessage(message);
  });
}

void TRecorder::Stop(bool tellUser) {
  if (capture_ && file_ && capture_->Capturing() && !stopPending_) {
    // The recording reaches up to STOP: what the source holds for it goes in first. A
    // failure here was or will be told by the writes before; the file keeps what it has.
    try {
      capture_->Drain();
      WriteAvailable();
    } catch (const std::exception&) {
    }
  }
  if (capture_) capture_->Stop();
  std::string lost;
  if (file_) {
    if (capture_) lost = LostSoundMessage(capture_->Gaps(), ReadPcmFormat(file_->GetFormat()).avgBytesPerSec);
    std::unique_ptr<TWaveFileStream> file = std::move(file_);
    cueSheets_.End();
    file->Finish();
    window_.ShowRecordingSize(int(RoundKilobytes(file->GetDataSize())));
  }
  stopPending_ = false;
  TWindowsMediaPlayer& player = window_.RecordingPlayer();
  player.controls().stop();
  player.SetURL("");
  window_.EnableTransport(true);
  if (window_.StationText() != "none") window_.SetStationText("none");
  if (tellUser && !lost.empty()) ui::ShowMessage(lost);
}

void TRecorder::NoteTitle(std::int64_t atBytes) {
  // The sheet is ANSI text; titles in another script may share their ANSI form ("????"),
  // so the UTF-8 text goes with it where the ANSI one lost something.
  const std::string ansi = base::AnsiFromUtf8(lastTitle_);
  cueSheets_.Heard(ansi, atBytes, base::Utf8FromAnsi(ansi) == lastTitle_ ? "" : lastTitle_);
}

void TRecorder::TitleHeard(const std::string& utf8) {
  if (utf8 != lastTitle_) {
    lastTitle_ = utf8;
    if (file_ && !stopPending_) NoteTitle(file_->GetDataSize());
  }
  // The sheet's news waits for the end of the recording, and is told from the message
  // loop rather than inside the tick.
  if (file_) return;
  if (std::string report = cueSheets_.TakeReport(); !report.empty())
    ui::Post([report = std::move(report)] { ui::ShowMessage(report); });
}

void TRecorder::Play() {
  window_.SetStationText("File Playback");
  window_.StopStationForFile();
  window_.EnableTransport(false);
  window_.QueueFilePlayback();
}

void TRecorder::StopAndReleaseCapture() {
  Stop();
  capture_.reset();
  // Before the goodbye, as what STOP tells: the sheet is small, and a moment is enough.
  cueSheets_.WaitEnded(kExitSheetWaitMs);
  if (const std::string report = cueSheets_.TakeReport(); !report.empty()) ui::ShowMessage(report);
}

void TRecorder::FinishOnDestroy() {
  if (capture_) capture_->Stop();
  if (file_) {
    cueSheets_.End();
    try {
      file_->Finish();
    } catch (const std::exception&) {
    }
    file_.reset();
  }
}

}  // namespace recording
