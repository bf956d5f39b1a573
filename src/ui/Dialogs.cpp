#include "ui/Dialogs.h"

#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "ui/Application.h"
#include "ui/Font.h"
#include "ui/TextRules.h"

namespace ui {

void ShowMessage(const std::string& text) { App().ShowMessageBox(text, MB_OK); }

bool FileDialog::Execute() {
  std::vector<char> buffer(32768, '\0');
  fileName.copy(buffer.data(), buffer.size() - 1);
  const std::string filt = DialogFilter(filter);
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
  const BOOL ok = save_ ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
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
  if (!ChooseColorA(&cc)) return false;
  color = cc.rgbResult & 0x00FFFFFF;
  return true;
}

}  // namespace ui
