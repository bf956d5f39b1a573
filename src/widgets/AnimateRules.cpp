#include "widgets/AnimateRules.h"

#include <algorithm>

namespace widgets {

FrameStep NextFrame(int frame, int frames, bool loop) {
  if (frame < frames - 1) return {frame + 1, false};
  if (loop) return {0, false};
  return {frame, true};
}

ui::Rect FrameSource(int i, int cols, int frameWidth, int frameHeight) {
  cols = std::max(1, cols);
  return ui::Rect::FromBounds(i % cols * frameWidth, i / cols * frameHeight, frameWidth, frameHeight);
}

ui::Rect FrameDest(int clientWidth, int clientHeight, int frameWidth, int frameHeight, bool stretch) {
  if (stretch) return {0, 0, clientWidth, clientHeight};
  return ui::Rect::FromBounds((clientWidth - frameWidth) / 2, (clientHeight - frameHeight) / 2, frameWidth,
                              frameHeight);
}

ui::Color ShadeColor(ui::Color c1, ui::Color c2, int i, int width) {
  if (width <= 0) return c1;
  auto channel = [&](int a, int b) { return a + i * (b - a) / width; };
  return ui::Rgb(channel(ui::RedOf(c1), ui::RedOf(c2)), channel(ui::GreenOf(c1), ui::GreenOf(c2)),
                 channel(ui::BlueOf(c1), ui::BlueOf(c2)));
}

}  // namespace widgets
