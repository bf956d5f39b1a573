#include "nowplaying/TrayIcon.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <exception>

#include "base/Encoding.h"
#include "ui/Application.h"

namespace nowplaying {

namespace {

constexpr const char* kClassName = "TunoraTrayWindow";
const UINT kTaskbarCreated = RegisterWindowMessageA("TaskbarCreated");

// The UTF-8 text, cut to fit with its end, into one of the record's fixed fields. The
// room is the field's own, in characters, so that no caller can give it in bytes.
template <std::size_t Room>
void CopyCut(wchar_t (&dest)[Room], const std::string& text) {
  const std::wstring cut = base::WideFromUtf8(base::CutUtf8ToWide(text, Room - 1));
  std::memcpy(dest, cut.data(), cut.size() * sizeof(wchar_t));
  dest[cut.size()] = L'\0';
}

}  // namespace

TrayIcon::~TrayIcon() {
  if (shown_) {
    NOTIFYICONDATAW data = Data(0);
    Shell_NotifyIconW(NIM_DELETE, &data);
  }
  if (hwnd_) DestroyWindow(hwnd_);
  if (icon_) DestroyIcon(icon_);
}

NOTIFYICONDATAW TrayIcon::Data(UINT flags) const {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = hwnd_;
  data.uID = 1;
  data.uFlags = flags;
  return data;
}

void TrayIcon::ShowSoon(const std::string& tip) {
  tip_ = base::CutUtf8ToWide(tip, kMaxTip);
  if (MakeWindow()) PostMessageA(hwnd_, kShowMessage, 0, 0);
}

bool TrayIcon::MakeWindow() {
  if (!hwnd_) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = &TrayIcon::WndProc;
    wc.hInstance = instance;
    wc.lpszClassName = kClassName;
    RegisterClassA(&wc);  // fails harmlessly once registered
    hwnd_ = CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, "Ovexia Tunora tray", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                            instance, nullptr);
    if (!hwnd_) return false;
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    icon_ = static_cast<HICON>(
        LoadImageA(instance, "MAINICON", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  }
  return true;
}

bool TrayIcon::Show(const std::string& tip) {
  if (!MakeWindow()) return false;
  tip_ = base::CutUtf8ToWide(tip, kMaxTip);
  NOTIFYICONDATAW data = Data(NIF_MESSAGE | NIF_ICON | NIF_TIP);
  data.uCallbackMessage = kCallbackMessage;
  data.hIcon = icon_ ? icon_ : LoadIconA(nullptr, IDI_APPLICATION);
  CopyCut(data.szTip, tip_);
  shown_ = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
  return shown_;
}

bool TrayIcon::Modify(NOTIFYICONDATAW& data, DWORD message) {
  if (!hwnd_) return false;
  if (!shown_) {
    // The shell was not there at the start: it may be now.
    if (!Show(tip_)) return false;
  }
  return Shell_NotifyIconW(message, &data) != FALSE;
}

void TrayIcon::SetTip(const std::string& tip) {
  tip_ = base::CutUtf8ToWide(tip, kMaxTip);
  NOTIFYICONDATAW data = Data(NIF_TIP);
  CopyCut(data.szTip, tip_);
  Modify(data, NIM_MODIFY);
}

void TrayIcon::Notify(const std::string& title, const std::string& text, bool warning) {
  (warning ? lastWarning_ : lastNotification_) = title + "\n" + text;
  ++(warning ? warnings_ : notifications_);
  if (!warning) lastNotifiedAt_ = GetTickCount();
  NOTIFYICONDATAW data = Data(NIF_INFO);
  CopyCut(data.szInfoTitle, title);
  CopyCut(data.szInfo, text);
  data.dwInfoFlags = warning ? NIIF_WARNING : NIIF_INFO;
  data.uTimeout = 10000;
  Modify(data, NIM_MODIFY);
}

LRESULT CALLBACK TrayIcon::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<TrayIcon*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self && msg == kCallbackMessage) {
    // A handler's failure is reported like any other handler's; it must not leave the
    // window procedure.
    try {
      if (LOWORD(lp) == WM_LBUTTONUP && self->OnLeftClick) self->OnLeftClick();
      if (LOWORD(lp) == WM_RBUTTONUP && self->OnRightClick) self->OnRightClick();
    } catch (...) {
      ui::App().ReportException(std::current_exception());
    }
    return 0;
  }
  if (self && msg == kShowMessage) {
    if (!self->shown_) self->Show(self->tip_);
    return 0;
  }
  if (self && msg == kTaskbarCreated && kTaskbarCreated != 0) {
    // A new taskbar (the shell restarted) knows no icon yet.
    self->shown_ = false;
    self->Show(self->tip_);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace nowplaying
