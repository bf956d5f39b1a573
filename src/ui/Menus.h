// Popup (context) menus.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/Geometry.h"

namespace ui {

class WinControl;

struct MenuItem {
  MenuItem() = default;
  MenuItem(std::string caption_, std::function<void()> onClick_, bool enabled_ = true)
      : caption(std::move(caption_)), onClick(std::move(onClick_)), enabled(enabled_) {}

  std::string caption;  // "-" makes a separator
  std::function<void()> onClick;
  bool enabled = true;
  bool checked = false;
  bool utf8 = false;  // the caption is UTF-8 (a station's title), not ANSI
  // A submenu: the item opens these instead of being chosen itself.
  std::vector<MenuItem> items;
};

class PopupMenu {
 public:
  std::vector<MenuItem>& Items() { return items_; }
  void Add(std::string caption, std::function<void()> onClick) {
    items_.push_back({std::move(caption), std::move(onClick)});
  }
  // Shows the menu at a screen position and runs the chosen item's handler; returns
  // the index of the chosen item (of its submenu for a submenu's item) or -1.
  int Popup(Point screen, WinControl* owner);
  // The item with this caption, at any depth, or nullptr.
  MenuItem* Find(const std::string& caption);

 private:
  std::vector<MenuItem> items_;
};

}  // namespace ui
