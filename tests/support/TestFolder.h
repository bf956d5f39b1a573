// A fresh folder for one test, made the current directory for its lifetime when asked
// (the station library keeps its files there), and removed at the end.
#pragma once

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace testing_support {

class TestFolder {
 public:
  explicit TestFolder(bool makeCurrent = false) {
    static int counter = 0;
    path_ = std::filesystem::temp_directory_path() /
            ("tunora-stations-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directory(path_);
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

  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  // The names in the folder, sorted.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  void Put(const std::string& name, const std::string& content) const {
    std::ofstream(*this / name, std::ios::binary) << content;
  }
  std::string Content(const std::string& name) const {
    std::ostringstream s;
    s << std::ifstream(*this / name, std::ios::binary).rdbuf();
    return s.str();
  }

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_;
};

}  // namespace testing_support
