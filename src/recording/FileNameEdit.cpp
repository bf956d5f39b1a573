#include "recording/FileNameEdit.h"

#include <shellapi.h>

#include <vector>

#include "ui/Font.h"

namespace recording {

namespace {

constexpr int kButtonId = 1;

// The button's glyph: three dots in the edit's text colour on its background.
void DrawButton(const DRAWITEMSTRUCT& item, const ui::Edit& edit) {
  const bool down = item.itemState & ODS_SELECTED;
  HBRUSH back = CreateSolidBrush(ui::ToColorRef(edit.GetColor()));
  FillRect(item.hDC, &item.rcItem, back);
  DeleteObject(back);
  RECT frame = item.rcItem;
  DrawEdge(item.hDC, &frame, down ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  const COLORREF dots = ui::ToColorRef(edit.GetFont().color);
  const int cx = (item.rcItem.left + item.rcItem.right) / 2 + (down ? 1 : 0);
  const int y = item.rcItem.bottom - 7 + (down ? 1 : 0);
  for (int dx : {-4, 0, 4})
    for (int px = 0; px < 2; ++px)
      for (int py = 0; py < 2; ++py) SetPixel(item.hDC, cx + dx + px - 1, y + py, dots);
}

}  // namespace

TFileNameEdit::TFileNameEdit(std::string name) : ui::Edit(std::move(name)) {}

void TFileNameEdit::FillCreateParams(ui::CreateParams& p) {
  ui::Edit::FillCreateParams(p);
  p.style |= WS_CLIPCHILDREN;
  p.exStyle |= WS_EX_ACCEPTFILES;
}

void TFileNameEdit::HandleCreated() {
  ui::Edit::HandleCreated();
  button_ = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0, 0, 0, Handle(),
                            reinterpret_cast<HMENU>(kButtonId), GetModuleHandleA(nullptr), nullptr);
  PlaceButton();
}

void TFileNameEdit::PlaceButton() {
  RECT r;
  GetClientRect(Handle(), &r);
  const int size = r.bottom - r.top;
  SetWindowPos(button_, nullptr, r.right - size, 0, size, size, SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageA(Handle(), EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, size + 2));
}

void TFileNameEdit::Browse() {
  Dialog.fileName = Text();
  if (Dialog.Execute()) SetText(Dialog.fileName);
}

void TFileNameEdit::DropFiles(HDROP drop) {
  const UINT n = DragQueryFileA(drop, 0, nullptr, 0);
  std::vector<char> name(n + 1, '\0');
  if (n > 0 && DragQueryFileA(drop, 0, name.data(), n + 1) > 0) SetText(name.data());
  DragFinish(drop);
}

LRESULT TFileNameEdit::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      if (reinterpret_cast<HWND>(lp) == button_ && HIWORD(wp) == BN_CLICKED) {
        Browse();
        return 0;
      }
      break;
    case WM_DRAWITEM:
      if (wp == kButtonId) {
        DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp), *this);
        return TRUE;
      }
      break;
    case WM_DROPFILES:
      DropFiles(reinterpret_cast<HDROP>(wp));
      return 0;
    case WM_SIZE: {
      const LRESULT r = ui::Edit::WndProc(msg, wp, lp);
      if (button_) PlaceButton();
      return r;
    }
    default:
      break;
  }
  return ui::Edit::WndProc(msg, wp, lp);
}

}  // namespace recording
