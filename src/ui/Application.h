// The application object: the title, the forms in their creation order, the message
// loop, and the general error report that shows an exception escaping any handler.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ui {

class Form;

class Application {
 public:
  Application() = default;
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Initialises the component object runtime for the user-interface thread, the first
  // time something there needs it (a shell dialog, the shell opening a file): a start
  // that needs none does not pay for it.
  void UseCom();
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title) { title_ = title; }

  // Creates a form and keeps it until the end; the first one becomes the main form.
  template <typename T>
  void CreateForm(T*& slot) {
    auto form = std::make_unique<T>();
    slot = form.get();
    AdoptForm(std::move(form));
  }
  void AdoptForm(std::unique_ptr<Form> form);
  Form* MainForm() const { return mainForm_; }
  const std::vector<std::unique_ptr<Form>>& Forms() const { return forms_; }

  // Shows the main form and dispatches messages until the program ends.
  void Run();
  // Shows the main form; its first showing finishes the start of the program.
  void ShowMainForm();
  // Waits for and dispatches one message; false once the program is ending.
  bool HandleMessage();
  // Dispatches the messages that are waiting, without waiting for more.
  void ProcessMessages();
  void Terminate();
  bool Terminated() const { return terminated_; }
  // Destroys the forms in the reverse order of their creation, each after its OnDestroy.
  void DestroyForms();

  // The general error report: the message in a box, then the program goes on.
  void HandleException(const std::exception& e);
  void HandleUnknownException();
  // The same for an exception caught earlier and kept.
  void ReportException(std::exception_ptr failure);
  void ShowException(const std::string& message);
  // A modal message box titled with the application's title.
  int ShowMessageBox(const std::string& text, unsigned flags = MB_OK);

 private:
  bool PreviewKey(MSG& msg);

  std::string title_;
  std::vector<std::unique_ptr<Form>> forms_;
  Form* mainForm_ = nullptr;
  bool terminated_ = false;
  bool running_ = false;
  bool comInitialized_ = false;
};

Application& App();

}  // namespace ui
