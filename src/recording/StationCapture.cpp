#include "recording/StationCapture.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/Lock.h"
#include "recording/StationCaptureRules.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

namespace recording {

// Takes the station's sound on the player's worker thread, converts it and queues it;
// the capture's pace hands it out. Shared by the player (while connected) and the stream.
class TStationCaptureStream::Tap : public playback::SoundTap {
 public:
  ~Tap() override { swr_free(&converter_); }

  void Start(const CaptureFormat& format) {
    std::lock_guard lock(mutex_);
    format_ = format;
    const std::uint32_t align = format.channels * format.bitsPerSample / 8;
    pace_.Start(GetTickCount64(), format.samplesPerSec * align, align, format.bitsPerSample == 8 ? 0x80 : 0);
    swr_free(&converter_);
    inRate_ = 0;
    running_ = true;
  }
  void Stop() {
    std::lock_guard lock(mutex_);
    running_ = false;
  }

  void Decoded(int rate, const std::int16_t* samples, std::size_t count) override {
    std::lock_guard lock(mutex_);
    if (!running_ || rate <= 0) return;
    const CaptureFormat& f = format_;
    const std::size_t frames = count / 2;
    if (unsigned(rate) == f.samplesPerSec && f.bitsPerSample == 16 && f.channels == 2) {
      // The stream's own format: its samples as they are, with no dither and no gain.
      pace_.Push(reinterpret_cast<const std::uint8_t*>(samples), frames * 4, GetTickCount64());
      return;
    }
    if (!converter_ || rate != inRate_) Remake(rate);
    if (!converter_) return;
    const int room = swr_get_out_samples(converter_, int(frames));
    if (room <= 0) return;
    const bool packed24 = f.bitsPerSample == 24;
    const std::size_t sampleBytes = packed24 ? 4 : f.bitsPerSample / 8;
    converted_.resize(std::size_t(room) * f.channels * sampleBytes);
    std::uint8_t* out[1] = {converted_.data()};
    const std::uint8_t* in[1] = {reinterpret_cast<const std::uint8_t*>(samples)};
    const int made = swr_convert(converter_, out, room, in, int(frames));
    if (made <= 0) return;
    std::size_t bytes = std::size_t(made) * f.channels * sampleBytes;
    if (packed24) {
      // 24-bit sound is the top three bytes of each 32-bit sample.
      std::size_t to = 0;
      for (std::size_t from = 0; from < bytes; from += 4, to += 3)
        std::memmove(converted_.data() + to, converted_.data() + from + 1, 3);
      bytes = to;
    }
    pace_.Push(converted_.data(), bytes, GetTickCount64());
  }

  void Advance(bool toTheEnd = false) {
    std::lock_guard lock(mutex_);
    if (running_) pace_.Advance(GetTickCount64(), toTheEnd);
  }
  std::size_t Readable() {
    std::lock_guard lock(mutex_);
    return pace_.Readable();
  }
  std::size_t Read(std::uint8_t* out, std::size_t count, std::vector<CaptureGap>& gaps) {
    std::lock_guard lock(mutex_);
    const std::size_t n = pace_.Read(out, count);
    gaps = pace_.Gaps();
    return n;
  }

 private:
  void Remake(int rate) {
    swr_free(&converter_);
    const CaptureFormat& f = format_;
    AVChannelLayout in{}, out{};
    av_channel_layout_default(&in, 2);
    av_channel_layout_default(&out, int(f.channels));
    const AVSampleFormat format = f.bitsPerSample == 8    ? AV_SAMPLE_FMT_U8
                                  : f.bitsPerSample == 16 ? AV_SAMPLE_FMT_S16
                                                          : AV_SAMPLE_FMT_S32;
    if (swr_alloc_set_opts2(&converter_, &out, format, int(f.samplesPerSec), &in, AV_SAMPLE_FMT_S16, rate, 0,
                            nullptr) < 0 ||
        swr_init(converter_) < 0)
      swr_free(&converter_);
    av_channel_layout_uninit(&in);
    av_channel_layout_uninit(&out);
    inRate_ = rate;
  }

  base::Mutex mutex_;
  bool running_ = false;
  CaptureFormat format_{};
  StationSoundPace pace_;
  SwrContext* converter_ = nullptr;
  int inRate_ = 0;
  std::vector<std::uint8_t> converted_;
};

TStationCaptureStream::TStationCaptureStream(Connect connect)
    : connect_(std::move(connect)), tap_(std::make_shared<Tap>()) {
  formats_ = ProbeFormats([](const CaptureFormat&) { return true; });
}

TStationCaptureStream::~TStationCaptureStream() {
  Stop();
}

void TStationCaptureStream::StartCapture(const CaptureFormat& format) {
  tap_->Start(format);
  connect_(tap_);
}

void TStationCaptureStream::StopCapture() {
  connect_(nullptr);
  tap_->Stop();
}

void TStationCaptureStream::Drain() {
  if (capturing_) tap_->Advance(true);
}

void TStationCaptureStream::Look() {
  tap_->Advance();
}

std::int64_t TStationCaptureStream::GetAvailable() {
  if (!capturing_) return 0;
  Look();
  return std::int64_t(tap_->Readable());
}

std::int64_t TStationCaptureStream::ReadData(void* buffer, std::int64_t count) {
  if (!capturing_) Start();
  Look();
  const std::size_t n = tap_->Read(static_cast<std::uint8_t*>(buffer), std::size_t(count), gaps_);
  // Never more is asked for than is available; were it, silence would follow.
  const std::uint8_t silence = ReadPcmFormat(GetFormat()).bitsPerSample == 8 ? 0x80 : 0;
  if (n < std::size_t(count)) std::memset(static_cast<std::uint8_t*>(buffer) + n, silence, std::size_t(count) - n);
  return count;
}

}  // namespace recording
