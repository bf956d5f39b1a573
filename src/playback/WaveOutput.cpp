#include "playback/WaveOutput.h"

#include <algorithm>
#include <atomic>

namespace playback {

namespace {

std::atomic<std::uint32_t> testOffset{0};

std::string ErrorText(const char* what, MMRESULT r) {
  char text[MAXERRORLENGTH] = "";
  waveOutGetErrorTextA(r, text, sizeof text);
  return std::string(what) + text;
}

}  // namespace

void WaveOutput::OffsetCountForTests(std::uint32_t frames) { testOffset = frames; }

WaveOutput::~WaveOutput() { Close(); }

bool WaveOutput::Open(int sampleRate, std::string& error) {
  Close();
  WAVEFORMATEX f{};
  f.wFormatTag = WAVE_FORMAT_PCM;
  f.nChannels = 2;
  f.nSamplesPerSec = DWORD(sampleRate);
  f.wBitsPerSample = 16;
  f.nBlockAlign = 4;
  f.nAvgBytesPerSec = f.nSamplesPerSec * 4;
  done_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (!done_) {
    error = "The sound device cannot be opened: no event for it";
    return false;
  }
  const MMRESULT r =
      waveOutOpen(&device_, WAVE_MAPPER, &f, reinterpret_cast<DWORD_PTR>(done_), 0, CALLBACK_EVENT);
  if (r != MMSYSERR_NOERROR) {
    device_ = nullptr;
    error = ErrorText("The sound device cannot be opened: ", r);
    Close();
    return false;
  }
  bufferSamples_ = std::size_t(sampleRate) * kBufferMs / 1000 * 2;
  for (int i = 0; i < kBuffers; ++i) {
    data_[i].assign(bufferSamples_, 0);
    headers_[i] = WAVEHDR{};
    headers_[i].lpData = reinterpret_cast<LPSTR>(data_[i].data());
    headers_[i].dwFlags = WHDR_DONE;  // free
  }
  next_ = 0;
  submitted_ = 0;
  count_.Reset();
  offset_ = testOffset;
  played_ = 0;
  return true;
}

std::int16_t* WaveOutput::Claim(std::size_t& frames) {
  WAVEHDR& h = headers_[next_];
  if (!(h.dwFlags & WHDR_DONE)) return nullptr;
  if (h.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(device_, &h, sizeof h);
  frames = bufferSamples_ / 2;
  return data_[next_].data();
}

bool WaveOutput::Commit(std::size_t frames, std::string& error) {
  WAVEHDR& h = headers_[next_];
  h.dwBufferLength = DWORD(frames * 4);
  h.dwFlags = 0;
  MMRESULT r = waveOutPrepareHeader(device_, &h, sizeof h);
  if (r == MMSYSERR_NOERROR) r = waveOutWrite(device_, &h, sizeof h);
  if (r != MMSYSERR_NOERROR) {
    if (h.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(device_, &h, sizeof h);
    h.dwFlags = WHDR_DONE;
    error = ErrorText("The sound device stopped taking sound: ", r);
    return false;
  }
  next_ = (next_ + 1) % kBuffers;
  submitted_ += frames;
  return true;
}

std::uint64_t WaveOutput::PlayedFrames() {
  if (!device_) return 0;
  MMTIME t{};
  t.wType = TIME_SAMPLES;
  if (waveOutGetPosition(device_, &t, sizeof t) != MMSYSERR_NOERROR) return played_;
  if (t.wType == TIME_SAMPLES) {
    played_ = count_.Extend(t.u.sample + offset_) - offset_;
  } else if (t.wType == TIME_BYTES) {
    // A device that counts bytes: those wrap four times as soon.
    const std::uint32_t start = offset_ * 4u;
    played_ = (count_.Extend(t.u.cb + start) - start) / 4;
  }
  return played_;
}

bool WaveOutput::SetVolume(double level) {
  if (!device_) return false;
  const DWORD value = DWORD(std::clamp(level, 0.0, 1.0) * 0xFFFF + 0.5);
  return waveOutSetVolume(device_, value | (value << 16)) == MMSYSERR_NOERROR;
}

void WaveOutput::Reset() {
  if (!device_) return;
  waveOutReset(device_);
  for (WAVEHDR& h : headers_) {
    if (h.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(device_, &h, sizeof h);
    h.dwFlags = WHDR_DONE;
  }
  next_ = 0;
  submitted_ = 0;
  count_.Reset();
  offset_ = testOffset;
  played_ = 0;
}

void WaveOutput::Close() {
  if (device_) {
    Reset();
    waveOutClose(device_);
    device_ = nullptr;
  }
  if (done_) {
    CloseHandle(done_);
    done_ = nullptr;
  }
}

}  // namespace playback
