// The cue sheet written beside a recording that holds the station's titles: the WAVE
// file, then one track per title heard, at its time in the recording. Portable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace recording {

struct CueTrack {
  std::string title;           // as the station sent it
  std::int64_t atBytes = 0;    // where in the recording's data it began
};

// Every title heard during a recording, each once where it began; the same title again
// at once is no new track.
class CueTracks {
 public:
  void Clear() { tracks_.clear(); }
  // The title heard at this point of the recording (empty: none known).
  void Heard(const std::string& title, std::int64_t atBytes);
  const std::vector<CueTrack>& Tracks() const { return tracks_; }

 private:
  std::vector<CueTrack> tracks_;
};

// The cue sheet's name for a recording: its name with ".cue" for ".wav" (or added).
std::string CueSheetPath(const std::string& wavePath);

// The cue sheet's text (CR LF lines): FILE "<name>" WAVE, and per track TRACK nn AUDIO,
// TITLE, PERFORMER where the title reads "Artist - Title", and INDEX 01 mm:ss:ff (75
// frames a second) from its byte position at bytesPerSecond. Quotes in titles become
// apostrophes and control characters blanks; tracks past 99 are left out.
std::string CueSheetText(const std::string& waveName, const std::vector<CueTrack>& tracks,
                         std::uint32_t bytesPerSecond);

}  // namespace recording
