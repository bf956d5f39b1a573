// The fader: a track of LED-like ticks lit from the minimum end up to a draggable thumb.
#pragma once

#include <functional>
#include <vector>

#include "widgets/SliderRules.h"
#include "widgets/VrClasses.h"
#include "widgets/VrControls.h"

namespace widgets {

class TVrBitmapList;

// A user of a shared bitmap list hears when its pictures change and when it goes away.
class TVrBitmapListUser {
 public:
  virtual void BitmapListChanged() = 0;
  virtual void BitmapListDestroyed() = 0;

 protected:
  ~TVrBitmapListUser() = default;
};

// Pictures shared by several widgets, taken by index.
class TVrBitmapList {
 public:
  TVrBitmapList() = default;
  ~TVrBitmapList();
  TVrBitmapList(const TVrBitmapList&) = delete;
  TVrBitmapList& operator=(const TVrBitmapList&) = delete;

  int Count() const { return static_cast<int>(bitmaps_.size()); }
  // Keeps a copy of the picture.
  void Add(const ui::Bitmap& bitmap);
  void Clear();
  // The picture at an index, or nullptr when there is none.
  const ui::Bitmap* Bitmap(int index) const;

  void AddUser(TVrBitmapListUser* user) { users_.push_back(user); }
  void RemoveUser(TVrBitmapListUser* user);

 private:
  void Changed();
  std::vector<ui::Bitmap> bitmaps_;
  std::vector<TVrBitmapListUser*> users_;
};

enum TVrSliderOption { soActiveClick = 1, soMouseClip = 2, soHandPoint = 4, soThumbOpaque = 8 };

class TVrSlider : public TVrCustomImageControl, private TVrBitmapListUser {
 public:
  explicit TVrSlider(std::string name = {});
  ~TVrSlider() override;

  int MinValue() const { return minValue_; }
  void SetMinValue(int v);
  int MaxValue() const { return maxValue_; }
  void SetMaxValue(int v);
  int Position() const { return position_; }
  // Kept within [MinValue, MaxValue]; a change repaints and raises OnChange.
  void SetPosition(int v);
  TVrOrientation Orientation() const { return orientation_; }
  // Turns the slider: width and height swap and the thumb is the other one.
  void SetOrientation(TVrOrientation o);
  TVrSliderStyle Style() const { return style_; }
  void SetStyle(TVrSliderStyle s);
  int TickWidth() const { return tickWidth_; }
  void SetTickWidth(int w);
  int Spacing() const { return spacing_; }
  void SetSpacing(int s);
  bool SolidFill() const { return solidFill_; }
  void SetSolidFill(bool on);
  int KeyIncrement = 5;
  unsigned Options() const { return options_; }
  void SetOptions(unsigned o);
  int ThumbStates() const { return thumbStates_; }
  void SetThumbStates(int n);
  int ThumbImageIndex() const { return thumbImageIndex_; }
  void SetThumbImageIndex(int index);
  TVrBitmapList* BitmapList() const { return bitmapList_; }
  // A thumb from a shared list instead of the built-in one (nullptr: built-in).
  void SetBitmapList(TVrBitmapList* list);
  int ThumbIndent() const { return thumbIndent_; }
  void SetThumbIndent(int v);
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int w);
  ui::Color BorderColor() const { return borderColor_; }
  void SetBorderColor(ui::Color c);
  ui::Color FocusColor() const { return focusColor_; }
  void SetFocusColor(ui::Color c);
  TVrBevel& Bevel() { return bevel_; }
  TVrPalette& Palette() { return palette_; }
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool on) { tabStop_ = on; }
  ui::NotifyEvent OnChange;

  // Where the thumb is drawn now (client coordinates), and the ticks' area.
  ui::Rect ThumbRect() const { return Geometry().Thumb(position_); }
  ui::Rect TrackRect() const;

  void MouseDown(ui::MouseButton button, unsigned shift, int x, int y) override;
  void MouseUp(ui::MouseButton button, unsigned shift, int x, int y) override;
  void MouseMove(unsigned shift, int x, int y) override;
  void MouseLeave() override;
  void MouseCaptureLost() override;
  void KeyDown(unsigned& key, unsigned shift) override;

 protected:
  void DrawContent(ui::Canvas& buffer) override;
  void BoundsChanged() override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void EnabledChanged() override { Invalidate(); }
  void ColorChanged() override;

 private:
  SliderGeometry Geometry() const;
  void LoadThumb();
  void BitmapListChanged() override;
  void BitmapListDestroyed() override;
  void BuildTracks();
  void TrackChanged();
  void EndDrag();
  int Along(int x, int y) const { return orientation_ == voVertical ? y : x; }

  int minValue_ = 0;
  int maxValue_ = 100;
  int position_ = 0;
  TVrOrientation orientation_ = voVertical;
  TVrSliderStyle style_ = ssBottomLeft;
  int tickWidth_ = 1;
  int spacing_ = 1;
  bool solidFill_ = true;
  unsigned options_ = soHandPoint | soThumbOpaque;
  int thumbStates_ = 1;
  int thumbImageIndex_ = -1;
  TVrBitmapList* bitmapList_ = nullptr;
  int thumbIndent_ = 2;
  int borderWidth_ = 1;
  ui::Color borderColor_ = ui::clBtnFace;
  ui::Color focusColor_ = ui::clBlue;
  TVrBevel bevel_;
  TVrPalette palette_;
  bool tabStop_ = false;

  ui::Bitmap thumb_;
  int thumbWidth_ = 0;
  ui::Bitmap lowTrack_;
  ui::Bitmap highTrack_;
  bool dragging_ = false;
  int grabOffset_ = 0;
  bool hover_ = false;
  bool focused_ = false;
  bool clipped_ = false;
};

}  // namespace widgets
