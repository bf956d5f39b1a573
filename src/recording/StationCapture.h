// The playing station as a source to record, with no sound card in between: the sound
// the station player decodes, before its volume, converted to the chosen format (passed
// on unchanged where it is the stream's own) and handed out in real time, silence while
// no station plays. Offers every format of the probe list and needs no capture device.
#pragma once

#include <functional>
#include <memory>

#include "playback/SoundTap.h"
#include "recording/CaptureSource.h"

namespace recording {

inline constexpr const char* kStationSourceName = "Playing Station (direct)";

class TStationCaptureStream : public CaptureSource {
 public:
  // `connect` hands the station player a tap for its decoded sound, and nullptr to take
  // it back.
  using Connect = std::function<void(std::shared_ptr<playback::SoundTap>)>;
  explicit TStationCaptureStream(Connect connect);
  ~TStationCaptureStream() override;

  std::int64_t GetAvailable() override;
  // The time owed to a station that is late becomes silence: the recording ends at STOP.
  void Drain() override;

 protected:
  // What is due is handed out before it is read: a capture never waits for sound.
  std::int64_t ReadData(void* buffer, std::int64_t count) override;
  void StartCapture(const CaptureFormat& format) override;
  void StopCapture() override;
  void Look() override;

 private:
  class Tap;
  Connect connect_;
  std::shared_ptr<Tap> tap_;
};

}  // namespace recording
