#include "info/UrlLauncher.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "ui/Application.h"
#include "ui/Dialogs.h"

namespace info {

namespace {

// The text with its %NAME% variables replaced by their values.
std::string ExpandVariables(const std::string& text) {
  const DWORD size = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
  if (size == 0) return text;
  std::vector<char> expanded(size);
  if (ExpandEnvironmentStringsA(text.c_str(), expanded.data(), size) == 0) return text;
  return expanded.data();
}

// The default value of a key under the classes root, whatever its length, with its
// variables expanded when it is stored as such; nothing when the key cannot be opened or
// holds no text.
std::optional<std::string> ClassesDefault(const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
  std::optional<std::string> text;
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ)) {
    std::vector<char> bytes(size + 1);
    if (RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size) == ERROR_SUCCESS)
      text = RegistryText({bytes.data(), std::min<std::size_t>(size, bytes.size())});
    if (text && type == REG_EXPAND_SZ) text = ExpandVariables(*text);
  }
  RegCloseKey(key);
  return text;
}

// The program's full path: a name without a folder is looked for along the search path
// only, never in the current folder, where anyone's file of that name could lie.
std::string ProgramPath(const std::string& program) {
  if (program.find_first_of("\\/:") != std::string::npos) return program;
  const DWORD pathSize = GetEnvironmentVariableA("PATH", nullptr, 0);
  std::vector<char> searchPath(pathSize + 1);
  GetEnvironmentVariableA("PATH", searchPath.data(), pathSize + 1);
  char found[MAX_PATH] = "";
  const DWORD n = SearchPathA(searchPath.data(), program.c_str(), nullptr, MAX_PATH, found, nullptr);
  return n > 0 && n < MAX_PATH ? std::string(found) : std::string();
}

}  // namespace

void TUrlLauncher::Launch() const {
  const int show = ShowCommandValue(UrlShowCommand);
  const std::optional<std::string> fileType = ClassesDefault(".htm");
  if (!fileType) return;
  const std::optional<std::string> command = ClassesDefault(OpenCommandKey(*fileType));
  if (!command) return;
  std::string line = BrowserCommandLine(*command, Url);
  // The program is named apart from its command line: left to guess it, the system would
  // try C:\Program.exe first for an unquoted "C:\Program Files\...".
  const std::string program = ProgramPath(CommandProgram(line));
  if (program.empty()) throw EUrlLaunchError(kBrowserFailure);
  // The start WinExec makes, without its wait of up to 30 seconds for the browser to
  // become idle: the program's window goes on answering while the browser comes up.
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = WORD(show);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    throw EUrlLaunchError(kBrowserFailure);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

void TVolumeControl::Open(HWND owner) const {
  // By full path: a bare name would be searched for in the program's and the current
  // folder too, where anyone's file of that name would run.
  for (const char* name : kMixerPrograms) {
    if (Folder.empty()) break;
    const std::string program = Folder + (Folder.back() == '\\' ? "" : "\\") + name;
    SHELLEXECUTEINFOA sei{};
    sei.cbSize = sizeof(sei);
    // The failure is reported once, below, not by the shell for each program tried.
    sei.fMask = SEE_MASK_FLAG_NO_UI;
    sei.hwnd = owner;
    sei.lpVerb = "open";
    sei.lpFile = program.c_str();
    sei.lpParameters = "";
    sei.lpDirectory = "";
    sei.nShow = SW_SHOWNORMAL;
    ui::App().UseCom();
    if (ShellExecuteExA(&sei)) return;
  }
  ui::ShowMessage(kNoMixerMessage);
}

}  // namespace info
