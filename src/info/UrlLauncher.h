// A link to the outside: an address opened in the default web browser, found through
// the open command that the system registers for web pages (.htm). A mail address goes
// to the browser as well.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

#include "info/LauncherRules.h"
#include "ui/Dialogs.h"

namespace info {

class EUrlLaunchError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TUrlLauncher {
 public:
  TUrlLauncher() = default;
  explicit TUrlLauncher(std::string url) : Url(std::move(url)) {}

  // Starts the browser with Url. Without a registered browser nothing happens; a browser
  // that cannot be started raises EUrlLaunchError ("Couldn't launch default browser").
  void Launch() const;

  std::string Url;
  TUrlShowCmd UrlShowCommand = ssShowDefault;
};

using ui::SystemFolder;

// The system's volume control.
class TVolumeControl {
 public:
  // Asks the shell to open the volume control from Folder, owned by `owner`: the old
  // mixer first, then the newer one. Where neither starts, the user is told so.
  void Open(HWND owner) const;

  std::string Folder = SystemFolder();
};

}  // namespace info
