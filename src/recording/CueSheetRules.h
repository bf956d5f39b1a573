// The cue sheet written beside a recording that holds the station's titles: the WAVE
// file, then one track per title heard, at its time in the recording. Portable.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace recording {

struct CueTrack {
  std::string title;           // in the ANSI code page; empty: none (an advert, say)
  std::int64_t atBytes = 0;    // where in the recording's data it began
  std::string utf8 = {};       // the title in UTF-8 where the ANSI text lacks some of it
};

// Every title heard during a recording, each once where it began. The same title again
// at once is no new track; no title after a title is a track of its own (an advert between
// two songs belongs to neither); a title that comes where the last one began replaces it,
// which had no sound of its own. Two titles are the same only when their UTF-8 texts are
// too: titles in another script may have the same ANSI form.
class CueTracks {
 public:
  void Clear() { tracks_.clear(); }
  // The title heard at this point of the recording (empty: none known), with its UTF-8
  // text where the ANSI one lacks characters. Returns the first track that changed, npos
  // when none did.
  std::size_t Heard(const std::string& title, std::int64_t atBytes, const std::string& utf8 = "");
  const std::vector<CueTrack>& Tracks() const { return tracks_; }

 private:
  std::vector<CueTrack> tracks_;
};

// A sheet numbers its tracks 01 to 99. A recording with more titles goes on in further
// sheets beside the first, each of which begins with one track for everything before it
// ("Tracks 1 to 99") and holds 98 titles more: every sheet covers the whole file, so cue
// players and splitters read each one alone, and no title is left out.
inline constexpr std::size_t kCueSheetTracks = 99;
// Which sheet holds a recording's track (both counted from 0), and the first track of a
// sheet.
std::size_t CueSheetOf(std::size_t track);
std::size_t CueSheetFirstTrack(std::size_t sheet);

// The first line of every sheet written here: a later recording into the same file
// replaces such a sheet, and never one of the user's own.
inline constexpr const char* kCueSheetMark = "REM COMMENT \"Ovexia Tunora recording\"";
// Whether a sheet's text (its first lines suffice) is one written here for a recording
// into a file of that name.
bool IsOwnCueSheet(const std::string& text, const std::string& waveName);

// The cue sheet's name for a recording: its name with ".cue" for ".wav" (or added).
std::string CueSheetPath(const std::string& wavePath);
// The name of a further sheet (sheet 0 is `firstSheet` itself): "take (part 2).cue".
std::string CueSheetPartPath(const std::string& firstSheet, std::size_t sheet);
// The names tried in turn where another file holds a sheet's name: n = 2, 3, ... gives
// "take (2).cue", "take (3).cue", ...; n = 1 the name itself.
std::string CueSheetOtherPath(const std::string& path, int n);

// The text of one sheet (CR LF lines): the mark, FILE "<name>" WAVE (MP3 for an .mp3 file),
// and per track TRACK nn AUDIO, TITLE where it has one, PERFORMER where the title reads
// "Artist - Title", and INDEX 01 mm:ss:ff (75 frames a second; the minutes go past 99 as a
// long recording needs) from its byte position at bytesPerSecond. `tracks` are the
// recording's tracks from the sheet's first one on; those past the sheet's share are left
// for the next. Quotes in titles become apostrophes and control characters blanks. A title
// that the ANSI code page cannot hold also has its UTF-8 text in REM UTF8-TITLE and REM
// UTF8-PERFORMER lines: readers that expect ANSI pass over comments, and a sheet with a
// UTF-8 byte-order mark would make cuetools stumble on its first line.
std::string CueSheetText(const std::string& waveName, std::size_t sheet, std::span<const CueTrack> tracks,
                         std::uint32_t bytesPerSecond);

}  // namespace recording
