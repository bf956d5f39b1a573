#include "stations/TestFolder.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace testing_support {

namespace {

void RemoveTree(const std::string& path) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((path + "\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      const std::string full = path + "\\" + name;
      SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(full);
      else
        DeleteFileA(full.c_str());
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  RemoveDirectoryA(path.c_str());
}

}  // namespace

TestFolder::TestFolder(bool makeCurrent) {
  char base[MAX_PATH] = "";
  GetTempPathA(MAX_PATH, base);
  static int counter = 0;
  path_ =
      std::string(base) + "tunora-stations-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
  if (!path_.empty() && path_.back() == '\\') path_.pop_back();
  RemoveTree(path_);
  if (!CreateDirectoryA(path_.c_str(), nullptr)) throw std::runtime_error("cannot make " + path_);
  if (makeCurrent) {
    char current[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, current);
    previousCurrent_ = current;
    SetCurrentDirectoryA(path_.c_str());
  }
}

TestFolder::~TestFolder() {
  if (!previousCurrent_.empty()) SetCurrentDirectoryA(previousCurrent_.c_str());
  RemoveTree(path_);
}

std::vector<std::string> TestFolder::Names() const {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((path_ + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = data.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

void TestFolder::Put(const std::string& name, const std::string& content) const {
  std::ofstream out(*this / name, std::ios::binary);
  out << content;
}

std::string TestFolder::Content(const std::string& name) const {
  std::ifstream in(*this / name, std::ios::binary);
  if (!in) return "<missing>";
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace testing_support
