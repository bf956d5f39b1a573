// The files a run leaves in the songs folder while it writes songs: each song under way,
// "<name><ext>.~<pid>-<n>.part" beside the songs of its station, and the frames that
// earlier versions spooled, "~song<pid>-<n>.frames". A run that ends without finishing
// them (killed, crashed, switched off) leaves them behind; the next start keeps what
// plays and deletes the rest. The process id in the name tells whose file it is, so that
// the files of a run that still goes on are never touched. Portable.
#pragma once

#include <string>

namespace songs {

enum class LeftoverKind { None, Part, Spool };

struct Leftover {
  LeftoverKind kind = LeftoverKind::None;
  // The process that wrote it; 0 where the name does not say (the ".part" files of earlier
  // versions, "<name><ext>.part").
  unsigned long owner = 0;
  std::string songFile;  // of a part: the song's own file name, "<name><ext>"
};

// What a file of that name in a station's folder is.
Leftover ParseLeftoverName(const std::string& fileName);

// The ending of a song's file while the process writes it: ".~<pid>-<n>.part".
std::string PartSuffix(unsigned long owner, unsigned long number);

// The extension of the stream that a file's first bytes begin, where it holds sound that
// plays: ".mp3" or ".aac" for frames of MP3 or ADTS in a row (after an ID3v2 tag, if any),
// ".ogg" for an Ogg stream that reached a page of sound; "" otherwise.
std::string PlayableStream(const std::string& head);

// The extensions of one kind of stream: ".opus" files are Ogg streams too.
bool SameStreamKind(const std::string& extension, const std::string& playable);

}  // namespace songs
