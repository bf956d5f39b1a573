// The byte streams of the recorder and the RIFF/WAVE layout laid over them. Portable:
// the streams here work on any other byte stream, a memory buffer included, so the WAVE
// reader can be fed a buffer of bytes as well as a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace recording {

// A short read or write of a part that must be whole.
class EReadError : public std::runtime_error {
 public:
  EReadError() : std::runtime_error("Stream read error") {}
};
class EWriteError : public std::runtime_error {
 public:
  EWriteError() : std::runtime_error("Stream write error") {}
};
class EWaveStreamError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum SeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };

// A byte stream: read, write, seek, size.
class TStream {
 public:
  virtual ~TStream() = default;
  virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
  virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
  virtual std::int64_t Seek(std::int64_t offset, int origin) = 0;
  // The default seeks to the end and back.
  virtual std::int64_t GetSize();
  // What was written goes on to the disk (a file); the default has nothing to do.
  virtual void Flush() {}

  std::int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(std::int64_t position) { Seek(position, soBeginning); }
  // Whole or EReadError / EWriteError.
  void ReadBuffer(void* buffer, std::int64_t count);
  void WriteBuffer(const void* buffer, std::int64_t count);
  // Copies count bytes read from source (all of it from its start when count is 0).
  std::int64_t CopyFrom(TStream& source, std::int64_t count);
};

// A stream over bytes in memory.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, int origin) override;
  std::int64_t GetSize() override { return std::int64_t(bytes_.size()); }
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
  std::int64_t position_ = 0;
};

// The 18-byte PCM wave format record, little-endian.
constexpr int kPcmFormatSize = 18;
struct PcmFormat {
  std::uint16_t formatTag = 1;
  std::uint16_t channels = 0;
  std::uint32_t samplesPerSec = 0;
  std::uint32_t avgBytesPerSec = 0;
  std::uint16_t blockAlign = 0;
  std::uint16_t bitsPerSample = 0;
  std::uint16_t extraSize = 0;
};
// Fills the 18 bytes at block: PCM, block align = channels x (bits div 8) in 16 bits,
// average bytes per second = block align x rate, no extra bytes.
void MakePCMFormat(std::uint8_t* block, std::uint32_t rate, std::uint32_t bits, std::uint32_t channels);
PcmFormat ReadPcmFormat(const std::uint8_t* block);

// A stream of sample data whose format lives in a format block beside it.
class TCustomWaveStream : public TStream {
 public:
  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, int origin) override;

  // Bytes readable now; -1 when not limited.
  virtual std::int64_t GetAvailable() { return -1; }
  virtual std::uint8_t* GetFormat() = 0;
  virtual int GetFormatSize() { return 0; }
  // -1 when the size is not known.
  virtual std::int64_t GetDataSize() { return -1; }
  virtual void SetFormatSize(int size) = 0;

  void SetPCMFormat(std::uint32_t rate, std::uint32_t bits, std::uint32_t channels);
  std::int64_t DataPosition() const { return dataPosition_; }

 protected:
  virtual std::int64_t ReadData(void* buffer, std::int64_t count) {
    (void)buffer, (void)count;
    return 0;
  }
  virtual std::int64_t WriteData(const void* buffer, std::int64_t count) {
    (void)buffer, (void)count;
    return 0;
  }

  std::int64_t dataPosition_ = 0;
};

// A wave stream that owns its format block.
class TCustomWaveStream2 : public TCustomWaveStream {
 public:
  std::uint8_t* GetFormat() override { return format_.empty() ? nullptr : format_.data(); }
  int GetFormatSize() override { return int(format_.size()); }
  // Keeps the contents up to the smaller size; 0 frees the block.
  void SetFormatSize(int size) override;

 private:
  std::vector<std::uint8_t> format_;
};

// Where the fields of the header the recorder writes lie, and its size.
constexpr std::int64_t kRiffSizeOffset = 4;
constexpr std::int64_t kHeaderSize = 46;

// The RIFF/WAVE layout over another stream, which it does not own.
class TWaveStream : public TCustomWaveStream2 {
 public:
  // The RIFF header goes where base is now. Nothing is read or written yet.
  explicit TWaveStream(TStream& base);
  // Finishes a stream open for writing; errors are lost here, so owners call Finish.
  ~TWaveStream() override;

  void Open(bool writing) { writing ? OpenWrite() : OpenRead(); }
  void OpenWrite();
  void OpenRead();
  // Writes the final RIFF and data sizes, once; later calls do nothing.
  void Finish();
  // Brings the RIFF and data sizes in the header up to the data written so far, and
  // flushes the stream, so that a file whose writer dies still plays up to here. Two
  // numbers written in place; the data's own writes always say where they go.
  void RefreshSizes();

  std::int64_t GetDataSize() override;
  bool Opened() const { return opened_; }
  bool ReadMode() const { return readMode_; }
  std::int64_t DataOffset() const { return dataOffset_; }
  // The most sample data for a file of at most 2^32 - 1 bytes, whole frames of blockAlign.
  std::int64_t DataLimit(int blockAlign) const;

 protected:
  std::int64_t ReadData(void* buffer, std::int64_t count) override;
  std::int64_t WriteData(const void* buffer, std::int64_t count) override;

 private:
  void WriteSizes();

  std::int64_t dataOffset_ = 0;
  std::int64_t dataChunkPos_ = 0;
  bool opened_ = false;
  std::int64_t startPos_ = 0;
  bool readMode_ = false;
  bool finished_ = false;
  std::int64_t dataSize_ = 0;
  TStream& base_;
};

}  // namespace recording
