#include "base/TextFile.h"

#include <windows.h>

#include <algorithm>

#include "base/Encoding.h"

namespace base {

namespace {

// Closes a file handle however the operation leaves.
class FileHandle {
 public:
  explicit FileHandle(HANDLE h) : h_(h) {}
  ~FileHandle() { Close(); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return h_; }
  // False when closing failed (for a written file: the data may not have reached it).
  bool Close() {
    if (h_ == INVALID_HANDLE_VALUE) return true;
    const BOOL ok = CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
    return ok != FALSE;
  }

 private:
  HANDLE h_;
};

bool MeansNoFile(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME ||
         error == ERROR_BAD_PATHNAME;
}

[[noreturn]] void Fail(const std::string& path, DWORD error = GetLastError()) {
  throw EInOutError(error, path);
}

// The folder a temporary file beside path goes into.
std::string FolderOf(const std::string& path) {
  const std::size_t sep = path.find_last_of("\\/");
  if (sep == std::string::npos) return ".";
  if (sep == 0 || (sep == 2 && path[1] == ':')) return path.substr(0, sep + 1);  // a root
  return path.substr(0, sep);
}

}  // namespace

std::string InOutErrorMessage(unsigned long errorCode) {
  switch (errorCode) {
    case ERROR_FILE_NOT_FOUND:
      return "File not found";
    case ERROR_PATH_NOT_FOUND:
      return "Path not found";
    case ERROR_TOO_MANY_OPEN_FILES:
      return "Too many open files";
    case ERROR_ACCESS_DENIED:
      return "File access denied";
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
      return "Invalid filename";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return "Disk full";
    default:
      return "I/O error " + std::to_string(errorCode);
  }
}

EInOutError::EInOutError(unsigned long errorCode, std::string path)
    : std::runtime_error(InOutErrorMessage(errorCode)), errorCode_(errorCode), path_(std::move(path)) {}

EInOutError::EInOutError(unsigned long errorCode, std::string path, const std::string& message)
    : std::runtime_error(message), errorCode_(errorCode), path_(std::move(path)) {}

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> ReadTextFile(const std::string& path) {
  FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) {
    const DWORD error = GetLastError();
    if (MeansNoFile(error)) return std::nullopt;
    Fail(path, error);
  }
  // These files hold a few kilobytes; a huge one is damaged, and reading it whole could
  // exhaust the program's memory.
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size)) Fail(path);
  if (size.QuadPart > kMaxTextFileSize)
    throw EInOutError(ERROR_FILE_TOO_LARGE, path,
                      path + " is too large to be read: " + std::to_string(size.QuadPart) + " bytes, at most " +
                          std::to_string(kMaxTextFileSize) + ".");
  std::string text;
  char buffer[16384];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr)) Fail(path);
    if (got == 0 || text.size() + got > std::size_t(kMaxTextFileSize)) break;
    text.append(buffer, got);
  }
  return text;
}

namespace {

std::string ReadStart(HANDLE opened, const std::string& path, std::size_t most) {
  FileHandle file(opened);
  if (!file.Valid()) throw EInOutError(GetLastError(), path);
  std::string text(most, '\0');
  std::size_t done = 0;
  while (done < most) {
    DWORD got = 0;
    if (!ReadFile(file.Get(), text.data() + done, DWORD(most - done), &got, nullptr))
      throw EInOutError(GetLastError(), path);
    if (got == 0) break;
    done += got;
  }
  text.resize(done);
  return text;
}

}  // namespace

std::string ReadFileStart(const std::string& path, std::size_t most) {
  return ReadStart(
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr),
      path, most);
}

std::string ReadFileStartUtf8(const std::string& path, std::size_t most) {
  return ReadStart(
      CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr),
      path, most);
}

void WriteTextFile(const std::string& path, const std::string& text) {
  // A save that fails tells which file, and that the old one is still there: a bare
  // "Disk full" after Exit would leave the user guessing what was lost.
  const DWORD attributes = GetFileAttributesA(path.c_str());
  const bool existed = attributes != INVALID_FILE_ATTRIBUTES;
  const auto SaveFailed = [&](DWORD error) {
    throw EInOutError(error, path,
                      InOutErrorMessage(error) + ": " + path + " was not saved" +
                          (existed ? " and keeps its previous content." : "."));
  };
  // A read-only file is not to be replaced. Windows refuses to move onto one, Wine does
  // not: ask first, so that both keep it.
  if (existed && (attributes & FILE_ATTRIBUTE_READONLY)) SaveFailed(ERROR_ACCESS_DENIED);

  char temporary[MAX_PATH + 1] = "";
  if (!GetTempFileNameA(FolderOf(path).c_str(), "tun", 0, temporary)) {
    const DWORD error = GetLastError();
    SaveFailed(error == ERROR_DIRECTORY ? ERROR_PATH_NOT_FOUND : error);  // the folder is missing
  }
  // From here on the temporary file exists and must go again on every failure.
  struct RemoveUnlessMoved {
    const char* name;
    bool moved = false;
    ~RemoveUnlessMoved() {
      if (!moved) DeleteFileA(name);
    }
  } cleanup{temporary};

  {
    FileHandle file(CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) SaveFailed(GetLastError());
    std::size_t done = 0;
    while (done < text.size()) {
      const DWORD chunk = DWORD(std::min<std::size_t>(text.size() - done, 1u << 20));
      DWORD written = 0;
      if (!WriteFile(file.Get(), text.data() + done, chunk, &written, nullptr)) SaveFailed(GetLastError());
      if (written == 0) SaveFailed(ERROR_DISK_FULL);
      done += written;
    }
    if (!FlushFileBuffers(file.Get())) SaveFailed(GetLastError());
    if (!file.Close()) SaveFailed(GetLastError());
  }
  if (!MoveFileExA(temporary, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    SaveFailed(GetLastError());
  cleanup.moved = true;
}

}  // namespace base
