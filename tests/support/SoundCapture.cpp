#include "support/SoundCapture.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "support/Waiting.h"

SoundCapture::SoundCapture(DWORD ms) {
  UINT device = WAVE_MAPPER;
  for (UINT i = 0; i < waveInGetNumDevs(); ++i) {
    WAVEINCAPSA caps;
    if (waveInGetDevCapsA(i, &caps, sizeof caps) == MMSYSERR_NOERROR && std::strstr(caps.szPname, "TunoraOutput"))
      device = i;
  }
  if (device == WAVE_MAPPER) return;
  device_ = device;
  samples_.assign(std::size_t(kRate) * ms / 1000, 0);
  Open();
}

void SoundCapture::Open() {
  WAVEFORMATEX f{WAVE_FORMAT_PCM, 1, kRate, kRate * 2, 2, 16, 0};
  if (waveInOpen(&in_, device_, &f, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
    in_ = nullptr;
    return;
  }
  header_ = WAVEHDR{};
  header_.lpData = reinterpret_cast<LPSTR>(samples_.data());
  header_.dwBufferLength = DWORD(samples_.size() * 2);
  waveInPrepareHeader(in_, &header_, sizeof header_);
  waveInAddBuffer(in_, &header_, sizeof header_);
  waveInStart(in_);
  startTick_ = GetTickCount();
}

bool SoundCapture::WaitUntilRecording(DWORD ms) {
  const DWORD until = GetTickCount() + ms, reopenAt = GetTickCount() + ms / 2;
  bool reopened = false;
  while (in_ && GetTickCount() < until) {
    if (!reopened && GetTickCount() >= reopenAt) {
      // Wine's capture on a busy machine now and then never starts delivering; one
      // opened anew does.
      reopened = true;
      waveInReset(in_);
      waveInUnprepareHeader(in_, &header_, sizeof header_);
      waveInClose(in_);
      Open();
      continue;
    }
    MMTIME t{};
    t.wType = TIME_SAMPLES;
    if (waveInGetPosition(in_, &t, sizeof t) == MMSYSERR_NOERROR && t.wType == TIME_SAMPLES && t.u.sample > 0) {
      startTick_ = GetTickCount() - DWORD(t.u.sample * 1000ull / kRate);
      return true;
    }
    Sleep(5);
  }
  return false;
}

SoundCapture::~SoundCapture() {
  Finish(false);
}

void SoundCapture::Finish(bool whole) {
  if (!in_ || finished_) return;
  finished_ = true;
  const DWORD limit = GetTickCount() + DWORD(samples_.size() * 1000 / kRate) + 2000;
  while (whole && !(header_.dwFlags & WHDR_DONE) && GetTickCount() < limit) Sleep(10);
  // The sound server delivers with some delay (more on a busy machine): what played up
  // to now is waited for, up to two seconds.
  const DWORD now = GetTickCount(), until = now + 2000;
  const std::size_t wanted = std::min(samples_.size(), std::size_t(now - startTick_) * kRate / 1000);
  MMTIME t{};
  t.wType = TIME_SAMPLES;
  while (!whole && GetTickCount() < until && !(header_.dwFlags & WHDR_DONE) &&
         waveInGetPosition(in_, &t, sizeof t) == MMSYSERR_NOERROR && t.u.sample < wanted)
    Sleep(10);
  waveInReset(in_);
  waveInUnprepareHeader(in_, &header_, sizeof header_);
  waveInClose(in_);
  in_ = nullptr;
  samples_.resize(header_.dwBytesRecorded / 2);
}

double SoundCapture::Level(std::size_t i) const {
  const std::size_t n = kRate / 10;
  double sum = 0;
  for (std::size_t k = i; k < i + n; ++k) sum += double(samples_[k]) * samples_[k];
  return std::sqrt(sum / double(n));
}

DWORD SoundCapture::Find(DWORD fromTick, double rms, bool loud) const {
  const std::size_t step = kRate / 100;  // 10 ms
  std::size_t i = fromTick > startTick_ ? std::size_t(fromTick - startTick_) * kRate / 1000 : 0;
  for (; i + kRate / 10 <= samples_.size(); i += step)
    if ((Level(i) > rms) == loud) return startTick_ + DWORD(i * 1000 / kRate);
  return 0;
}

DWORD SoundCapture::SoundFrom(DWORD fromTick, double rms) const {
  return Find(fromTick, rms, true);
}
bool SoundCapture::WaitHeard(DWORD fromTick, DWORD ms) const {
  DWORD looked = 0;
  testing_support::WaitFor(
      [&] {
        if (GetTickCount() - looked < 500) return false;
        looked = GetTickCount();
        return SoundFrom(fromTick) != 0;
      },
      ms);
  return SoundFrom(fromTick) != 0;
}

DWORD SoundCapture::SilenceFrom(DWORD fromTick, double rms) const {
  return Find(fromTick, rms, false);
}

Tone SoundCapture::ToneAt(DWORD fromTick, DWORD ms) const {
  const std::size_t from = fromTick > startTick_ ? std::size_t(fromTick - startTick_) * kRate / 1000 : 0;
  const std::size_t to = std::min(samples_.size(), from + std::size_t(ms) * kRate / 1000);
  if (from >= to) return {};
  return MeasureTone(
      std::vector<std::int16_t>(samples_.begin() + std::ptrdiff_t(from), samples_.begin() + std::ptrdiff_t(to)), kRate);
}
