// The slider's and the spinner's geometry: where the thumb lies for a position and which
// position a thumb edge stands for, the ticks of the track, the arrow-key steps, and how
// a spinner splits into its two buttons. Portable.
#pragma once

#include <optional>
#include <vector>

#include "ui/Geometry.h"

namespace widgets {

enum TVrSliderStyle { ssBottomLeft, ssTopRight };

// a / b rounded to the nearest integer, halves to the even neighbour (b > 0).
long long RoundedDiv(long long a, long long b);

struct SliderGeometry {
  ui::Rect client;
  int borderWidth = 1;
  int thumbIndent = 2;
  int thumbWidth = 0;
  int thumbHeight = 0;
  bool vertical = true;
  TVrSliderStyle style = ssBottomLeft;
  int minValue = 0;
  int maxValue = 100;

  // The rectangle the thumb travels in.
  ui::Rect Travel() const;
  // The thumb's rectangle at a position: along the travel by the position, across centred
  // in the client area.
  ui::Rect Thumb(int position) const;
  // The position whose thumb has its leading edge (top or left, client coordinates) at p.
  int PositionAt(int p) const;
  // The part of the track (client coordinates) lit from the minimum end up to the
  // thumb's centre.
  ui::Rect LitPart(const ui::Rect& track, const ui::Rect& thumb) const;

 private:
  int Base() const;
  int Span() const;
};

// The ticks of a track of the given size, starting at the minimum end; the last ones may
// run over the far end.
std::vector<ui::Rect> TrackTicks(int width, int height, bool vertical, TVrSliderStyle style, int tickWidth,
                                 int spacing);

enum class SliderKey { Home, End, Left, Right, Up, Down };
// The position a key moves to, or nothing for a key that does not apply.
std::optional<int> PositionAfterKey(SliderKey key, int position, const SliderGeometry& g, int increment);

// Which image of the thumb bitmap shows: 3 hovered, 2 dragged, 1 disabled, 0 otherwise;
// a state the bitmap lacks shows image 0.
int ThumbState(bool hovered, bool dragging, bool enabled, int states);

// The two buttons of a spinner of the given size (at least 15 pixels wide): stacked with
// one shared row, or side by side.
struct SpinnerHalves {
  ui::Rect first;
  ui::Rect second;
};
int SpinnerWidth(int width);
SpinnerHalves SplitSpinner(int width, int height, bool vertical);

}  // namespace widgets
