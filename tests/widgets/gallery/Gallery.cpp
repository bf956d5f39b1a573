// The widget gallery: one window showing each widget of the library in several states,
// to look at under the virtual display (tests/widgets/gallery/show.sh). Not part of the
// program.
#include <windows.h>

#include <functional>
#include <memory>

#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/StdControls.h"
#include "ui/Synchronize.h"
#include "looks/ButtonLooks.h"
#include "widgets/VrAnimate.h"
#include "widgets/VrBlotter.h"
#include "widgets/VrButtons.h"
#include "widgets/VrDisplay.h"
#include "widgets/VrLcd.h"
#include "widgets/VrMatrix.h"
#include "widgets/VrScale.h"
#include "widgets/VrSlider.h"
#include "widgets/VrSpinner.h"

using namespace widgets;
using namespace looks;

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
    BuildNumbers();
    BuildScaleAnimationDisplay();
    BuildButtons();
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

  void BuildNumbers() {
    Caption(10, 110, "TVrNum: 5 digit sets, leading zeros, blanks, sign; TVrClock: real time, elapsed, custom 12 h");
    const TVrNumStyle styles[] = {ns13x24, ns11x20, ns7x13, ns12x17, ns5x7};
    int x = 10;
    for (int i = 0; i < 5; ++i) {
      auto& n = *nums_.emplace_back(std::make_unique<TVrNum>());
      n.SetParent(this);
      n.SetStyle(styles[i]);
      n.SetAutoSize(true);
      n.SetDigits(4);
      n.SetLeadingZero(i % 2 == 0);
      n.SetMin(-999);
      n.SetValue(i == 3 ? -42 : 7 * (i + 1));
      n.Palette().SetLow(i == 1 ? ui::Rgb(40, 0, 0) : ui::Rgb(0, 40, 40));
      n.Palette().SetHigh(i == 1 ? ui::clRed : ui::clAqua);
      n.SetPosition(x, 130);
      x += n.Width() + 20;
    }
    const TVrClockType types[] = {ctRealTime, ctElapsed, ctCustom};
    x = 10;
    for (int i = 0; i < 3; ++i) {
      auto& c = *clocks_.emplace_back(std::make_unique<TVrClock>());
      c.SetParent(this);
      c.SetStyle(i == 0 ? ns7x13 : ns11x20);
      c.SetClockType(types[i]);
      c.SetShowSeconds(true);
      c.SetBlink(i == 0);
      if (i == 2) {
        c.SetHours24(false);
        c.SetHours(13);
        c.SetMinutes(5);
        c.SetSeconds(9);
      }
      c.SetActive(true);
      c.SetPosition(x, 175);
      x += c.Width() + 30;
    }
  }

  void BuildScaleAnimationDisplay() {
    Caption(10, 215, "TVrScale (vertical -40..0, horizontal), TVrAnimate, TVrDisplay");
    vertical_scale_.SetParent(this);
    vertical_scale_.SetOrientation(voVertical);
    vertical_scale_.SetMinValue(-40);
    vertical_scale_.SetMaxValue(0);
    vertical_scale_.SetBounds(10, 235, 40, 110);
    horizontal_scale_.SetParent(this);
    horizontal_scale_.SetBounds(70, 235, 300, 40);
    animate_.SetParent(this);
    animate_.SetBitmap(ui::Bitmap::FromBitmapResource("ANIMATE1"));
    animate_.SetFrameCols(8);
    animate_.SetAutoSize(true);
    animate_.SetInterval(500);
    animate_.SetLoop(true);
    animate_.SetPosition(400, 240);
    animate_.SetActive(true);
    display_.SetParent(this);
    display_.SetBounds(460, 235, 200, 110);
  }

  // The looks of the program's buttons: presets, transport, the button block, text links
  // and dialog buttons; then disabled and flat ones, a spinner and two sliders.
  void BuildButtons() {
    Caption(10, 360, "TVrDemoButton (preset, transport, block, link, dialog, disabled, flat), TVrSpinner, TVrSlider");
    // The program's own looks, the same functions its windows use.
    struct Look {
      const char* caption;
      int x, y, w, h;
      std::function<void(TVrDemoButton&)> apply;
    };
    const Look looks[] = {
        {"Radio Paradise", 10, 385, 190, 18, EntryLook},
        {"STOP", 210, 385, 57, 56, [](TVrDemoButton& b) { TransportLook(b, ui::clRed); }},
        {"PLAY", 272, 385, 57, 56, [](TVrDemoButton& b) { TransportLook(b, ui::clLime); }},
        {"Skin Designer", 340, 385, 106, 23, [](TVrDemoButton& b) { MenuLook(b, ui::clWhite); }},
        {"Station History", 460, 385, 70, 15, LinkLook},
        {"&Select Band", 540, 385, 106, 24, [](TVrDemoButton& b) { MenuLook(b, ui::clAqua); }},
        {"OK", 540, 415, 107, 24, AboutLook},
    };
    for (const Look& l : looks) {
      auto& b = *buttons_.emplace_back(std::make_unique<TVrDemoButton>());
      b.SetParent(this);
      b.SetBounds(l.x, l.y, l.w, l.h);
      l.apply(b);
      b.SetCaption(l.caption);
    }
    auto& disabled = *buttons_.emplace_back(std::make_unique<TVrDemoButton>());
    disabled.SetParent(this);
    disabled.SetBounds(340, 415, 90, 23);
    disabled.SetCaption("Disabled");
    disabled.SetEnabled(false);
    auto& flat = *buttons_.emplace_back(std::make_unique<TVrDemoButton>());
    flat.SetParent(this);
    flat.SetBounds(440, 415, 90, 23);
    flat.SetCaption("Flat");
    flat.SetFlat(true);

    spinner_.SetParent(this);
    spinner_.SetBounds(660, 385, 20, 40);
    volume_.SetParent(this);
    volume_.SetBounds(700, 380, 30, 110);
    volume_.SetOrientation(voVertical);
    volume_.SetMinValue(0);
    volume_.SetMaxValue(1000);
    volume_.SetPosition(700);
    balance_.SetParent(this);
    balance_.SetBounds(750, 400, 200, 30);
    balance_.SetPosition(30);
  }

  std::vector<std::unique_ptr<ui::Label>> labels_;
  std::vector<std::unique_ptr<TVrDemoButton>> buttons_;
  TVrSpinner spinner_{"Spinner"};
  TVrSlider volume_{"SliderVolume"}, balance_{"SliderBalance"};
  std::vector<std::unique_ptr<TVrNum>> nums_;
  std::vector<std::unique_ptr<TVrClock>> clocks_;
  TVrScale vertical_scale_{"ScaleVertical"}, horizontal_scale_{"ScaleHorizontal"};
  TVrAnimate animate_{"Animate"};
  TVrDisplay display_{"Display"};
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
