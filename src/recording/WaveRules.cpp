#include "recording/WaveRules.h"

#include <algorithm>
#include <cstring>

namespace recording {

namespace {

constexpr std::int64_t kCopyChunk = 0xF000;
constexpr std::int64_t kMaxChunkSize = 0xFFFFFFFFll;
constexpr std::int64_t kMaxFileSize = 0xFFFFFFFFll;
constexpr std::uint32_t kMaxFormatSize = kPcmFormatSize + 0xFFFF;

std::uint32_t Le32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}
std::uint16_t Le16(const std::uint8_t* p) {
  return std::uint16_t(p[0] | p[1] << 8);
}
void Put32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(v >> (8 * i));
}
void Put16(std::uint8_t* p, std::uint16_t v) {
  p[0] = std::uint8_t(v);
  p[1] = std::uint8_t(v >> 8);
}
std::uint32_t Id(const char* four) {
  return Le32(reinterpret_cast<const std::uint8_t*>(four));
}

void WriteId(TStream& s, const char* four) {
  s.WriteBuffer(four, 4);
}
void WriteNumber(TStream& s, std::uint32_t v) {
  std::uint8_t b[4];
  Put32(b, v);
  s.WriteBuffer(b, 4);
}
std::uint32_t SizeField(std::int64_t v) {
  return std::uint32_t(std::clamp<std::int64_t>(v, 0, kMaxChunkSize));
}

}  // namespace

std::int64_t TStream::GetSize() {
  const std::int64_t position = Seek(0, soCurrent);
  const std::int64_t size = Seek(0, soEnd);
  Seek(position, soBeginning);
  return size;
}

void TStream::ReadBuffer(void* buffer, std::int64_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError();
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count) {
  if (count != 0 && Write(buffer, count) != count) throw EWriteError();
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.GetSize();
  }
  std::vector<std::uint8_t> buffer(std::size_t(std::clamp<std::int64_t>(count, 1, kCopyChunk)));
  std::int64_t done = 0;
  while (done < count) {
    const std::int64_t n = std::min<std::int64_t>(count - done, std::int64_t(buffer.size()));
    source.ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    done += n;
  }
  return done;
}

std::int64_t TMemoryStream::Read(void* buffer, std::int64_t count) {
  const std::int64_t size = GetSize();
  if (count <= 0 || position_ >= size) return 0;
  const std::int64_t n = std::min(count, size - position_);
  std::memcpy(buffer, bytes_.data() + position_, std::size_t(n));
  position_ += n;
  return n;
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count) {
  if (count <= 0) return 0;
  if (position_ + count > GetSize()) bytes_.resize(std::size_t(position_ + count));
  std::memcpy(bytes_.data() + position_, buffer, std::size_t(count));
  position_ += count;
  return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, int origin) {
  std::int64_t to = position_;
  if (origin == soBeginning) to = offset;
  if (origin == soCurrent) to = position_ + offset;
  if (origin == soEnd) to = GetSize() + offset;
  position_ = std::max<std::int64_t>(to, 0);
  return position_;
}

void MakePCMFormat(std::uint8_t* block, std::uint32_t rate, std::uint32_t bits, std::uint32_t channels) {
  const std::uint16_t blockAlign = std::uint16_t(channels * (bits / 8));
  Put16(block, 1);
  Put16(block + 2, std::uint16_t(channels));
  Put32(block + 4, rate);
  Put32(block + 8, std::uint32_t(blockAlign) * rate);
  Put16(block + 12, blockAlign);
  Put16(block + 14, std::uint16_t(bits));
  Put16(block + 16, 0);
}

PcmFormat ReadPcmFormat(const std::uint8_t* block) {
  return {Le16(block),      Le16(block + 2),  Le32(block + 4), Le32(block + 8),
          Le16(block + 12), Le16(block + 14), Le16(block + 16)};
}

std::int64_t TCustomWaveStream::Read(void* buffer, std::int64_t count) {
  const std::int64_t size = GetDataSize();
  if (size >= 0) {
    dataPosition_ = std::min(dataPosition_, size);
    count = std::min(count, size - dataPosition_);
  }
  if (count <= 0) return 0;
  const std::int64_t n = ReadData(buffer, count);
  dataPosition_ += n;
  return n;
}

std::int64_t TCustomWaveStream::Write(const void* buffer, std::int64_t count) {
  dataPosition_ = std::min(dataPosition_, GetDataSize());
  if (count <= 0) return 0;
  const std::int64_t n = WriteData(buffer, count);
  dataPosition_ += n;
  return n;
}

std::int64_t TCustomWaveStream::Seek(std::int64_t offset, int origin) {
  if (origin == soBeginning) dataPosition_ = offset;
  if (origin == soCurrent) dataPosition_ += offset;
  if (origin == soEnd) dataPosition_ = offset + GetDataSize();
  if (dataPosition_ < 0) dataPosition_ = 0;
  if (dataPosition_ > GetDataSize()) dataPosition_ = GetDataSize();
  return dataPosition_;
}

void TCustomWaveStream::SetPCMFormat(std::uint32_t rate, std::uint32_t bits, std::uint32_t channels) {
  SetFormatSize(kPcmFormatSize);
  MakePCMFormat(GetFormat(), rate, bits, channels);
}

void TCustomWaveStream2::SetFormatSize(int size) {
  if (size <= 0) {
    format_.clear();
    format_.shrink_to_fit();
    return;
  }
  format_.resize(std::size_t(size), 0);
}

TWaveStream::TWaveStream(TStream& base) : startPos_(base.Position()), base_(base) {}

TWaveStream::~TWaveStream() {
  try {
    Finish();
  } catch (const std::exception&) {
  }
}

std::int64_t TWaveStream::GetDataSize() {
  if (!opened_) return 0;
  if (readMode_) return dataSize_;
  return base_.GetSize() - dataOffset_;
}

std::int64_t TWaveStream::DataLimit(int blockAlign) const {
  // The whole file stays within 2^32 - 1 bytes: the largest file FAT32 holds (a USB
  // stick), and within what the RIFF size can describe.
  const std::int64_t limit = kMaxFileSize - (dataOffset_ - startPos_);
  return blockAlign > 0 ? limit - limit % blockAlign : limit;
}

std::int64_t TWaveStream::ReadData(void* buffer, std::int64_t count) {
  if (!opened_) throw EWaveStreamError("Stream not opend");
  base_.SetPosition(dataPosition_ + dataOffset_);
  return base_.Read(buffer, count);
}

std::int64_t TWaveStream::WriteData(const void* buffer, std::int64_t count) {
  if (!opened_) throw EWaveStreamError("Stream not opend");
  // A file being read is never written past its data chunk.
  if (readMode_ && dataPosition_ + count > dataSize_) count = std::max<std::int64_t>(dataSize_ - dataPosition_, 0);
  base_.SetPosition(dataPosition_ + dataOffset_);
  return base_.Write(buffer, count);
}

void TWaveStream::OpenWrite() {
  if (opened_) throw EWaveStreamError("Stream has already been opened");
  if (GetFormatSize() == 0) throw EWaveStreamError("Format is invalid");
  opened_ = true;
  base_.SetPosition(startPos_);
  // The sizes of a stream with no data yet; RefreshSizes and Finish bring them up.
  WriteId(base_, "RIFF");
  WriteNumber(base_, std::uint32_t(4 + 8 + GetFormatSize() + 8));
  WriteId(base_, "WAVE");
  WriteId(base_, "fmt ");
  WriteNumber(base_, std::uint32_t(GetFormatSize()));
  base_.WriteBuffer(GetFormat(), GetFormatSize());
  dataChunkPos_ = base_.Position();
  WriteId(base_, "data");
  WriteNumber(base_, 0);
  dataOffset_ = base_.Position();
}

void TWaveStream::OpenRead() {
  if (opened_) throw EWaveStreamError("Stream has already been opened");
  opened_ = true;
  readMode_ = true;
  base_.SetPosition(startPos_);
  std::uint8_t header[12];
  base_.ReadBuffer(header, 12);
  if (Le32(header) != Id("RIFF") || Le32(header + 8) != Id("WAVE")) throw EWaveStreamError("Wave is invalid");
  const std::int64_t end = base_.GetSize();
  for (;;) {
    std::uint8_t chunk[8] = {};
    base_.Read(chunk, 8);
    const std::uint32_t id = Le32(chunk);
    const std::uint32_t size = Le32(chunk + 4);
    if (id == 0) break;
    const std::int64_t left = std::max<std::int64_t>(end - base_.Position(), 0);
    if (id == Id("fmt ")) {
      // A damaged size must not allocate more than the stream could ever fill, nor more
      // than any format block takes: the 18 bytes and at most 65535 extra (a size of 2^31
      // or more would not even fit the block's int size).
      if (size > left) throw EReadError();
      if (size > kMaxFormatSize) throw EWaveStreamError("Wave is invalid");
      SetFormatSize(int(size));
      base_.ReadBuffer(GetFormat(), size);
    } else if (id == Id("data")) {
      // A size beyond the end (a writer that died) describes only what is there.
      dataSize_ = std::min<std::int64_t>(size, left);
      dataOffset_ = base_.Position();
      base_.Seek(size, soCurrent);
    } else {
      base_.Seek(size, soCurrent);
    }
  }
}

void TWaveStream::WriteSizes() {
  const std::int64_t end = base_.GetSize();
  base_.SetPosition(startPos_ + kRiffSizeOffset);
  WriteNumber(base_, SizeField(end - startPos_ - 8));
  base_.SetPosition(dataChunkPos_ + 4);
  WriteNumber(base_, SizeField(end - dataOffset_));
}

void TWaveStream::RefreshSizes() {
  if (!opened_ || readMode_ || finished_) return;
  WriteSizes();
  // On the disk, not in the system's cache: a recording cut short by a power cut plays
  // up to here.
  base_.Flush();
}

void TWaveStream::Finish() {
  if (!opened_ || readMode_ || finished_) return;
  finished_ = true;
  base_.SetPosition(startPos_);
  WriteId(base_, "RIFF");
  base_.SetPosition(startPos_ + 8);
  WriteId(base_, "WAVE");
  base_.SetPosition(dataChunkPos_);
  WriteId(base_, "data");
  WriteSizes();
  base_.Seek(0, soEnd);
}

}  // namespace recording
