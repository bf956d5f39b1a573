// Helpers of the Windows tests: running the message loop for a while, reading the pixels
// a window shows, answering message boxes from a second thread, real mouse input.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ui/Canvas.h"
#include "ui/Form.h"

#include "support/TestFolder.h"
#include "support/Waiting.h"

namespace testing_support {

// Dispatches messages for the given time.
void Pump(DWORD ms);

// The pixels of the window's client area as they are on the screen.
ui::Bitmap CaptureClient(HWND hwnd);

// The pixels in r (the whole picture when not given) for which match(colour) holds.
template <typename Match>
int CountPixels(const ui::Bitmap& shot, Match match, ui::Rect r = {0, 0, 1 << 20, 1 << 20}) {
  r = r.Intersect({0, 0, shot.Width(), shot.Height()});
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += match(shot.PixelAt(x, y)) ? 1 : 0;
  return n;
}
// The pixels of exactly this colour.
inline int CountPixels(const ui::Bitmap& shot, ui::Color colour, ui::Rect r = {0, 0, 1 << 20, 1 << 20}) {
  return CountPixels(shot, [colour](ui::Color c) { return c == colour; }, r);
}

// A plain window for the widgets under test: a client area of the given size, in the
// given colour when one is given.
class HostForm : public ui::Form {
 public:
  HostForm(int width, int height, std::optional<ui::Color> colour = std::nullopt) : Form("Host") {
    SetClientSize(width, height);
    if (colour) SetColor(*colour);
  }
};

// A picture drawn at build time, as another decoder (ImageMagick) read it into a binary
// PPM beside the program's resources.
struct ReferencePicture {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
  ui::Color At(int x, int y) const;
};
ReferencePicture ReadReferencePicture(const std::string& name);
// A file of the build's resource folder (the pictures, and ../version.txt), as Wine
// reaches it.
std::string BuildResourcePath(const std::string& name);
// Each of red, green and blue within tolerance.
bool NearColor(ui::Color a, ui::Color b, int tolerance);

// Sends a press and release of the button at client position (x, y).
void SendClick(HWND hwnd, int x, int y, bool right = false);
void SendMouse(HWND hwnd, UINT msg, int x, int y, WPARAM keys = 0);
// A left press and release near the top left corner of a windowed control.
void LeftClick(ui::WinControl& c);
// A left press and release in the middle of a windowless part of a windowed control.
void LeftClickOn(ui::WinControl& host, ui::Control& part);
// Runs act once the (modal) form is on screen, from inside its modal loop; `ran`, when
// given, tells whether it did.
void WhenShown(ui::Form& form, std::function<void()> act, bool* ran = nullptr);

// Real mouse input through the system: press at `from`, move to `to` in steps, release
// (screen coordinates), dispatching messages in between.
void RealDrag(POINT from, POINT to);

// Real mouse input: a click of the button at a screen point, or the pointer moved there.
void RealClick(POINT at, bool right = false);
void RealMove(POINT to);

// Waits on another thread for a popup menu of any process, then clicks through the
// entries whose captions are given, a submenu's entry after its parent's, with the real
// mouse. Returns at once; join() the result. `chosen` (when given) tells whether every
// entry was found.
std::thread ChooseFromMenu(std::vector<std::string> path, std::atomic<bool>* chosen = nullptr);

// The same with keys, for a menu of another process (whose items cannot be read from
// here): waits for the popup menu, then posts each key to it.
std::thread PressMenuKeys(std::vector<WPARAM> keys, std::atomic<bool>* done = nullptr);

struct SeenBox {
  std::string title;
  std::string text;
};

// Answers every message box of this process with OK (its first button) from a thread of
// its own, and keeps what they said.
class MessageBoxWatcher {
 public:
  MessageBoxWatcher();
  // Only boxes with this title (another dialog of the process, such as a file dialog
  // being answered meanwhile, is left alone), answered with the button of this id (IDYES,
  // IDNO, ...; 0: the first button).
  explicit MessageBoxWatcher(std::string title, int button = 0);
  ~MessageBoxWatcher();
  std::vector<SeenBox> Seen();

 private:
  void Run();
  std::atomic<bool> stop_{false};
  std::atomic<bool> finished_{false};
  std::mutex mutex_;
  std::vector<SeenBox> seen_;
  std::string title_;
  int button_ = 0;
  std::thread thread_;
};

// Waits on another thread for a visible dialog of this process with the title, then
// calls act(dialog) there. Returns at once; join() the result within the test. A dialog
// that does not appear within 10 s fails the test.
std::thread WhenDialogAppears(const std::string& title, void (*act)(HWND dialog, void* ctx), void* ctx);

// For WhenDialogAppears: types the path (a std::string*) into a file dialog's name field,
// its only visible edit control, and confirms.
void AnswerFileDialog(HWND dialog, void* path);

}  // namespace testing_support
