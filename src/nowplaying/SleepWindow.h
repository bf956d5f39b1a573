// What the sleep timer needs of the main window: a gain on the station's sound for the
// fade, and the station's stop at the end. The main window implements it.
#pragma once

namespace nowplaying {

class SleepWindow {
 public:
  virtual ~SleepWindow() = default;
  // The station's loudness beside the user's volume, 0..1; the fader does not move.
  virtual void SetSleepGain(double gain) = 0;
  // Stops the station as Disconnect does; a recording and the songs go on.
  virtual void StopForSleep() = 0;
};

}  // namespace nowplaying
