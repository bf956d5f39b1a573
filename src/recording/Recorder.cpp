#include "recording/Recorder.h"

#include <string>
#include <vector>

#include "playback/WindowsMediaPlayer.h"
#include "recording/CaptureRules.h"
#include "recording/OptionsForm.h"
#include "ui/Dialogs.h"
#include "ui/Synchronize.h"

namespace recording {

TRecorder::TRecorder(RecorderWindow& window) : window_(window) {}

TRecorder::~TRecorder() {
  FinishOnDestroy();
}

void TRecorder::FillFormatBox() {
  capture_.reset();
  capture_ = std::make_unique<TSoundCaptureStream>();
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
  auto capture = std::make_unique<TSoundCaptureStream>();
  capture_ = std::move(capture);
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
  capture_->SetOnData([this](TSoundCaptureStream& s) { WriteCapturedData(s); }, this);
  capture_->SetFormatIndex(index);
  try {
    capture_->Start();
  } catch (...) {
    Stop(false);
    throw;
  }
}

void TRecorder::WriteCapturedData(TSoundCaptureStream&) {
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
  if (capture_) capture_->Stop();
  std::string lost;
  if (file_) {
    if (capture_) lost = LostSoundMessage(capture_->Gaps(), ReadPcmFormat(file_->GetFormat()).avgBytesPerSec);
    std::unique_ptr<TWaveFileStream> file = std::move(file_);
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

void TRecorder::Play() {
  window_.SetStationText("File Playback");
  window_.StopStationForFile();
  window_.EnableTransport(false);
  window_.QueueFilePlayback();
}

void TRecorder::StopAndReleaseCapture() {
  Stop();
  capture_.reset();
}

void TRecorder::FinishOnDestroy() {
  if (capture_) capture_->Stop();
  if (file_) {
    try {
      file_->Finish();
    } catch (const std::exception&) {
    }
    file_.reset();
  }
}

}  // namespace recording
