// Where a song is kept and under what name, and the settings of keeping songs.
#pragma once

#include <functional>
#include <string>

#include "base/EncodingRules.h"

namespace songs {

// The longest path Windows opens without its long-path prefix, without the final NUL.
constexpr std::size_t kMaxPath = 259;
// Room kept at a name's end for " (NN)", or for the ".~<pid>-<n>.part" of the file while
// it is written.
constexpr std::size_t kNameReserve = 28;

struct FileKind {
  const char* muxer;      // FFmpeg's muxer
  const char* extension;  // with its dot
};
// The kind of file a codec's frames are kept in; muxer is nullptr for a codec whose frames
// cannot be kept as they are.
FileKind FileKindFor(const std::string& codec);

struct ArtistAndTitle {
  std::string artist;  // empty when the title names none
  std::string title;
};
// "Artist - Title" as most stations send it; the title alone otherwise.
ArtistAndTitle SplitArtist(const std::string& title);

// A name Windows accepts for one file or folder: the characters it refuses become '_',
// trailing dots and blanks go, a device name (CON, NUL, COM1, COM¹... base::PathRules)
// gets a '_' right after it ("NUL_.txt": Windows reads a device name before any dot).
// The name is in the ANSI code page of `shape`: the second byte of a double-byte
// character is part of it, whatever its value.
std::string SafeFileName(const std::string& name, const base::CodePageShape& shape = {});

// `folder\station[\incomplete]\name` plus extension, all UTF-8, the name cut on whole
// characters so that the path (with room for kNameReserve) stays within kMaxPath UTF-16
// units, as Windows counts them; "" when the folder alone leaves no room.
std::string SongPath(const std::string& folder, const std::string& station, const std::string& name,
                     const std::string& extension, bool incomplete);

// `path` itself, else "name (2).ext", "name (3).ext" ... whichever `exists` denies first.
std::string UniquePath(const std::string& path, const std::function<bool(const std::string&)>& exists);

// "<station> YYYY-MM-DD HH-MM-SS": the name of a stretch saved by time.
std::string StretchName(const std::string& station, int year, int month, int day, int hour, int minute, int second);

struct SongSettings {
  bool record = false;
  std::string folder;  // empty: "Songs" in the program's folder
};
// The settings file's lines; anything it does not know is left out, nothing fails.
SongSettings ParseSongSettings(const std::string& text);
std::string SongSettingsText(const SongSettings& settings);

}  // namespace songs
