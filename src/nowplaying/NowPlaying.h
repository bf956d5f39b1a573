// The title of what the station plays, outside the front panel: the tray icon with its
// tooltip, notifications and menu, and the title log. The main window's tick hands it
// the station and the title; everything else happens here. Titles are kept in UTF-8, so
// that every script shows whatever the system's ANSI code page.
#pragma once

#include <memory>
#include <string>

#include "nowplaying/NowPlayingWindow.h"
#include "nowplaying/SleepTimerMenu.h"
#include "nowplaying/TitleLog.h"
#include "nowplaying/TrayIcon.h"
#include "playback/TitleRules.h"
#include "ui/Menus.h"

namespace nowplaying {

class NowPlaying {
 public:
  static constexpr const char* kProductName = "Ovexia Tunora";
  static constexpr const char* kLogFileName = "titles.txt";
  static constexpr unsigned kNotifyIntervalMs = 10000;

  NowPlaying(NowPlayingWindow& window, SleepWindow& sleepWindow) : window_(window), sleep_(sleepWindow) {}

  // Shows the icon and opens the log in the program's folder.
  void Start(const std::string& programDirectory);
  // The station playing (its ANSI name) and its title in UTF-8 (empty while none is
  // known), each tick.
  void Tick(const std::string& stationAnsi, const std::string& title);

  const std::string& Title() const { return title_; }  // UTF-8
  // How many failures of the log were reported.
  int LogFailuresReported() const { return failuresReported_; }
  TrayIcon& Tray() { return tray_; }
  TitleLog* Log() { return log_.get(); }
  SleepTimerMenu& Sleep() { return sleep_; }
  // The menu of a right click on the icon, as it is shown now.
  ui::PopupMenu& Menu();

  void BringToFront();
  void CopyTitle();
  void OpenLog();
  void OpenSongsFolder();
  void ChooseSongsFolder();

 private:
  std::string TipText() const;
  std::string TitleLine() const;

  NowPlayingWindow& window_;
  TrayIcon tray_;
  SleepTimerMenu sleep_;
  std::string tipShown_;  // the tooltip as last set, uncut
  std::unique_ptr<TitleLog> log_;
  playback::NotificationGate gate_{kNotifyIntervalMs};
  ui::PopupMenu menu_;
  std::string station_, title_;
  std::string scheduled_;  // the scheduled recordings under way, UTF-8
  int failuresReported_ = 0;
};

}  // namespace nowplaying
