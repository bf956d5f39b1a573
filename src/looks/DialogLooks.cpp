#include "looks/DialogLooks.h"

namespace looks {

LRESULT TFramePanel::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCHITTEST) return HTTRANSPARENT;
  return widgets::TVrBlotter::WndProc(msg, wp, lp);
}

void Place(ui::Control& control, ui::WinControl& parent, int left, int top, int width, int height) {
  control.SetParent(&parent);
  control.SetBounds(left, top, width, height);
}

void StyleTitle(ui::Label& label, const std::string& caption) {
  label.SetFont(ui::MakeFont("Arial", 16, true, ui::clAqua));
  label.SetCaption(caption);
}

void StyleCaption(ui::Label& label, const std::string& caption) {
  label.SetFont(ui::MakeFont("Arial", 12, true, ui::clTeal));
  label.SetCaption(caption);
}

void StyleList(ui::WinControl& list) {
  list.SetColor(ui::clBlack);
  list.SetFont(ui::MakeFont("Arial", 12, false, ui::clAqua));
}

void StyleField(ui::Edit& edit, const std::string& text) {
  StyleList(edit);
  edit.SetText(text);
}

void AddCommandButton(widgets::TVrDemoButton& button, ui::WinControl& parent, int left, int top, const std::string& caption,
                      ui::NotifyEvent onClick, ui::Color underMouse, int width, int height) {
  Place(button, parent, left, top, width, height);
  MenuLook(button, underMouse);
  button.SetCaption(caption);
  button.OnClick = std::move(onClick);
}

void StyleEntryButton(widgets::TVrDemoButton& button, const std::string& caption) {
  EntryLook(button);
  button.SetCaption(caption);
}

}  // namespace looks
