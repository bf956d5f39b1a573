#include "info/LauncherRules.h"

namespace info {

namespace {

bool EndsWithExe(std::string_view text) {
  if (text.size() < 4) return false;
  std::string tail(text.substr(text.size() - 4));
  for (char& c : tail) c = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
  return tail == ".exe";
}

}  // namespace

int ShowCommandValue(TUrlShowCmd command) {
  // SW_HIDE 0, SW_SHOWNORMAL 1, SW_SHOWMINIMIZED 2, SW_MAXIMIZE and SW_SHOWMAXIMIZED 3,
  // SW_SHOWNOACTIVATE 4, SW_SHOW 5, SW_MINIMIZE 6, SW_SHOWMINNOACTIVE 7, SW_SHOWNA 8,
  // SW_RESTORE 9, SW_SHOWDEFAULT 10.
  switch (command) {
    case ssHide:
      return 0;
    case ssMaximize:
    case ssShowMaximized:
      return 3;
    case ssMinimize:
      return 6;
    case ssRestore:
      return 9;
    case ssShow:
      return 5;
    case ssShowDefault:
      return 10;
    case ssShowMinimized:
      return 2;
    case ssShowMinNoActivate:
      return 7;
    case ssShowNA:
      return 8;
    case ssShowNoActivate:
      return 4;
    case ssShowNormal:
      return 1;
  }
  return 10;
}

std::string RegistryText(std::string_view bytes) {
  return std::string(bytes.substr(0, bytes.find('\0')));
}

std::string OpenCommandKey(const std::string& fileType) {
  return fileType + "\\shell\\open\\command";
}

std::string BrowserCommandLine(const std::string& openCommand, const std::string& url) {
  std::size_t cut = openCommand.find("\"%1\"");
  if (cut == std::string::npos) cut = openCommand.find("%1");
  return openCommand.substr(0, cut) + " " + url;
}

std::string CommandProgram(std::string_view commandLine) {
  constexpr std::string_view kBlanks = " \t";
  const std::size_t begin = commandLine.find_first_not_of(kBlanks);
  if (begin == std::string_view::npos) return "";
  commandLine.remove_prefix(begin);
  if (commandLine.front() == '"') {
    const std::size_t end = commandLine.find('"', 1);
    return std::string(commandLine.substr(1, end == std::string_view::npos ? end : end - 1));
  }
  for (std::size_t at = commandLine.find_first_of(kBlanks);; at = commandLine.find_first_of(kBlanks, at + 1)) {
    const std::string_view head = commandLine.substr(0, at);
    if (EndsWithExe(head)) return std::string(head);
    if (at == std::string_view::npos) break;
  }
  return std::string(commandLine.substr(0, commandLine.find_first_of(kBlanks)));
}

}  // namespace info
