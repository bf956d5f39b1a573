#include "widgets/VrSlider.h"

#include <algorithm>

namespace widgets {

TVrBitmapList::~TVrBitmapList() {
  const auto users = users_;
  users_.clear();
  for (TVrBitmapListUser* u : users) u->BitmapListDestroyed();
}

void TVrBitmapList::Add(const ui::Bitmap& bitmap) {
  ui::Bitmap copy(bitmap.Width(), bitmap.Height(), ui::clNone);
  if (!bitmap.Empty()) copy.GetCanvas().Draw(0, 0, bitmap);
  bitmaps_.push_back(std::move(copy));
  Changed();
}

void TVrBitmapList::Clear() {
  bitmaps_.clear();
  Changed();
}

const ui::Bitmap* TVrBitmapList::Bitmap(int index) const {
  return index >= 0 && index < Count() ? &bitmaps_[static_cast<std::size_t>(index)] : nullptr;
}

void TVrBitmapList::RemoveUser(TVrBitmapListUser* user) {
  users_.erase(std::remove(users_.begin(), users_.end(), user), users_.end());
}

void TVrBitmapList::Changed() {
  const auto users = users_;
  for (TVrBitmapListUser* u : users) u->BitmapListChanged();
}

TVrSlider::TVrSlider(std::string name) : TVrCustomImageControl(std::move(name)) {
  color_ = ui::clBlack;
  bounds_ = ui::Rect::FromBounds(0, 0, 40, 150);
  BevelSettings s = bevel_.Settings();
  s.InnerStyle = bsLowered;
  s.InnerWidth = 2;
  s.InnerColor = ui::clBlack;
  bevel_.Set(s);
  bevel_.OnChange = [this] { TrackChanged(); };
  palette_.OnChange = [this] { TrackChanged(); };
  LoadThumb();
  BuildTracks();
}

TVrSlider::~TVrSlider() {
  if (bitmapList_) bitmapList_->RemoveUser(this);
  if (clipped_) ClipCursor(nullptr);
}

SliderGeometry TVrSlider::Geometry() const {
  SliderGeometry g;
  g.client = ClientRect();
  g.borderWidth = borderWidth_;
  g.thumbIndent = thumbIndent_;
  g.thumbWidth = thumbWidth_;
  g.thumbHeight = thumb_.Height();
  g.vertical = orientation_ == voVertical;
  g.style = style_;
  g.minValue = minValue_;
  g.maxValue = maxValue_;
  return g;
}

ui::Rect TVrSlider::TrackRect() const {
  return bevel_.InsetRect(ClientRect().Inflate(-borderWidth_));
}

void TVrSlider::LoadThumb() {
  const ui::Bitmap* shared = bitmapList_ ? bitmapList_->Bitmap(thumbImageIndex_) : nullptr;
  if (shared && !shared->Empty()) {
    thumb_ = ui::Bitmap(shared->Width(), shared->Height(), ui::clNone);
    thumb_.GetCanvas().Draw(0, 0, *shared);
  } else {
    // A vertical slider's thumb is the flat horizontal bar, and the other way round.
    thumb_ = ui::Bitmap::FromBitmapResource(orientation_ == voVertical ? "VRSLIDERTHUMB_HORI" : "VRSLIDERTHUMB_VERT");
  }
  thumbWidth_ = thumb_.Width() / std::max(1, thumbStates_);
}

void TVrSlider::SetThumbImageIndex(int index) {
  if (index == thumbImageIndex_) return;
  thumbImageIndex_ = index;
  LoadThumb();
  Invalidate();
}

void TVrSlider::SetBitmapList(TVrBitmapList* list) {
  if (list == bitmapList_) return;
  if (bitmapList_) bitmapList_->RemoveUser(this);
  bitmapList_ = list;
  if (bitmapList_) bitmapList_->AddUser(this);
  LoadThumb();
  Invalidate();
}

void TVrSlider::BitmapListChanged() {
  LoadThumb();
  Invalidate();
}

void TVrSlider::BitmapListDestroyed() {
  bitmapList_ = nullptr;
  LoadThumb();
  Invalidate();
}

void TVrSlider::BuildTracks() {
  const ui::Rect area = TrackRect();
  const int w = std::max(0, area.Width()), h = std::max(0, area.Height());
  const auto ticks = TrackTicks(w, h, orientation_ == voVertical, style_, tickWidth_, spacing_);
  auto build = [&](ui::Bitmap& track, ui::Color tick) {
    track.SetSize(w, h, color_);
    if (track.Empty()) return;
    ui::Canvas c = track.GetCanvas();
    if (solidFill_) {
      for (const ui::Rect& r : ticks) c.FillRect(r, tick);
      return;
    }
    // A checkerboard of the tick colour and the background.
    const std::uint32_t pixel = ui::ToColorRef(tick);
    const std::uint32_t rgb = ((pixel & 0xFF) << 16) | (pixel & 0xFF00) | ((pixel >> 16) & 0xFF);
    GdiFlush();
    for (const ui::Rect& r : ticks) {
      const ui::Rect t = r.Intersect({0, 0, w, h});
      for (int y = t.top; y < t.bottom; ++y)
        for (int x = t.left; x < t.right; ++x)
          if ((x & 1) == (y & 1)) track.Pixels()[y * w + x] = rgb;
    }
  };
  build(lowTrack_, palette_.Low());
  build(highTrack_, palette_.High());
}

void TVrSlider::TrackChanged() {
  BuildTracks();
  Invalidate();
}

void TVrSlider::ColorChanged() {
  TVrCustomImageControl::ColorChanged();
  TrackChanged();
}

void TVrSlider::BoundsChanged() {
  TrackChanged();
}

void TVrSlider::SetPosition(int v) {
  v = std::clamp(v, minValue_, std::max(minValue_, maxValue_));
  if (v == position_) return;
  position_ = v;
  Invalidate();
  if (OnChange) OnChange(*this);
}

void TVrSlider::SetMinValue(int v) {
  if (v == minValue_) return;
  minValue_ = v;
  if (position_ < v)
    SetPosition(v);
  else
    Invalidate();
}

void TVrSlider::SetMaxValue(int v) {
  if (v == maxValue_) return;
  maxValue_ = v;
  if (position_ > v)
    SetPosition(v);
  else
    Invalidate();
}

void TVrSlider::SetOrientation(TVrOrientation o) {
  if (o == orientation_) return;
  orientation_ = o;
  LoadThumb();
  SetBounds(Left(), Top(), Height(), Width());
  TrackChanged();
}

void TVrSlider::SetStyle(TVrSliderStyle s) {
  if (s == style_) return;
  style_ = s;
  TrackChanged();
}

void TVrSlider::SetTickWidth(int w) {
  if (w <= 0 || w == tickWidth_) return;
  tickWidth_ = w;
  TrackChanged();
}

void TVrSlider::SetSpacing(int s) {
  if (s < 0 || s == spacing_) return;
  spacing_ = s;
  TrackChanged();
}

void TVrSlider::SetSolidFill(bool on) {
  if (on == solidFill_) return;
  solidFill_ = on;
  TrackChanged();
}

void TVrSlider::SetBorderWidth(int w) {
  if (w < 0 || w == borderWidth_) return;
  borderWidth_ = w;
  TrackChanged();
}

void TVrSlider::SetOptions(unsigned o) {
  if (o == options_) return;
  options_ = o;
  Invalidate();
}

void TVrSlider::SetBorderColor(ui::Color c) {
  if (c == borderColor_) return;
  borderColor_ = c;
  Invalidate();
}

void TVrSlider::SetFocusColor(ui::Color c) {
  if (c == focusColor_) return;
  focusColor_ = c;
  Invalidate();
}

void TVrSlider::SetThumbIndent(int v) {
  if (v < 0 || v == thumbIndent_) return;
  thumbIndent_ = v;
  Invalidate();
}

void TVrSlider::SetThumbStates(int n) {
  if (n < 1 || n == thumbStates_) return;
  thumbStates_ = n;
  LoadThumb();
  Invalidate();
}

void TVrSlider::DrawContent(ui::Canvas& c) {
  ui::Rect r = ClientRect();
  if (borderWidth_ > 0) {
    const ui::Color frame = focused_ ? focusColor_ : borderColor_;
    DrawFrame(c, r, frame, borderWidth_, frame);
  }
  bevel_.Paint(c, r);
  const ui::Rect track = TrackRect();
  c.Draw(track.left, track.top, lowTrack_);

  const SliderGeometry g = Geometry();
  const ui::Rect thumb = g.Thumb(position_);
  const ui::Rect lit = g.LitPart(track, thumb);
  if (!lit.Empty()) c.Draw(lit, highTrack_, lit.Offset(-track.left, -track.top));

  const int state = ThumbState(hover_, dragging_, enabled_, thumbStates_);
  const ui::Rect src = ui::Rect::FromBounds(state * thumbWidth_, 0, thumbWidth_, thumb_.Height());
  if (options_ & soThumbOpaque)
    c.Draw(thumb, thumb_, src);
  else
    c.DrawTransparent(thumb, thumb_, src, thumb_.PixelAt(0, thumb_.Height() - 1));
}

void TVrSlider::MouseDown(ui::MouseButton button, unsigned shift, int x, int y) {
  Control::MouseDown(button, shift, x, y);
  if (button != ui::MouseButton::Left) return;
  if (tabStop_ && !Focused()) SetFocus();
  const ui::Rect thumb = ThumbRect();
  if (thumb.Contains({x, y})) {
    dragging_ = true;
    grabOffset_ = Along(x, y) - Along(thumb.left, thumb.top);
    if (options_ & soMouseClip) {
      const ui::Point tl = ClientToScreen({0, 0});
      const RECT area{tl.x, tl.y, tl.x + Width(), tl.y + Height()};
      clipped_ = ClipCursor(&area) != FALSE;
    }
    Invalidate();
  } else if (options_ & soActiveClick) {
    const int half = orientation_ == voVertical ? thumb.Height() / 2 : thumb.Width() / 2;
    SetPosition(Geometry().PositionAt(Along(x, y) - half));
  }
}

void TVrSlider::MouseMove(unsigned shift, int x, int y) {
  Control::MouseMove(shift, x, y);
  if (dragging_) {
    SetPosition(Geometry().PositionAt(Along(x, y) - grabOffset_));
    return;
  }
  const bool over = ThumbRect().Contains({x, y});
  if (over != hover_) {
    hover_ = over;
    Invalidate();
  }
}

void TVrSlider::EndDrag() {
  if (dragging_) {
    dragging_ = false;
    Invalidate();
  }
  if (clipped_) {
    ClipCursor(nullptr);
    clipped_ = false;
  }
}

void TVrSlider::MouseUp(ui::MouseButton button, unsigned shift, int x, int y) {
  if (button == ui::MouseButton::Left) EndDrag();
  Control::MouseUp(button, shift, x, y);
}

void TVrSlider::MouseLeave() {
  Control::MouseLeave();
  if (hover_) {
    hover_ = false;
    Invalidate();
  }
}

void TVrSlider::MouseCaptureLost() {
  Control::MouseCaptureLost();
  EndDrag();
}

void TVrSlider::KeyDown(unsigned& key, unsigned shift) {
  WinControl::KeyDown(key, shift);
  if (shift & (ui::ssShift | ui::ssCtrl | ui::ssAlt)) return;
  std::optional<SliderKey> k;
  switch (key) {
    case VK_HOME:
      k = SliderKey::Home;
      break;
    case VK_END:
      k = SliderKey::End;
      break;
    case VK_LEFT:
      k = SliderKey::Left;
      break;
    case VK_RIGHT:
      k = SliderKey::Right;
      break;
    case VK_UP:
      k = SliderKey::Up;
      break;
    case VK_DOWN:
      k = SliderKey::Down;
      break;
    default:
      return;
  }
  if (auto to = PositionAfterKey(*k, position_, Geometry(), KeyIncrement)) SetPosition(*to);
}

LRESULT TVrSlider::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      focused_ = msg == WM_SETFOCUS;
      Invalidate();
      break;
    case WM_SETCURSOR:
      if ((options_ & soHandPoint) && LOWORD(lp) == HTCLIENT) {
        POINT pt;
        GetCursorPos(&pt);
        const ui::Point p = ScreenToClient({pt.x, pt.y});
        if (ThumbRect().Contains(p)) {
          HCURSOR hand = LoadCursorA(GetModuleHandleA(nullptr), "VRCURSORHANDPOINT");
          ::SetCursor(hand ? hand : LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));
          return TRUE;
        }
      }
      break;
    default:
      break;
  }
  return TVrCustomImageControl::WndProc(msg, wp, lp);
}

}  // namespace widgets
