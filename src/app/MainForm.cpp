#include "app/MainForm.h"

#include "app/SplashForm.h"
#include "ui/Application.h"

TMainForm* MainForm = nullptr;

TMainForm::TMainForm() : ui::Form("MainForm") {
  SetCaption("Ovexia Tunora");
  SetColor(ui::clBlack);
  SetPosition(ui::FormPosition::CenterOnCreate);
  SetClientSize(601, 352);
  SetKeyPreview(true);
  OnShow = [this](ui::Control& c) { FormShow(c); };
  OnDestroy = [this](ui::Control& c) { FormDestroy(c); };
}

void TMainForm::FormShow(ui::Control&) {
  if (startupDone_) return;
  startupDone_ = true;
  DestroySplash();
}

void TMainForm::FormDestroy(ui::Control&) {}
