#include "widgets/ButtonRules.h"

#include <iterator>

#include "base/TextRules.h"

namespace widgets {

namespace {
constexpr unsigned kSingleLine = 0x20;
// Horizontal and vertical placement of each alignment: DT_LEFT/CENTER/RIGHT combined
// with DT_TOP (0), DT_VCENTER (4) or DT_BOTTOM (8).
constexpr unsigned kFlags[] = {0x4, 0x5, 0x6, 0x0, 0x1, 0x2, 0x8, 0x9, 0xA};
}  // namespace

unsigned CaptionFlags(TVrTextAlignment a) {
  const unsigned i = static_cast<unsigned>(a);
  return (i < std::size(kFlags) ? kFlags[i] : kFlags[vtaCenter]) | kSingleLine;
}

char AcceleratorOf(std::string_view caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] != '&') return caption[i + 1];
    ++i;  // "&&" shows one ampersand and marks nothing
  }
  return 0;
}

bool IsAccelerator(char typed, std::string_view caption) {
  const char marked = AcceleratorOf(caption);
  return marked != 0 && typed != 0 && base::CompareTextNoCase({&typed, 1}, {&marked, 1}) == 0;
}

ButtonFace LayOutButton(const ui::Rect& client, int outlineWidth, int bevelWidth, bool down) {
  const int shift = down ? 1 : 0;
  ButtonFace f;
  f.tileOrigin = {client.left + shift, client.top + shift};
  f.bevel = client.Inflate(-outlineWidth);
  f.caption = f.bevel.Inflate(-bevelWidth).Offset(shift, shift);
  return f;
}

bool ButtonPress::Begin(bool inside) {
  if (!inside) return false;
  tracking_ = down_ = true;
  return true;
}

bool ButtonPress::Move(bool inside) {
  if (!tracking_ || down_ == inside) return false;
  down_ = inside;
  return true;
}

bool ButtonPress::Release() {
  const bool due = tracking_ && down_;
  tracking_ = down_ = false;
  return due;
}

}  // namespace widgets
