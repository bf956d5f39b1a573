// A one-line edit for a file name with a browse button at its right end, which opens a
// file dialog, and which takes a file dropped on it from the shell.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include "ui/Dialogs.h"
#include "ui/StdControls.h"

namespace recording {

class TFileNameEdit : public ui::Edit {
 public:
  explicit TFileNameEdit(std::string name = {});
  // The dialog the browse button opens; its file name starts as the edit's text.
  ui::SaveDialog Dialog;
  HWND BrowseButton() const { return button_; }
  // What the browse button does: the dialog, and on OK its file into the edit.
  void Browse();
  // The first of the files dropped on the edit becomes its text.
  void DropFiles(HDROP drop);

 protected:
  void FillCreateParams(ui::CreateParams& p) override;
  void HandleCreated() override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void PlaceButton();
  HWND button_ = nullptr;
};

}  // namespace recording
