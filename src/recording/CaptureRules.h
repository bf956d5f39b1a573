// The arithmetic of sound capture and of the recorder: the formats probed, the lines
// that name them, the looping capture buffer (its size, what is available, reads that
// wrap around its end), capture overruns, the size display, how much a recording may
// still grow and when the file's header is brought up to date. Portable.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace recording {

struct CaptureFormat {
  std::uint32_t bitsPerSample = 0;
  std::uint32_t channels = 0;
  std::uint32_t samplesPerSec = 0;
  friend bool operator==(const CaptureFormat&, const CaptureFormat&) = default;
};

// Probed with the rate outermost, then the bits, then mono before stereo. 33075, not 32000.
inline constexpr std::array<std::uint32_t, 7> kProbeRates{8000, 11025, 22050, 33075, 44100, 48000, 96000};
inline constexpr std::array<std::uint32_t, 4> kProbeBits{8, 16, 24, 32};
inline constexpr std::array<std::uint32_t, 2> kProbeChannels{1, 2};

// The formats that accepts() takes, in probe order.
std::vector<CaptureFormat> ProbeFormats(const std::function<bool(const CaptureFormat&)>& accepts);

// "44100Hz 16bit Stereo".
std::string FormatLine(const CaptureFormat& format);
inline constexpr const char* kDefaultFormatLine = "44100Hz 16bit Stereo";
// The index of the first line equal to the default line; lines.size() (no selection)
// when there is none.
int DefaultFormatIndex(const std::vector<std::string>& lines);

// The system's multiply-then-divide, rounded to nearest (halves away from zero); -1 for
// a zero divisor.
std::int32_t MulDiv(std::int32_t number, std::int32_t numerator, std::int32_t denominator);

constexpr int kBufferLengthMs = 1000;
constexpr std::uint32_t kMinCaptureBufferBytes = 8000;
// The looping buffer holds bufferLengthMs of sound, but never less than 8000 bytes.
std::uint32_t CaptureBufferSize(std::uint32_t avgBytesPerSec, int bufferLengthMs = kBufferLengthMs);

// Bytes captured and not yet read, from the next byte to read to the capture's read
// position, around the end of the buffer when the position is behind it.
std::uint32_t CaptureAvailable(std::uint32_t readOffset, std::uint32_t readPosition, std::uint32_t bufferSize);

// The capture buffer as a reader sees it.
class CaptureBufferAccess {
 public:
  struct Parts {
    const std::uint8_t* first = nullptr;
    std::uint32_t firstLength = 0;
    const std::uint8_t* second = nullptr;  // the part after the wrap, or nullptr
    std::uint32_t secondLength = 0;
  };
  virtual ~CaptureBufferAccess() = default;
  // The end of the data that is safe to copy; false when the query fails.
  virtual bool ReadPosition(std::uint32_t& position) = 0;
  virtual bool Lock(std::uint32_t offset, std::uint32_t count, Parts& parts) = 0;
  virtual void Unlock(const Parts& parts) = 0;
  virtual void Sleep(int ms) = 0;
};

// Bytes available to read; 0 when the position query fails.
std::uint32_t AvailableIn(CaptureBufferAccess& buffer, std::uint32_t readOffset, std::uint32_t bufferSize);

// A read waits this long at most for sound that does not come (a device unplugged in the
// middle of a recording answers no more).
constexpr int kMaxCaptureWaitMs = 1000;

// Reads count bytes from readOffset on, waiting 50 ms whenever fewer have been captured,
// in one or two parts per lock, and moves readOffset on around the buffer. It gives up
// after a failed lock, or once kMaxCaptureWaitMs passed without a byte; the rest is then
// silence (128 for 8-bit sound, else 0). Returns the bytes captured: count, or fewer when
// it gave up.
std::uint32_t ReadCaptured(CaptureBufferAccess& buffer, std::uint32_t& readOffset, std::uint32_t bufferSize,
                           std::uint8_t* out, std::uint32_t count, std::uint32_t bitsPerSample);

// Sound the looping capture overwrote before it was read: a span of lostBytes that was
// missing just before byte atByte of what was handed out.
struct CaptureGap {
  std::int64_t atByte = 0;
  std::int64_t lostBytes = 0;
  friend bool operator==(const CaptureGap&, const CaptureGap&) = default;
};

// Counts what the looping capture wrote since it started, from its position looked at
// often (every 50 ms, by a thread that goes on looking while the user-interface thread is
// held up): each time the position comes round, a lap. Looks further apart than half a
// lap tell nothing of the laps made between them: the capture is then taken to have
// paused with the program (a machine too busy to run either), not to have gone round.
class CaptureLapCounter {
 public:
  void Start(std::uint32_t position);
  void Look(std::uint32_t position, std::uint32_t bufferSize);
  // Bytes written in all, up to the last look.
  std::int64_t Written() const { return written_; }

 private:
  std::uint32_t position_ = 0;
  std::int64_t written_ = 0;
};

// The bytes the capture overwrote before they were read, in whole laps: what it wrote in
// all, less what was read and what waits to be read now.
std::int64_t OverwrittenBytes(std::int64_t written, std::int64_t read, std::uint32_t available,
                              std::uint32_t bufferSize);

// What the user is told about the gaps of a recording; "" when there were none.
std::string LostSoundMessage(const std::vector<CaptureGap>& gaps, std::uint32_t avgBytesPerSec);

// The recorder's size display: data bytes in KB, halves to even.
std::int64_t RoundKilobytes(std::int64_t bytes);
// The display follows the recording four times a second (and exactly at STOP): painting
// it at every 50 ms notification would cost more than the recording itself.
constexpr std::uint32_t kSizeDisplayMs = 250;
bool SizeDisplayDue(std::uint32_t lastShownMs, std::uint32_t nowMs);

// How much of `available` bytes may still be written to a recording holding dataSize
// bytes whose limit is dataLimit, in whole frames.
std::int64_t WritableBytes(std::int64_t dataSize, std::int64_t available, std::int64_t dataLimit, int blockAlign);
inline constexpr const char* kRecordingFullMessage =
    "The recording has reached the largest size a WAVE file can hold (4 GB) and was stopped. "
    "Everything up to this point is saved.";

// The header's sizes are brought up to date this often while a recording runs.
constexpr std::uint32_t kHeaderRefreshMs = 2000;
bool HeaderRefreshDue(std::uint32_t lastRefreshMs, std::uint32_t nowMs);

}  // namespace recording
