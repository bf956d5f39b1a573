#include "recording/CaptureSource.h"

#include <exception>
#include <string>

#include "ui/Application.h"
#include "ui/Synchronize.h"

namespace recording {

// Wakes every 50 ms and hands a notification to the user-interface thread, waiting until
// it has run there. Ends when its event is signalled.
class CaptureNotify {
 public:
  static constexpr DWORD kIntervalMs = 50;

  explicit CaptureNotify(CaptureSource& owner) : owner_(owner) {
    event_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, &ThreadProc, this, CREATE_SUSPENDED, nullptr);
    if (!event_ || !thread_) {
      Close();
      throw ESoundCaptureStreamError("The capture notification cannot be started");
    }
    ResumeThread(thread_);
  }
  // Ends and joins the thread; notifications it has handed over meanwhile still run.
  ~CaptureNotify() {
    SetEvent(event_);
    ui::WaitForThread(thread_);
    Close();
  }

 private:
  static DWORD WINAPI ThreadProc(void* self) {
    static_cast<CaptureNotify*>(self)->Execute();
    return 0;
  }
  void Execute() {
    const std::function<void()> notification = [this] { Notification(); };
    const std::function<void()> look = [this] { owner_.Look(); };
    while (WaitForSingleObject(event_, kIntervalMs) == WAIT_TIMEOUT) {
      look();
      ui::Synchronize(notification, look, kIntervalMs);
    }
  }
  // On the user-interface thread. A handler that fails ends the notifications at once;
  // the capture is stopped and the error shown once this call is over, from the message
  // loop, so that a STOP pressed meanwhile and this stop never overlap and never wait
  // for each other.
  void Notification() {
    try {
      if (owner_.GetAvailable() > 0) owner_.DoData();
    } catch (...) {
      SetEvent(event_);
      std::weak_ptr<int> alive = owner_.alive_;
      CaptureSource* source = &owner_;
      ui::Post([alive, source, failure = std::current_exception()] {
        if (!alive.expired()) source->StopAfterHandlerError();
        ui::App().ReportException(failure);
      });
    }
  }
  void Close() {
    if (thread_) CloseHandle(thread_);
    if (event_) CloseHandle(event_);
    thread_ = event_ = nullptr;
  }

  CaptureSource& owner_;
  HANDLE event_ = nullptr;
  HANDLE thread_ = nullptr;
};

CaptureSource::CaptureSource() = default;

CaptureSource::~CaptureSource() = default;

void CaptureSource::Start() {
  Stop();
  capturing_ = true;
  try {
    if (formatIndex_ < 0 || formatIndex_ >= int(formats_.size()))
      throw std::out_of_range("List index out of bounds (" + std::to_string(formatIndex_) + ")");
    const CaptureFormat& f = formats_[std::size_t(formatIndex_)];
    SetFormatSize(kPcmFormatSize);
    MakePCMFormat(GetFormat(), f.samplesPerSec, f.bitsPerSample, f.channels);
    gaps_.clear();
    StartCapture(f);
    if (onData_) notify_ = std::make_unique<CaptureNotify>(*this);
  } catch (...) {
    Stop();
    throw;
  }
}

void CaptureSource::Stop() {
  if (!capturing_ || stopping_) return;
  // The worker is joined first: a notification it handed over meanwhile still reads
  // from the running capture.
  stopping_ = true;
  notify_.reset();
  stopping_ = false;
  capturing_ = false;
  StopCapture();
}

void CaptureSource::SetOnData(DataEvent handler, const void* owner) {
  if (owner == onDataOwner_ && bool(handler) == bool(onData_)) return;
  const bool had = bool(onData_);
  onData_ = std::move(handler);
  onDataOwner_ = owner;
  if (capturing_ && !had && onData_ && !notify_) notify_ = std::make_unique<CaptureNotify>(*this);
}

void CaptureSource::DoData() {
  if (onData_) onData_(*this);
}

}  // namespace recording
