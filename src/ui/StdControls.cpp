#include "ui/StdControls.h"

#include "base/TextRules.h"

namespace ui {

namespace {

// The brush a system control paints its background with, remade when the colour changes.
HBRUSH ColorBrush(UniqueBrush& brush, Color& brushColor, Color wanted) {
  if (!brush || brushColor != wanted) {
    brush.Reset(CreateSolidBrush(ToColorRef(wanted)));
    brushColor = wanted;
  }
  return brush.Get();
}

HBRUSH PrepareControlDc(HDC dc, const Control& c, UniqueBrush& brush, Color& brushColor) {
  SetTextColor(dc, ToColorRef(c.GetFont().color));
  SetBkColor(dc, ToColorRef(c.GetColor()));
  return ColorBrush(brush, brushColor, c.GetColor());
}

}  // namespace

Label::Label(std::string name) : Control(std::move(name)) { color_ = clNone; }

unsigned Label::TextFlags() const {
  unsigned f = DT_NOPREFIX;
  if (wordWrap_) f |= DT_WORDBREAK;
  else f |= DT_SINGLELINE;
  if (alignment_ == Alignment::Right) f |= DT_RIGHT;
  else if (alignment_ == Alignment::Center) f |= DT_CENTER;
  return f;
}

void Label::Paint(Canvas& canvas) {
  if (!transparent_ && color_ != clNone) canvas.FillRect(ClientRect(), color_);
  const Color textColor = enabled_ ? font_.color : clGray;
  Font f = font_;
  f.color = textColor;
  canvas.DrawText(ClientRect(), caption_, f, TextFlags());
}

void Label::CaptionChanged() {
  AdjustSize();
  Invalidate();
}

void Label::FontChanged() {
  AdjustSize();
  Invalidate();
}

void Label::AdjustSize() {
  if (!autoSize_) return;
  HDC dc = GetDC(nullptr);
  SelectGuard sel(dc, font_.Handle());
  RECT rc{0, 0, wordWrap_ ? std::max(1, Width()) : 0, 0};
  ::DrawTextA(dc, caption_.c_str(), int(caption_.size()), &rc, TextFlags() | DT_CALCRECT);
  ReleaseDC(nullptr, dc);
  SetBounds(Left(), Top(), wordWrap_ ? Width() : rc.right, rc.bottom);
}

Image::Image(std::string name) : Control(std::move(name)) { color_ = clNone; }

void Image::SetPicture(Bitmap picture) {
  picture_ = std::move(picture);
  if (autoSize_) SetSize(picture_.Width(), picture_.Height());
  Invalidate();
}

void Image::SetAutoSize(bool on) {
  autoSize_ = on;
  if (on && !picture_.Empty()) SetSize(picture_.Width(), picture_.Height());
}

void Image::Paint(Canvas& canvas) {
  if (picture_.Empty()) return;
  Rect dest{0, 0, picture_.Width(), picture_.Height()};
  if (stretch_) dest = ClientRect();
  else if (center_) dest = dest.Offset((Width() - picture_.Width()) / 2, (Height() - picture_.Height()) / 2);
  const Rect src{0, 0, picture_.Width(), picture_.Height()};
  if (transparent_)
    canvas.DrawTransparent(dest, picture_, src, picture_.PixelAt(0, picture_.Height() - 1));
  else
    canvas.Draw(dest, picture_, src);
}

Panel::Panel(std::string name) : WinControl(std::move(name)) {}

Edit::Edit(std::string name) : WinControl(std::move(name)) { color_ = clWindow; }

void Edit::FillCreateParams(CreateParams& p) {
  p.className = "EDIT";
  p.style = WS_CHILD | WS_TABSTOP | ES_AUTOHSCROLL | (readOnly_ ? ES_READONLY : 0);
  if (border_) p.exStyle |= WS_EX_CLIENTEDGE;
}

void Edit::HandleCreated() {
  SendMessageA(Handle(), EM_SETLIMITTEXT, 0, 0);  // no length limit
}

std::string Edit::Text() const {
  if (!Handle()) return caption_;
  const int n = GetWindowTextLengthA(Handle());
  std::string s(std::size_t(n) + 1, '\0');
  s.resize(std::size_t(GetWindowTextA(Handle(), s.data(), n + 1)));
  return s;
}

void Edit::SetText(const std::string& text) {
  caption_ = text;
  if (Handle()) SetWindowTextA(Handle(), text.c_str());
}

void Edit::SetReadOnly(bool on) {
  readOnly_ = on;
  if (Handle()) SendMessageA(Handle(), EM_SETREADONLY, on, 0);
}

bool Edit::Notification(UINT code) {
  if (code != EN_CHANGE) return false;
  caption_ = Text();
  if (OnChange) OnChange(*this);
  return true;
}

HBRUSH Edit::ControlColor(HDC dc) { return PrepareControlDc(dc, *this, brush_, brushColor_); }

HBRUSH ItemControl::ControlColor(HDC dc) { return PrepareControlDc(dc, *this, brush_, brushColor_); }

void ListBox::FillCreateParams(CreateParams& p) {
  p.className = "LISTBOX";
  p.style = WS_CHILD | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT;
}

void ListBox::HandleCreated() {
  if (itemHeight_ > 0) SendMessageA(Handle(), LB_SETITEMHEIGHT, 0, itemHeight_);
  for (std::size_t i = 0; i < items_.size(); ++i)
    SendMessageA(Handle(), LB_INSERTSTRING, i, reinterpret_cast<LPARAM>(items_[i].c_str()));
  if (storedIndex_ >= 0) SendMessageA(Handle(), LB_SETCURSEL, WPARAM(storedIndex_), 0);
}

void ListBox::SetItemHeight(int h) {
  itemHeight_ = h;
  if (Handle()) SendMessageA(Handle(), LB_SETITEMHEIGHT, 0, h);
}

int ListBox::Add(const std::string& item) {
  const std::size_t at = sorted_ ? base::SortedInsertIndex(items_, item) : items_.size();
  items_.insert(items_.begin() + std::ptrdiff_t(at), item);
  if (Handle()) {
    SendMessageA(Handle(), LB_INSERTSTRING, at, reinterpret_cast<LPARAM>(item.c_str()));
  } else if (storedIndex_ >= int(at)) {
    ++storedIndex_;  // the selected item moved down, like the window's own selection
  }
  return int(at);
}

void ListBox::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  items_.erase(items_.begin() + index);
  if (Handle()) {
    SendMessageA(Handle(), LB_DELETESTRING, WPARAM(index), 0);
  } else if (storedIndex_ == index) {
    storedIndex_ = -1;
  } else if (storedIndex_ > index) {
    --storedIndex_;
  }
}

void ListBox::Clear() {
  items_.clear();
  storedIndex_ = -1;
  if (Handle()) SendMessageA(Handle(), LB_RESETCONTENT, 0, 0);
}

int ListBox::ItemIndex() const {
  if (!Handle()) return storedIndex_;
  const LRESULT r = SendMessageA(Handle(), LB_GETCURSEL, 0, 0);
  return r == LB_ERR ? -1 : int(r);
}

void ListBox::SetItemIndex(int index) {
  storedIndex_ = Clamped(index);
  if (Handle()) SendMessageA(Handle(), LB_SETCURSEL, WPARAM(index), 0);
}

bool ListBox::Notification(UINT code) {
  if (code == LBN_SELCHANGE) {
    if (OnClick) OnClick(*this);
    return true;
  }
  if (code == LBN_DBLCLK) {
    if (OnDblClick) OnDblClick(*this);
    return true;
  }
  return false;
}

void ComboBox::FillCreateParams(CreateParams& p) {
  p.className = "COMBOBOX";
  p.style = WS_CHILD | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_HASSTRINGS;
}

void ComboBox::HandleCreated() {
  // The window's height includes the dropped-down list.
  int height = std::max(Height(), 200);
  if (dropDownCount_ > 0) {
    const int line = int(SendMessageA(Handle(), CB_GETITEMHEIGHT, 0, 0));
    height = Height() + dropDownCount_ * line + 2;
  }
  SetWindowPos(Handle(), nullptr, 0, 0, Width(), height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  for (const std::string& s : items_) SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
  if (storedIndex_ >= 0) SendMessageA(Handle(), CB_SETCURSEL, WPARAM(storedIndex_), 0);
}

int ComboBox::Add(const std::string& item) {
  items_.push_back(item);
  if (Handle()) SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  return Count() - 1;
}

void ComboBox::Clear() {
  items_.clear();
  storedIndex_ = -1;
  if (Handle()) SendMessageA(Handle(), CB_RESETCONTENT, 0, 0);
}

int ComboBox::ItemIndex() const {
  if (!Handle()) return storedIndex_;
  const LRESULT r = SendMessageA(Handle(), CB_GETCURSEL, 0, 0);
  return r == CB_ERR ? -1 : int(r);
}

void ComboBox::SetItemIndex(int index) {
  storedIndex_ = Clamped(index);
  // An index off the list clears the selection in the window as in the stored index.
  if (Handle()) SendMessageA(Handle(), CB_SETCURSEL, WPARAM(storedIndex_), 0);
}

std::string ComboBox::Text() const {
  const int i = ItemIndex();
  return i < 0 || i >= Count() ? std::string() : items_[std::size_t(i)];
}

bool ComboBox::Notification(UINT code) {
  if (code != CBN_SELCHANGE) return false;
  if (OnChange) OnChange(*this);
  return true;
}

}  // namespace ui
