#include "skins/VrFormShape.h"

#include <stdexcept>
#include <string>

#include "skins/BitmapRules.h"
#include "ui/Form.h"

namespace skins {

namespace {

// The hourglass for the whole screen while the guard lives, also when a scan fails.
class WaitCursor {
 public:
  WaitCursor() : old_(SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)))) {}  // IDC_WAIT
  ~WaitCursor() { SetCursor(old_); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  HCURSOR old_;
};

constexpr WPARAM kMoveByCaption = 0xF012;  // SC_MOVE combined with the caption hit-test code

}  // namespace

TVrFormShape::TVrFormShape(std::string name) : TVrGraphicControl(std::move(name)) {
  color_ = ui::clOlive;
}

void TVrFormShape::SetParent(ui::WinControl* parent) {
  if (parent && !dynamic_cast<ui::Form*>(parent)) throw std::invalid_argument(kNeedsFormMessage);
  TVrGraphicControl::SetParent(parent);
  // Forms of this program have no system frame already; the shape fills the form.
  if (parent) SetBounds(0, 0, parent->Width(), parent->Height());
}

void TVrFormShape::CheckOutline(const ui::Bitmap& picture, ui::Color colour) {
  GdiFlush();
  if (CountMaskRects(picture.Pixels(), picture.Width(), picture.Height(), colour, kMaxOutlineRects) > kMaxOutlineRects)
    throw EBitmapError("The picture is too large: its outline would need more than " +
                       std::to_string(kMaxOutlineRects) + " rectangles");
}

void TVrFormShape::SetMask(const ui::Bitmap& picture) {
  if (!loading_) CheckOutline(picture, color_);
  mask_ = ui::Bitmap(picture.Width(), picture.Height(), ui::clNone);
  ui::Canvas(mask_.Dc()).Draw(0, 0, picture);
  if (!loading_) RebuildOutline();
  Invalidate();
}

void TVrFormShape::SetMaskColor(ui::Color colour) {
  if (colour == color_) return;
  if (!loading_) CheckOutline(mask_, colour);
  color_ = colour;
  if (!loading_) RebuildOutline();
  Invalidate();
}

void TVrFormShape::Loaded() {
  loading_ = false;
  ApplyOutline();
}

void TVrFormShape::RebuildOutline() {
  {
    WaitCursor wait;
    ++scans_;
    GdiFlush();
    const std::vector<RegionRect> rects = ScanMask(mask_.Pixels(), mask_.Width(), mask_.Height(), color_);
    // A picture without a single pixel of the outline keeps the outline in force.
    if (rects.empty()) return;
    rgnData_.Assign(RegionDataOf(rects));
  }
  ApplyOutline();
}

void TVrFormShape::ApplyOutline() {
  if (rgnData_.Size() <= 0 || !Parent() || !Parent()->Handle()) return;
  RectsOfRegionData(rgnData_.Bytes());  // damaged data raises its error here
  HRGN region = ExtCreateRegion(nullptr, DWORD(rgnData_.Size()), reinterpret_cast<const RGNDATA*>(rgnData_.Data()));
  if (!region) throw std::runtime_error("The window's outline cannot be made");
  // The window owns the region from now on.
  if (!SetWindowRgn(Parent()->Handle(), region, TRUE)) {
    DeleteObject(region);
    throw std::runtime_error("The window's outline cannot be set");
  }
}

void TVrFormShape::Paint(ui::Canvas& canvas) {
  RECT clip{};
  if (GetClipBox(canvas.Handle(), &clip) == NULLREGION) return;
  const ui::Rect area{clip.left, clip.top, clip.right, clip.bottom};
  const ui::Rect picture = area.Intersect({0, 0, mask_.Width(), mask_.Height()});
  // Beyond the picture the form's own colour shows, as behind a transparent control.
  if (picture != area && Parent()) canvas.FillRect(area, Parent()->GetColor());
  if (!picture.Empty()) canvas.Draw(picture, mask_, picture);
}

void TVrFormShape::MouseDown(ui::MouseButton button, unsigned, int, int) {
  // No mouse-down event of its own: the left button hands the window to the system's
  // move loop until it is released.
  if (button != ui::MouseButton::Left || !Parent() || !Parent()->Handle()) return;
  SetMouseCapture(false);
  ReleaseCapture();
  SendMessageA(Parent()->Handle(), WM_SYSCOMMAND, kMoveByCaption, 0);
}

void TVrFormShape::MouseUp(ui::MouseButton button, unsigned shift, int x, int y) {
  TVrGraphicControl::MouseUp(button, shift, x, y);
  if (button == ui::MouseButton::Right && PopupMenu) PopupMenu->Popup(ClientToScreen({x, y}), Parent());
}

}  // namespace skins
