// The about box: the maker's title and logo, the links to the maker's pages and support
// address, a few words about the program and the maker, and OK.
#pragma once

#include "info/UrlLauncher.h"
#include "ui/Form.h"
#include "ui/StdControls.h"
#include "widgets/VrButtons.h"
#include "widgets/VrDisplay.h"

// The box's display panel. A press anywhere on it drags the box, except on a link,
// which takes the mouse itself.
class TAboutDisplay : public widgets::TVrDisplay {
 public:
  using TVrDisplay::TVrDisplay;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
};

class TAboutForm : public ui::Form {
 public:
  // The addresses the links open, each shown as it is.
  static constexpr const char* kWebsite = "https://www.ovexia.example/";
  static constexpr const char* kStudioWebsite = "https://studio.ovexia.example/";
  static constexpr const char* kSupportMail = "mailto:support@ovexia.example";
  static constexpr const char* kHostingWebsite = "https://streams.ovexia.example/";

  TAboutForm();

  void Label3Click(ui::Control& sender);
  void Label5Click(ui::Control& sender);
  void Label7Click(ui::Control& sender);
  void Label14Click(ui::Control& sender);
  void VrDemoButtonOKClick(ui::Control& sender);

  TAboutDisplay VrDisplay1{"VrDisplay1"};
  ui::Image ImageTitle{"ImageTitle"};
  ui::Image ImageLogo{"ImageLogo"};
  ui::Label Label9{"Label9"}, Label7{"Label7"};
  ui::Label Label10{"Label10"}, Label3{"Label3"}, Label5{"Label5"};
  ui::Label Label15{"Label15"}, Label14{"Label14"};
  ui::Label LabelNotice{"LabelNotice"};
  ui::Label LabelHeading{"LabelHeading"};
  ui::Label LabelProduct{"LabelProduct"};
  ui::Label LabelMaker{"LabelMaker"};
  widgets::TVrDemoButton VrDemoButtonOK{"VrDemoButtonOK"};

  info::TUrlLauncher UrlLauncherWebsite{kWebsite};
  info::TUrlLauncher UrlLauncherStudio{kStudioWebsite};
  info::TUrlLauncher UrlLauncherMail{kSupportMail};
  info::TUrlLauncher UrlLauncherHosting{kHostingWebsite};
};

extern TAboutForm* AboutForm;
