#include "app/SplashForm.h"

#include <memory>

#include <mmsystem.h>

#include "app/PictureWindow.h"
#include "ui/Application.h"

TSplashForm* SplashForm = nullptr;
bool EnvironmentOk = false;

namespace {
std::unique_ptr<TSplashForm> splashOwner;
}

TSplashForm::TSplashForm() : ui::Form("SplashForm") {
  SetCaption("Ovexia - The professional digital audio system");
  SetColor(ui::clBlack);
  SetFont(ui::MakeFont("MS Sans Serif", 16, true, ui::clWhite));
  app::BuildPictureWindow(*this, VrBlotter1, SplashForm);
  OnActivate = [this](ui::Control& c) { FormActivate(c); };
}

bool TSplashForm::IsMSMediaPlayerReg() {
  HKEY key = nullptr;
  const char* path = "\\CLSID\\{6BF52A52-394A-11D3-B153-00C04F79FAA6}\\ProgID";
  // Only the key's existence counts; the leading separator is not part of a key name.
  const LONG r = RegOpenKeyExA(HKEY_CLASSES_ROOT, path + 1, 0, KEY_READ, &key);
  if (r != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

bool TSplashForm::IsSoundcard() { return waveOutGetNumDevs() > 0; }

void TSplashForm::FormActivate(ui::Control&) { RunChecks(); }

void TSplashForm::RunChecks() {
  // The window becomes active again when a message box below closes: the checks and
  // their messages run once.
  if (checked_) return;
  checked_ = true;
  EnvironmentOk = true;
  if (!IsMSMediaPlayerReg()) {
    MessageBoxA(nullptr, "Please install the Windows Media Player ", ui::App().Title().c_str(), MB_OK);
    ui::App().Terminate();
    EnvironmentOk = false;
  }
}

void TSplashForm::FinishChecks(bool soundcardFound) {
  if (soundcardFound) return;
  MessageBoxA(nullptr, "No Sound Card found!", ui::App().Title().c_str(), MB_OK);
  ui::App().Terminate();
  EnvironmentOk = false;
}

void ShowSplash() {
  splashOwner = std::make_unique<TSplashForm>();
  SplashForm = splashOwner.get();
  SplashForm->Show();
  SplashForm->Repaint();
  SplashForm->RunChecks();
}

void DestroySplash() {
  if (!splashOwner) return;
  splashOwner->Hide();
  splashOwner.reset();
  SplashForm = nullptr;
}
