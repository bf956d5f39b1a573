#include "ui/Font.h"

#include <map>
#include <tuple>

#include "ui/Gdi.h"

namespace ui {

HFONT Font::Handle() const {
  // Few distinct fonts exist in the program; keeping each one avoids creating and
  // deleting GDI fonts on every paint.
  using Key = std::tuple<std::string, int, bool, bool, bool, bool>;
  static std::map<Key, UniqueFont> cache;
  Key key{name, height, style.bold, style.italic, style.underline, fixedPitch};
  auto it = cache.find(key);
  if (it == cache.end()) {
    HFONT f = CreateFontA(-height, 0, 0, 0, style.bold ? FW_BOLD : FW_NORMAL, style.italic, style.underline, FALSE,
                          DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                          fixedPitch ? FIXED_PITCH | FF_MODERN : DEFAULT_PITCH | FF_DONTCARE, name.c_str());
    it = cache.emplace(key, UniqueFont(f)).first;
  }
  return it->second.Get();
}

Font MakeFont(std::string name, int height, bool bold, Color color) {
  Font f;
  f.name = std::move(name);
  f.height = height;
  f.style.bold = bold;
  f.color = color;
  return f;
}

COLORREF ToColorRef(Color c) {
  if (IsSystemColor(c)) return GetSysColor(int(c & 0xFF));
  return c & 0x00FFFFFF;
}

}  // namespace ui
