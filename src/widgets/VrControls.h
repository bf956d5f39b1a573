// The bases of the widget set: windowless and windowed widgets, each optionally drawing
// through a buffer that is copied to the screen in one block, and the enumerations the
// widgets share.
#pragma once

#include <string>

#include "ui/Canvas.h"
#include "ui/Control.h"
#include "ui/WinControl.h"

namespace widgets {

enum TVrOrientation { voVertical, voHorizontal };
enum TVrAlignment { vaLeftJustify, vaRightJustify, vaCenter };

// Every widget carries the version of the widget set.
inline constexpr const char* kWidgetVersion = "1.3";

// A point size of the widget set's fonts in pixels on the 96 dots-per-inch screen.
constexpr int PointsToPixels(int points) { return (points * 96 + 36) / 72; }

class TVrGraphicControl : public ui::Control {
 public:
  explicit TVrGraphicControl(std::string name = {}) : Control(std::move(name)) {}
  const char* FVersion() const { return kWidgetVersion; }
};

// A windowless widget that draws into its drawing buffer; when transparent the buffer
// starts from a snapshot of what lies under the control instead of its colour.
class TVrGraphicImageControl : public TVrGraphicControl {
 public:
  explicit TVrGraphicImageControl(std::string name = {});
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool on);
  void Paint(ui::Canvas& canvas) final;

 protected:
  // Draws the content into the prepared buffer (client coordinates).
  virtual void DrawContent(ui::Canvas& buffer) = 0;
  // A content change: repaint, from the kept snapshot when transparent.
  void ContentChanged();
  ui::Bitmap& Buffer() { return buffer_; }

 private:
  void TakeSnapshot();
  ui::Bitmap buffer_;
  ui::Bitmap snapshot_;
  bool transparent_ = false;
  bool snapshotDue_ = true;
};

class TVrCustomControl : public ui::WinControl {
 public:
  explicit TVrCustomControl(std::string name = {}) : WinControl(std::move(name)) {}
  const char* FVersion() const { return kWidgetVersion; }
};

// A windowed widget that draws into one buffer, filled with its colour at the start of
// each paint and copied to the screen at its end.
class TVrCustomImageControl : public TVrCustomControl {
 public:
  explicit TVrCustomImageControl(std::string name = {}) : TVrCustomControl(std::move(name)) {}

 protected:
  virtual void DrawContent(ui::Canvas& buffer) = 0;
  void PaintWindow(ui::Canvas& canvas, const ui::Rect& area) override;
  ui::Bitmap& Buffer() { return buffer_; }

 private:
  ui::Bitmap buffer_;
};

}  // namespace widgets
