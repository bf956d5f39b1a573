#include "ui/Dialogs.h"

#include <windows.h>
#include <commdlg.h>

#include <stdexcept>
#include <vector>

#include "ui/Application.h"
#include "ui/Font.h"
#include "base/TextRules.h"

namespace ui {

namespace {

// The dialogs' library is loaded from the system folder when a dialog first opens: bound
// to the program, it would bring the common controls' set-up into every start.
template <typename Fn>
Fn DialogFunction(const char* name) {
  static const HMODULE library = [] {
    const std::string folder = SystemFolder();
    return folder.empty() ? nullptr : LoadLibraryA((folder + "\\comdlg32.dll").c_str());
  }();
  const FARPROC function = library ? GetProcAddress(library, name) : nullptr;
  if (!function) throw std::runtime_error("The system's file and colour dialogs cannot be loaded");
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(function));
}

}  // namespace

void ShowMessage(const std::string& text) { App().ShowMessageBox(text, MB_OK); }

std::string SystemFolder() {
  char folder[MAX_PATH] = "";
  const UINT n = GetSystemDirectoryA(folder, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::string(folder) : std::string();
}

bool FileDialog::Execute() {
  std::vector<char> buffer(32768, '\0');
  fileName.copy(buffer.data(), buffer.size() - 1);
  const std::string filt = base::DialogFilter(filter);
  std::string ext = defaultExt;
  if (ext.rfind("*.", 0) == 0) ext = ext.substr(2);
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = GetActiveWindow();
  ofn.lpstrFilter = filter.empty() ? nullptr : filt.c_str();
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = DWORD(buffer.size());
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
  ofn.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
  if (options.hideReadOnly) ofn.Flags |= OFN_HIDEREADONLY;
  if (options.overwritePrompt) ofn.Flags |= OFN_OVERWRITEPROMPT;
  if (options.fileMustExist) ofn.Flags |= OFN_FILEMUSTEXIST;
  if (options.resizable) ofn.Flags |= OFN_ENABLESIZING;
  using Dialog = BOOL(WINAPI*)(OPENFILENAMEA*);
  App().UseCom();
  const BOOL ok = DialogFunction<Dialog>(save_ ? "GetSaveFileNameA" : "GetOpenFileNameA")(&ofn);
  if (!ok) return false;
  fileName = buffer.data();
  return true;
}

bool ColorDialog::Execute() {
  static COLORREF custom[16] = {};
  CHOOSECOLORA cc{};
  cc.lStructSize = sizeof(cc);
  cc.hwndOwner = GetActiveWindow();
  cc.rgbResult = ToColorRef(color);
  cc.lpCustColors = custom;
  cc.Flags = CC_RGBINIT | CC_FULLOPEN;
  if (!DialogFunction<BOOL(WINAPI*)(CHOOSECOLORA*)>("ChooseColorA")(&cc)) return false;
  color = cc.rgbResult & 0x00FFFFFF;
  return true;
}

}  // namespace ui
