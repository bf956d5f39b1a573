#include "app/DialogLook.h"

namespace app {

void DialogTitle(ui::Label& label, ui::WinControl* parent, int x, int y, const std::string& text) {
  label.SetParent(parent);
  label.SetFont(ui::MakeFont("Arial", 16, true, ui::clAqua));
  label.SetCaption(text);
  label.SetPosition(x, y);
}

void DialogCaption(ui::Label& label, ui::WinControl* parent, int x, int y, const std::string& text) {
  label.SetParent(parent);
  label.SetFont(ui::MakeFont("Arial", 11, true, ui::clTeal));
  label.SetCaption(text);
  label.SetPosition(x, y);
}

void FieldFrame(widgets::TVrBlotter& frame, ui::WinControl* parent, int x, int y, int w, int h) {
  frame.SetParent(parent);
  frame.SetBounds(x, y, w, h);
  frame.SetColor(ui::clBlack);
}

void DialogField(ui::WinControl& field, ui::WinControl* parent, int x, int y, int w, int h, int fontPx) {
  field.SetParent(parent);
  field.SetBounds(x, y, w, h);
  field.SetColor(ui::clBlack);
  field.SetFont(ui::MakeFont("Arial", fontPx, false, ui::clAqua));
}

void DialogButton(widgets::TVrDemoButton& b, ui::WinControl* parent, int x, int y, int w, int h,
                  const std::string& caption) {
  b.SetParent(parent);
  b.SetBounds(x, y, w, h);
  b.SetColor(ui::clBlack);
  b.SetBevelWidth(0);
  b.SetOutlineColor(ui::clGray);
  b.SetFontEnter(ui::MakeFont("Arial", 11, true, ui::clWhite));
  b.SetFontLeave(ui::MakeFont("Arial", 11, true, ui::clSilver));
  b.SetCursor(ui::Cursor::Hand);
  b.SetCaption(caption);
}

}  // namespace app
