// What the program starts outside itself, as portable rules: the web browser's command
// line for an address (built from the open command the system registers for web pages)
// and the volume control programs to try.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace info {

// How the started browser's window is to be shown.
enum TUrlShowCmd {
  ssHide,
  ssMaximize,
  ssMinimize,
  ssRestore,
  ssShow,
  ssShowDefault,
  ssShowMaximized,
  ssShowMinimized,
  ssShowMinNoActivate,
  ssShowNA,
  ssShowNoActivate,
  ssShowNormal,
};

// The system's window-show value (SW_...) for a show command.
int ShowCommandValue(TUrlShowCmd command);

// The text of a registry string value as it was read: up to its first NUL, if any (a
// stored value need not end in one).
std::string RegistryText(std::string_view bytes);

// The registry key, under the classes root, of a file type's open command.
std::string OpenCommandKey(const std::string& fileType);

// The command line that opens url with a browser whose open command is openCommand: the
// command is cut just before its placeholder ("%1" in double quotes, else a bare %1) and
// the address follows after one blank, verbatim.
std::string BrowserCommandLine(const std::string& openCommand, const std::string& url);

// The program that a command line starts, named explicitly so that the system never
// guesses it: the quoted text at the start (blanks before it skipped); else the shortest
// start that ends in ".exe" before a blank or tab or the end, so that an unquoted
// "C:\Program Files\b.exe -x" is C:\Program Files\b.exe and never C:\Program.exe;
// else the text up to the first blank or tab.
std::string CommandProgram(std::string_view commandLine);

inline constexpr const char* kBrowserFailure = "Couldn't launch default browser";

// The volume controls, in the order to try them: the old Windows mixer first, then the
// one of Windows Vista and later; both only from the system folder.
inline constexpr std::array<const char*, 2> kMixerPrograms{"sndvol32.exe", "sndvol.exe"};
inline constexpr const char* kNoMixerMessage =
    "No volume control was found on this computer (neither sndvol32.exe nor sndvol.exe could be started).";

}  // namespace info
