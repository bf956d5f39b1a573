// The main window's skin: its surface and outline, the skin files, and the layout the
// user changes by carrying parts of the window with the mouse.
#include "app/MainForm.h"
#include "base/LineRules.h"
#include "base/TextFile.h"
#include "skins/LayoutRules.h"
#include "skins/SkinForm.h"

namespace {

// The outline stored with the window's design: the one rectangle of the built-in
// picture, which has no pixel of the mask colour (a byte count, then region data).
constexpr std::uint8_t kBuiltInOutline[] = {
    48, 0, 0, 0,                                        // bytes that follow
    32, 0, 0, 0, 1, 0, 0, 0, 1,  0, 0, 0, 16, 0, 0, 0,  // header: size, type, count, rectangles' size
    0,  0, 0, 0, 0, 0, 0, 0, 87, 2, 0, 0, 94, 1, 0, 0,  // bounds 0, 0, 599, 350
    0,  0, 0, 0, 0, 0, 0, 0, 87, 2, 0, 0, 94, 1, 0, 0,  // the rectangle
};

// Where the lines of a skin file land: the designer's fields and preview panels, and
// the positions of the main window's parts.
class SkinControls : public skins::SkinTarget {
 public:
  explicit SkinControls(TMainForm& main) : main_(main) {}
  void SetImagePath(const std::string& path) override { SkinForm->EditSkin.SetText(path); }
  void SetColour(skins::SkinColour colour, ui::Color value) override { SkinForm->ColourPanel(colour).SetColor(value); }
  void SetLedText(const std::string& text) override { SkinForm->EditLEDMatrix.SetText(text); }
  void SetItemLeft(int item, int left) override {
    ui::Control& c = main_.MovableItem(item + 1);
    c.SetPosition(left, c.Top());
  }
  void SetItemTop(int item, int top) override {
    ui::Control& c = main_.MovableItem(item + 1);
    c.SetPosition(c.Left(), top);
  }

 private:
  TMainForm& main_;
};

}  // namespace

void TMainForm::BuildShape() {
  VrMainFormShape.SetParent(this);
  VrMainFormShape.SetBounds(0, 0, 601, 352);
  VrMainFormShape.SetMask(ui::Bitmap::FromBitmapResource("SKIN"));
  VrMainFormShape.SetMaskColor(ui::clPurple);
  VrMainFormShape.RgnData().ReadStoredForm(kBuiltInOutline);
  VrMainFormShape.PopupMenu = &PopupMenuDrag;
  VrMainFormShape.OnMouseMove = [this](ui::Control& c, unsigned shift, int x, int y) {
    VrMainFormShapeMouseMove(c, shift, x, y);
  };
  // The outline is set when the window is made.
  VrMainFormShape.Loaded();
}

void TMainForm::BuildLayoutEditing() {
  auto pickUp = [this](int item) {
    return ui::MenuItem{skins::LayoutEntryCaption(item), [this, item] { PickUp(item); }};
  };
  std::vector<ui::MenuItem>& items = PopupMenuDrag.Items();
  items.push_back({"Drop Current Object", [this] { EndDragnDrop1Click(); }, false});
  for (int item = 1; item <= 9; ++item) items.push_back(pickUp(item));
  ui::MenuItem stations{"Drag and Drop Stations Buttons", nullptr};
  for (int item = 10; item <= skins::kMovableItems; ++item) stations.items.push_back(pickUp(item));
  items.push_back(std::move(stations));

  Panelxy.SetParent(this);
  Panelxy.SetAutoSize(false);
  Panelxy.SetTransparent(false);
  Panelxy.SetColor(ui::clWhite);
  Panelxy.SetAlignment(ui::Alignment::Center);
  Panelxy.SetFont(ui::MakeFont("Arial", 11, false, ui::clBlack));
  Panelxy.SetBounds(0, 0, 65, 17);
  Panelxy.SetCaption("1000x1000");
  Panelxy.SetVisible(false);
}

void TMainForm::HandleCreated() {
  ui::Form::HandleCreated();
  VrMainFormShape.ApplyOutline();
}

ui::Control& TMainForm::MovableItem(int item) {
  ui::Control* items[skins::kMovableItems] = {&VrMatrixConn,     &VrBlotterMixer,    &VrBlotterBand,
                                              &VrBlotterStation, &VrBlotterPlayback, &VrBlotterButtonSet,
                                              &VrDemoButtonStop, &VrDemoButtonRec,   &VrDemoButtonStart};
  for (int k = 0; k < kPresets; ++k) items[9 + k] = &VrDemoButtonStation[k];
  return *items[std::clamp(item, 1, skins::kMovableItems) - 1];
}

void TMainForm::PickUp(int item) {
  PopupMenuDrag.Items()[0].enabled = true;
  Panelxy.SetVisible(true);
  carried_ = item;
}

void TMainForm::EndDragnDrop1Click() {
  Panelxy.SetVisible(false);
  carried_ = 0;
  PopupMenuDrag.Items()[0].enabled = false;
}

void TMainForm::VrMainFormShapeMouseMove(ui::Control&, unsigned, int x, int y) {
  Panelxy.SetCaption(skins::PointerCaption(x, y));
  if (carried_ == 0) return;
  const skins::Position p = skins::CarriedPosition(x, y, VrMainFormShape.Width());
  MovableItem(carried_).SetPosition(p.left, p.top);
}

void TMainForm::LoadSkinFile(const std::string& fileName) {
  if (!base::FileExists(fileName)) return;
  SkinControls controls(*this);
  skins::ReadSkin(base::SplitLines(base::ReadFileStart(fileName, skins::kMaxSkinFileBytes)), controls);
}

void TMainForm::SaveSkinFile(const std::string& fileName) {
  if (SkinForm->EditSkin.Text().empty()) SkinForm->EditSkin.SetText(skins::kDefaultImagePath);
  skins::SkinValues values;
  values.imagePath = SkinForm->EditSkin.Text();
  for (int c = 0; c < skins::kSkinColours; ++c)
    values.colours[std::size_t(c)] = SkinForm->ColourPanel(skins::SkinColour(c)).GetColor();
  values.ledText = SkinForm->EditLEDMatrix.Text();
  for (int item = 1; item <= skins::kMovableItems; ++item)
    values.positions[std::size_t(item - 1)] = {MovableItem(item).Left(), MovableItem(item).Top()};
  base::WriteTextFile(fileName.empty() ? skins::kUnnamedSkinFileName : fileName,
                          base::JoinLines(skins::SkinLines(values)));
}

void TMainForm::ListSkinTargets(looks::SkinTargets& targets) {
  using namespace widgets;
  using namespace looks;
  targets.High(scWActive, {&VrMatrixConn.Palette(), &VrNumVolume.Palette(), &VrNumBlock.Palette(),
                           &VrScrollBarPlayer1.Palette(), &VrClockReal.Palette(), &VrClockstposition.Palette(),
                           &VrNumSize.Palette(), &VrClockDuration.Palette(), &VrClockRecPos.Palette()});
  targets.Enter(scWActive, {&VrDemoButtonMixer, &VrDemoButtonBand, &VrDemoButtonHistory});
  targets.Leave(scWActive, {&VrDemoButtonMixer, &VrDemoButtonBand, &VrDemoButtonHistory});
  targets.Font(scWActive, {&VrScaledb, &LabelDB, &LabelStation, &Labelgenre, &LabelBuffer, &LabelBandwidth});

  targets.Font(scWPassive, {&LabelVol, &LabelSelectBlock, &LabelStationName, &LabelStationBand, &LabelStationBuffer,
                            &LabelStationBandwidth, &LabelStationTime, &LabelStationPosition, &LabelRecSize,
                            &LabelDuration, &LabelPosition});
  targets.High(scWPassive, {&VrSpinnerStation.Palette()});
  targets.Low(scWPassive, {&VrNumVolume.Palette(), &VrNumBlock.Palette(), &VrSpinnerStation.Palette(),
                           &VrScrollBarPlayer1.Palette(), &VrClockReal.Palette(), &VrClockstposition.Palette(),
                           &VrNumSize.Palette(), &VrClockDuration.Palette(), &VrClockRecPos.Palette()});
  for (TVrDemoButton& b : VrDemoButtonStation) {
    targets.Enter(scWActive, {&b});
    targets.Leave(scWPassive, {&b});
  }
  targets.CommandButtons(
      {&VrDemoButtonUnplug, &VrDemoButtonSkinMaker, &VrDemoButtonOptions, &VrDemoButtonBurn, &VrDemoButtonExit});
}
