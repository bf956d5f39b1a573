// A fresh folder for one test, optionally made the current directory for its lifetime
// (the station library keeps its files in the current directory). Removed at the end.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

class TestFolder {
 public:
  explicit TestFolder(bool makeCurrent = false);
  ~TestFolder();
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }
  // The names in the folder, sorted, without "." and "..".
  std::vector<std::string> Names() const;
  void Put(const std::string& name, const std::string& content) const;
  // The file's bytes; "<missing>" when it cannot be read.
  std::string Content(const std::string& name) const;

 private:
  std::string path_;
  std::string previousCurrent_;
};

}  // namespace testing_support
