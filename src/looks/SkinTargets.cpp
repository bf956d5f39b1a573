#include "looks/SkinTargets.h"

namespace looks {

namespace {

ui::Font WithColour(ui::Font font, ui::Color colour) {
  font.color = colour;
  return font;
}

}  // namespace

void SkinTargets::Add(SkinColour colour, std::function<void(ui::Color)> set) {
  targets_.emplace_back(colour, std::move(set));
}

void SkinTargets::Font(SkinColour colour, std::initializer_list<ui::Control*> controls) {
  for (ui::Control* c : controls) Add(colour, [c](ui::Color v) { c->SetFont(WithColour(c->GetFont(), v)); });
}

void SkinTargets::Fill(SkinColour colour, std::initializer_list<ui::Control*> controls) {
  for (ui::Control* c : controls) Add(colour, [c](ui::Color v) { c->SetColor(v); });
}

void SkinTargets::Enter(SkinColour colour, std::initializer_list<widgets::TVrDemoButton*> buttons) {
  for (widgets::TVrDemoButton* b : buttons) Add(colour, [b](ui::Color v) { b->SetFontEnter(WithColour(b->FontEnter(), v)); });
}

void SkinTargets::Leave(SkinColour colour, std::initializer_list<widgets::TVrDemoButton*> buttons) {
  for (widgets::TVrDemoButton* b : buttons) Add(colour, [b](ui::Color v) { b->SetFontLeave(WithColour(b->FontLeave(), v)); });
}

void SkinTargets::High(SkinColour colour, std::initializer_list<widgets::TVrPalette*> palettes) {
  for (widgets::TVrPalette* p : palettes) Add(colour, [p](ui::Color v) { p->SetHigh(v); });
}

void SkinTargets::Low(SkinColour colour, std::initializer_list<widgets::TVrPalette*> palettes) {
  for (widgets::TVrPalette* p : palettes) Add(colour, [p](ui::Color v) { p->SetLow(v); });
}

void SkinTargets::CommandButtons(std::initializer_list<widgets::TVrDemoButton*> buttons) {
  Leave(scButtonText, buttons);
  Enter(scMouseOver, buttons);
  commandButtons_.insert(commandButtons_.end(), buttons);
}

void SkinTargets::Apply(const SkinPalette& colours) const {
  for (const auto& [colour, set] : targets_) set(colours[std::size_t(colour)]);
}

}  // namespace looks
