#include "recording/CaptureRules.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace recording {

std::vector<CaptureFormat> ProbeFormats(const std::function<bool(const CaptureFormat&)>& accepts) {
  std::vector<CaptureFormat> formats;
  for (std::uint32_t rate : kProbeRates)
    for (std::uint32_t bits : kProbeBits)
      for (std::uint32_t channels : kProbeChannels) {
        const CaptureFormat f{bits, channels, rate};
        if (accepts(f)) formats.push_back(f);
      }
  return formats;
}

std::string FormatLine(const CaptureFormat& format) {
  char line[64];
  std::snprintf(line, sizeof line, "%uHz %ubit %s", unsigned(format.samplesPerSec), unsigned(format.bitsPerSample),
                format.channels == 1 ? "Mono" : "Stereo");
  return line;
}

int DefaultFormatIndex(const std::vector<std::string>& lines) {
  const auto it = std::find(lines.begin(), lines.end(), kDefaultFormatLine);
  return int(it - lines.begin());
}

std::int32_t MulDiv(std::int32_t number, std::int32_t numerator, std::int32_t denominator) {
  if (denominator == 0) return -1;
  const std::int64_t product = std::int64_t(number) * numerator;
  std::int64_t q = product / denominator;
  const std::int64_t r = product % denominator;
  // Halves away from zero, like the system's own.
  if (2 * std::llabs(r) >= std::llabs(std::int64_t(denominator))) q += ((product < 0) != (denominator < 0)) ? -1 : 1;
  if (q > INT32_MAX || q < INT32_MIN) return -1;
  return std::int32_t(q);
}

std::uint32_t CaptureBufferSize(std::uint32_t avgBytesPerSec, int bufferLengthMs) {
  const std::int32_t size = MulDiv(std::int32_t(avgBytesPerSec), bufferLengthMs, 1000);
  return std::max<std::uint32_t>(size < 0 ? 0 : std::uint32_t(size), kMinCaptureBufferBytes);
}

std::uint32_t CaptureAvailable(std::uint32_t readOffset, std::uint32_t readPosition, std::uint32_t bufferSize) {
  if (readOffset <= readPosition) return readPosition - readOffset;
  return bufferSize - readOffset + readPosition;
}

std::uint32_t AvailableIn(CaptureBufferAccess& buffer, std::uint32_t readOffset, std::uint32_t bufferSize) {
  std::uint32_t position = 0;
  if (!buffer.ReadPosition(position)) return 0;
  return CaptureAvailable(readOffset, position, bufferSize);
}

std::uint32_t ReadCaptured(CaptureBufferAccess& buffer, std::uint32_t& readOffset, std::uint32_t bufferSize,
                           std::uint8_t* out, std::uint32_t count, std::uint32_t bitsPerSample) {
  std::uint32_t total = 0;
  int waitedMs = 0;  // since the last byte
  while (total < count && waitedMs < kMaxCaptureWaitMs) {
    const std::uint32_t n = std::min(count - total, AvailableIn(buffer, readOffset, bufferSize));
    if (n > 0) {
      CaptureBufferAccess::Parts parts;
      if (!buffer.Lock(readOffset, n, parts)) break;
      std::memcpy(out + total, parts.first, parts.firstLength);
      total += parts.firstLength;
      if (parts.second) {
        std::memcpy(out + total, parts.second, parts.secondLength);
        total += parts.secondLength;
      }
      buffer.Unlock(parts);
      readOffset = std::uint32_t((std::uint64_t(readOffset) + parts.firstLength + parts.secondLength) % bufferSize);
      waitedMs = 0;
    }
    if (total < count) {
      buffer.Sleep(50);
      waitedMs += 50;
    }
  }
  std::memset(out + total, bitsPerSample == 8 ? 0x80 : 0, count - total);
  return total;
}

void CaptureLapCounter::Start(std::uint32_t position) {
  position_ = position;
  written_ = 0;
}

void CaptureLapCounter::Look(std::uint32_t position, std::uint32_t bufferSize) {
  if (position >= bufferSize) return;
  // Never a whole lap between two looks: what lies between two looks that were too far
  // apart to tell is counted as the way forward only.
  written_ += CaptureAvailable(position_, position, bufferSize);
  position_ = position;
}

std::int64_t OverwrittenBytes(std::int64_t written, std::int64_t read, std::uint32_t available,
                              std::uint32_t bufferSize) {
  if (bufferSize == 0) return 0;
  const std::int64_t behind = written - read - std::int64_t(available);
  // Whole laps: the position is looked at in steps, so a little either way is rounding.
  const std::int64_t laps = (behind + std::int64_t(bufferSize) / 2) / std::int64_t(bufferSize);
  return laps > 0 ? laps * bufferSize : 0;
}

namespace {

std::string ClockText(double seconds) {
  const long long s = static_cast<long long>(seconds);
  char text[32];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
  return text;
}

}  // namespace

std::string LostSoundMessage(const std::vector<CaptureGap>& gaps, std::uint32_t avgBytesPerSec) {
  if (gaps.empty() || avgBytesPerSec == 0) return {};
  std::int64_t lost = 0;
  std::string where;
  for (const CaptureGap& g : gaps) {
    lost += g.lostBytes;
    char part[64];
    std::snprintf(part, sizeof part, "%.1f s before %s", double(g.lostBytes) / avgBytesPerSec,
                  ClockText(double(g.atByte) / avgBytesPerSec).c_str());
    where += (where.empty() ? "" : ", ") + std::string(part);
  }
  char head[160];
  std::snprintf(head, sizeof head,
                "%.1f seconds of sound were lost during the recording, because the program was held up for "
                "longer than the capture buffer lasts: ",
                double(lost) / avgBytesPerSec);
  return head + where + " (positions in the recording).";
}

std::int64_t RoundKilobytes(std::int64_t bytes) {
  const std::int64_t q = bytes / 1024, r = bytes % 1024;
  if (r > 512 || (r == 512 && q % 2 == 1)) return q + 1;
  return q;
}

std::int64_t WritableBytes(std::int64_t dataSize, std::int64_t available, std::int64_t dataLimit, int blockAlign) {
  const std::int64_t room = std::max<std::int64_t>(dataLimit - dataSize, 0);
  if (available <= room) return available;
  return blockAlign > 0 ? room - room % blockAlign : room;
}

bool SizeDisplayDue(std::uint32_t lastShownMs, std::uint32_t nowMs) {
  return std::uint32_t(nowMs - lastShownMs) >= kSizeDisplayMs;
}

bool HeaderRefreshDue(std::uint32_t lastRefreshMs, std::uint32_t nowMs) {
  return std::uint32_t(nowMs - lastRefreshMs) >= kHeaderRefreshMs;
}

}  // namespace recording
