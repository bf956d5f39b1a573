#include "recording/Wave.h"

namespace recording {

std::string SystemErrorText(DWORD error) {
  char* text = nullptr;
  const DWORD n =
      FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string s = n && text ? std::string(text, n) : "System error " + std::to_string(error);
  if (text) LocalFree(text);
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) s.pop_back();
  return s;
}

TFileStream::TFileStream(const std::string& fileName, FileMode mode) {
  if (mode == FileMode::Create)
    handle_ = CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
  else
    handle_ = CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle_ == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (mode == FileMode::Create)
      throw std::runtime_error("Cannot create file \"" + fileName + "\". " + SystemErrorText(error));
    throw std::runtime_error("Cannot open file \"" + fileName + "\". " + SystemErrorText(error));
  }
}

TFileStream::~TFileStream() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
}

std::int64_t TFileStream::Read(void* buffer, std::int64_t count) {
  DWORD done = 0;
  if (count <= 0 || !ReadFile(handle_, buffer, DWORD(count), &done, nullptr)) return 0;
  return done;
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count) {
  DWORD done = 0;
  if (count <= 0) return 0;
  WriteFile(handle_, buffer, DWORD(count), &done, nullptr);
  return done;
}

std::int64_t TFileStream::Seek(std::int64_t offset, int origin) {
  LARGE_INTEGER to, now;
  to.QuadPart = offset;
  const DWORD method = origin == soCurrent ? FILE_CURRENT : origin == soEnd ? FILE_END : FILE_BEGIN;
  if (!SetFilePointerEx(handle_, to, &now, method)) return -1;
  return now.QuadPart;
}

void TFileStream::Flush() {
  FlushFileBuffers(handle_);
}

std::int64_t TFileStream::GetSize() {
  LARGE_INTEGER size;
  return GetFileSizeEx(handle_, &size) ? size.QuadPart : -1;
}

TWaveFileStream::TWaveFileStream(const std::string& fileName, FileMode mode)
    : OwnedFile{std::make_unique<TFileStream>(fileName, mode)}, TWaveStream(*file) {}

TWaveFileStream::~TWaveFileStream() = default;

}  // namespace recording
