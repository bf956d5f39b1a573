// Plays the frames of one bitmap, cut into a grid, on the widget timer.
#pragma once

#include <memory>

#include "widgets/VrControls.h"
#include "widgets/VrThreads.h"

namespace widgets {

class TVrAnimate : public TVrGraphicImageControl {
 public:
  explicit TVrAnimate(std::string name = {});
  ~TVrAnimate() override;

  const ui::Bitmap& Bitmap() const { return bitmap_; }
  // Keeps a copy of the frame strip and starts again from frame 0.
  void SetBitmap(const ui::Bitmap& bitmap);
  int FrameCols() const { return cols_; }
  void SetFrameCols(int cols);  // at least 1
  int FrameRows() const { return rows_; }
  void SetFrameRows(int rows);  // at least 1
  bool Stretch() const { return stretch_; }
  void SetStretch(bool on);
  bool Loop() const { return loop_; }
  void SetLoop(bool on) { loop_ = on; }
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool on);
  bool Active() const { return active_; }
  void SetActive(bool on);
  unsigned Interval() const { return timer_->Interval(); }
  void SetInterval(unsigned ms) { timer_->SetInterval(ms); }
  bool Threaded() const { return timer_->TimerType() == ttThread; }
  void SetThreaded(bool on) { timer_->SetTimerType(on ? ttThread : ttSystem); }

  int FrameWidth() const { return bitmap_.Empty() ? 1 : bitmap_.Width() / cols_; }
  int FrameHeight() const { return bitmap_.Empty() ? 1 : bitmap_.Height() / rows_; }
  int Frames() const { return cols_ * rows_; }
  int CurrentFrame() const { return frame_; }

  // One tick: the next frame, or the end of a run that does not loop.
  void Step();
  // Called once when a run that does not loop has shown its last frame.
  ui::NotifyEvent OnNotify;

 protected:
  void DrawContent(ui::Canvas& buffer) override;
  void ColorChanged() override { ContentChanged(); }

 private:
  void GridChanged();
  ui::Bitmap bitmap_;
  int cols_ = 1;
  int rows_ = 1;
  int frame_ = 0;
  bool stretch_ = false;
  bool loop_ = true;
  bool autoSize_ = false;
  bool active_ = false;
  std::unique_ptr<TVrTimer> timer_;
};

}  // namespace widgets
