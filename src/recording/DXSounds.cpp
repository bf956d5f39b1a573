#include "recording/DXSounds.h"

#include <optional>
#include <string>

#include "base/Lock.h"
#include "recording/DXClass.h"

namespace recording {

namespace {

// The capture buffer descriptor in its first, 20-byte form.
struct CaptureBufferDesc {
  DWORD size = sizeof(CaptureBufferDesc);
  DWORD flags = 0;
  DWORD bufferBytes = 0;
  DWORD reserved = 0;
  WAVEFORMATEX* format = nullptr;
};
static_assert(sizeof(void*) != 4 || sizeof(CaptureBufferDesc) == 20);

// The format record as the system reads it: the 18 bytes of the PCM block.
WAVEFORMATEX FormatRecord(const std::uint8_t* block) {
  WAVEFORMATEX wfx{};
  const PcmFormat f = ReadPcmFormat(block);
  wfx.wFormatTag = f.formatTag;
  wfx.nChannels = f.channels;
  wfx.nSamplesPerSec = f.samplesPerSec;
  wfx.nAvgBytesPerSec = f.avgBytesPerSec;
  wfx.nBlockAlign = f.blockAlign;
  wfx.wBitsPerSample = f.bitsPerSample;
  wfx.cbSize = f.extraSize;
  return wfx;
}

IDirectSoundCaptureBuffer* CreateBuffer(IDirectSoundCapture* device, const std::uint8_t* format, DWORD bytes) {
  WAVEFORMATEX wfx = FormatRecord(format);
  CaptureBufferDesc desc;
  desc.bufferBytes = bytes;
  desc.format = &wfx;
  IDirectSoundCaptureBuffer* buffer = nullptr;
  const HRESULT hr = device->CreateCaptureBuffer(reinterpret_cast<LPCDSCBUFFERDESC>(&desc), &buffer, nullptr);
  if (hr != DS_OK) {
    if (buffer) buffer->Release();
    return nullptr;
  }
  return buffer;
}

// The running capture buffer as the read rules see it.
class BufferAccess : public CaptureBufferAccess {
 public:
  explicit BufferAccess(IDirectSoundCaptureBuffer* buffer) : buffer_(buffer) {}
  bool ReadPosition(std::uint32_t& position) override {
    DWORD capture = 0, read = 0;
    if (buffer_->GetCurrentPosition(&capture, &read) != DS_OK) return false;
    position = read;
    return true;
  }
  bool Lock(std::uint32_t offset, std::uint32_t count, Parts& parts) override {
    void *first = nullptr, *second = nullptr;
    DWORD firstLength = 0, secondLength = 0;
    if (buffer_->Lock(offset, count, &first, &firstLength, &second, &secondLength, 0) != DS_OK) return false;
    parts = {static_cast<const std::uint8_t*>(first), firstLength, static_cast<const std::uint8_t*>(second),
             second ? std::uint32_t(secondLength) : 0};
    return true;
  }
  void Unlock(const Parts& parts) override {
    buffer_->Unlock(const_cast<std::uint8_t*>(parts.first), parts.firstLength, const_cast<std::uint8_t*>(parts.second),
                    parts.secondLength);
  }
  void Sleep(int ms) override { ::Sleep(DWORD(ms)); }

 private:
  IDirectSoundCaptureBuffer* buffer_;
};

// The formats the device accepts: a capture buffer of each is made and let go again.
std::vector<CaptureFormat> DeviceFormats(IDirectSoundCapture* device) {
  return ProbeFormats([device](const CaptureFormat& f) {
    std::uint8_t block[kPcmFormatSize];
    MakePCMFormat(block, f.samplesPerSec, f.bitsPerSample, f.channels);
    IDirectSoundCaptureBuffer* buffer = CreateBuffer(device, block, ReadPcmFormat(block).avgBytesPerSec);
    if (!buffer) return false;
    buffer->Release();
    return true;
  });
}

// The default device's formats probed ahead, taken once. The lock is held while the
// prefetch probes, so that a stream opened meanwhile waits for its result.
base::Mutex prefetchMutex;
std::optional<std::vector<CaptureFormat>> prefetched;

}  // namespace

void PrefetchDefaultCaptureFormats() {
  std::lock_guard lock(prefetchMutex);
  IDirectSoundCapture* device = nullptr;
  try {
    if (DXDirectSoundCaptureCreate(nullptr, &device, nullptr) == DS_OK && device) prefetched = DeviceFormats(device);
  } catch (...) {
    // No DirectSound, or no memory: the stream says so when it is opened.
  }
  if (device) device->Release();
}

TSoundCaptureStream::TSoundCaptureStream(const GUID* device) {
  const HRESULT hr = DXDirectSoundCaptureCreate(device, &device_, nullptr);
  if (hr != DS_OK || !device_) {
    if (device_) device_->Release();
    device_ = nullptr;
    throw ESoundCaptureStreamError("DirectSoundCapture cannot be initialized");
  }
  {
    std::lock_guard lock(prefetchMutex);
    if (!device && prefetched) {
      formats_ = std::move(*prefetched);
      prefetched.reset();
      return;
    }
  }
  formats_ = DeviceFormats(device_);
}

TSoundCaptureStream::~TSoundCaptureStream() {
  Stop();
  ReleaseBuffer();
  if (device_) device_->Release();
}

void TSoundCaptureStream::ReleaseBuffer() {
  if (buffer_) buffer_->Release();
  buffer_ = nullptr;
}

void TSoundCaptureStream::StartCapture(const CaptureFormat&) {
  bufferSize_ = CaptureBufferSize(ReadPcmFormat(GetFormat()).avgBytesPerSec);
  handedOut_ = consumed_ = 0;
  restarts_ = 0;
  std::lock_guard lock(lapsMutex_);
  StartBuffer();
}

void TSoundCaptureStream::StartBuffer() {
  ReleaseBuffer();
  buffer_ = CreateBuffer(device_, GetFormat(), bufferSize_);
  if (!buffer_)
    throw ESoundCaptureStreamError(
        "Sound Capture Buffer cannot be made. Ihre Soundkarte scheint nicht vollduplexf\xE4"
        "hig zu sein. \xDC"
        "berpr\xFC"
        "fen Sie Ihren Treiber bzw. die Bedienungsanleitung Ihrer Soundkarte.");
  readOffset_ = 0;
  laps_.Start(0);
  buffer_->Start(DSCBSTART_LOOPING);
  startedMs_ = GetTickCount64();
}

void TSoundCaptureStream::StopCapture() {
  if (buffer_) buffer_->Stop();
  ReleaseBuffer();
}

std::int64_t TSoundCaptureStream::GetAvailable() {
  if (!buffer_) return 0;
  BufferAccess access(buffer_);
  const std::int64_t available = AvailableIn(access, readOffset_, bufferSize_);
  if (available > 0 || handedOut_ > 0 || GetTickCount64() - startedMs_ < kStartWaitMs) return available;
  // Nothing yet: Wine's capture on a busy machine now and then never starts delivering
  // (its position stands still), and a buffer made anew does. The notification thread
  // looks at the buffer under the lock.
  if (restarts_ == 2) throw ESoundCaptureStreamError(kCaptureStoppedMessage);
  ++restarts_;
  std::lock_guard lock(lapsMutex_);
  buffer_->Stop();
  StartBuffer();
  return 0;
}

void TSoundCaptureStream::Look() {
  // Read under the lock: a position read before another thread's later one and counted
  // after it would look like a whole lap.
  std::lock_guard lock(lapsMutex_);
  if (!buffer_) return;
  std::uint32_t position = 0;
  if (BufferAccess(buffer_).ReadPosition(position)) laps_.Look(position, bufferSize_);
}

std::int64_t TSoundCaptureStream::ReadData(void* buffer, std::int64_t count) {
  if (!capturing_) Start();
  const PcmFormat format = ReadPcmFormat(GetFormat());
  BufferAccess access(buffer_);
  Look();
  std::int64_t lost = 0;
  {
    std::lock_guard lock(lapsMutex_);
    lost = OverwrittenBytes(laps_.Written(), consumed_, AvailableIn(access, readOffset_, bufferSize_), bufferSize_);
  }
  if (lost > 0) gaps_.push_back({handedOut_, lost});
  const std::uint32_t captured = ReadCaptured(access, readOffset_, bufferSize_, static_cast<std::uint8_t*>(buffer),
                                              std::uint32_t(count), format.bitsPerSample);
  handedOut_ += count;
  consumed_ += lost + captured;
  if (captured < count) throw ESoundCaptureStreamError(kCaptureStoppedMessage);
  return count;
}

}  // namespace recording
