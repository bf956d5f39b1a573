#include "skins/SkinForm.h"

#include "widgets/DialogFrame.h"

TSkinForm* SkinForm = nullptr;

namespace {

void Preview(ui::Panel& panel, ui::WinControl* parent, int x, int y, ui::Color colour) {
  panel.SetParent(parent);
  panel.SetBounds(x, y, 24, 24);
  panel.SetColor(colour);
}

}  // namespace

TSkinForm::TSkinForm() : ui::Form("SkinForm") {
  widgets::BuildDialogFrame(*this, VrBlotterSkinMaker, 290, 430);
  widgets::Place(PanelSkin, *this, 8, 52, 273, 26);
  widgets::Place(EditSkin, PanelSkin, 4, 5, 265, 17);
  widgets::StyleField(EditSkin, "default");
  widgets::Place(PanelMatrix, *this, 8, 140, 273, 26);
  widgets::Place(EditLEDMatrix, PanelMatrix, 4, 6, 265, 15);
  widgets::StyleField(EditLEDMatrix, "OVEXIA TUNORA ONLINE!");
  EditDir.SetParent(this);
  EditDir.SetVisible(false);

  Preview(PanelTrans, this, 146, 85, ui::clMaroon);
  Preview(PanelWActive, this, 116, 199, ui::clAqua);
  Preview(PanelWPassive, this, 256, 199, ui::clTeal);
  Preview(PanelActive, this, 116, 255, ui::clAqua);
  Preview(PanelPassive, this, 256, 255, ui::clTeal);
  Preview(PanelPopup, this, 116, 287, ui::clBlack);
  Preview(PanelButtonText, this, 116, 343, ui::clSilver);
  Preview(PanelMouseOver, this, 256, 343, ui::clWhite);
}
