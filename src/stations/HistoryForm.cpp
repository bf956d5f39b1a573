#include "stations/HistoryForm.h"

#include "looks/DialogFrame.h"
#include "looks/DialogLooks.h"

using namespace widgets;
using namespace looks;
using namespace stations;

THistoryForm* HistoryForm = nullptr;

namespace {
constexpr int kEntryWidth = 229;
constexpr int kEntryHeight = 18;
constexpr int kEntryPitch = 19;
}  // namespace

THistoryForm::THistoryForm()
    : ui::Form("HistoryForm"),
      entryButtons_{&VrDemoButtonHis1, &VrDemoButtonHis2,  &VrDemoButtonHis3, &VrDemoButtonHis4,
                    &VrDemoButtonHis5, &VrDemoButtonHis6,  &VrDemoButtonHis7, &VrDemoButtonHis8,
                    &VrDemoButtonHis9, &VrDemoButtonHis10, &VrDemoButtonHis11},
      entryUrls_{&EditHis1, &EditHis2, &EditHis3, &EditHis4,  &EditHis5, &EditHis6,
                 &EditHis7, &EditHis8, &EditHis9, &EditHis10, &EditHis11} {
  SetKeyPreview(true);
  looks::BuildDialogFrame(*this, VrBlotterHistory, 262, 293);

  Place(LabelHistory, VrBlotterHistory, 12, 7, 0, 0);
  StyleTitle(LabelHistory, "Station History");

  const int frameHeight = 2 * 8 + (kHistorySlots - 1) * kEntryPitch + kEntryHeight;
  Place(VrBlotter15, *this, 8, 32, 246, frameHeight);
  for (int k = 1; k <= kHistorySlots; ++k) {
    widgets::TVrDemoButton& button = EntryButton(k);
    Place(button, VrBlotter15, 8, 8 + (k - 1) * kEntryPitch, kEntryWidth, kEntryHeight);
    StyleEntryButton(button, "none");
    button.OnClick = [this, k](ui::Control&) { VrDemoButtonHisClick(k); };

    ui::Edit& url = EntryUrl(k);
    url.SetVisible(false);
    Place(url, *this, 0, 0, 100, 18);
    url.SetText("Empty");
  }

  AddCommandButton(VrDemoButtonCloseHistory, *this, 78, 32 + frameHeight + 8, "Exit",
                   [this](ui::Control& c) { VrDemoButtonCloseHistoryClick(c); });
}

History THistoryForm::Entries() const {
  History entries;
  for (std::size_t i = 0; i < entries.size(); ++i) entries[i] = {entryButtons_[i]->Caption(), entryUrls_[i]->Text()};
  return entries;
}

void THistoryForm::SetEntries(const History& entries) {
  for (std::size_t i = 0; i < entries.size(); ++i) {
    entryButtons_[i]->SetCaption(entries[i].name);
    entryUrls_[i]->SetText(entries[i].url);
  }
}

void THistoryForm::VrDemoButtonHisClick(int k) {
  if (OnEntryClick) OnEntryClick(EntryButton(k).Caption(), EntryUrl(k).Text());
}

void THistoryForm::VrDemoButtonCloseHistoryClick(ui::Control&) {
  SetModalResult(ui::mrOk);
}

void THistoryForm::ListSkinTargets(looks::SkinTargets& targets) {
  targets.Font(looks::scActive, {&LabelHistory});
  for (int k = 1; k <= stations::kHistorySlots; ++k) {
    targets.Enter(looks::scActive, {&EntryButton(k)});
    targets.Leave(looks::scPassive, {&EntryButton(k)});
  }
  targets.CommandButtons({&VrDemoButtonCloseHistory});
  targets.Fill(looks::scPopup, {&VrBlotterHistory});
}
