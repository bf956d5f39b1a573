#include "nowplaying/NowPlaying.h"

#include <windows.h>
// shellapi.h needs windows.h first
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

#include "base/Encoding.h"
#include "ui/Application.h"
#include "ui/Form.h"

namespace nowplaying {

namespace {

// A menu shows "&" as an underline under the next character.
std::string MenuText(const std::string& text) {
  std::string out;
  for (char c : text) {
    out += c;
    if (c == '&') out += '&';
  }
  return out;
}

}  // namespace

void NowPlaying::Start(const std::string& programDirectory) {
  log_ = std::make_unique<TitleLog>(programDirectory + "\\" + kLogFileName);
  tray_.OnLeftClick = [this] { BringToFront(); };
  tray_.OnRightClick = [this] {
    POINT at{};
    GetCursorPos(&at);
    // The menu closes when the user clicks elsewhere only while its window is in front.
    SetForegroundWindow(tray_.Handle());
    Menu().Popup({at.x, at.y}, &window_.Window());
    PostMessageA(tray_.Handle(), WM_NULL, 0, 0);
  };
  tipShown_ = TipText();
  tray_.ShowSoon(tipShown_);
}

std::string NowPlaying::TipText() const {
  std::string tip = kProductName;
  if (const std::string sleeping = sleep_.TipLine(); !sleeping.empty()) tip += "\n" + sleeping;
  if (!scheduled_.empty()) tip += "\nRecording " + scheduled_;
  if (title_.empty()) return base::CutUtf8ToWide(tip, TrayIcon::kMaxTip);
  const auto units = [](const std::string& text) { return base::WideFromUtf8(text).size(); };
  // The title is what matters: the station's name gives way first.
  const std::size_t taken = units(tip) + 2 + units(title_);
  const std::size_t forStation = TrayIcon::kMaxTip > taken ? TrayIcon::kMaxTip - taken : 0;
  tip += "\n" + base::CutUtf8ToWide(station_, forStation) + "\n" + title_;
  if (units(tip) > TrayIcon::kMaxTip) tip = base::CutUtf8ToWide(tip, TrayIcon::kMaxTip - 3) + "...";
  return tip;
}

void NowPlaying::Tick(const std::string& stationAnsi, const std::string& title) {
  if (!log_) return;
  sleep_.Tick();
  const std::string station = base::Utf8FromAnsi(stationAnsi);
  scheduled_ = base::Utf8FromAnsi(window_.ScheduledRecording());
  const bool newTitle = title != title_ || (!title.empty() && station != station_);
  if (newTitle) {
    station_ = station;
    title_ = title;
  }
  if (const std::string tip = TipText(); tip != tipShown_) {
    tipShown_ = tip;
    tray_.SetTip(tip);
  }
  if (newTitle && !title_.empty()) {
    log_->Add(station_, title_);
    gate_.Offer(title_);
  }
  if (const std::string failure = log_->TakeFailure(); !failure.empty()) {
    ++failuresReported_;
    tray_.Notify(kProductName, base::Utf8FromAnsi(failure), true);
  }
  if (const std::string failure = window_.TakeSongsFailure(); !failure.empty()) tray_.Notify(kProductName, failure, true);
  if (const std::string news = window_.TakeSongsNews(); !news.empty()) tray_.Notify(kProductName, news);
  if (const std::string notice = window_.TakePlayerNotice(); !notice.empty())
    tray_.Notify(kProductName, base::Utf8FromAnsi(notice), true);
  // A title that already ended is not announced late.
  if (const std::optional<std::string> due = gate_.Due(GetTickCount64()); due && *due == title_)
    tray_.Notify(station_, *due);
}

std::string NowPlaying::TitleLine() const {
  if (!title_.empty()) return MenuText(title_);
  // A station without titles cannot be split into songs: the user is told why.
  return window_.SongsPlaying() && !window_.SongsTitled() ? "No title: this station's songs cannot be told apart"
                                                            : "No title";
}

ui::PopupMenu& NowPlaying::Menu() {
  NowPlayingWindow& w = window_;
  auto& items = menu_.Items();
  items.clear();
  items.emplace_back(TitleLine(), nullptr, false);
  items.back().utf8 = true;
  items.emplace_back(
      "&Record Songs", [&w] { w.SetRecordingSongs(!w.RecordingSongs()); });
  items.back().checked = w.RecordingSongs();
  items.emplace_back(
      "Save This &Song", [&w] { w.SaveThisSong(); }, w.SongsTitled());
  items.emplace_back(
      "Save &Previous Song", [&w] { w.SavePreviousSong(); }, w.HasPreviousSong());
  items.emplace_back(
      "Save &Last 10 Minutes", [&w] { w.SaveLastMinutes(); }, w.SongsPlaying());
  items.emplace_back("&Open Songs Folder", [this] { OpenSongsFolder(); });
  items.emplace_back("Songs Folder...", [this] { ChooseSongsFolder(); });
  items.emplace_back("-", nullptr);
  items.emplace_back("&Find Station...", [&w] { w.FindStation(); });
  items.emplace_back("Scheduled &Recordings...", [&w] { w.ShowSchedules(); }, w.Window().Visible());
  if (!scheduled_.empty()) {
    items.emplace_back("Stop Recording " + MenuText(scheduled_), [&w] { w.StopScheduledRecording(); });
    items.back().utf8 = true;
  }
  items.emplace_back(
      "Copy Title", [this] { CopyTitle(); }, !title_.empty());
  items.emplace_back("Open Title Log", [this] { OpenLog(); });
  items.emplace_back("-", nullptr);
  items.push_back(sleep_.Item());
  items.emplace_back("-", nullptr);
  items.emplace_back(
      "Exit", [&w] { w.Exit(); }, w.Window().Visible());
  return menu_;
}

void NowPlaying::BringToFront() {
  HWND hwnd = window_.Window().Handle();
  if (!hwnd || !IsWindowVisible(hwnd)) return;  // not during the close after Exit
  if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
  SetForegroundWindow(hwnd);
  BringWindowToTop(hwnd);
}

void NowPlaying::CopyTitle() {
  if (title_.empty() || !OpenClipboard(tray_.Handle())) return;
  EmptyClipboard();
  const std::wstring text = base::WideFromUtf8(title_);
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    std::memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    // Programs that ask for CF_TEXT get it from the system, in their code page.
    if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
  }
  CloseClipboard();
}

void NowPlaying::OpenLog() {
  if (!log_) return;
  // The log may not exist before the first title: open an empty one rather than fail.
  HANDLE file = CreateFileA(log_->Path().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  ui::App().UseCom();
  ShellExecuteA(window_.Window().Handle(), "open", log_->Path().c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void NowPlaying::OpenSongsFolder() {
  const std::string folder = window_.SongsFolder();
  CreateDirectoryA(folder.c_str(), nullptr);  // not there before the first song
  ui::App().UseCom();
  ShellExecuteA(window_.Window().Handle(), "explore", folder.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void NowPlaying::ChooseSongsFolder() {
  char chosen[MAX_PATH] = "";
  BROWSEINFOA info{};
  info.hwndOwner = window_.Window().Handle();
  info.pszDisplayName = chosen;
  info.lpszTitle = "The folder that keeps the songs:";
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  ui::App().UseCom();
  LPITEMIDLIST item = SHBrowseForFolderA(&info);
  if (!item) return;
  if (SHGetPathFromIDListA(item, chosen)) window_.SetSongsFolder(chosen);
  CoTaskMemFree(item);
}

}  // namespace nowplaying
