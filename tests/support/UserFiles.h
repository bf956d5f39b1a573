// The files a user's program folder holds, written as the program writes them.
#pragma once

#include <string>
#include <vector>

#include "base/LineRules.h"

namespace testing_support {

// A station group file whose first preset is name at url (by default an address that
// refuses); the other six are empty.
inline std::string GroupFile(const std::string& name, const std::string& url = "http://127.0.0.1:9/") {
  std::vector<std::string> lines{name, url};
  for (int k = 1; k < 7; ++k) lines.insert(lines.end(), {"none", "none"});
  return base::JoinLines(lines);
}

// The lines of a settings file: the recording's file, no format chosen, the first device,
// the history's eleven slots empty, then the band and the window's place.
inline std::vector<std::string> SettingsLines(const std::string& band, int left, int top) {
  std::vector<std::string> lines{"webfile.wav", "-1", "0"};
  for (int k = 0; k < 11; ++k) lines.insert(lines.end(), {"none", "Empty"});
  lines.insert(lines.end(), {band, std::to_string(left), std::to_string(top)});
  return lines;
}

}  // namespace testing_support
