#include "ui/Application.h"

#include <objbase.h>

#include "ui/Form.h"

namespace ui {

Application& App() {
  static Application app;
  return app;
}

void Application::UseCom() {
  if (!comInitialized_) comInitialized_ = SUCCEEDED(CoInitialize(nullptr));
}

void Application::AdoptForm(std::unique_ptr<Form> form) {
  Form* f = form.get();
  forms_.push_back(std::move(form));
  // The main window is needed at once; the others make their windows, and their
  // controls' windows, when they are first shown (or asked for their window).
  if (!mainForm_) {
    mainForm_ = f;
    f->HandleNeeded();
  }
}

void Application::Run() {
  if (terminated_) return;
  running_ = true;
  ShowMainForm();
  while (!terminated_ && HandleMessage()) {
  }
  running_ = false;
}

void Application::ShowMainForm() {
  if (mainForm_) mainForm_->Show();
}

bool Application::HandleMessage() {
  MSG msg;
  const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
  if (got == 0 || got == -1) {
    terminated_ = true;
    return false;
  }
  if (!PreviewKey(msg)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return !terminated_;
}

void Application::ProcessMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      terminated_ = true;
      return;
    }
    if (!PreviewKey(msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

namespace {

// A typed character is a dialog character when the focused control takes no typing
// (an edit field does), and always with Alt held.
bool IsDialogChar(const MSG& msg) {
  if (msg.message == WM_SYSCHAR) return true;
  if (msg.message != WM_CHAR) return false;
  HWND focus = GetFocus();
  return !focus || (SendMessageA(focus, WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS) == 0;
}

}  // namespace

// A form with key preview sees the keys of its controls first; a key it sets to 0 is
// not passed on.
bool Application::PreviewKey(MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_KEYUP && msg.message != WM_CHAR &&
      msg.message != WM_SYSKEYDOWN && msg.message != WM_SYSKEYUP && msg.message != WM_SYSCHAR)
    return false;
  auto* form = dynamic_cast<Form*>(WinControl::FromHandle(GetAncestor(msg.hwnd, GA_ROOT)));
  if (!form) return false;
  if (IsDialogChar(msg)) {
    try {
      if (form->BroadcastDialogChar(char(msg.wParam))) return true;
    } catch (const std::exception& e) {
      HandleException(e);
      return true;
    }
  }
  if (msg.message == WM_SYSCHAR || !form->KeyPreview() || form->Handle() == msg.hwnd) return false;
  try {
    const unsigned shift = (GetKeyState(VK_SHIFT) < 0 ? ssShift : 0) | (GetKeyState(VK_CONTROL) < 0 ? ssCtrl : 0) |
                           (GetKeyState(VK_MENU) < 0 ? ssAlt : 0);
    if (msg.message == WM_CHAR) {
      char ch = char(msg.wParam);
      form->KeyPress(ch);
      if (ch == 0) return true;
      msg.wParam = static_cast<unsigned char>(ch);
    } else {
      unsigned key = unsigned(msg.wParam);
      if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN)
        form->KeyDown(key, shift);
      else
        form->KeyUp(key, shift);
      if (key == 0) return true;
      msg.wParam = key;
    }
  } catch (const std::exception& e) {
    HandleException(e);
    return true;
  }
  return false;
}

void Application::Terminate() {
  if (terminated_) return;
  terminated_ = true;
  // Before the message loop runs, a quit message would only cut short the message boxes
  // that start-up still shows; the loop sees the flag instead.
  if (running_) PostQuitMessage(0);
}

void Application::DestroyForms() {
  while (!forms_.empty()) {
    std::unique_ptr<Form> f = std::move(forms_.back());
    forms_.pop_back();
    if (f.get() == mainForm_) mainForm_ = nullptr;
    try {
      f->DoDestroy();
    } catch (const std::exception& e) {
      HandleException(e);
    }
  }
  mainForm_ = nullptr;
}

void Application::HandleException(const std::exception& e) { ShowException(e.what()); }

void Application::ReportException(std::exception_ptr failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const std::exception& e) {
    HandleException(e);
  } catch (...) {
    HandleUnknownException();
  }
}

void Application::HandleUnknownException() { ShowException("An unexpected error occurred"); }

void Application::ShowException(const std::string& message) {
  MessageBoxA(GetActiveWindow(), message.c_str(), title_.c_str(), MB_OK | MB_ICONSTOP);
}

int Application::ShowMessageBox(const std::string& text, unsigned flags) {
  return MessageBoxA(GetActiveWindow(), text.c_str(), title_.c_str(), flags);
}

}  // namespace ui
