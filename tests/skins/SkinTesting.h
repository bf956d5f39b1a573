// The skin on the running program, for the skin's tests: the program started the way it
// starts, in a working directory of its own, its windows driven by real window messages,
// the real mouse and the real common dialogs, and what they show read from the screen;
// a fixture that brings back the built-in skin before each test.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

#include "app/MainForm.h"
#include "support/MainWindowView.h"
#include "support/StartedProgram.h"
#include "recording/OptionsForm.h"
#include "skins/BitmapRules.h"
#include "skins/RegionRules.h"
#include "skins/SkinForm.h"
#include "stations/BandForm.h"
#include "stations/EditStationForm.h"
#include "stations/HistoryForm.h"
#include "stations/StationFilesRules.h"
#include "ui/Application.h"
#include "ui/Timer.h"
#include "support/WindowTesting.h"

using namespace testing_support;

inline TMainForm& Started() { return StartedProgram(); }

// A bottom-up 24-bit bitmap file of the picture (0x00BBGGRR colours, top row first).
inline std::string BitmapFile(int w, int h, const std::function<ui::Color(int x, int y)>& colourAt) {
  const int stride = (w * 3 + 3) & ~3;
  std::string f(54 + std::size_t(stride) * std::size_t(h), '\0');
  const auto put = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) f[at + std::size_t(i)] = char(v >> (8 * i));
  };
  f[0] = 'B', f[1] = 'M';
  put(2, std::uint32_t(f.size()));
  put(10, 54);
  put(14, 40);
  put(18, std::uint32_t(w));
  put(22, std::uint32_t(h));
  f[26] = 1, f[28] = 24;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const ui::Color c = colourAt(x, y);
      const std::size_t at = 54 + std::size_t(h - 1 - y) * std::size_t(stride) + std::size_t(x) * 3;
      f[at] = char(ui::BlueOf(c)), f[at + 1] = char(ui::GreenOf(c)), f[at + 2] = char(ui::RedOf(c));
    }
  return f;
}

using Outline = std::vector<skins::RegionRect>;

inline Outline WindowOutline(HWND hwnd) {
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  Outline rects;
  if (GetWindowRgn(hwnd, rgn) != ERROR) {
    const DWORD size = GetRegionData(rgn, 0, nullptr);
    std::vector<char> data(size);
    auto* rd = reinterpret_cast<RGNDATA*>(data.data());
    GetRegionData(rgn, size, rd);
    const RECT* r = reinterpret_cast<const RECT*>(rd->Buffer);
    for (DWORD i = 0; i < rd->rdh.nCount; ++i) rects.push_back({r[i].left, r[i].top, r[i].right, r[i].bottom});
  }
  DeleteObject(rgn);
  return rects;
}

// A plain window of one colour, behind every other window, to see through holes.
class Backdrop {
 public:
  Backdrop(ui::Color colour, RECT r) : brush_(CreateSolidBrush(colour)) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = brush_;
    wc.lpszClassName = "TunoraTestBackdrop";
    RegisterClassA(&wc);
    hwnd_ = CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, r.left, r.top,
                            r.right - r.left, r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
    SetWindowPos(hwnd_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  ~Backdrop() {
    DestroyWindow(hwnd_);
    DeleteObject(brush_);
  }

 private:
  HBRUSH brush_;
  HWND hwnd_;
};

inline ui::Color ScreenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  const COLORREF c = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return c;
}

// Runs `step`, reporting its failure as the program reports a handler's.
inline void Reported(const std::function<void()>& step) {
  try {
    step();
  } catch (const std::exception& e) {
    ui::App().HandleException(e);
  }
}

// In the open designer: presses a button, answers the file dialog it opens with `path`,
// then closes the designer.
inline void ChooseInDesigner(widgets::TVrDemoButton& button, const char* dialog, std::string* path) {
  WhenShown(*SkinForm, [&] {
    std::thread answer = WhenDialogAppears(dialog, AnswerFileDialog, path);
    LeftClick(button);
    answer.join();
    LeftClick(SkinForm->VrDemoButtonExitSkin);
  });
  SkinForm->ShowModal();
}

class Skins : public ::testing::Test {
 protected:
  // The built-in skin: the designer's initial values, the built-in face and outline,
  // the window where the start put it.
  void SetUp() override {
    TSkinForm& s = *SkinForm;
    const skins::SkinValues initial = skins::InitialSkin();
    s.EditSkin.SetText(skins::kDefaultImagePath);
    s.PictureInUse = skins::kDefaultImagePath;
    s.EditLEDMatrix.SetText(skins::kDefaultLedText);
    for (int c = 0; c < skins::kSkinColours; ++c)
      s.ColourPanel(skins::SkinColour(c)).SetColor(initial.colours[std::size_t(c)]);
    s.ColorDialogSkin.color = ui::clBlack;
    m.SetBounds(100, 80, 601, 352);
    w.VrMainFormShape.SetSize(601, 352);
    w.VrMainFormShape.SetMaskColor(ui::clPurple);
    w.VrMainFormShape.SetMask(ui::Bitmap::FromBitmapResource("SKIN"));
    m.EndDragnDrop1Click();
    for (int item = 1; item <= skins::kMovableItems; ++item) {
      const skins::Position p = initial.positions[std::size_t(item - 1)];
      m.MovableItem(item).SetPosition(p.left, p.top);
    }
    s.ApplySkin(false);
    if (!m.Visible()) m.Show();
    Pump(100);
  }

  TMainForm& m = Started();
  MainWindowView& w = View(m);
};
