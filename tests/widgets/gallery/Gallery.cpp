// The widget gallery: one window showing each widget of the library in several states,
// to look at under the virtual display (tests/widgets/gallery/show.sh). Not part of the
// program.
#include <windows.h>

#include <memory>

#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/StdControls.h"
#include "ui/Synchronize.h"
#include "widgets/VrBlotter.h"
#include "widgets/VrMatrix.h"

using namespace widgets;

namespace {

const ui::Font kCaption = ui::MakeFont("Arial", 12, true, ui::clTeal);

class Gallery : public ui::Form {
 public:
  Gallery() : Form("Gallery") {
    SetCaption("Widget Gallery");
    SetColor(ui::Rgb(24, 28, 34));
    SetClientSize(1000, 720);
    SetPosition(ui::FormPosition::CenterOnCreate);
    BuildMatrices();
  }

 private:
  ui::Label& Caption(int x, int y, const std::string& text) {
    auto& l = labels_.emplace_back(std::make_unique<ui::Label>());
    l->SetParent(this);
    l->SetFont(kCaption);
    l->SetPosition(x, y);
    l->SetCaption(text);
    return *l;
  }

  void BuildMatrices() {
    Caption(10, 8, "TVrMatrix: scrolling 9x13, colour codes 14x20, still 19x27, vertical");
    scroll_.SetParent(this);
    scroll_.SetLedStyle(ls9x13);
    scroll_.SetLeds(10);
    scroll_.Palette().SetLow(ui::clBlack);
    scroll_.Palette().SetHigh(ui::clAqua);
    scroll_.SetText("OVEXIA TUNORA ONLINE!");
    scroll_.SetTimeInterval(250);
    scroll_.SetPosition(10, 28);
    scroll_.Loaded();
    scroll_.SetAutoScroll(true);

    codes_.SetParent(this);
    codes_.SetLeds(12);
    codes_.SetText("%AON%- AIR %EFM");
    codes_.SetPosition(140, 28);
    codes_.Loaded();

    big_.SetParent(this);
    big_.SetLedStyle(ls19x27);
    big_.SetLeds(8);
    big_.SetAlignment(vaCenter);
    big_.SetTextStyle(tsAsIs);
    big_.SetText("\xC4rger 42");
    big_.SetPosition(10, 60);
    big_.Loaded();

    vertical_.SetParent(this);
    vertical_.SetOrientation(voVertical);
    vertical_.SetLedStyle(ls9x13);
    vertical_.SetLeds(5);
    vertical_.SetText("RADIO");
    vertical_.SetPosition(940, 28);
    vertical_.Loaded();
  }

  std::vector<std::unique_ptr<ui::Label>> labels_;
  TVrMatrix scroll_{"MatrixScroll"}, codes_{"MatrixCodes"}, big_{"MatrixBig"}, vertical_{"MatrixVertical"};
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ui::InitSynchronize();
  ui::App().SetTitle("Widget Gallery");
  Gallery* gallery = nullptr;
  ui::App().CreateForm(gallery);
  ui::App().Run();
  ui::App().DestroyForms();
  return 0;
}
