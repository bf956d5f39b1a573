// A fresh folder for one test, or for the program a test program starts, made the
// current directory for its lifetime when asked (the station library keeps its files
// there), and removed at the end.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace testing_support {

// The whole file's bytes; empty when it cannot be read.
inline std::string ReadFileBytes(const std::string& path) {
  std::ostringstream s;
  s << std::ifstream(path, std::ios::binary).rdbuf();
  return s.str();
}

// The file's size; 0 when it cannot be found.
inline std::uint64_t FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA a{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &a)) return 0;
  return (std::uint64_t(a.nFileSizeHigh) << 32) | a.nFileSizeLow;
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class TestFolder {
 public:
  explicit TestFolder(bool makeCurrent = false,
                      const std::filesystem::path& parent = std::filesystem::temp_directory_path()) {
    static int counter = 0;
    path_ = parent /
            ("tunora-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directory(path_);
    text_ = path_.string();
    if (makeCurrent) {
      previous_ = std::filesystem::current_path();
      std::filesystem::current_path(path_);
    }
  }
  ~TestFolder() {
    if (!previous_.empty()) std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  const std::string& Path() const { return text_; }
  std::string operator/(const std::string& name) const { return text_ + "\\" + name; }
  // The names of the files in the folder (not its subfolders), sorted.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_))
      if (std::error_code ignored; entry.is_regular_file(ignored)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  bool Has(const std::string& name) const {
    return GetFileAttributesA((*this / name).c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  void Put(const std::string& name, const std::string& content) const {
    WriteFileBytes(*this / name, content);
  }
  std::string Content(const std::string& name) const { return ReadFileBytes(*this / name); }
  // Removes the files in the folder, read-only ones too (not its subfolders), for a test
  // that needs it empty.
  void RemoveFiles() const {
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
      std::error_code ignored;
      if (!entry.is_regular_file(ignored)) continue;
      SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
      std::filesystem::remove(entry.path(), ignored);
    }
  }

 private:
  std::filesystem::path path_;
  std::string text_;
  std::filesystem::path previous_;
};

}  // namespace testing_support
