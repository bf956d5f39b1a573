#include "ui/Menus.h"

#include <windows.h>

#include "base/Encoding.h"
#include "ui/Application.h"
#include "ui/Form.h"

namespace ui {

namespace {

struct Command {
  const MenuItem* item;
  int topIndex;  // the place of the item, or of its submenu, in the top level
};

// Appends the items to the menu; each item's command is its place in `all` + 1.
void AppendItems(HMENU menu, const std::vector<MenuItem>& items, std::vector<Command>& all, int topIndex) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    const MenuItem& it = items[i];
    const int top = topIndex < 0 ? int(i) : topIndex;
    if (it.caption == "-") {
      AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    UINT flags = MF_STRING | (it.enabled ? MF_ENABLED : MF_GRAYED) | (it.checked ? MF_CHECKED : MF_UNCHECKED);
    if (!it.items.empty()) {
      HMENU sub = CreatePopupMenu();  // destroyed with its parent menu
      AppendItems(sub, it.items, all, top);
      AppendMenuA(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), it.caption.c_str());
      continue;
    }
    all.push_back({&it, top});
    if (it.utf8)
      AppendMenuW(menu, flags, all.size(), base::WideFromUtf8(it.caption).c_str());
    else
      AppendMenuA(menu, flags, all.size(), it.caption.c_str());
  }
}

MenuItem* FindIn(std::vector<MenuItem>& items, const std::string& caption) {
  for (MenuItem& it : items) {
    if (it.caption == caption) return &it;
    if (MenuItem* found = FindIn(it.items, caption)) return found;
  }
  return nullptr;
}

}  // namespace

int PopupMenu::Popup(Point screen, WinControl* owner) {
  HMENU menu = CreatePopupMenu();
  std::vector<Command> all;
  AppendItems(menu, items_, all, -1);
  HWND hwnd = owner && owner->Handle() ? owner->Handle() : (App().MainForm() ? App().MainForm()->Handle() : nullptr);
  const int chosen =
      TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, screen.x, screen.y, hwnd, nullptr);
  DestroyMenu(menu);
  if (chosen <= 0 || std::size_t(chosen) > all.size()) return -1;
  // A copy: the handler may change the menu's items.
  const Command& command = all[std::size_t(chosen - 1)];
  const std::function<void()> onClick = command.item->onClick;
  if (onClick) onClick();
  return command.topIndex;
}

MenuItem* PopupMenu::Find(const std::string& caption) {
  return FindIn(items_, caption);
}

}  // namespace ui
