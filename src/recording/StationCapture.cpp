#include "recording/StationCapture.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/Lock.h"
#include "recording/SampleConvertRules.h"
#include "recording/StationCaptureRules.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

namespace recording {

namespace {

AVSampleFormat FfmpegFormat(const playback::DecodedSound& s) {
  using playback::SampleType;
  const AVSampleFormat packed = s.type == SampleType::U8      ? AV_SAMPLE_FMT_U8
                                : s.type == SampleType::S16   ? AV_SAMPLE_FMT_S16
                                : s.type == SampleType::S32   ? AV_SAMPLE_FMT_S32
                                : s.type == SampleType::Float ? AV_SAMPLE_FMT_FLT
                                                              : AV_SAMPLE_FMT_DBL;
  return s.planar ? av_get_planar_sample_fmt(packed) : packed;
}

}  // namespace

// Takes the station's sound on the player's sound lane, converts it once to the chosen
// format and queues it; the capture's pace hands it out. Sound at the recording's own
// rate with one or two channels is converted by the rules, sample for sample; another
// rate, or more channels, goes through FFmpeg's resampler first, to 32-bit samples of at
// most two channels. Shared by the player (while connected) and the stream.
class TStationCaptureStream::Tap : public playback::SoundTap {
 public:
  ~Tap() override { swr_free(&resampler_); }

  void Start(const CaptureFormat& format) {
    std::lock_guard lock(mutex_);
    format_ = format;
    const std::uint32_t align = format.channels * format.bitsPerSample / 8;
    pace_.Start(GetTickCount64(), format.samplesPerSec * align, align, format.bitsPerSample == 8 ? 0x80 : 0);
    swr_free(&resampler_);
    connection_ = 0;
    running_ = true;
  }
  void Stop() {
    std::lock_guard lock(mutex_);
    running_ = false;
  }

  void Decoded(const playback::DecodedSound& sound) override {
    std::lock_guard lock(mutex_);
    if (!running_ || sound.rate <= 0 || sound.frames == 0 || !Sized(sound)) return;
    const CaptureFormat& f = format_;
    const std::uint32_t align = f.channels * f.bitsPerSample / 8;
    // The player's lane drops what a recording too slow to keep up cannot take: the
    // step in the position shows it, and it is told.
    if (sound.connection == connection_ && sound.position > next_)
      pace_.Lose((sound.position - next_) * f.samplesPerSec / unsigned(sound.rate) * align);
    if (sound.connection != connection_) swr_free(&resampler_);
    connection_ = sound.connection;
    next_ = sound.position + sound.frames;
    converted_.clear();
    if (unsigned(sound.rate) == f.samplesPerSec && sound.channels <= 2) {
      swr_free(&resampler_);
      ConvertSamples({sound.type, sound.planar, sound.channels, sound.frames, sound.data.data()}, f, converted_);
    } else if (!Resample(sound)) {
      return;
    }
    pace_.Push(converted_.data(), converted_.size() / align * align, GetTickCount64());
  }

  void Cut() override {
    std::lock_guard lock(mutex_);
    pace_.Cut();
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
  // The sound's samples fill its bytes exactly: anything else is not used.
  static bool Sized(const playback::DecodedSound& s) {
    return s.channels >= 1 && s.channels <= 8 && s.frames <= s.data.size() &&
           s.data.size() == s.frames * std::size_t(s.channels) * playback::SampleBytes(s.type);
  }

  // Through FFmpeg's resampler, kept for as long as the sound's format stays; false when
  // it cannot convert.
  bool Resample(const playback::DecodedSound& s) {
    const int channels = std::min(s.channels, 2);
    if (!resampler_ || s.rate != inRate_ || s.channels != inChannels_ || s.layout != inLayout_ ||
        FfmpegFormat(s) != inFormat_) {
      swr_free(&resampler_);
      AVChannelLayout in{}, out{};
      if (s.layout == 0 || av_channel_layout_from_mask(&in, s.layout) < 0 || in.nb_channels != s.channels)
        av_channel_layout_default(&in, s.channels);
      av_channel_layout_default(&out, channels);
      if (swr_alloc_set_opts2(&resampler_, &out, AV_SAMPLE_FMT_S32, int(format_.samplesPerSec), &in, FfmpegFormat(s),
                              s.rate, 0, nullptr) < 0 ||
          swr_init(resampler_) < 0)
        swr_free(&resampler_);
      av_channel_layout_uninit(&in);
      av_channel_layout_uninit(&out);
      inRate_ = s.rate;
      inChannels_ = s.channels;
      inLayout_ = s.layout;
      inFormat_ = FfmpegFormat(s);
      if (!resampler_) return false;
    }
    const int room = swr_get_out_samples(resampler_, int(s.frames));
    if (room <= 0) return false;
    resampled_.resize(std::size_t(room) * std::size_t(channels) * 4);
    std::uint8_t* out[1] = {resampled_.data()};
    const std::size_t planeBytes = s.frames * playback::SampleBytes(s.type) * (s.planar ? 1 : std::size_t(s.channels));
    const std::uint8_t* in[8] = {};
    for (int p = 0; p < (s.planar ? s.channels : 1); ++p) in[p] = s.data.data() + planeBytes * std::size_t(p);
    const int made = swr_convert(resampler_, out, room, in, int(s.frames));
    if (made <= 0) return false;
    return ConvertSamples({playback::SampleType::S32, false, channels, std::size_t(made), resampled_.data()}, format_,
                          converted_);
  }

  base::Mutex mutex_;
  bool running_ = false;
  CaptureFormat format_{};
  StationSoundPace pace_;
  unsigned connection_ = 0;  // of the last sound
  std::uint64_t next_ = 0;   // the position its next sound has
  SwrContext* resampler_ = nullptr;
  int inRate_ = 0, inChannels_ = 0;
  std::uint64_t inLayout_ = 0;
  AVSampleFormat inFormat_ = AV_SAMPLE_FMT_NONE;
  std::vector<std::uint8_t> resampled_, converted_;
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
