#include "ui/Menus.h"

#include <windows.h>

#include "ui/Application.h"
#include "ui/Form.h"

namespace ui {

int PopupMenu::Popup(Point screen, WinControl* owner) {
  HMENU menu = CreatePopupMenu();
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const MenuItem& it = items_[i];
    if (it.caption == "-") {
      AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    UINT flags = MF_STRING | (it.enabled ? MF_ENABLED : MF_GRAYED) | (it.checked ? MF_CHECKED : MF_UNCHECKED);
    AppendMenuA(menu, flags, i + 1, it.caption.c_str());
  }
  HWND hwnd = owner && owner->Handle() ? owner->Handle() : (App().MainForm() ? App().MainForm()->Handle() : nullptr);
  const int chosen = TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, screen.x, screen.y, hwnd, nullptr);
  DestroyMenu(menu);
  if (chosen <= 0) return -1;
  const MenuItem& it = items_[std::size_t(chosen - 1)];
  if (it.onClick) it.onClick();
  return chosen - 1;
}

}  // namespace ui
