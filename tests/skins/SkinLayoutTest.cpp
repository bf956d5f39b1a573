// The skin's layout on the running program: dragging the window and its blocks, the
// layout menu, saving and loading a skin through their dialogs.
#include "SkinTesting.h"

namespace {

// The real mouse: a drag on the bare background moves the window and the settings
// save where it went; a drag that starts on a block moves nothing.
TEST_F(Skins, DraggingTheBackgroundMovesTheWindowAndAPressOnABlockDoesNot) {
  RECT before;
  GetWindowRect(m.Handle(), &before);
  const ui::Point onBlock = w.VrBlotterBand.ClientToScreen({100, 45});
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
  const std::vector<std::string> lines = base::SplitLines(ProgramFolder().Content("Defaults.ini"));
  ASSERT_EQ(lines.size(), 28u);
  EXPECT_EQ(lines[26], std::to_string(r.left));
  EXPECT_EQ(lines[27], std::to_string(r.top));
}

// The layout menu on a right click of the background: a block follows the pointer one
// pixel right of and below it until it is dropped; the pointer's place shows meanwhile.
TEST_F(Skins, TheLayoutMenuCarriesABlockToThePointer) {
  const ui::Point corner = m.ClientToScreen({0, 0});
  std::atomic<bool> chosen;
  std::thread menu = ChooseFromMenu({"Drag and Drop Band Block"}, &chosen);
  RealClick({corner.x + 262, corner.y + 150}, true);
  WaitFor([&] { return chosen.load(); }, 8000);
  menu.join();
  ASSERT_TRUE(chosen);
  EXPECT_EQ(m.CarriedItem(), 3);
  EXPECT_TRUE(w.Panelxy.Visible());
  RealMove({corner.x + 270, corner.y + 30});
  EXPECT_TRUE(WaitFor([&] { return w.Panelxy.Caption() == "270x30"; }));
  RealMove({corner.x + 262, corner.y + 40});
  EXPECT_TRUE(WaitFor([&] { return w.VrBlotterBand.Left() == 263; }));
  EXPECT_EQ(w.VrBlotterBand.Left(), 263);
  EXPECT_EQ(w.VrBlotterBand.Top(), 41);
  EXPECT_EQ(w.Panelxy.Caption(), "262x40");

  // A station button from the submenu replaces it; then Drop ends the carrying.
  menu = ChooseFromMenu({"Drag and Drop Stations Buttons", "Drag and Drop Station Button 2 "}, &chosen);
  RealClick({corner.x + 262, corner.y + 150}, true);
  WaitFor([&] { return chosen.load(); }, 8000);
  menu.join();
  ASSERT_TRUE(chosen);
  EXPECT_EQ(m.CarriedItem(), 11);
  menu = ChooseFromMenu({"Drop Current Object"}, &chosen);
  RealClick({corner.x + 262, corner.y + 300}, true);
  WaitFor([&] { return chosen.load(); }, 8000);
  menu.join();
  ASSERT_TRUE(chosen) << "Drop Current Object was never chosen";
  EXPECT_EQ(m.CarriedItem(), 0);
  EXPECT_FALSE(w.Panelxy.Visible());
  EXPECT_EQ(w.VrDemoButtonStation[1].Left(), 263) << "where the pointer went to open the menu";
  EXPECT_EQ(w.VrDemoButtonStation[1].Top(), 301);
  EXPECT_EQ(w.VrBlotterBand.Left(), 263) << "the band block stays where the pointer took it to open the menu";
  EXPECT_EQ(w.VrBlotterBand.Top(), 151);

  m.SaveSkinFile(ProgramFolder() / "layout.skn");
  const std::vector<std::string> lines = base::SplitLines(ProgramFolder().Content("layout.skn"));
  ASSERT_EQ(lines.size(), 42u);
  EXPECT_EQ(lines[14], "263");
  EXPECT_EQ(lines[15], "151");
  EXPECT_EQ(lines[30], "263");
}

TEST_F(Skins, SaveAndLoadSkinGoThroughTheirDialogsAndKeepTheWindowWhereItIs) {
  TSkinForm& s = *SkinForm;
  s.EditDir.SetText(ProgramFolder().Path());
  s.PanelMouseOver.SetColor(0x004080FF);
  s.EditSkin.SetText("");
  static std::string path;
  path = ProgramFolder() / "mine.skn";
  DeleteFileA(path.c_str());
  WhenShown(s, [&] {
    std::thread answer = WhenDialogAppears("Save Skin", AnswerFileDialog, &path);
    LeftClick(s.VrDemoButtonSaveSkin);
    answer.join();
    LeftClick(s.VrDemoButtonExitSkin);
  });
  s.ShowModal();
  const std::vector<std::string> saved = base::SplitLines(ReadFileBytes(path));
  ASSERT_EQ(saved.size(), 42u);
  EXPECT_EQ(saved[0], "default");
  EXPECT_EQ(s.EditSkin.Text(), "default");
  EXPECT_EQ(saved[8], "$004080FF");

  std::vector<std::string> changed = saved;
  changed[3] = "LOADED TEXT";
  changed[15] = "-20";
  std::string text;
  for (const std::string& l : changed) text += l + "\r\n";
  WriteFileBytes(path, text);
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
  EXPECT_EQ(w.VrMatrixConn.Text(), "LOADED TEXT");
  EXPECT_EQ(w.VrBlotterBand.Top(), -20);
  RECT r;
  GetWindowRect(m.Handle(), &r);
  EXPECT_EQ(r.left, before.left) << "Load Skin keeps the window's place";
  EXPECT_TRUE(IsWindowVisible(m.Handle()));

  // Damaged at line 5: the lines before it are read, nothing after it, nothing applied.
  changed[1] = "clRed";
  changed[4] = "clNoSuchColour";
  changed[12] = "5";
  WriteFileBytes(path, base::JoinLines(changed));
  MessageBoxWatcher boxes("Ovexia Tunora");
  ChooseInDesigner(s.VrDemoButtonLoadSkin, "Load Skin", &path);
  ASSERT_EQ(boxes.Seen().size(), 1u);
  EXPECT_EQ(boxes.Seen()[0].text, "'clNoSuchColour' is not a valid integer value");
  EXPECT_EQ(s.PanelWActive.GetColor(), ui::clRed);
  EXPECT_EQ(w.VrNumBlock.Palette().High(), ui::clAqua) << "not applied";
  EXPECT_EQ(w.VrBlotterMixer.Left(), 469);
  EXPECT_TRUE(IsWindowVisible(m.Handle()));

  // No name: CurrentSkin.skn in the current folder.
  char current[MAX_PATH] = "";
  GetCurrentDirectoryA(MAX_PATH, current);
  DeleteFileA((std::string(current) + "\\CurrentSkin.skn").c_str());
  m.SaveSkinFile("");
  EXPECT_EQ(base::SplitLines(ReadFileBytes(std::string(current) + "\\CurrentSkin.skn")).at(1), "clRed");
}

}  // namespace
