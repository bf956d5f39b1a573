// Records what reaches the sound server's null sink (through its monitor source) in the
// background, so that a test can tell when sound stopped and when it came back.
#pragma once

#include <windows.h>

#include <mmsystem.h>

#include <cstdint>
#include <vector>

#include "support/Tones.h"

class SoundCapture {
 public:
  // Starts recording at once, for ms at most.
  explicit SoundCapture(DWORD ms);
  ~SoundCapture();
  SoundCapture(const SoundCapture&) = delete;
  SoundCapture& operator=(const SoundCapture&) = delete;

  // Whether the sink's monitor could be opened.
  bool Recording() const { return in_ != nullptr; }
  // Waits until the sound server delivers the first samples (under Wine that may take
  // seconds) and times them from then on; false when none came within ms.
  bool WaitUntilRecording(DWORD ms);
  // Whether the whole span is recorded (or nothing is being recorded).
  bool Done() const { return !in_ || (header_.dwFlags & WHDR_DONE) != 0; }
  // What was recorded: mono, kRate samples a second; whole after Finish.
  const std::vector<std::int16_t>& Samples() const { return samples_; }
  // Ends the recording (waiting for the rest of its span when `whole`).
  void Finish(bool whole = true);
  // The moment (GetTickCount) from which sound louder than `rms` plays for 100 ms, at or
  // after fromTick; 0 when it never does.
  DWORD SoundFrom(DWORD fromTick, double rms = 500) const;
  // Waits until sound from fromTick on is heard (SoundFrom), for ms at most. Each look
  // reads all that was recorded since, which at every turn of the wait would take a busy
  // machine's time from the program: it looks twice a second.
  bool WaitHeard(DWORD fromTick, DWORD ms) const;
  // The moment from which the sound is quieter than `rms` for 100 ms, at or after fromTick.
  DWORD SilenceFrom(DWORD fromTick, double rms = 500) const;
  // The moment of the last sample recorded.
  DWORD EndTick() const { return startTick_ + DWORD(samples_.size() * 1000 / kRate); }
  // The tone heard during ms from fromTick on (0: from the start).
  Tone ToneAt(DWORD fromTick, DWORD ms) const;

  static constexpr int kRate = 44100;

 private:
  // Opens the sink's monitor and starts recording into the whole span.
  void Open();
  UINT device_ = WAVE_MAPPER;
  // The level of the 100 ms window that starts at sample i.
  double Level(std::size_t i) const;
  DWORD Find(DWORD fromTick, double rms, bool loud) const;

  HWAVEIN in_ = nullptr;
  WAVEHDR header_{};
  std::vector<std::int16_t> samples_;
  DWORD startTick_ = 0;
  bool finished_ = false;
};
