#include "looks/ButtonLooks.h"

namespace looks {

namespace {

constexpr int kCaptionHeight = 11;
constexpr int kTransportCaptionHeight = 15;
constexpr ui::Color kDisplayFace = 0x7C9885;

// What all five looks share.
void CommonLook(widgets::TVrDemoButton& b, ui::Color face, int outlineWidth, ui::Color outline) {
  b.SetBevelWidth(0);
  b.SetFocusColor(ui::clWhite);
  widgets::TVrFont3D flat = b.Font3D();
  flat.HighlightDepth = 0;
  flat.ShadowDepth = 0;
  b.SetFont3D(flat);
  b.SetColor(face);
  b.SetOutlineWidth(outlineWidth);
  b.SetOutlineColor(outline);
  b.SetCursor(ui::Cursor::Hand);
}

void Captions(widgets::TVrDemoButton& b, int height, bool bold, ui::Color underMouse, ui::Color otherwise) {
  b.SetFontEnter(ui::MakeFont("Arial", height, bold, underMouse));
  b.SetFontLeave(ui::MakeFont("Arial", height, bold, otherwise));
}

}  // namespace

void EntryLook(widgets::TVrDemoButton& b) {
  CommonLook(b, ui::clBlack, 0, ui::clBlack);
  Captions(b, kCaptionHeight, true, ui::clAqua, ui::clTeal);
}

void TransportLook(widgets::TVrDemoButton& b, ui::Color face) {
  CommonLook(b, face, 2, ui::clBlack);
  Captions(b, kTransportCaptionHeight, true, ui::clBlack, ui::clBlack);
}

void MenuLook(widgets::TVrDemoButton& b, ui::Color underMouse) {
  CommonLook(b, ui::clBlack, 1, ui::clGray);
  Captions(b, kCaptionHeight, true, underMouse, ui::clSilver);
}

void LinkLook(widgets::TVrDemoButton& b) {
  CommonLook(b, ui::clBlack, 0, ui::clBlack);
  Captions(b, kCaptionHeight, false, ui::clAqua, ui::clAqua);
}

void AboutLook(widgets::TVrDemoButton& b) {
  CommonLook(b, kDisplayFace, 1, ui::clBlack);
  Captions(b, kCaptionHeight, true, ui::clSilver, ui::clBlack);
}

}  // namespace looks
