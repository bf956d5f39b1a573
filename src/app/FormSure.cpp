#include "app/FormSure.h"

#include "app/PictureWindow.h"

TFormSure* FormSure = nullptr;

TFormSure::TFormSure() : ui::Form("FormSure") {
  SetCaption("Tunora Message");
  SetColor(3092271);  // RGB 47, 47, 47
  SetKeyPreview(true);
  app::BuildPictureWindow(*this, VrBlotter1, SplashForm);
  SplashForm.OnClick = [this](ui::Control& c) { SplashFormClick(c); };
}

void TFormSure::SplashFormClick(ui::Control&) { Close(); }
