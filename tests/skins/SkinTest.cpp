// The skin on the running program: the program started the way it starts, in a working
// directory of its own, its windows driven by real window messages, the real mouse and
// the real common dialogs, and what they show read from the screen.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

#include "app/MainForm.h"
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

namespace {

std::string Directory() {
  static const std::string dir = ProcessTempDirectory("tunora-skins-");
  return dir;
}

std::string InDir(const std::string& name) {
  return Directory() + "\\" + name;
}

std::string ReadFile(const std::string& path) { return ReadFileBytes(path); }

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

TMainForm& Started() { return StartedProgram(Directory()); }

// Pixels of exactly this colour in the window's client area, within r when given.
int CountColour(HWND hwnd, ui::Color colour, ui::Rect r = {0, 0, 10000, 10000}) {
  const ui::Bitmap shot = CaptureClient(hwnd);
  r = r.Intersect({0, 0, shot.Width(), shot.Height()});
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += shot.PixelAt(x, y) == colour;
  return n;
}

// A bottom-up 24-bit bitmap file of the picture (0x00BBGGRR colours, top row first).
std::string BitmapFile(int w, int h, const std::function<ui::Color(int x, int y)>& colourAt) {
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

Outline WindowOutline(HWND hwnd) {
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
    Pump(200);
  }
  ~Backdrop() {
    DestroyWindow(hwnd_);
    DeleteObject(brush_);
  }

 private:
  HBRUSH brush_;
  HWND hwnd_;
};

ui::Color ScreenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  const COLORREF c = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return c;
}

// Runs `step`, reporting its failure as the program reports a handler's.
void Reported(const std::function<void()>& step) {
  try {
    step();
  } catch (const std::exception& e) {
    ui::App().HandleException(e);
  }
}

// In the open designer: presses a button, answers the file dialog it opens with `path`,
// then closes the designer.
void ChooseInDesigner(widgets::TVrDemoButton& button, const char* dialog, std::string* path) {
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
    m_ = &Started();
    TMainForm& m = *m_;
    TSkinForm& s = *SkinForm;
    const skins::SkinValues initial = skins::InitialSkin();
    s.EditSkin.SetText(skins::kDefaultImagePath);
    s.PictureInUse = skins::kDefaultImagePath;
    s.EditLEDMatrix.SetText(skins::kDefaultLedText);
    for (int c = 0; c < skins::kSkinColours; ++c)
      s.ColourPanel(skins::SkinColour(c)).SetColor(initial.colours[std::size_t(c)]);
    s.ColorDialogSkin.color = ui::clBlack;
    m.SetBounds(100, 80, 601, 352);
    m.VrMainFormShape.SetSize(601, 352);
    m.VrMainFormShape.SetMaskColor(ui::clPurple);
    m.VrMainFormShape.SetMask(ui::Bitmap::FromBitmapResource("SKIN"));
    m.EndDragnDrop1Click();
    for (int item = 1; item <= skins::kMovableItems; ++item) {
      const skins::Position p = initial.positions[std::size_t(item - 1)];
      m.MovableItem(item).SetPosition(p.left, p.top);
    }
    s.ApplySkin(false);
    if (!m.Visible()) m.Show();
    Pump(100);
  }

  TMainForm* m_ = nullptr;
};

TEST_F(Skins, TheBuiltInFaceShowsBehindTheBlocksWithItsOneRectangleOutline) {
  TMainForm& m = *m_;
  EXPECT_EQ(m.VrMainFormShape.Mask().Width(), 600);
  EXPECT_EQ(m.VrMainFormShape.Mask().Height(), 350);
  EXPECT_EQ(WindowOutline(m.Handle()), (Outline{{0, 0, 599, 350}}));
  // The face on screen is the picture as another decoder read it, where no block lies.
  const ReferencePicture face = ReadReferencePicture("skin-reference.ppm");
  ASSERT_EQ(face.width, 600);
  const ui::Bitmap shot = CaptureClient(m.Handle());
  for (POINT p : {POINT{5, 5}, POINT{30, 20}, POINT{150, 180}, POINT{262, 200}, POINT{300, 45}, POINT{594, 100}})
    EXPECT_TRUE(NearColor(shot.PixelAt(p.x, p.y), face.At(p.x, p.y), 2))
        << p.x << "," << p.y << ": " << std::hex << shot.PixelAt(p.x, p.y) << " against " << face.At(p.x, p.y);
}

TEST_F(Skins, ApplySkinRecoloursAControlOfEveryWindow) {
  TMainForm& m = *m_;
  TSkinForm& s = *SkinForm;
  const ui::Color popup = ui::Rgb(70, 20, 110), passive = ui::Rgb(250, 120, 10), active = ui::Rgb(10, 250, 120),
                  wPassive = ui::Rgb(255, 60, 200), buttonText = ui::Rgb(240, 240, 30);
  s.PanelPopup.SetColor(popup);
  s.PanelPassive.SetColor(passive);
  s.PanelActive.SetColor(active);
  s.PanelWPassive.SetColor(wPassive);
  s.PanelButtonText.SetColor(buttonText);
  s.ApplySkin(false);

  // The main window: the station block's captions and the presets' names.
  const ui::Rect stationBlock = m.VrBlotterStation.BoundsRect();
  EXPECT_GT(CountColour(m.Handle(), wPassive, stationBlock), 10);
  EXPECT_GT(CountColour(m.Handle(), wPassive, m.VrDemoButtonStation[0].BoundsRect()), 3);
  EXPECT_GT(CountColour(m.Handle(), buttonText, m.VrBlotterButtonSet.BoundsRect()), 10);
  // Each dialog: its background in the popup colour, and a caption or field.
  struct Dialog {
    ui::Form* form;
    ui::Color text;
    ui::Control* where;
    std::function<void()> close;
  } dialogs[] = {
      {SkinForm, passive, &s.LabelGraphics, [&] { LeftClick(s.VrDemoButtonExitSkin); }},
      {BandForm, passive, &BandForm->LabelAddGenre, [] { LeftClick(BandForm->VrDemoButtonCancelBand); }},
      {EditStationForm, passive, &EditStationForm->LabelSTName, [] { LeftClick(EditStationForm->VrDemoButtonExit); }},
      {HistoryForm, active, &HistoryForm->LabelHistory, [] { LeftClick(HistoryForm->VrDemoButtonCloseHistory); }},
      {OptionsForm, passive, &OptionsForm->LabelRecFormat, [] { LeftClick(OptionsForm->VrDemoButtonExit); }},
  };
  for (Dialog& d : dialogs) {
    int background = 0, text = 0;
    WhenShown(*d.form, [&] {
      Pump(100);
      background = CountColour(d.form->Handle(), popup);
      const ui::Point o = d.where->ClientToScreen({0, 0});
      POINT origin{0, 0};
      ClientToScreen(d.form->Handle(), &origin);
      const ui::Rect r = ui::Rect::FromBounds(o.x - origin.x, o.y - origin.y, d.where->Width(), d.where->Height());
      text = CountColour(d.form->Handle(), d.text, r);
      d.close();
    });
    d.form->ShowModal();
    EXPECT_GT(background, 1000) << d.form->Name();
    EXPECT_GT(text, 3) << d.form->Name();
  }
}

TEST_F(Skins, AColourButtonTakesTheColourChosenInTheColourDialog) {
  TSkinForm& s = *SkinForm;
  WhenShown(s, [&] {
    std::thread answer = WhenDialogAppears(
        "Color",
        [](HWND d, void*) {
          SetDlgItemTextA(d, 706, "12");
          SetDlgItemTextA(d, 707, "200");
          SetDlgItemTextA(d, 708, "56");
          PostMessageA(d, WM_COMMAND, IDOK, 0);
        },
        nullptr);
    LeftClick(s.VrDemoButtonWPassive);
    answer.join();
    // Cancelled: nothing changes.
    answer = WhenDialogAppears(
        "Color", [](HWND d, void*) { PostMessageA(d, WM_COMMAND, IDCANCEL, 0); }, nullptr);
    LeftClick(s.VrDemoButtonWActive);
    answer.join();
    LeftClick(s.VrDemoButtonExitSkin);
  });
  s.ShowModal();
  const ui::Color chosen = ui::Rgb(12, 200, 56);
  EXPECT_EQ(s.PanelWPassive.GetColor(), chosen);
  EXPECT_EQ(s.PanelWActive.GetColor(), ui::clAqua) << "the cancelled choice";
  EXPECT_EQ(m_->VrSpinnerStation.Palette().High(), chosen) << "the passive colour takes both spinner colours";
  EXPECT_EQ(m_->VrSpinnerStation.Palette().Low(), chosen);
  EXPECT_EQ(m_->VrDemoButtonStation[3].FontLeave().color, chosen);
  EXPECT_GT(CountColour(m_->Handle(), chosen, m_->VrBlotterStation.BoundsRect()), 10);
}

// Load Image through the real open dialog, the mask colour chosen before: a block of
// that colour becomes a hole through which the window behind shows.
TEST_F(Skins, LoadImageCutsTheMaskColourOutOfTheWindow) {
  TMainForm& m = *m_;
  TSkinForm& s = *SkinForm;
  const ui::Color key = ui::Rgb(10, 200, 30), grey = ui::Rgb(90, 90, 96);
  WriteFile(InDir("holes.bmp"),
            BitmapFile(600, 350, [&](int x, int y) { return x >= 100 && x < 200 && y >= 50 && y < 100 ? key : grey; }));
  s.ColorDialogSkin.color = key;
  s.EditDir.SetText(Directory());
  static std::string path;
  path = InDir("holes.bmp");
  WhenShown(s, [&] {
    std::thread answer = WhenDialogAppears("Hintergrundgrafik ausw\xE4hlen", AnswerFileDialog, &path);
    LeftClick(s.VrDemoButtonBackground);
    answer.join();
    LeftClick(s.VrDemoButtonExitSkin);
  });
  s.ShowModal();
  EXPECT_EQ(s.EditSkin.Text(), path);
  EXPECT_EQ(s.PanelTrans.GetColor(), key);
  EXPECT_TRUE(IsWindowVisible(m.Handle()));
  RECT r;
  GetWindowRect(m.Handle(), &r);
  EXPECT_EQ(r.left, 0) << "the window moves to the screen's corner";
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(m.Width(), 600);
  EXPECT_EQ(WindowOutline(m.Handle()),
            (Outline{{0, 0, 599, 50}, {0, 50, 100, 100}, {200, 50, 599, 100}, {0, 100, 599, 350}}));
  const ui::Color behind = ui::Rgb(255, 0, 0);
  Backdrop backdrop(behind, {0, 0, 700, 400});
  m.BringToFront();
  Pump(200);
  EXPECT_EQ(ScreenPixel(150, 75), behind) << "the hole";
  EXPECT_EQ(ScreenPixel(599, 300), behind) << "the last column";
  EXPECT_EQ(ScreenPixel(50, 30), grey) << "the picture";
  EXPECT_EQ(ScreenPixel(250, 75), grey);
}

// The picture shown stays, with its path and transparent colour: Exit never saves one
// that fails at every later start.
TEST_F(Skins, ABitmapThatIsNotValidIsReportedAndThePictureShownStaysWithItsPath) {
  TMainForm& m = *m_;
  TSkinForm& s = *SkinForm;
  const std::string good = InDir("good.bmp");
  WriteFile(good, BitmapFile(300, 200, [](int, int) { return ui::clGray; }));
  s.EditSkin.SetText(good);
  s.PanelTrans.SetColor(ui::clLime);
  s.ApplySkin(true);
  WriteFile(InDir("broken.bmp"), "BM this is no picture at all");
  s.EditDir.SetText(Directory());
  static std::string path;
  path = InDir("broken.bmp");
  MessageBoxWatcher boxes("Ovexia Tunora");
  ChooseInDesigner(s.VrDemoButtonBackground, "Hintergrundgrafik ausw\xE4hlen", &path);
  const std::vector<SeenBox> seen = boxes.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, "Bitmap image is not valid");
  EXPECT_TRUE(IsWindowVisible(m.Handle())) << "the main window is shown again";
  EXPECT_EQ(WindowOutline(m.Handle()), (Outline{{0, 0, 299, 200}})) << "the picture stays";
  m.SaveSkinFile(InDir("after.skn"));
  const std::vector<std::string> saved = base::SplitLines(ReadFile(InDir("after.skn")));
  EXPECT_EQ(saved.at(0), good);
  EXPECT_EQ(saved.at(9), "clLime");
}

// Pictures from anyone: every kind is shown or refused with a message, never the end
// of the program; an outline without a pixel keeps the one in force.
TEST_F(Skins, EveryKindOfBitmapIsShownOrRefused) {
  TMainForm& m = *m_;
  TSkinForm& s = *SkinForm;
  const auto file = [](int w, int h, int bits, std::uint32_t compression, bool topDown, const std::string& pixels,
                       int colours = 0) {
    std::string f(54, '\0');
    const auto put = [&](std::size_t at, std::uint32_t v) {
      for (int i = 0; i < 4; ++i) f[at + std::size_t(i)] = char(v >> (8 * i));
    };
    f[0] = 'B', f[1] = 'M';
    put(14, 40);
    put(18, std::uint32_t(w));
    put(22, std::uint32_t(topDown ? -h : h));
    f[26] = 1, f[28] = char(bits);
    put(30, compression);
    put(46, std::uint32_t(colours));
    for (int i = 0; i < colours; ++i) f += std::string{char(i * 40), char(100), char(200 - i * 20), '\0'};
    put(10, std::uint32_t(f.size()));
    f += pixels;
    put(2, std::uint32_t(f.size()));
    return f;
  };
  struct Case {
    const char* what;
    std::string bytes;
    int width;  // 0: refused
    const char* refusal = "";
  } cases[] = {
      {"1 x 1", file(1, 1, 24, 0, false, std::string(4, '\x40')), 1},
      {"1 bit", file(16, 4, 1, 0, false, std::string(16, '\x5A'), 2), 16},
      {"4 bits", file(8, 4, 4, 0, false, std::string(16, '\x12'), 3), 8},
      {"8 bits", file(4, 4, 8, 0, false, std::string(16, '\x02'), 3), 4},
      {"16 bits", file(2, 2, 16, 0, false, std::string(8, '\x1F')), 2},
      {"32 bits, top-down", file(3, 2, 32, 0, true, std::string(24, '\x7F')), 3},
      {"RLE8", file(4, 2, 8, 1, false, std::string("\x04\x01\x00\x00\x04\x02\x00\x01", 8), 3), 4},
      {"RLE4", file(4, 2, 4, 2, false, std::string("\x04\x12\x00\x00\x04\x21\x00\x01", 8), 3), 4},
      {"truncated", file(40, 40, 24, 0, false, std::string(100, '\x33')), 0, "Bitmap image is not valid"},
      {"not a bitmap", "GIF89a, not a bitmap at all", 0, "Bitmap image is not valid"},
      {"10000 x 10000", file(10000, 10000, 1, 0, false, std::string(10000u * 1252u, '\x0F'), 2), 0,
       "The picture is too large: 10000"},
      // Few pixels, but an outline of half a million rectangles: refused before it is made.
      {"checkerboard", BitmapFile(1000, 1000, [](int x, int y) { return (x + y) % 2 ? ui::clPurple : ui::clGray; }), 0,
       "The picture is too large: its outline would need more than 200000 rectangles"},
  };
  const ui::Color face = m.VrMainFormShape.Mask().PixelAt(10, 10);
  for (const Case& c : cases) {
    WriteFile(InDir("kind.bmp"), c.bytes);
    s.EditSkin.SetText(InDir("kind.bmp"));
    s.PanelTrans.SetColor(ui::clPurple);
    const int width = m.Width();
    MessageBoxWatcher boxes;
    Reported([&] { s.ApplySkin(true); });
    Pump(50);
    if (c.width) {
      EXPECT_TRUE(boxes.Seen().empty()) << c.what;
      EXPECT_EQ(m.VrMainFormShape.Mask().Width(), c.width) << c.what;
      EXPECT_EQ(m.Width(), c.width) << c.what;
    } else {
      const std::vector<SeenBox> seen = boxes.Seen();
      ASSERT_EQ(seen.size(), 1u) << c.what;
      EXPECT_EQ(seen[0].text.rfind(c.refusal, 0), 0u) << c.what << ": " << seen[0].text;
      EXPECT_EQ(m.Width(), width) << c.what;
    }
    EXPECT_FALSE(WindowOutline(m.Handle()).empty()) << c.what;
  }
  // A picture wholly of the mask colour keeps the outline in force.
  WriteFile(InDir("kind.bmp"), BitmapFile(8, 8, [](int, int) { return ui::clPurple; }));
  const Outline before = WindowOutline(m.Handle());
  s.ApplySkin(true);
  EXPECT_EQ(WindowOutline(m.Handle()), before);
  (void)face;
}

TEST_F(Skins, TheSameMaskColourAgainDoesNotRescan) {
  skins::TVrFormShape& shape = m_->VrMainFormShape;
  const int scans = shape.ScanCount();
  shape.SetMaskColor(ui::clPurple);
  EXPECT_EQ(shape.ScanCount(), scans);
  shape.SetMaskColor(ui::clOlive);
  EXPECT_EQ(shape.ScanCount(), scans + 1);
  EXPECT_THROW(shape.SetParent(&m_->VrBlotterBand), std::invalid_argument);
  try {
    shape.SetParent(&m_->VrBlotterBand);
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "VrFormShape requires a FORM as parent!");
  }
  EXPECT_EQ(shape.Parent(), m_) << "the parent does not change";
}

// The real mouse: a drag on the bare background moves the window and the settings
// save where it went; a drag that starts on a block moves nothing.
TEST_F(Skins, DraggingTheBackgroundMovesTheWindowAndAPressOnABlockDoesNot) {
  TMainForm& m = *m_;
  RECT before;
  GetWindowRect(m.Handle(), &before);
  const ui::Point onBlock = m.VrBlotterBand.ClientToScreen({100, 45});
  RealDrag({onBlock.x, onBlock.y}, {onBlock.x + 50, onBlock.y + 40});
  RECT r;
  GetWindowRect(m.Handle(), &r);
  EXPECT_EQ(r.left, before.left) << "a press on a block";
  EXPECT_EQ(r.top, before.top);

  const POINT background{before.left + 262, before.top + 200};
  RealDrag(background, {background.x + 60, background.y + 40});
  GetWindowRect(m.Handle(), &r);
  EXPECT_EQ(r.left, before.left + 60);
  EXPECT_EQ(r.top, before.top + 40);
  EXPECT_EQ(m.Left(), r.left) << "the form knows where it is";
  m.SaveSettings();
  const std::vector<std::string> lines = base::SplitLines(ReadFile(InDir("Defaults.ini")));
  ASSERT_EQ(lines.size(), 28u);
  EXPECT_EQ(lines[26], std::to_string(r.left));
  EXPECT_EQ(lines[27], std::to_string(r.top));
}

// The layout menu on a right click of the background: a block follows the pointer one
// pixel right of and below it until it is dropped; the pointer's place shows meanwhile.
TEST_F(Skins, TheLayoutMenuCarriesABlockToThePointer) {
  TMainForm& m = *m_;
  const ui::Point corner = m.ClientToScreen({0, 0});
  std::atomic<bool> chosen;
  std::thread menu = ChooseFromMenu({"Drag and Drop Band Block"}, &chosen);
  RealClick({corner.x + 262, corner.y + 150}, true);
  PumpUntil([&] { return chosen.load(); }, 8000);
  menu.join();
  ASSERT_TRUE(chosen);
  EXPECT_EQ(m.CarriedItem(), 3);
  EXPECT_TRUE(m.Panelxy.Visible());
  RealMove({corner.x + 270, corner.y + 30});
  Pump(100);
  RealMove({corner.x + 262, corner.y + 40});
  Pump(200);
  EXPECT_EQ(m.VrBlotterBand.Left(), 263);
  EXPECT_EQ(m.VrBlotterBand.Top(), 41);
  EXPECT_EQ(m.Panelxy.Caption(), "262x40");

  // A station button from the submenu replaces it; then Drop ends the carrying.
  menu = ChooseFromMenu({"Drag and Drop Stations Buttons", "Drag and Drop Station Button 2 "}, &chosen);
  RealClick({corner.x + 262, corner.y + 150}, true);
  PumpUntil([&] { return chosen.load(); }, 8000);
  menu.join();
  ASSERT_TRUE(chosen);
  EXPECT_EQ(m.CarriedItem(), 11);
  menu = ChooseFromMenu({"Drop Current Object"}, &chosen);
  RealClick({corner.x + 262, corner.y + 300}, true);
  PumpUntil([&] { return chosen.load(); }, 8000);
  menu.join();
  ASSERT_TRUE(chosen) << "Drop Current Object was never chosen";
  EXPECT_EQ(m.CarriedItem(), 0);
  EXPECT_FALSE(m.Panelxy.Visible());
  EXPECT_EQ(m.VrDemoButtonStation[1].Left(), 263) << "where the pointer went to open the menu";
  EXPECT_EQ(m.VrDemoButtonStation[1].Top(), 301);
  EXPECT_EQ(m.VrBlotterBand.Left(), 263) << "the band block stays where the pointer took it to open the menu";
  EXPECT_EQ(m.VrBlotterBand.Top(), 151);

  m.SaveSkinFile(InDir("layout.skn"));
  const std::vector<std::string> lines = base::SplitLines(ReadFile(InDir("layout.skn")));
  ASSERT_EQ(lines.size(), 42u);
  EXPECT_EQ(lines[14], "263");
  EXPECT_EQ(lines[15], "151");
  EXPECT_EQ(lines[30], "263");
}

TEST_F(Skins, SaveAndLoadSkinGoThroughTheirDialogsAndKeepTheWindowWhereItIs) {
  TMainForm& m = *m_;
  TSkinForm& s = *SkinForm;
  s.EditDir.SetText(Directory());
  s.PanelMouseOver.SetColor(0x004080FF);
  s.EditSkin.SetText("");
  static std::string path;
  path = InDir("mine.skn");
  DeleteFileA(path.c_str());
  WhenShown(s, [&] {
    std::thread answer = WhenDialogAppears("Save Skin", AnswerFileDialog, &path);
    LeftClick(s.VrDemoButtonSaveSkin);
    answer.join();
    LeftClick(s.VrDemoButtonExitSkin);
  });
  s.ShowModal();
  const std::vector<std::string> saved = base::SplitLines(ReadFile(path));
  ASSERT_EQ(saved.size(), 42u);
  EXPECT_EQ(saved[0], "default");
  EXPECT_EQ(s.EditSkin.Text(), "default");
  EXPECT_EQ(saved[8], "$004080FF");

  std::vector<std::string> changed = saved;
  changed[3] = "LOADED TEXT";
  changed[15] = "-20";
  std::string text;
  for (const std::string& l : changed) text += l + "\r\n";
  WriteFile(path, text);
  RECT before;
  GetWindowRect(m.Handle(), &before);
  WhenShown(s, [&] {
    std::thread answer = WhenDialogAppears("Load Skin", AnswerFileDialog, &path);
    LeftClick(s.VrDemoButtonLoadSkin);
    answer.join();
    LeftClick(s.VrDemoButtonExitSkin);
  });
  s.ShowModal();
  EXPECT_EQ(s.EditLEDMatrix.Text(), "LOADED TEXT");
  EXPECT_EQ(m.VrMatrixConn.Text(), "LOADED TEXT");
  EXPECT_EQ(m.VrBlotterBand.Top(), -20);
  RECT r;
  GetWindowRect(m.Handle(), &r);
  EXPECT_EQ(r.left, before.left) << "Load Skin keeps the window's place";
  EXPECT_TRUE(IsWindowVisible(m.Handle()));

  // Damaged at line 5: the lines before it are read, nothing after it, nothing applied.
  changed[1] = "clRed";
  changed[4] = "clNoSuchColour";
  changed[12] = "5";
  WriteFile(path, base::JoinLines(changed));
  MessageBoxWatcher boxes("Ovexia Tunora");
  ChooseInDesigner(s.VrDemoButtonLoadSkin, "Load Skin", &path);
  ASSERT_EQ(boxes.Seen().size(), 1u);
  EXPECT_EQ(boxes.Seen()[0].text, "'clNoSuchColour' is not a valid integer value");
  EXPECT_EQ(s.PanelWActive.GetColor(), ui::clRed);
  EXPECT_EQ(m.VrNumBlock.Palette().High(), ui::clAqua) << "not applied";
  EXPECT_EQ(m.VrBlotterMixer.Left(), 469);
  EXPECT_TRUE(IsWindowVisible(m.Handle()));

  // No name: CurrentSkin.skn in the current folder.
  char current[MAX_PATH] = "";
  GetCurrentDirectoryA(MAX_PATH, current);
  DeleteFileA((std::string(current) + "\\CurrentSkin.skn").c_str());
  m.SaveSkinFile("");
  EXPECT_EQ(base::SplitLines(ReadFile(std::string(current) + "\\CurrentSkin.skn")).at(1), "clRed");
}

// A picture path to another computer or a device is refused before anything opens it
// (here the device form of a picture that is there): from a skin loaded with "Load
// Skin", from currentskin.skn as a start reads it, and typed.
TEST_F(Skins, APicturePathToAnotherComputerOrADeviceIsRefusedBeforeItIsOpened) {
  TSkinForm& s = *SkinForm;
  const std::string good = InDir("good.bmp");
  WriteFile(good, BitmapFile(300, 200, [](int, int) { return ui::clGray; }));
  s.EditDir.SetText(Directory());
  static std::string skin;
  skin = InDir("far.skn");
  for (const std::string& path : {std::string("\\\\tunora-test-host\\share\\x.bmp"), "\\\\?\\" + good})
    for (const char* from : {"Load Skin", "a start", "typed"}) {
      SCOPED_TRACE(path + " " + from);
      s.EditSkin.SetText(good);
      s.ApplySkin(true);
      m_->SaveSkinFile(skin);
      WriteFile(skin, path + ReadFile(skin).substr(ReadFile(skin).find('\r')));
      MessageBoxWatcher boxes("Ovexia Tunora");
      if (from == std::string("Load Skin")) ChooseInDesigner(s.VrDemoButtonLoadSkin, from, &skin);
      if (from == std::string("a start")) {
        Reported([] {
          MainForm->LoadSkinFile(skin);
          SkinForm->ApplySkin(true);
        });
      }
      if (from == std::string("typed")) {
        s.EditSkin.SetText(path);
        Reported([&] { s.ApplySkin(false); });
      }
      ASSERT_EQ(boxes.Seen().size(), 1u);
      EXPECT_EQ(boxes.Seen()[0].text.rfind("The skin picture " + path + " is on another computer or is a device", 0),
                0u);
      EXPECT_EQ(s.EditSkin.Text(), good);
      EXPECT_EQ(m_->VrMainFormShape.Mask().Width(), 300);
    }
}

// "Set Transparent Color" through the real colour chooser: cancelled, nothing changes;
// chosen, that colour is cut out of the picture and the window moves to the corner.
TEST_F(Skins, SetTransparentColorCutsTheChosenColourOutOfThePicture) {
  TMainForm& m = *m_;
  TSkinForm& s = *SkinForm;
  const ui::Color key = ui::Rgb(10, 200, 30);
  WriteFile(InDir("trans.bmp"),
            BitmapFile(400, 300, [&](int x, int y) { return x >= 100 && x < 200 && y >= 50 && y < 100 ? key : 0; }));
  s.EditSkin.SetText(InDir("trans.bmp"));
  s.ApplySkin(true);
  m.SetBounds(100, 80, m.Width(), m.Height());
  ui::Color cancelled = ui::clNone;
  WhenShown(s, [&] {
    std::thread answer = WhenDialogAppears(
        "Color", [](HWND d, void*) { PostMessageA(d, WM_COMMAND, IDCANCEL, 0); }, nullptr);
    LeftClick(s.VrDemoButtonTrans);
    answer.join();
    cancelled = s.PanelTrans.GetColor();
    answer = WhenDialogAppears(
        "Color",
        [](HWND d, void*) {
          for (const auto& [field, value] : {std::pair{706, "10"}, {707, "200"}, {708, "30"}})
            SetDlgItemTextA(d, field, value);
          PostMessageA(d, WM_COMMAND, IDOK, 0);
        },
        nullptr);
    LeftClick(s.VrDemoButtonTrans);
    answer.join();
    LeftClick(s.VrDemoButtonExitSkin);
  });
  s.ShowModal();
  EXPECT_EQ(cancelled, ui::clMaroon) << "cancelled";
  EXPECT_EQ(m.VrMainFormShape.MaskColor(), key);
  EXPECT_EQ(WindowOutline(m.Handle()),
            (Outline{{0, 0, 399, 50}, {0, 50, 100, 100}, {200, 50, 399, 100}, {0, 100, 399, 300}}));
  RECT r;
  GetWindowRect(m.Handle(), &r);
  EXPECT_EQ(r.left + r.top, 0) << "the window moves to the screen's corner";
  EXPECT_TRUE(IsWindowVisible(m.Handle()));
}

// The main window's active colour in every control of its rows, and the mouse-over
// colour on a dialog button under the real mouse.
TEST_F(Skins, TheActiveAndMouseOverColoursReachTheirControls) {
  TMainForm& m = *m_;
  const ui::Color active = ui::Rgb(250, 60, 20), over = ui::Rgb(30, 220, 250);
  SkinForm->PanelWActive.SetColor(active);
  SkinForm->PanelMouseOver.SetColor(over);
  SkinForm->ApplySkin(false);
  for (widgets::TVrPalette* p :
       {&m.VrMatrixConn.Palette(), &m.VrNumVolume.Palette(), &m.VrNumBlock.Palette(), &m.VrScrollBarPlayer1.Palette(),
        &m.VrClockReal.Palette(), &m.VrClockstposition.Palette(), &m.VrNumSize.Palette(), &m.VrClockDuration.Palette(),
        &m.VrClockRecPos.Palette()})
    EXPECT_EQ(p->High(), active);
  for (ui::Control* c : std::initializer_list<ui::Control*>{&m.VrScaledb, &m.LabelDB, &m.LabelStation, &m.Labelgenre,
                                                            &m.LabelBuffer, &m.LabelBandwidth})
    EXPECT_EQ(c->GetFont().color, active) << c->Name();
  for (widgets::TVrDemoButton* b : {&m.VrDemoButtonMixer, &m.VrDemoButtonBand, &m.VrDemoButtonHistory}) {
    EXPECT_EQ(b->FontEnter().color, active) << b->Name();
    EXPECT_EQ(b->FontLeave().color, active) << b->Name();
  }
  for (widgets::TVrDemoButton& b : m.VrDemoButtonStation) EXPECT_EQ(b.FontEnter().color, active);
  EXPECT_NE(m.VrSpinnerStation.Palette().High(), active) << "the spinner takes the passive colour";
  for (widgets::TVrDemoButton* b : SkinForm->DialogButtons()) EXPECT_EQ(b->FontEnter().color, over) << b->Name();
  const ui::Point exit = m.VrDemoButtonExit.ClientToScreen({0, 0}), corner = m.ClientToScreen({0, 0});
  const ui::Rect onExit = ui::Rect::FromBounds(exit.x - corner.x, exit.y - corner.y, m.VrDemoButtonExit.Width(), 20);
  EXPECT_EQ(CountColour(m.Handle(), over, onExit), 0);
  RealMove({exit.x + 20, exit.y + 5});
  Pump(200);
  EXPECT_GT(CountColour(m.Handle(), over, onExit), 10);
  RealMove({0, 0});
}

}  // namespace
