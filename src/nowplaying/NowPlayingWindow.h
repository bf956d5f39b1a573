// What the now-playing front end needs of the main window: the window itself (brought to
// the front, the owner of the menu and the folder dialog), its Exit, the songs that the
// menu saves, the scheduled recordings, the notices that the tray shows, and Find Station.
// The main window implements it.
#pragma once

#include <string>

namespace ui {
class Form;
}

namespace nowplaying {

class NowPlayingWindow {
 public:
  virtual ~NowPlayingWindow() = default;

  virtual ui::Form& Window() = 0;
  // Ends the program as the window's own Exit button does.
  virtual void Exit() = 0;
  // Opens the dialog that finds a station in the public directory.
  virtual void FindStation() = 0;

  // The songs of the playing station.
  virtual bool SongsPlaying() = 0;  // a station feeds them
  virtual bool SongsTitled() = 0;   // the station sends titles, so that its songs can be told apart
  virtual bool RecordingSongs() = 0;
  virtual void SetRecordingSongs(bool on) = 0;
  virtual bool HasPreviousSong() = 0;
  virtual void SaveThisSong() = 0;
  virtual void SavePreviousSong() = 0;
  virtual void SaveLastMinutes() = 0;
  virtual std::string SongsFolder() = 0;
  virtual void SetSongsFolder(const std::string& folder) = 0;

  // The scheduled recordings: their dialog, and those under way ("Jazz FM until 09:00",
  // ANSI; empty when none), which the menu stops.
  virtual void ShowSchedules() = 0;
  virtual std::string ScheduledRecording() = 0;
  virtual void StopScheduledRecording() = 0;

  // What to tell the user once, each taken when asked; empty when there is none. Failures
  // and news of the songs in UTF-8, the station player's notice in the ANSI code page.
  virtual std::string TakeSongsFailure() = 0;
  virtual std::string TakeSongsNews() = 0;
  virtual std::string TakePlayerNotice() = 0;
};

}  // namespace nowplaying
