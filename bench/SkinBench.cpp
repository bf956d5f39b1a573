// Skin benchmark (not a test): what rebuilding the main window's outline costs (the
// scan of a 600 x 350 mask into region data, and with it the region set on the
// window), beside the same outline built by uniting one rectangle at a time; and what
// ApplySkin(false) costs over all windows, alone and with the main window's repaint.
// Medians of RUNS (default 200), in milliseconds.
//   skin_bench.exe [RUNS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "app/MainForm.h"
#include "support/MainWindowView.h"
#include "skins/RegionRules.h"
#include "skins/SkinForm.h"
#include "ui/Application.h"

using namespace bench;

namespace {

double Median(int runs, const std::function<void(int)>& step) {
  std::vector<double> t;
  for (int i = 0; i < runs; ++i) {
    const double start = Millis();
    step(i);
    t.push_back(Millis() - start);
  }
  std::sort(t.begin(), t.end());
  return t[t.size() / 2];
}

// The built-in face with rounded corners and a row of round holes cut out in the mask
// colour: an outline of a few hundred rectangles.
ui::Bitmap ShapedFace(ui::Color key) {
  ui::Bitmap face = ui::Bitmap::FromBitmapResource("SKIN");
  for (int y = 0; y < face.Height(); ++y)
    for (int x = 0; x < face.Width(); ++x) {
      const auto in = [&](int cx, int cy, int r) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; };
      const int r = 24;
      const bool corner = (x < r && y < r && !in(r, r, r)) || (x >= 600 - r && y < r && !in(599 - r, r, r)) ||
                          (x < r && y >= 350 - r && !in(r, 349 - r, r)) ||
                          (x >= 600 - r && y >= 350 - r && !in(599 - r, 349 - r, r));
      bool hole = false;
      for (int k = 0; k < 8 && !hole; ++k) hole = in(300 + k * 36, 340, 6);
      if (corner || hole) face.Pixels()[std::size_t(y) * 600 + std::size_t(x)] = 0x800080;  // purple
    }
  (void)key;
  return face;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  StartProgramIn("tunora-skin-bench-", 500);
  TMainForm& m = *MainForm;
  MainWindowView& w = View(m);
  skins::TVrFormShape& shape = w.VrMainFormShape;

  const ui::Bitmap face = ShapedFace(ui::clPurple);
  shape.SetMask(face);
  const std::size_t rects = skins::RectsOfRegionData(shape.RgnData().Bytes()).size();

  const double scan = Median(runs, [&](int) {
    (void)skins::RegionDataOf(skins::ScanMask(face.Pixels(), face.Width(), face.Height(), ui::clPurple));
  });
  // Changing the mask colour rescans and sets the region: purple cuts, olive does not.
  const double rebuild = Median(runs, [&](int i) { shape.SetMaskColor(i % 2 ? ui::clOlive : ui::clPurple); });
  // Only the platform's part: a region made from the ready data and set on the window.
  const std::vector<std::uint8_t> ready =
      skins::RegionDataOf(skins::ScanMask(face.Pixels(), face.Width(), face.Height(), ui::clPurple));
  const double setOnly = Median(runs, [&](int) {
    HRGN r = ExtCreateRegion(nullptr, DWORD(ready.size()), reinterpret_cast<const RGNDATA*>(ready.data()));
    SetWindowRgn(m.Handle(), r, TRUE);
  });
  // The same outline united one rectangle at a time, then set on the window.
  const double united = Median(runs, [&](int) {
    const auto found = skins::ScanMask(face.Pixels(), face.Width(), face.Height(), ui::clPurple);
    HRGN all = nullptr;
    for (const skins::RegionRect& r : found)
      for (int y = r.top; y < r.bottom; ++y) {
        HRGN row = CreateRectRgn(r.left, y, r.right, y + 1);
        if (!all) {
          all = row;
        } else {
          CombineRgn(all, all, row, RGN_OR);
          DeleteObject(row);
        }
      }
    SetWindowRgn(m.Handle(), all, TRUE);
  });
  shape.SetMaskColor(ui::clPurple);

  TSkinForm& s = *SkinForm;
  const auto setColours = [&](int i) {
    const ui::Color a = i % 2 ? ui::clAqua : ui::Rgb(250, 120, 10), b = i % 2 ? ui::clTeal : ui::Rgb(120, 10, 250);
    for (ui::Panel* p : {&s.PanelWActive, &s.PanelActive, &s.PanelMouseOver}) p->SetColor(a);
    for (ui::Panel* p : {&s.PanelWPassive, &s.PanelPassive, &s.PanelButtonText}) p->SetColor(b);
    s.PanelPopup.SetColor(i % 2 ? ui::clBlack : ui::Rgb(20, 20, 40));
  };
  const double apply = Median(runs, [&](int i) {
    setColours(i);
    s.ApplySkin(false);
  });
  const double applyPaint = Median(runs, [&](int i) {
    setColours(i);
    s.ApplySkin(false);
    RedrawWindow(m.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  });
  const double unchanged = Median(runs, [&](int) { s.ApplySkin(false); });

  std::printf("outline of a 600 x 350 mask (%zu rectangles), median of %d, ms:\n", rects, runs);
  std::printf("  scan into region data                  %8.3f\n", scan);
  std::printf("  scan and set on the window (in one go) %8.3f   goal <= 10\n", rebuild);
  std::printf("  of which the window's region alone     %8.3f\n", setOnly);
  std::printf("  united one rectangle at a time         %8.3f\n", united);
  std::printf("ApplySkin(false) over all windows, median of %d, ms:\n", runs);
  std::printf("  every colour changed                   %8.3f   goal <= 30\n", apply);
  std::printf("  every colour changed, with the repaint %8.3f\n", applyPaint);
  std::printf("  nothing changed                        %8.3f\n", unchanged);
  std::fflush(stdout);
  ui::App().Terminate();
  ExitProcess(0);
}
