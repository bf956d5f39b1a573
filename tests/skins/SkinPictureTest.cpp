// The skin's picture on the running program: the mask colour cut out of the window,
// bitmaps of every kind or refused, a path that leads off the computer, the transparent
// colour.
#include "SkinTesting.h"

namespace {

// Load Image through the real open dialog, the mask colour chosen before: a block of
// that colour becomes a hole through which the window behind shows.
TEST_F(Skins, LoadImageCutsTheMaskColourOutOfTheWindow) {
  TSkinForm& s = *SkinForm;
  const ui::Color key = ui::Rgb(10, 200, 30), grey = ui::Rgb(90, 90, 96);
  ProgramFolder().Put("holes.bmp",
            BitmapFile(600, 350, [&](int x, int y) { return x >= 100 && x < 200 && y >= 50 && y < 100 ? key : grey; }));
  s.ColorDialogSkin.color = key;
  s.EditDir.SetText(ProgramFolder().Path());
  static std::string path;
  path = ProgramFolder() / "holes.bmp";
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
  WaitFor([&] { return ScreenPixel(150, 75) == behind && ScreenPixel(50, 30) == grey; });
  EXPECT_EQ(ScreenPixel(150, 75), behind) << "the hole";
  EXPECT_EQ(ScreenPixel(599, 300), behind) << "the last column";
  EXPECT_EQ(ScreenPixel(50, 30), grey) << "the picture";
  EXPECT_EQ(ScreenPixel(250, 75), grey);
}

// The picture shown stays, with its path and transparent colour: Exit never saves one
// that fails at every later start.
TEST_F(Skins, ABitmapThatIsNotValidIsReportedAndThePictureShownStaysWithItsPath) {
  TSkinForm& s = *SkinForm;
  const std::string good = ProgramFolder() / "good.bmp";
  WriteFileBytes(good, BitmapFile(300, 200, [](int, int) { return ui::clGray; }));
  s.EditSkin.SetText(good);
  s.PanelTrans.SetColor(ui::clLime);
  s.ApplySkin(true);
  ProgramFolder().Put("broken.bmp", "BM this is no picture at all");
  s.EditDir.SetText(ProgramFolder().Path());
  static std::string path;
  path = ProgramFolder() / "broken.bmp";
  MessageBoxWatcher boxes("Ovexia Tunora");
  ChooseInDesigner(s.VrDemoButtonBackground, "Hintergrundgrafik ausw\xE4hlen", &path);
  const std::vector<SeenBox> seen = boxes.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, "Bitmap image is not valid");
  EXPECT_TRUE(IsWindowVisible(m.Handle())) << "the main window is shown again";
  EXPECT_EQ(WindowOutline(m.Handle()), (Outline{{0, 0, 299, 200}})) << "the picture stays";
  m.SaveSkinFile(ProgramFolder() / "after.skn");
  const std::vector<std::string> saved = base::SplitLines(ProgramFolder().Content("after.skn"));
  EXPECT_EQ(saved.at(0), good);
  EXPECT_EQ(saved.at(9), "clLime");
}

// Pictures from anyone: every kind is shown or refused with a message, never the end
// of the program; an outline without a pixel keeps the one in force.
TEST_F(Skins, EveryKindOfBitmapIsShownOrRefused) {
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
  const ui::Color face = w.VrMainFormShape.Mask().PixelAt(10, 10);
  for (const Case& c : cases) {
    ProgramFolder().Put("kind.bmp", c.bytes);
    s.EditSkin.SetText(ProgramFolder() / "kind.bmp");
    s.PanelTrans.SetColor(ui::clPurple);
    const int width = m.Width();
    MessageBoxWatcher boxes;
    Reported([&] { s.ApplySkin(true); });
    Pump(50);
    if (c.width) {
      EXPECT_TRUE(boxes.Seen().empty()) << c.what;
      EXPECT_EQ(w.VrMainFormShape.Mask().Width(), c.width) << c.what;
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
  ProgramFolder().Put("kind.bmp", BitmapFile(8, 8, [](int, int) { return ui::clPurple; }));
  const Outline before = WindowOutline(m.Handle());
  s.ApplySkin(true);
  EXPECT_EQ(WindowOutline(m.Handle()), before);
  (void)face;
}

TEST_F(Skins, TheSameMaskColourAgainDoesNotRescan) {
  skins::TVrFormShape& shape = w.VrMainFormShape;
  const int scans = shape.ScanCount();
  shape.SetMaskColor(ui::clPurple);
  EXPECT_EQ(shape.ScanCount(), scans);
  shape.SetMaskColor(ui::clOlive);
  EXPECT_EQ(shape.ScanCount(), scans + 1);
  EXPECT_THROW(shape.SetParent(&w.VrBlotterBand), std::invalid_argument);
  try {
    shape.SetParent(&w.VrBlotterBand);
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "VrFormShape requires a FORM as parent!");
  }
  EXPECT_EQ(shape.Parent(), &m) << "the parent does not change";
}

// A picture path to another computer or a device is refused before anything opens it
// (here the device form of a picture that is there): from a skin loaded with "Load
// Skin", from currentskin.skn as a start reads it, and typed.
TEST_F(Skins, APicturePathToAnotherComputerOrADeviceIsRefusedBeforeItIsOpened) {
  TSkinForm& s = *SkinForm;
  const std::string good = ProgramFolder() / "good.bmp";
  WriteFileBytes(good, BitmapFile(300, 200, [](int, int) { return ui::clGray; }));
  s.EditDir.SetText(ProgramFolder().Path());
  static std::string skin;
  skin = ProgramFolder() / "far.skn";
  for (const std::string& path : {std::string("\\\\tunora-test-host\\share\\x.bmp"), "\\\\?\\" + good})
    for (const char* from : {"Load Skin", "a start", "typed"}) {
      SCOPED_TRACE(path + " " + from);
      s.EditSkin.SetText(good);
      s.ApplySkin(true);
      m.SaveSkinFile(skin);
      WriteFileBytes(skin, path + ReadFileBytes(skin).substr(ReadFileBytes(skin).find('\r')));
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
      EXPECT_EQ(w.VrMainFormShape.Mask().Width(), 300);
    }
}

// "Set Transparent Color" through the real colour chooser: cancelled, nothing changes;
// chosen, that colour is cut out of the picture and the window moves to the corner.
TEST_F(Skins, SetTransparentColorCutsTheChosenColourOutOfThePicture) {
  TSkinForm& s = *SkinForm;
  const ui::Color key = ui::Rgb(10, 200, 30);
  ProgramFolder().Put("trans.bmp",
            BitmapFile(400, 300, [&](int x, int y) { return x >= 100 && x < 200 && y >= 50 && y < 100 ? key : 0; }));
  s.EditSkin.SetText(ProgramFolder() / "trans.bmp");
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
  EXPECT_EQ(w.VrMainFormShape.MaskColor(), key);
  EXPECT_EQ(WindowOutline(m.Handle()),
            (Outline{{0, 0, 399, 50}, {0, 50, 100, 100}, {200, 50, 399, 100}, {0, 100, 399, 300}}));
  RECT r;
  GetWindowRect(m.Handle(), &r);
  EXPECT_EQ(r.left + r.top, 0) << "the window moves to the screen's corner";
  EXPECT_TRUE(IsWindowVisible(m.Handle()));
}

}  // namespace
