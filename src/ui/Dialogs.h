// Message boxes and the common open, save and colour dialogs.
#pragma once

#include <string>

#include "ui/Color.h"

namespace ui {

// A modal box with an OK button, titled with the application's title.
void ShowMessage(const std::string& text);

// The system folder (GetSystemDirectory), where the system's own dialogs and programs
// are taken from; empty if it cannot be had.
std::string SystemFolder();

struct FileDialogOptions {
  bool hideReadOnly = true;
  bool overwritePrompt = false;
  bool fileMustExist = false;
  bool resizable = true;
};

class FileDialog {
 public:
  explicit FileDialog(bool save) : save_(save) {}
  std::string title;
  std::string filter;        // "Description|*.ext|..."
  std::string defaultExt;    // "wav" or "*.wav"
  std::string fileName;      // in: proposed, out: chosen
  std::string initialDir;
  FileDialogOptions options;
  // Shows the dialog; true with fileName set when the user chose a file.
  bool Execute();

 private:
  bool save_;
};

class OpenDialog : public FileDialog {
 public:
  OpenDialog() : FileDialog(false) {}
};

class SaveDialog : public FileDialog {
 public:
  SaveDialog() : FileDialog(true) {}
};

class ColorDialog {
 public:
  Color color = clBlack;
  bool Execute();
};

}  // namespace ui
