// The media player operations the program uses, in the media player control's own
// terms (URL, playState, controls, settings, network, currentMedia), offered by the
// station player. The main window holds two of them: one for stations, one for the
// recording. A call that cannot be carried out raises playback::PlayerError with the
// reason; a station that cannot be played is no failed call: it never plays, and
// lastError() tells why.
#pragma once

#include <string>

#include "playback/StationPlayer.h"

class TWindowsMediaPlayer {
 public:
  explicit TWindowsMediaPlayer(std::string name) : name_(std::move(name)) {}
  const std::string& Name() const { return name_; }

  // Opens the media without playing it (automatic start is off); the empty text closes
  // it and frees the file.
  void SetURL(const std::string& url) { player_.SetUrl(url); }
  std::string URL() const { return player_.Url(); }
  int playState() const { return player_.State(); }
  // The decoded sound also to `tap`, before the volume (nullptr ends that). No member of
  // the control.
  void SetSoundTap(std::shared_ptr<playback::SoundTap> tap) { player_.SetTap(std::move(tap)); }
  // The station's frames and titles also to `tap` (nullptr ends that). No member of the
  // control.
  void SetStreamTap(std::shared_ptr<playback::StreamTap> tap) { player_.SetStreamTap(std::move(tap)); }
  // What went wrong with a tap (a recording or the songs that could not keep up or
  // failed); empty when nothing did.
  std::string takeTapNotice() { return player_.TakeTapNotice(); }
  // A gain beside the volume, in thousandths, for a fade that leaves the volume alone.
  // No member of the control.
  void SetGain(int permille) { player_.SetGain(permille); }
  int gain() const { return player_.Gain(); }
  // Why the media could not be played, or why a live stream ended, for the displays;
  // empty after SetURL, play and stop.
  std::string lastError() const { return player_.LastError(); }
  // The certificate that was not valid, when that is why the media did not play. No
  // member of the control.
  playback::CertificateFault untrustedCertificate() const { return player_.Untrusted(); }
  // How long the last play took to each step of its start. No member of the control.
  playback::StartTimes startTimes() const { return player_.LastStartTimes(); }

  class Controls {
   public:
    explicit Controls(playback::StationPlayer& p) : p_(p) {}
    void play() { p_.Play(); }
    void stop() { p_.Stop(); }
    double currentPosition() const { return p_.CurrentPosition(); }

   private:
    playback::StationPlayer& p_;
  };
  class Settings {
   public:
    explicit Settings(playback::StationPlayer& p) : p_(p) {}
    int volume() const { return p_.Volume(); }
    // The control refuses a volume outside 0..100 rather than changing it.
    void setVolume(int v) {
      if (v < 0 || v > 100) throw playback::PlayerError("The volume must be from 0 to 100, not " + std::to_string(v));
      p_.SetVolume(v);
    }

   private:
    playback::StationPlayer& p_;
  };
  class Network {
   public:
    explicit Network(const playback::StationPlayer& p) : p_(p) {}
    int bufferingProgress() const { return p_.BufferingProgress(); }
    int bitRate() const { return p_.BitRate(); }

   private:
    const playback::StationPlayer& p_;
  };
  class Media {
   public:
    explicit Media(const playback::StationPlayer& p) : p_(p) {}
    double duration() const { return p_.Duration(); }
    // "Title": the title the stream announced last, empty while none is known.
    std::string getItemInfo(const std::string& attribute) const {
      return attribute == "Title" ? p_.Title() : std::string();
    }
    // The same title in UTF-8, for what shows every script (the tray, the title log).
    // No member of the control.
    std::string titleUtf8() const { return p_.TitleUtf8(); }

   private:
    const playback::StationPlayer& p_;
  };

  // How long the player waits on a station before it gives up (tests and benchmarks
  // shorten these). No member of the control.
  void SetTimeouts(const playback::PlayerTimeouts& timeouts) { player_.SetTimeouts(timeouts); }
  playback::PlayerTimeouts Timeouts() const { return player_.Timeouts(); }

  Controls controls() { return Controls(player_); }
  Settings settings() { return Settings(player_); }
  Network network() const { return Network(player_); }
  Media currentMedia() const { return Media(player_); }

 private:
  std::string name_;
  playback::StationPlayer player_;
};
