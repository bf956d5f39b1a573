#include "info/UrlLauncher.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "ui/Dialogs.h"

namespace info {

namespace {

// The default value of a key under the classes root, whatever its length; nothing when
// the key cannot be opened or holds no text.
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
  }
  RegCloseKey(key);
  return text;
}

}  // namespace

void TUrlLauncher::Launch() const {
  const int show = ShowCommandValue(UrlShowCommand);
  const std::optional<std::string> fileType = ClassesDefault(".htm");
  if (!fileType) return;
  const std::optional<std::string> command = ClassesDefault(OpenCommandKey(*fileType));
  if (!command) return;
  std::string line = BrowserCommandLine(*command, Url);
  // The start WinExec makes, without its wait of up to 30 seconds for the browser to
  // become idle: the program's window goes on answering while the browser comes up.
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = WORD(show);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    throw EUrlLaunchError(kBrowserFailure);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

void OpenVolumeControl(HWND owner) {
  for (const char* program : kMixerPrograms) {
    SHELLEXECUTEINFOA sei{};
    sei.cbSize = sizeof(sei);
    // The failure is reported once, below, not by the shell for each program tried.
    sei.fMask = SEE_MASK_FLAG_NO_UI;
    sei.hwnd = owner;
    sei.lpVerb = "open";
    sei.lpFile = program;
    sei.lpParameters = "";
    sei.lpDirectory = "";
    sei.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExA(&sei)) return;
  }
  ui::ShowMessage(kNoMixerMessage);
}

}  // namespace info
