#include "directory/FindStationForm.h"

#include <windows.h>

#include "base/Encoding.h"
#include "directory/DirectoryFileRules.h"
#include "directory/StationDirectory.h"
#include "looks/DialogFrame.h"
#include "ui/Application.h"

using namespace looks;

TFindStationForm* FindStationForm = nullptr;

namespace {

// The list's columns: a fixed-pitch font, the name cut to this many characters.
constexpr std::size_t kNameColumn = 44;
constexpr const char* kCodecs[] = {"Any codec", "MP3", "AAC", "AAC+", "OGG", "OPUS", "FLAC"};

std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

}  // namespace

TFindStationForm::TFindStationForm() : ui::Form("FindStationForm") {
  SetCaption(kTitle);
  SetKeyPreview(true);
  Build();
  OnKeyDown = [this](ui::Control&, unsigned& key, unsigned shift) { KeyDownHandler(key, shift); };
  OnHide = [this](ui::Control&) { CancelSearch(); };
  timer_.SetInterval(100);
  timer_.OnTimer = [this] { Tick(); };
}

TFindStationForm::~TFindStationForm() {
  timer_.SetEnabled(false);
}

void TFindStationForm::Build() {
  looks::BuildDialogFrame(*this, VrBlotterFind, 560, 440);
  Place(LabelFind, VrBlotterFind, 12, 7, 0, 0);
  StyleTitle(LabelFind, kTitle);

  Place(FrameSearch, *this, 8, 32, 544, 84);
  // A search field under its caption; a border shows where to type in an empty one.
  const auto field = [this](ui::Label& label, const char* caption, ui::Edit& edit, int left, int width) {
    Place(label, FrameSearch, left, 8, 0, 0);
    StyleCaption(label, caption);
    Place(edit, FrameSearch, left, 25, width, 18);
    StyleField(edit, "");
    edit.SetBorder(true);
  };
  field(LabelName, "Station name:", EditName, 10, 250);
  field(LabelCountry, "Country:", EditCountry, 270, 56);
  field(LabelTag, "Tag (genre):", EditTag, 336, 96);
  Place(LabelCodec, FrameSearch, 442, 8, 0, 0);
  StyleCaption(LabelCodec, "Codec:");
  Place(BoxCodec, FrameSearch, 442, 24, 92, 200);
  StyleList(BoxCodec);
  for (const char* codec : kCodecs) BoxCodec.Add(codec);
  BoxCodec.SetItemIndex(0);
  Place(BoxBroken, FrameSearch, 10, 52, 250, 200);
  StyleList(BoxBroken);
  BoxBroken.Add("Working stations only");
  BoxBroken.Add("Broken stations too");
  BoxBroken.SetItemIndex(0);
  AddCommandButton(ButtonSearch, FrameSearch, 428, 50, "&Search", [this](ui::Control&) {
    if (Searching())
      CancelSearch();
    else
      Search();
  });

  Place(LabelStatus, VrBlotterFind, 12, 124, 536, 0);
  LabelStatus.SetWordWrap(true);
  StyleCaption(LabelStatus, "Type a part of a station's name and press Enter.");

  Place(FrameResults, *this, 8, 158, 544, 236);
  Place(LabelColumns, FrameResults, 10, 6, 0, 0);
  ui::Font fixed = ui::MakeFont("Courier New", 12, false, ui::clTeal);
  fixed.fixedPitch = true;
  LabelColumns.SetFont(fixed);
  LabelColumns.SetCaption(std::string("Name") + std::string(kNameColumn - 4, ' ') + "  CC  Codec  kbps    Votes");
  Place(ListResults, FrameResults, 10, 24, 524, 202);
  StyleList(ListResults);
  fixed.color = ui::clAqua;
  ListResults.SetFont(fixed);
  ListResults.OnDblClick = [this](ui::Control&) { PlaySelected(); };

  AddCommandButton(ButtonPlay, *this, 8, 404, "&Play", [this](ui::Control&) { PlaySelected(); });
  Place(BoxPreset, *this, 122, 406, 90, 200);
  StyleList(BoxPreset);
  for (int k = 1; k <= 7; ++k) BoxPreset.Add("Preset " + std::to_string(k));
  BoxPreset.SetItemIndex(0);
  AddCommandButton(ButtonSave, *this, 218, 404, "Sa&ve to Preset",
                   [this](ui::Control&) { SaveSelected(BoxPreset.ItemIndex() + 1); });
  AddCommandButton(ButtonClose, *this, 446, 404, "Close", [this](ui::Control&) { Close(); });
}

void TFindStationForm::Open(directory::DirectoryWindow& window) {
  window_ = &window;
  if (!search_) search_ = std::make_unique<directory::DirectorySearch>(window.Directory().Servers());
  Show();
  BringToFront();
  SetActiveWindow(Handle());
  EditName.SetFocus();
  SendMessageA(EditName.Handle(), EM_SETSEL, 0, -1);
}

bool TFindStationForm::Searching() const {
  return timer_.Enabled();  // until the outcome shows
}

void TFindStationForm::Search() {
  if (!search_) return;
  directory::SearchQuery query;
  query.name = base::Utf8FromAnsi(EditName.Text());
  query.countryCode = base::Utf8FromAnsi(EditCountry.Text());
  query.tag = base::Utf8FromAnsi(EditTag.Text());
  if (BoxCodec.ItemIndex() > 0) query.codec = BoxCodec.Text();
  query.showBroken = BoxBroken.ItemIndex() == 1;
  search_->Start(query);
  LabelStatus.SetCaption("Searching the station directory...");
  ButtonSearch.SetCaption("Stop &Search");
  timer_.SetEnabled(true);
}

void TFindStationForm::CancelSearch() {
  if (!Searching() || !search_) return;
  search_->Cancel();
  timer_.SetEnabled(false);
  ButtonSearch.SetCaption("&Search");
  LabelStatus.SetCaption("The search was stopped.");
}

void TFindStationForm::Tick() {
  if (!search_) return;
  std::optional<directory::DirectorySearch::Outcome> outcome = search_->Take();
  if (!outcome) return;
  timer_.SetEnabled(false);
  ButtonSearch.SetCaption("&Search");
  ShowOutcome(std::move(*outcome));
}

void TFindStationForm::ShowOutcome(directory::DirectorySearch::Outcome outcome) {
  if (!outcome.error.empty()) {
    LabelStatus.SetCaption(kUnreachable + base::AnsiFromUtf8(outcome.error));
    return;
  }
  results_ = std::move(outcome.stations);
  ListResults.Clear();
  for (const directory::Station& s : results_)
    ListResults.Add(directory::ResultRow(s, base::AnsiFromUtf8(s.name), kNameColumn));
  if (results_.empty()) {
    LabelStatus.SetCaption("The station directory found no station for this search.");
    return;
  }
  LabelStatus.SetCaption(std::to_string(results_.size()) +
                         (results_.size() == 1 ? " station" : " stations") +
                         " found: Enter plays the selected one, Ctrl+1 to Ctrl+7 keep it in a preset.");
  ListResults.SetItemIndex(0);
  // The focus goes to the first result unless the user has gone elsewhere meanwhile.
  HWND focus = GetFocus();
  if (focus && GetAncestor(focus, GA_ROOT) == Handle()) ListResults.SetFocus();
}

const directory::Station* TFindStationForm::Selected() const {
  const int index = ListResults.ItemIndex();
  return index >= 0 && std::size_t(index) < results_.size() ? &results_[std::size_t(index)] : nullptr;
}

void TFindStationForm::PlaySelected() {
  const directory::Station* s = Selected();
  if (!s || !window_) return;
  const std::string name = base::AnsiFromUtf8(s->name);
  window_->PlayPreview(name, directory::AsciiUrl(s->url));
  window_->Directory().Played(s->id);
  LabelStatus.SetCaption("Playing " + Quoted(name) + " as a preview: Ctrl+1 to Ctrl+7 keep it in a preset.");
}

void TFindStationForm::SaveSelected(int preset) {
  const directory::Station* s = Selected();
  if (!s || !window_ || preset < 1 || preset > 7) return;
  const directory::Station station = *s;
  const std::string name = base::AnsiFromUtf8(station.name);
  const std::string url = directory::AsciiUrl(station.url);
  const std::string oldName = window_->PresetName(preset), oldUrl = window_->PresetUrl(preset);
  const std::string where = "preset " + std::to_string(preset) + " of group " + std::to_string(window_->ShownGroup());
  if (!directory::PresetEmpty(oldName, oldUrl) && (oldName != name || oldUrl != url)) {
    const std::string question = "Replace " + Quoted(oldName) + " in " + where + " with " + Quoted(name) + "?";
    if (ui::App().ShowMessageBox(question, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  }
  const std::string band = window_->ShownBand();
  const int group = window_->ShownGroup();
  window_->StorePreset(preset, name, url);
  BoxPreset.SetItemIndex(preset - 1);
  LabelStatus.SetCaption(Quoted(name) + " is kept in " + where + ".");
  window_->Directory().PresetStored(band, group, preset, station.id, url);
}

void TFindStationForm::FocusNext(bool back) {
  ui::WinControl* order[] = {&EditName, &EditCountry, &EditTag, &BoxCodec, &BoxBroken, &ListResults, &BoxPreset};
  constexpr int n = int(std::size(order));
  HWND focus = GetFocus();
  int at = -1;
  for (int i = 0; i < n; ++i)
    if (order[i]->Handle() == focus) at = i;
  const int next = at < 0 ? 0 : (at + (back ? n - 1 : 1)) % n;
  order[next]->SetFocus();
}

void TFindStationForm::KeyDownHandler(unsigned& key, unsigned shift) {
  const bool ctrl = (shift & ui::ssCtrl) != 0;
  HWND focus = GetFocus();
  if (key == VK_ESCAPE) {
    Close();
  } else if (key == VK_RETURN && !ctrl) {
    if (focus == ListResults.Handle())
      PlaySelected();
    else if (focus == BoxPreset.Handle())
      SaveSelected(BoxPreset.ItemIndex() + 1);
    else
      Search();
  } else if (ctrl && key >= '1' && key <= '7') {
    SaveSelected(int(key - '0'));
  } else if (key == VK_TAB && !ctrl) {
    FocusNext((shift & ui::ssShift) != 0);
  } else if (ctrl && key == 'F') {
    EditName.SetFocus();
  } else {
    return;
  }
  key = 0;
}

void TFindStationForm::ListSkinTargets(looks::SkinTargets& targets) {
  targets.Font(looks::scActive, {&LabelFind, &EditName, &EditCountry, &EditTag, &BoxCodec, &BoxBroken, &ListResults,
                                 &BoxPreset});
  targets.Font(looks::scPassive, {&LabelName, &LabelCountry, &LabelTag, &LabelCodec, &LabelStatus, &LabelColumns});
  targets.CommandButtons({&ButtonSearch, &ButtonPlay, &ButtonSave, &ButtonClose});
  targets.Fill(looks::scPopup, {&VrBlotterFind});
}
