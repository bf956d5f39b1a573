#include "playback/WaveOutput.h"

#include <algorithm>
#include <cstring>

namespace playback {

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
  const MMRESULT r =
      waveOutOpen(&device_, WAVE_MAPPER, &f, reinterpret_cast<DWORD_PTR>(done_), 0, CALLBACK_EVENT);
  if (r != MMSYSERR_NOERROR) {
    device_ = nullptr;
    char text[MAXERRORLENGTH] = "";
    waveOutGetErrorTextA(r, text, sizeof text);
    error = std::string("The sound device cannot be opened: ") + text;
    return false;
  }
  rate_ = sampleRate;
  bufferSamples_ = std::size_t(sampleRate) * kBufferMs / 1000 * 2;
  for (int i = 0; i < kBuffers; ++i) {
    data_[i].assign(bufferSamples_, 0);
    headers_[i] = WAVEHDR{};
    headers_[i].lpData = reinterpret_cast<LPSTR>(data_[i].data());
    headers_[i].dwFlags = WHDR_DONE;  // free
  }
  next_ = 0;
  fill_ = 0;
  return true;
}

bool WaveOutput::Submit(const std::function<bool()>& cancelled) {
  WAVEHDR& h = headers_[next_];
  h.dwBufferLength = DWORD(fill_ * sizeof(std::int16_t));
  h.dwFlags = 0;
  waveOutPrepareHeader(device_, &h, sizeof h);
  waveOutWrite(device_, &h, sizeof h);
  next_ = (next_ + 1) % kBuffers;
  fill_ = 0;
  // Wait for the next buffer to be free before anything goes into it.
  while (!(headers_[next_].dwFlags & WHDR_DONE)) {
    if (cancelled()) return false;
    WaitForSingleObject(done_, 20);
  }
  if (headers_[next_].dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(device_, &headers_[next_], sizeof(WAVEHDR));
  return true;
}

bool WaveOutput::Write(const std::int16_t* samples, std::size_t count, const std::function<bool()>& cancelled) {
  while (count > 0) {
    const std::size_t n = std::min(count, bufferSamples_ - fill_);
    std::memcpy(data_[next_].data() + fill_, samples, n * sizeof(std::int16_t));
    fill_ += n;
    samples += n;
    count -= n;
    if (fill_ == bufferSamples_ && !Submit(cancelled)) return false;
  }
  return true;
}

bool WaveOutput::Flush(const std::function<bool()>& cancelled) { return fill_ == 0 || Submit(cancelled); }

void WaveOutput::Drain(const std::function<bool()>& cancelled) {
  if (!Flush(cancelled)) return;
  for (;;) {
    bool busy = false;
    for (const WAVEHDR& h : headers_) busy |= (h.dwFlags & WHDR_PREPARED) && !(h.dwFlags & WHDR_DONE);
    if (!busy || cancelled()) return;
    WaitForSingleObject(done_, 20);
  }
}

long long WaveOutput::PlayedFrames() const {
  if (!device_) return 0;
  MMTIME t{};
  t.wType = TIME_SAMPLES;
  waveOutGetPosition(device_, &t, sizeof t);
  if (t.wType == TIME_SAMPLES) return t.u.sample;
  if (t.wType == TIME_BYTES) return t.u.cb / 4;
  return 0;
}

void WaveOutput::Close() {
  if (device_) {
    waveOutReset(device_);
    for (WAVEHDR& h : headers_)
      if (h.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(device_, &h, sizeof h);
    waveOutClose(device_);
    device_ = nullptr;
  }
  if (done_) {
    CloseHandle(done_);
    done_ = nullptr;
  }
}

}  // namespace playback
