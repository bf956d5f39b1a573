// The plain controls: transparent labels, pictures, container panels, one-line edits,
// sorted list boxes and drop-down lists.
#pragma once

#include <string>
#include <vector>

#include "ui/Canvas.h"
#include "ui/WinControl.h"

namespace ui {

enum class Alignment { Left, Right, Center };

// A windowless text on its parent's background.
class Label : public Control {
 public:
  explicit Label(std::string name = {});
  void SetAlignment(Alignment a) { alignment_ = a; Invalidate(); }
  // Sizes the label to its text after every change of caption or font.
  void SetAutoSize(bool on) { autoSize_ = on; AdjustSize(); }
  void SetWordWrap(bool on) { wordWrap_ = on; AdjustSize(); }
  // With transparency off the label fills its area with its colour first.
  void SetTransparent(bool on) { transparent_ = on; Invalidate(); }
  void Paint(Canvas& canvas) override;

 protected:
  void CaptionChanged() override;
  void FontChanged() override;

 private:
  void AdjustSize();
  unsigned TextFlags() const;
  Alignment alignment_ = Alignment::Left;
  bool autoSize_ = true;
  bool wordWrap_ = false;
  bool transparent_ = true;
};

// A windowless picture.
class Image : public Control {
 public:
  explicit Image(std::string name = {});
  const Bitmap& Picture() const { return picture_; }
  void SetPicture(Bitmap picture);
  // Sizes the control to its picture.
  void SetAutoSize(bool on);
  void SetStretch(bool on) { stretch_ = on; Invalidate(); }
  void SetCenter(bool on) { center_ = on; Invalidate(); }
  // Leaves out the pixels of the picture's bottom-left colour.
  void SetTransparent(bool on) { transparent_ = on; Invalidate(); }
  void Paint(Canvas& canvas) override;

 private:
  Bitmap picture_;
  bool autoSize_ = false;
  bool stretch_ = false;
  bool center_ = false;
  bool transparent_ = false;
};

// A windowed container that fills its area with its colour.
class Panel : public WinControl {
 public:
  explicit Panel(std::string name = {});
};

class Edit : public WinControl {
 public:
  explicit Edit(std::string name = {});
  std::string Text() const;
  void SetText(const std::string& text);
  void SetReadOnly(bool on);
  void SetBorder(bool on) { border_ = on; }
  NotifyEvent OnChange;

 protected:
  void FillCreateParams(CreateParams& p) override;
  void HandleCreated() override;
  bool Notification(UINT code) override;
  HBRUSH ControlColor(HDC dc) override;

 private:
  bool readOnly_ = false;
  bool border_ = false;
  UniqueBrush brush_;
  Color brushColor_ = clNone;
};

// A system control holding a list of text items, painted in its own colours.
class ItemControl : public WinControl {
 public:
  explicit ItemControl(std::string name) : WinControl(std::move(name)) { color_ = clWindow; }
  int Count() const { return int(items_.size()); }
  const std::string& Item(int index) const { return items_.at(std::size_t(index)); }
  const std::vector<std::string>& Items() const { return items_; }

 protected:
  HBRUSH ControlColor(HDC dc) override;
  int Clamped(int index) const { return index >= 0 && index < Count() ? index : -1; }
  std::vector<std::string> items_;
  // The selection while the control has no window yet; once it has one, the window
  // keeps it.
  int storedIndex_ = -1;

 private:
  UniqueBrush brush_;
  Color brushColor_ = clNone;
};

// Items kept by the control; with sorting on, each new item lands at its place in the
// order without regard to case, after the items equal to it.
class ListBox : public ItemControl {
 public:
  explicit ListBox(std::string name = {}) : ItemControl(std::move(name)) {}
  void SetSorted(bool on) { sorted_ = on; }
  void SetItemHeight(int h);
  int Add(const std::string& item);
  void Delete(int index);
  void Clear();
  // -1 when nothing is selected.
  int ItemIndex() const;
  void SetItemIndex(int index);
  NotifyEvent OnClick;
  NotifyEvent OnDblClick;

 protected:
  void FillCreateParams(CreateParams& p) override;
  void HandleCreated() override;
  bool Notification(UINT code) override;

 private:
  bool sorted_ = false;
  int itemHeight_ = 0;
};

// A drop-down list: the user picks one of its items and cannot type.
class ComboBox : public ItemControl {
 public:
  explicit ComboBox(std::string name = {}) : ItemControl(std::move(name)) {}
  int Add(const std::string& item);
  void Clear();
  int ItemIndex() const;
  void SetItemIndex(int index);
  std::string Text() const;
  // How many lines the opened list shows (0: as tall as 200 pixels allow).
  void SetDropDownCount(int lines) { dropDownCount_ = lines; }
  NotifyEvent OnChange;

 protected:
  void FillCreateParams(CreateParams& p) override;
  void HandleCreated() override;
  bool Notification(UINT code) override;

 private:
  int dropDownCount_ = 0;
};

}  // namespace ui
