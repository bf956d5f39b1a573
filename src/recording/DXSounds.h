// The sound card's capture input as a readable stream of PCM bytes: the formats the
// default (or a given) capture device accepts, a looping one-second capture buffer, and
// a worker that every 50 ms tells the owner, on the user-interface thread, that captured
// sound is waiting. The stream also notices when the looping buffer overwrote sound that
// was never read.
#pragma once

#include <windows.h>

#include <mmsystem.h>

#include <dsound.h>  // after mmsystem.h, whose wave format types it uses

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <vector>

#include "recording/CaptureRules.h"
#include "recording/WaveRules.h"

namespace recording {

class ESoundCaptureStreamError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr const char* kCaptureStoppedMessage =
    "The sound card stopped delivering sound (was its input unplugged?).";

using TSoundCaptureFormat = CaptureFormat;
class TSoundCaptureStreamNotify;

class TSoundCaptureStream : public TCustomWaveStream2 {
 public:
  using DataEvent = std::function<void(TSoundCaptureStream&)>;

  // Opens the device (nullptr: the system's default capture device) and probes the 56
  // formats.
  explicit TSoundCaptureStream(const GUID* device = nullptr);
  ~TSoundCaptureStream() override;
  TSoundCaptureStream(const TSoundCaptureStream&) = delete;
  TSoundCaptureStream& operator=(const TSoundCaptureStream&) = delete;

  const std::vector<TSoundCaptureFormat>& Formats() const { return formats_; }
  int FormatIndex() const { return formatIndex_; }
  void SetFormatIndex(int index) { formatIndex_ = index; }
  // Captures in Formats()[FormatIndex()]; a running capture is stopped first.
  void Start();
  // Harmless when not capturing.
  void Stop();
  bool Capturing() const { return capturing_; }
  std::uint32_t BufferSize() const { return bufferSize_; }

  // The handler is told on the user-interface thread when captured sound waits. `owner`
  // identifies the handler: setting the same owner again changes nothing.
  void SetOnData(DataEvent handler, const void* owner);
  virtual void DoData();

  // Bytes captured and not yet read; 0 when the position cannot be read.
  std::int64_t GetAvailable() override;
  // Where sound was lost because the buffer went round before it was read, by position
  // in what was handed out since Start.
  const std::vector<CaptureGap>& Gaps() const { return gaps_; }

 protected:
  // Blocks until count bytes are read; starts capturing first if need be. Raises
  // ESoundCaptureStreamError when the device stops delivering sound (after at most a
  // second's wait).
  std::int64_t ReadData(void* buffer, std::int64_t count) override;

 private:
  friend class TSoundCaptureStreamNotify;
  void ReleaseBuffer();
  void StopAfterHandlerError();

  IDirectSoundCapture* device_ = nullptr;
  IDirectSoundCaptureBuffer* buffer_ = nullptr;
  int bufferLength_ = kBufferLengthMs;
  std::uint32_t readOffset_ = 0;
  std::uint32_t bufferSize_ = 0;
  int formatIndex_ = 0;
  bool capturing_ = false;
  bool stopping_ = false;
  std::unique_ptr<TSoundCaptureStreamNotify> notifyThread_;
  DataEvent onData_;
  const void* onDataOwner_ = nullptr;
  std::vector<TSoundCaptureFormat> formats_;
  // Looks at the capture's position (on the notify thread too, also while the
  // user-interface thread is held up) and counts what it wrote.
  void LookAtPosition();
  std::mutex lapsMutex_;
  CaptureLapCounter laps_;
  std::int64_t handedOut_ = 0;  // bytes read since Start
  std::int64_t consumed_ = 0;   // bytes read, or lost, since Start
  std::vector<CaptureGap> gaps_;
  // Lets a stop queued by the worker find out that the stream is gone.
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace recording
