#include "recording/Recorder.h"

#include <string>
#include <vector>

#include "app/MainForm.h"
#include "recording/CaptureRules.h"
#include "recording/OptionsForm.h"
#include "ui/Dialogs.h"
#include "ui/Synchronize.h"

namespace recording {

TRecorder::TRecorder(TMainForm& main) : main_(main) {}

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

void TRecorder::EnableButtons(bool on) {
  if (on) {
    main_.VrDemoButtonOptions.SetEnabled(true);
    main_.VrDemoButtonStart.SetEnabled(true);
    main_.VrDemoButtonBurn.SetEnabled(true);
    main_.VrDemoButtonRec.SetEnabled(true);
  } else {
    main_.VrDemoButtonOptions.SetEnabled(false);
    main_.VrDemoButtonRec.SetEnabled(false);
    main_.VrDemoButtonStart.SetEnabled(false);
    main_.VrDemoButtonBurn.SetEnabled(false);
  }
}

void TRecorder::Rec() {
  auto capture = std::make_unique<TSoundCaptureStream>();
  capture_ = std::move(capture);
  main_.PlayerRec.SetURL("");
  TOptionsForm& options = *OptionsForm;
  if (options.FormatBox.Text().empty() || options.DriverBox.Text().empty() ||
      options.DirectoryEditLogger.Text().empty()) {
    ui::ShowMessage(kOptionsMissingMessage);
    return;
  }
  file_ = std::make_unique<TWaveFileStream>(options.DirectoryEditLogger.Text(), FileMode::Create);
  const int index = options.FormatBox.ItemIndex();
  if (index < 0 || index >= int(capture_->Formats().size()))
    throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
  const TSoundCaptureFormat& f = capture_->Formats()[std::size_t(index)];
  file_->SetPCMFormat(f.samplesPerSec, f.bitsPerSample, f.channels);
  file_->Open(true);
  full_ = false;
  lastRefreshMs_ = lastShownMs_ = GetTickCount();
  EnableButtons(false);
  capture_->SetOnData([this](TSoundCaptureStream& s) { WriteCapturedData(s); }, this);
  capture_->SetFormatIndex(index);
  capture_->Start();
}

void TRecorder::WriteCapturedData(TSoundCaptureStream&) {
  if (!file_ || !capture_) return;
  const std::int64_t available = capture_->GetAvailable();
  const int blockAlign = ReadPcmFormat(file_->GetFormat()).blockAlign;
  const std::int64_t limit = dataLimit_ >= 0 ? dataLimit_ : file_->DataLimit(blockAlign);
  const std::int64_t writable = WritableBytes(file_->GetDataSize(), available, limit, blockAlign);
  if (writable > 0) file_->CopyFrom(*capture_, writable);
  const std::uint32_t now = GetTickCount();
  if (SizeDisplayDue(lastShownMs_, now)) {
    main_.VrNumSize.SetValue(int(RoundKilobytes(file_->GetDataSize())));
    lastShownMs_ = now;
  }
  if (HeaderRefreshDue(lastRefreshMs_, now)) {
    file_->RefreshSizes();
    lastRefreshMs_ = now;
  }
  if (writable < available && !full_) {
    // The file cannot describe more. It is finished once this notification is over:
    // stopping joins the worker that waits for this very call.
    full_ = true;
    ui::Post([this] {
      if (!full_ || !file_) return;
      Stop();
      ui::ShowMessage(kRecordingFullMessage);
    });
  }
}

void TRecorder::Stop(bool tellUser) {
  if (capture_) capture_->Stop();
  std::string lost;
  if (file_) {
    if (capture_) lost = LostSoundMessage(capture_->Gaps(), ReadPcmFormat(file_->GetFormat()).avgBytesPerSec);
    std::unique_ptr<TWaveFileStream> file = std::move(file_);
    file->Finish();
    main_.VrNumSize.SetValue(int(RoundKilobytes(file->GetDataSize())));
  }
  full_ = false;
  main_.PlayerRec.controls().stop();
  main_.PlayerRec.SetURL("");
  EnableButtons(true);
  if (main_.LabelStation.Caption() != "none") main_.LabelStation.SetCaption("none");
  if (tellUser && !lost.empty()) ui::ShowMessage(lost);
}

void TRecorder::Play() {
  main_.LabelStation.SetCaption("File Playback");
  main_.LabelStation.SetVisible(true);
  main_.WindowsMediaPlayer.controls().stop();
  main_.monitor_.connecting = false;
  main_.monitor_.stationFault.clear();
  const int position = main_.VrScrollBarPlayer1.Position();
  main_.SetVolume(position != 0 ? position : 1000);
  main_.VrDemoButtonOptions.SetEnabled(false);
  main_.VrDemoButtonStart.SetEnabled(false);
  main_.VrDemoButtonRec.SetEnabled(false);
  main_.VrDemoButtonBurn.SetEnabled(false);
  main_.monitor_.filePlaybackPending = true;
}

void TRecorder::StopAndReleaseCapture() {
  Stop(false);
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
