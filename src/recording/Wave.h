// A WAVE file on disk: a byte stream over a file, and the RIFF/WAVE stream that creates
// or opens such a file and owns it.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "recording/WaveRules.h"

namespace recording {

enum class FileMode { Create, OpenRead };

// A byte stream over an open file. Create makes the file or empties it, for reading and
// writing, not shared; OpenRead opens an existing file for reading, shared for reading.
class TFileStream : public TStream {
 public:
  TFileStream(const std::string& fileName, FileMode mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;
  std::int64_t Read(void* buffer, std::int64_t count) override;
  // Writes what the disk takes; fewer bytes than asked when it is full.
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, int origin) override;
  std::int64_t GetSize() override;
  void Flush() override;

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// The system's text for an error number, without the trailing line end.
std::string SystemErrorText(DWORD error);

namespace detail {
struct OwnedFile {
  std::unique_ptr<TFileStream> file;
};
}  // namespace detail

// A WAVE stream over a file of its own. The file is made before the stream and closed
// after it, so the header is finished while the file is open.
class TWaveFileStream : private detail::OwnedFile, public TWaveStream {
 public:
  TWaveFileStream(const std::string& fileName, FileMode mode);
  ~TWaveFileStream() override;
};

}  // namespace recording
