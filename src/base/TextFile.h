// Whole text files on disk, byte for byte. A write goes to a temporary file beside the
// target, which replaces the target only once every byte is written and flushed: a
// failed save never leaves half a file and never loses the old one.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>

namespace base {

// A file operation that failed, with the system's message ("File access denied",
// "I/O error 1234", ...), the system's error number and the path.
class EInOutError : public std::runtime_error {
 public:
  EInOutError(unsigned long errorCode, std::string path);
  // With a message of its own (the system's message is part of it).
  EInOutError(unsigned long errorCode, std::string path, const std::string& message);
  unsigned long ErrorCode() const { return errorCode_; }
  const std::string& Path() const { return path_; }

 private:
  unsigned long errorCode_;
  std::string path_;
};

// The message shown for a system error number.
std::string InOutErrorMessage(unsigned long errorCode);

// True for an existing file; false for a directory, a missing file or a name that
// cannot name a file.
bool FileExists(const std::string& path);

// The largest file ReadTextFile reads.
constexpr long long kMaxTextFileSize = 16 * 1024 * 1024;

// The whole file; nullopt when it does not exist (also when its folder does not exist
// or its name cannot name a file). A file larger than kMaxTextFileSize, and every other
// failure, raise EInOutError naming the file.
std::optional<std::string> ReadTextFile(const std::string& path);

// At most the first `most` bytes of the file, for a file that should be small and may
// be any size. Raises EInOutError naming the file on any failure, also when it does not
// exist.
std::string ReadFileStart(const std::string& path, std::size_t most);
// The same for a path in UTF-8, which may name a file in any script.
std::string ReadFileStartUtf8(const std::string& path, std::size_t most);

// Replaces the file's content by text, through a temporary file in the same folder.
// Raises EInOutError on any failure; the target then keeps its old content and the
// temporary file is gone. Its message names the file and says that nothing was lost:
// "Disk full: C:\x\Defaults.ini was not saved and keeps its previous content."
void WriteTextFile(const std::string& path, const std::string& text);

}  // namespace base
