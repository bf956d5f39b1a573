// The sound samples that make-media.sh makes into the "media" folder beside the test
// programs.
#pragma once

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

inline std::string MediaPath(const std::string& name) {
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string dir(exe);
  dir.resize(dir.find_last_of("\\/") + 1);
  return dir + "media\\" + name;
}

// The whole sample; empty when it is missing.
inline std::string ReadMedia(const std::string& name) {
  std::ifstream f(MediaPath(name), std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}
