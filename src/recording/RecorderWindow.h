// What the recorder needs of the window that holds its buttons and displays; the main
// window implements it. The recorder reads its options from the options dialog of its own
// subsystem.
#pragma once

#include <memory>
#include <string>

#include "playback/SoundTap.h"

class TWindowsMediaPlayer;

namespace recording {

class RecorderWindow {
 public:
  virtual ~RecorderWindow() = default;

  // The recording's four buttons (Options, PLAY, REC, Export), usable or not together:
  // none of them while a recording or its playback runs.
  virtual void EnableTransport(bool on) = 0;
  // The size display, in kilobytes.
  virtual void ShowRecordingSize(int kilobytes) = 0;
  // The player of the recorded file.
  virtual TWindowsMediaPlayer& RecordingPlayer() = 0;
  // The station display's caption (the status monitor's window has the same).
  virtual std::string StationText() = 0;
  virtual void SetStationText(const std::string& caption) = 0;
  // PLAY hands the sound over from the station to the file: the station display shows,
  // the station stops and the status monitor forgets its connecting and its fault, the
  // volume comes back from the fader, and the monitor starts the file on its next tick.
  virtual void StopStationForFile() = 0;
  virtual void QueueFilePlayback() = 0;
  // The station player's decoded sound to `tap` from now on; nullptr ends that.
  virtual void TapStation(std::shared_ptr<playback::SoundTap> tap) = 0;
};

}  // namespace recording
