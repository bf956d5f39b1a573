// A source of sound to record, as a readable stream of PCM bytes in one of its formats:
// the sound card's capture input (TSoundCaptureStream) or the playing station itself
// (TStationCaptureStream). While it captures, a worker tells the owner every 50 ms, on
// the user-interface thread, that captured sound waits; a source keeps where sound was
// lost because it was not read in time.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include "recording/CaptureRules.h"
#include "recording/WaveRules.h"

namespace recording {

class ESoundCaptureStreamError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

using TSoundCaptureFormat = CaptureFormat;
class CaptureNotify;

class CaptureSource : public TCustomWaveStream2 {
 public:
  using DataEvent = std::function<void(CaptureSource&)>;

  CaptureSource();
  ~CaptureSource() override;
  CaptureSource(const CaptureSource&) = delete;
  CaptureSource& operator=(const CaptureSource&) = delete;

  const std::vector<TSoundCaptureFormat>& Formats() const { return formats_; }
  int FormatIndex() const { return formatIndex_; }
  void SetFormatIndex(int index) { formatIndex_ = index; }
  // Captures in Formats()[FormatIndex()]; a running capture is stopped first.
  void Start();
  // Harmless when not capturing.
  void Stop();
  bool Capturing() const { return capturing_; }

  // The handler is told on the user-interface thread when captured sound waits. `owner`
  // identifies the handler: setting the same owner again changes nothing.
  void SetOnData(DataEvent handler, const void* owner);
  virtual void DoData();

  // The capture is about to stop: whatever is due by now becomes available.
  virtual void Drain() {}

  // Where sound was lost because it was not read in time, by position in what was handed
  // out since Start.
  const std::vector<CaptureGap>& Gaps() const { return gaps_; }

 protected:
  // The source's own start of a capture in the format, which GetFormat() now holds; the
  // notifications begin once it returns.
  virtual void StartCapture(const CaptureFormat& format) = 0;
  // The source's own end of a capture, after the notifications ended.
  virtual void StopCapture() = 0;
  // Looked at by the notification worker every interval, also while the user-interface
  // thread is held up: where a source notes what it captured meanwhile.
  virtual void Look() {}

  std::vector<TSoundCaptureFormat> formats_;
  std::vector<CaptureGap> gaps_;
  bool capturing_ = false;

 private:
  friend class CaptureNotify;
  void StopAfterHandlerError() { Stop(); }

  int formatIndex_ = 0;
  bool stopping_ = false;
  std::unique_ptr<CaptureNotify> notify_;
  DataEvent onData_;
  const void* onDataOwner_ = nullptr;
  // Lets a stop queued by the worker find out that the source is gone.
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace recording
