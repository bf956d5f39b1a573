#include "info/AboutForm.h"

#include <windowsx.h>

#include "looks/ButtonLooks.h"

TAboutForm* AboutForm = nullptr;

namespace {

constexpr int kWidth = 560, kHeight = 417;
// The left column (pictures, links, notice, OK) and the right one (heading and texts).
constexpr int kLeft = 18, kLeftWidth = 256;
constexpr int kRight = 292, kRightWidth = 250;

const ui::Font kTextFont = ui::MakeFont("Arial", 12, false, ui::clBlack);
const ui::Font kCaptionFont = ui::MakeFont("Arial", 12, true, ui::clBlack);

ui::Font LinkFont() {
  ui::Font f = ui::MakeFont("Arial", 12, true, ui::clNavy);
  f.style.underline = true;
  return f;
}

void Text(ui::Label& label, ui::WinControl& parent, int left, int top, const ui::Font& font,
          const std::string& caption) {
  label.SetParent(&parent);
  label.SetPosition(left, top);
  label.SetFont(font);
  label.SetCaption(caption);
}

// A block of text wrapped at the given width.
void Paragraph(ui::Label& label, ui::WinControl& parent, int left, int top, int width, const ui::Font& font,
               const std::string& caption) {
  label.SetParent(&parent);
  label.SetBounds(left, top, width, 0);
  label.SetWordWrap(true);
  label.SetFont(font);
  label.SetCaption(caption);
}

void Link(ui::Label& label, ui::WinControl& parent, int top, const std::string& address, ui::NotifyEvent onClick) {
  Text(label, parent, kLeft, top, LinkFont(), address);
  label.SetCursor(ui::Cursor::Hand);
  label.OnClick = std::move(onClick);
}

void Picture(ui::Image& image, ui::WinControl& parent, int left, int top, const char* resource) {
  image.SetParent(&parent);
  image.SetPosition(left, top);
  image.SetAutoSize(true);
  image.SetPicture(ui::Bitmap::FromJpegResource(resource));
}

}  // namespace

LRESULT TAboutDisplay::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCHITTEST) {
    POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    ::ScreenToClient(Handle(), &p);
    const ui::Control* c = ControlAt({p.x, p.y});
    const bool link = c && !c->IsWindowed() && c->Enabled() && c->OnClick;
    // Elsewhere the box below answers: it is dragged by its background.
    if (!link) return HTTRANSPARENT;
  }
  return TVrDisplay::WndProc(msg, wp, lp);
}

TAboutForm::TAboutForm() : ui::Form("AboutForm") {
  SetCaption("About Ovexia Tunora");
  SetColor(ui::clBlack);
  SetPosition(ui::FormPosition::CenterOnShow);
  SetDragByBackground(true);
  VrDisplay1.SetParent(this);
  VrDisplay1.SetBounds(0, 0, kWidth, kHeight);
  SizeToContent();

  Picture(ImageTitle, VrDisplay1, kLeft, 18, "ABOUTTITLE");
  Picture(ImageLogo, VrDisplay1, kLeft, 76, "ABOUTLOGO");

  Text(Label9, VrDisplay1, kLeft, 172, kCaptionFont, "Email:");
  Link(Label7, VrDisplay1, 188, kSupportMail, [this](ui::Control& c) { Label7Click(c); });
  Text(Label10, VrDisplay1, kLeft, 212, kCaptionFont, "Official Websites:");
  Link(Label3, VrDisplay1, 228, kWebsite, [this](ui::Control& c) { Label3Click(c); });
  Link(Label5, VrDisplay1, 244, kStudioWebsite, [this](ui::Control& c) { Label5Click(c); });
  Text(Label15, VrDisplay1, kLeft, 268, kCaptionFont, "And this is our stream hosting service:");
  Link(Label14, VrDisplay1, 284, kHostingWebsite, [this](ui::Control& c) { Label14Click(c); });
  Paragraph(LabelNotice, VrDisplay1, kLeft, 310, kLeftWidth, kTextFont,
            "Copyright (C) Ovexia. Ovexia Tunora is provided as it is, without any warranty. "
            "Please respect the rights of the stations you listen to and record.");

  Text(LabelHeading, VrDisplay1, kRight, 18, ui::MakeFont("Arial", 18, true, ui::clBlack), "Ovexia Tunora");
  Paragraph(LabelProduct, VrDisplay1, kRight, 52, kRightWidth, kTextFont,
            "Ovexia Tunora is an internet radio receiver and recorder. Keep your stations as "
            "presets, seven to a station group and up to a hundred groups in every band, and "
            "play any of them with a single click. The displays show the connection, the "
            "buffer, the bit rate and the time; whatever your sound card hears can be recorded "
            "into a WAVE file and played back. Every window wears the skin you design.");
  Paragraph(LabelMaker, VrDisplay1, kRight, 196, kRightWidth, kTextFont,
            "Ovexia makes software for listening to, recording and broadcasting digital audio. "
            "Ovexia Studio edits and masters what you record, and our stream hosting service "
            "carries your own station to listeners around the world. Questions and ideas are "
            "welcome at our support address.");

  VrDemoButtonOK.SetParent(&VrDisplay1);
  VrDemoButtonOK.SetBounds(kLeft, 378, 107, 24);
  looks::AboutLook(VrDemoButtonOK);
  VrDemoButtonOK.SetCaption("OK");
  VrDemoButtonOK.OnClick = [this](ui::Control& c) { VrDemoButtonOKClick(c); };
}

void TAboutForm::Label3Click(ui::Control&) {
  UrlLauncherWebsite.Launch();
}

void TAboutForm::Label5Click(ui::Control&) {
  UrlLauncherStudio.Launch();
}

void TAboutForm::Label7Click(ui::Control&) {
  UrlLauncherMail.Launch();
}

void TAboutForm::Label14Click(ui::Control&) {
  UrlLauncherHosting.Launch();
}

void TAboutForm::VrDemoButtonOKClick(ui::Control&) {
  SetModalResult(ui::mrOk);
}
