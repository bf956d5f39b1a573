// Where a file of a station's frames may begin so that its first frame decodes alone.
// An MP3 frame's sound may begin in the frames before it (the bit reservoir): a file that
// starts on such a frame opens with a stretch of lost sound. AAC, Vorbis and Opus packets
// decode alone once the decoder has the stream's headers, which every file carries.
#pragma once

#include <cstddef>
#include <string>

namespace songs {

// How many bytes before its own header an MPEG audio layer III frame's sound begins
// (main_data_begin): 0 when it decodes alone; below 0 when the bytes are no such frame.
int Mp3ReservoirReach(const std::string& frame);
// The bytes after its header and side information that a layer III frame lends to its
// own sound and to the frames after it; 0 when the bytes are no such frame.
int Mp3MainDataBytes(const std::string& frame);

// Whether frames of this codec may need the frames before them.
bool FramesLeanOnEarlier(const std::string& codec);

}  // namespace songs
