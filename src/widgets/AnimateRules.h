// The frame animation's stepping and frame rectangles, and the graded shadow colours of
// the display panel. Portable.
#pragma once

#include "ui/Color.h"
#include "ui/Geometry.h"

namespace widgets {

struct FrameStep {
  int frame = 0;
  bool finished = false;  // a run without looping has ended on its last frame
  friend bool operator==(const FrameStep&, const FrameStep&) = default;
};

// The frame after `frame` of `frames`: the next one, back to 0 when looping, or the last
// one kept and the run finished.
FrameStep NextFrame(int frame, int frames, bool loop);

// Frame i of a grid `cols` frames wide, each frameWidth x frameHeight.
ui::Rect FrameSource(int i, int cols, int frameWidth, int frameHeight);
// Where a frame is drawn: the whole client when stretched, else centred in it.
ui::Rect FrameDest(int clientWidth, int clientHeight, int frameWidth, int frameHeight, bool stretch);

// Shadow line i of `width` lines, graded channel by channel from c1 to c2 (plain colours).
ui::Color ShadeColor(ui::Color c1, ui::Color c2, int i, int width);

}  // namespace widgets
