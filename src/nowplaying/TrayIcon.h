// The program's icon in the notification area, with its tooltip and notifications. A
// hidden window of its own receives the icon's mouse messages. Its texts are UTF-8 and
// reach the shell as UTF-16, so that a title shows in its own script.
#pragma once

#include <windows.h>
// shellapi.h needs windows.h first
#include <shellapi.h>

#include <functional>
#include <string>

namespace nowplaying {

class TrayIcon {
 public:
  // The message the icon sends to Handle(); its lParam is the mouse message.
  static constexpr UINT kCallbackMessage = WM_APP + 71;
  static constexpr UINT kShowMessage = WM_APP + 72;
  // The most a tooltip holds, in UTF-16 units.
  static constexpr std::size_t kMaxTip = 127;

  TrayIcon() = default;
  ~TrayIcon();
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Puts the icon in the notification area; false when the shell refused it (the
  // program works on without it, and tries again when a new taskbar appears).
  bool Show(const std::string& tip);
  // The same once the messages waiting now are handled: asking the shell waits for
  // its answer, which the start of the program need not do before its window shows.
  void ShowSoon(const std::string& tip);
  bool Shown() const { return shown_; }
  HWND Handle() const { return hwnd_; }
  // The tooltip, cut to kMaxTip units.
  void SetTip(const std::string& tip);
  const std::string& Tip() const { return tip_; }
  // A notification balloon; warning for a failure rather than news.
  void Notify(const std::string& title, const std::string& text, bool warning = false);
  // The last notification and the last warning, "title\ntext".
  const std::string& LastNotification() const { return lastNotification_; }
  const std::string& LastWarning() const { return lastWarning_; }
  // How many notifications (warnings aside) were shown.
  int Notifications() const { return notifications_; }
  int Warnings() const { return warnings_; }
  // When the last notification (warnings aside) was shown, by GetTickCount.
  DWORD LastNotifiedAt() const { return lastNotifiedAt_; }

  std::function<void()> OnLeftClick;
  std::function<void()> OnRightClick;

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  // The hidden window that receives the icon's messages, made once; false without it.
  bool MakeWindow();
  bool Modify(NOTIFYICONDATAW& data, DWORD message);
  NOTIFYICONDATAW Data(UINT flags) const;

  HWND hwnd_ = nullptr;
  HICON icon_ = nullptr;
  bool shown_ = false;
  std::string tip_;
  std::string lastNotification_;
  std::string lastWarning_;
  int notifications_ = 0;
  int warnings_ = 0;
  DWORD lastNotifiedAt_ = 0;
};

}  // namespace nowplaying
