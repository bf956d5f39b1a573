#include "nowplaying/TitleLog.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "nowplaying/TitleLogRules.h"

namespace nowplaying {

namespace {

std::string SystemText(DWORD code) {
  char text[512] = "";
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text, sizeof text,
                 nullptr);
  std::string s = text;
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ' || s.back() == '.')) s.pop_back();
  return s.empty() ? "error " + std::to_string(code) : s;
}

constexpr char kBom[] = "\xEF\xBB\xBF";
constexpr DWORD kBomSize = 3;

struct Handle {
  HANDLE h;
  ~Handle() {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};

}  // namespace

TitleLog::TitleLog(std::string path) : path_(std::move(path)) {
  worker_.Start([this](bool) { Pass(); });
}

void TitleLog::Add(const std::string& station, const std::string& title) {
  SYSTEMTIME t;
  GetLocalTime(&t);
  const std::string line =
      TitleLogLine({t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond}, station, title);
  {
    std::lock_guard lock(mutex_);
    lines_.push_back(line);
  }
  worker_.Wake();
}

void TitleLog::Drain() {
  worker_.WaitIdle();
}

std::string TitleLog::TakeFailure() {
  std::lock_guard lock(mutex_);
  return std::exchange(failure_, std::string());
}

void TitleLog::Pass() {
  std::unique_lock lock(mutex_);
  while (!lines_.empty()) {
    const std::string line = std::move(lines_.front());
    lines_.pop_front();
    lock.unlock();
    std::string why;
    const bool ok = Write(line, why);
    lock.lock();
    if (!ok && !failing_) failure_ = "The title log " + path_ + " cannot be written: " + why;
    failing_ = !ok;
  }
}

bool TitleLog::SetAsideAnsiLog(std::string& why) {
  char head[kBomSize] = {};
  DWORD got = 0;
  {
    Handle file{CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.h == INVALID_HANDLE_VALUE) {
      if (GetLastError() == ERROR_FILE_NOT_FOUND) return true;
      why = SystemText(GetLastError());
      return false;
    }
    if (!ReadFile(file.h, head, kBomSize, &got, nullptr)) got = 0;
  }
  if (got == 0 || (got == kBomSize && std::equal(head, head + kBomSize, kBom))) return true;
  const std::string stem = path_.ends_with(".txt") ? path_.substr(0, path_.size() - 4) : path_;
  for (int n = 1; n < 100; ++n) {
    const std::string aside = stem + "-ansi" + (n == 1 ? "" : " (" + std::to_string(n) + ")") + ".txt";
    if (MoveFileA(path_.c_str(), aside.c_str())) return true;
    if (GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  why = SystemText(GetLastError());
  return false;
}

bool TitleLog::Write(const std::string& utf8Line, std::string& why) {
  if (!SetAsideAnsiLog(why)) return false;
  LARGE_INTEGER size{};
  {
    Handle file{CreateFileA(path_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.h == INVALID_HANDLE_VALUE) {
      why = SystemText(GetLastError());
      return false;
    }
    // A new log begins with the mark that tells editors it is UTF-8.
    const std::string line = GetFileSizeEx(file.h, &size) && size.QuadPart == 0 ? kBom + utf8Line : utf8Line;
    DWORD written = 0;
    if (!WriteFile(file.h, line.data(), DWORD(line.size()), &written, nullptr) || written != line.size()) {
      why = SystemText(GetLastError());
      // A line cut short by a full disk is taken back, so that the next one starts a line.
      if (GetFileSizeEx(file.h, &size) && written > 0) {
        size.QuadPart -= written;
        if (SetFilePointerEx(file.h, size, nullptr, FILE_BEGIN)) SetEndOfFile(file.h);
      }
      return false;
    }
    FlushFileBuffers(file.h);
    if (!GetFileSizeEx(file.h, &size)) return true;
  }
  return !TitleLogTooLong(std::size_t(size.QuadPart)) || Trim(why);
}

bool TitleLog::Trim(std::string& why) {
  // Only the end of the log is read: what is kept lies in it, however large the log grew
  // (a log someone else filled, or one kept while the program could not trim it).
  constexpr LONGLONG kTail = 2 * LONGLONG(kTitleLogLimit);
  std::string log;
  {
    Handle file{CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr)};
    LARGE_INTEGER size{}, from{};
    if (file.h == INVALID_HANDLE_VALUE || !GetFileSizeEx(file.h, &size)) {
      why = SystemText(GetLastError());
      return false;
    }
    from.QuadPart = std::max<LONGLONG>(0, size.QuadPart - kTail);
    log.resize(std::size_t(size.QuadPart - from.QuadPart));
    DWORD got = 0;
    if (!SetFilePointerEx(file.h, from, nullptr, FILE_BEGIN) ||
        !ReadFile(file.h, log.data(), DWORD(log.size()), &got, nullptr)) {
      why = SystemText(GetLastError());
      return false;
    }
    log.resize(got);
  }
  // The newer half goes to a file of its own first: a failure leaves the log whole.
  const std::string kept = kBom + TitleLogNewerHalf(log);
  const std::string temp = path_ + ".tmp";
  {
    Handle file{CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)};
    DWORD written = 0;
    if (file.h == INVALID_HANDLE_VALUE || !WriteFile(file.h, kept.data(), DWORD(kept.size()), &written, nullptr) ||
        written != kept.size() || !FlushFileBuffers(file.h)) {
      why = SystemText(GetLastError());
      CloseHandle(std::exchange(file.h, INVALID_HANDLE_VALUE));
      DeleteFileA(temp.c_str());
      return false;
    }
  }
  if (!MoveFileExA(temp.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    why = SystemText(GetLastError());
    DeleteFileA(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace nowplaying
