// The about box, its links, the logo and the Mixer button of the main window, with the
// program started the way it starts. A small program of the tests stands in for the web
// browser (registered as the web-page handler of this test's private registry) and for
// the volume control (on the search path): it writes down the command line it received.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>

#include "app/MainForm.h"
#include "support/MainWindowView.h"
#include "support/StartedProgram.h"
#include "info/AboutForm.h"
#include "ui/Application.h"
#include "ui/Timer.h"
#include "support/WindowTesting.h"

using namespace testing_support;

extern std::vector<std::string> TestArguments;

namespace {

std::string WindowsPath(std::string p) {
  if (!p.empty() && p[0] == '/') {
    p = "Z:" + p;
    for (char& c : p)
      if (c == '/') c = '\\';
  }
  return p;
}

// The stand-in program, as the test's command line names it.
std::string Recorder() {
  return TestArguments.empty() ? std::string() : WindowsPath(TestArguments[0]);
}

std::string RecordFile() {
  static const TestFolder folder;
  static const std::string file = [] {
    const std::string f = folder / "started.txt";
    SetEnvironmentVariableA("TUNORA_RECORD_FILE", f.c_str());
    return f;
  }();
  return file;
}

// The command line of the next stand-in that started within the time, or nothing. The
// stand-in renames its finished file into place; a file seen but not yet readable is
// read again.
std::optional<std::string> NextStart(DWORD ms = 10000) {
  const std::string file = RecordFile();
  std::string text;
  if (!WaitFor([&] { return !(text = ReadFileBytes(file)).empty(); }, ms)) return std::nullopt;
  DeleteFileA(file.c_str());
  return text;
}

// The web-page handler of the classes root, replaced for the test's lifetime and put
// back as it was afterwards.
class ScopedPageHandler {
 public:
  static constexpr const char* kType = "TunoraTestPage";

  ScopedPageHandler() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, ".htm", 0, KEY_READ, &key) == ERROR_SUCCESS) {
      existed_ = true;
      char value[1024] = "";
      DWORD size = sizeof value - 1;
      if (RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS)
        previous_ = std::string(value);
      RegCloseKey(key);
    }
  }
  ~ScopedPageHandler() {
    RemoveType();
    if (!existed_) {
      RegDeleteKeyA(HKEY_CLASSES_ROOT, ".htm");
    } else if (previous_) {
      SetDefault(".htm", *previous_);
    } else {
      ClearDefault(".htm");
    }
  }

  // Web pages open with this command line (REG_EXPAND_SZ: with variables to expand).
  void Register(const std::string& command, DWORD type = REG_SZ) {
    SetDefault(".htm", kType);
    SetDefault(std::string(kType) + "\\shell\\open\\command", command, type);
  }
  // No web-page file type at all.
  void Unregister() {
    ClearDefault(".htm");
    RemoveType();
  }
  // A web-page file type without an open command.
  void RegisterTypeWithoutCommand() {
    RemoveType();
    SetDefault(".htm", kType);
  }

 private:
  static void SetDefault(const std::string& path, const std::string& value, DWORD type = REG_SZ) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, nullptr, 0, type, reinterpret_cast<const BYTE*>(value.c_str()), DWORD(value.size() + 1));
    RegCloseKey(key);
  }
  static void ClearDefault(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_WRITE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, nullptr);
    RegCloseKey(key);
  }
  static void RemoveType() {
    const std::string base = kType;
    for (const std::string& sub : {base + "\\shell\\open\\command", base + "\\shell\\open", base + "\\shell", base})
      RegDeleteKeyA(HKEY_CLASSES_ROOT, sub.c_str());
  }

  bool existed_ = false;
  std::optional<std::string> previous_;
};

// A folder put in front of the search path.
class ScopedSearchPath {
 public:
  explicit ScopedSearchPath(const std::string& folder) {
    char old[32768] = "";
    GetEnvironmentVariableA("PATH", old, sizeof old);
    old_ = old;
    SetEnvironmentVariableA("PATH", (folder + ";" + old_).c_str());
  }
  ~ScopedSearchPath() { SetEnvironmentVariableA("PATH", old_.c_str()); }

 private:
  std::string old_;
};

// A click in the middle of a windowless control, through the window that the mouse
// would reach there.
void ClickOn(ui::Control& c) {
  const ui::Point o = c.OriginInWindow();
  SendClick(c.HostWindow()->Handle(), o.x + c.Width() / 2, o.y + c.Height() / 2);
}

class Links : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(Recorder().empty()) << "run with the stand-in program's path as the first argument";
    m_ = &StartedProgram();
    w_ = &View(*m_);
    connection_ = std::make_shared<TestConnection>();
    m_->Connection().SetSystem(connection_);
    ASSERT_TRUE(WaitFor([&] { return m_->Monitor().internetConnected; }));
    DeleteFileA(RecordFile().c_str());
  }
  void TearDown() override {
    const std::optional<std::string> stray = NextStart(300);
    EXPECT_EQ(stray, std::nullopt) << "a start that no click asked for: one start per click";
    m_->Connection().SetSystem(nullptr);
    if (AboutForm->Showing()) AboutForm->SetModalResult(ui::mrCancel);
    Pump(50);
  }

  // Shows the about box through the main window's "About" and runs act inside it; OK
  // closes it at the end.
  void InAboutBox(std::function<void()> act) {
    bool ran = false;
    int result = -1;
    WhenShown(
        *AboutForm,
        [&] {
          act();
          LeftClick(AboutForm->VrDemoButtonOK);
          result = AboutForm->ModalResult();
        },
        &ran);
    LeftClick(w_->VrDemoButtonBurn);
    ASSERT_TRUE(ran) << "\"About\" shows the box";
    EXPECT_EQ(result, ui::mrOk);
    EXPECT_FALSE(IsWindowVisible(AboutForm->Handle())) << "OK closes the box";
  }

  TMainForm* m_ = nullptr;

  MainWindowView* w_ = nullptr;
  std::shared_ptr<TestConnection> connection_;
};

// Each of the handler's command-line shapes, and what the browser must receive for it.
struct Shape {
  const char* what;
  std::string command;
  std::string before;  // what precedes the address in the command line received
  DWORD type = REG_SZ;
};

TEST_F(Links, EveryLinkAndTheLogoStartTheBrowserWithExactlyTheirAddress) {
  const std::string exe = Recorder();
  // A browser in a folder with a blank in its name, and a program where the system would
  // look first for that unquoted path: ...\tunora.exe for ...\tunora links\browser.exe.
  const TestFolder browsers;
  const std::string& folder = browsers.Path();
  const std::string spaced = folder + "\\tunora links\\browser.exe", decoy = folder + "\\tunora.exe";
  CreateDirectoryA((folder + "\\tunora links").c_str(), nullptr);
  ASSERT_TRUE(CopyFileA(exe.c_str(), spaced.c_str(), FALSE));
  std::ofstream(decoy) << "not a program";
  const std::string exeName = exe.substr(exe.find_last_of('\\') + 1);
  SetEnvironmentVariableA("TUNORA_TEST_BROWSER", exe.c_str());
  const Shape shapes[] = {
      {"quoted placeholder after a switch", "\"" + exe + "\" -nohome \"%1\"", "\"" + exe + "\" -nohome  "},
      {"no placeholder", "\"" + exe + "\"", "\"" + exe + "\" "},
      {"bare placeholder", exe + " %1", exe + "  "},
      {"placeholder followed by more", "\"" + exe + "\" \"%1\" -dde -x", "\"" + exe + "\"  "},
      {"unquoted path with a blank", spaced + " %1", spaced + "  "},
      {"name on the search path", exeName + " %1", exeName + "  "},
      {"variables to expand", "\"%TUNORA_TEST_BROWSER%\" \"%1\"", "\"" + exe + "\"  ", REG_EXPAND_SZ},
  };
  const ScopedSearchPath path(exe.substr(0, exe.find_last_of('\\')));
  ScopedPageHandler handler;
  MessageBoxWatcher boxes;
  TAboutForm& about = *AboutForm;
  // The addresses as the user reads them on the box.
  const std::pair<ui::Label*, const char*> links[] = {
      {&about.Label3, "https://www.ovexia.example/"},
      {&about.Label5, "https://studio.ovexia.example/"},
      {&about.Label7, "mailto:support@ovexia.example"},
      {&about.Label14, "https://streams.ovexia.example/"},
  };
  for (const Shape& shape : shapes) {
    SCOPED_TRACE(shape.what);
    handler.Register(shape.command, shape.type);
    InAboutBox([&] {
      for (const auto& [label, address] : links) {
        EXPECT_EQ(label->Caption(), address) << "a link shows the address it opens";
        ClickOn(*label);
        EXPECT_EQ(NextStart(), shape.before + address);
      }
    });
    ClickOn(w_->OvexImage);
    EXPECT_EQ(NextStart(), shape.before + "https://www.ovexia.example/tunora");
  }
  EXPECT_TRUE(boxes.Seen().empty()) << boxes.Seen().front().text;
  DeleteFileA(spaced.c_str());
  DeleteFileA(decoy.c_str());
}

TEST_F(Links, WithoutARegisteredBrowserNothingHappens) {
  ScopedPageHandler handler;
  MessageBoxWatcher boxes;
  handler.Unregister();
  InAboutBox([&] { ClickOn(AboutForm->Label3); });
  ClickOn(w_->OvexImage);
  handler.RegisterTypeWithoutCommand();
  InAboutBox([&] { ClickOn(AboutForm->Label7); });
  ClickOn(w_->OvexImage);
  EXPECT_EQ(NextStart(1000), std::nullopt);
  EXPECT_TRUE(boxes.Seen().empty()) << boxes.Seen()[0].text;
}

// A browser that is missing, and one named without a folder that lies only in the
// current folder (where anyone may put a file of that name): neither starts.
TEST_F(Links, ABrowserThatCannotStartIsReportedAndTheBoxStays) {
  char current[MAX_PATH] = "";
  GetCurrentDirectoryA(MAX_PATH, current);
  const std::string planted = std::string(current) + "\\planted-browser.exe";
  ASSERT_TRUE(CopyFileA(Recorder().c_str(), planted.c_str(), FALSE));
  ScopedPageHandler handler;
  for (const char* command : {"\"C:\\no such folder\\browser.exe\" \"%1\"", "planted-browser.exe \"%1\""}) {
    SCOPED_TRACE(command);
    handler.Register(command);
    MessageBoxWatcher boxes;
    bool stayed = false;
    InAboutBox([&] {
      ClickOn(AboutForm->Label14);
      stayed = IsWindowVisible(AboutForm->Handle()) && AboutForm->ModalResult() == ui::mrNone;
    });
    EXPECT_TRUE(stayed);
    ClickOn(w_->OvexImage);
    EXPECT_TRUE(IsWindowVisible(m_->Handle()));
    EXPECT_EQ(NextStart(500), std::nullopt);
    const std::vector<SeenBox> seen = boxes.Seen();
    ASSERT_EQ(seen.size(), 2u);
    for (const SeenBox& box : seen) EXPECT_EQ(box.text, "Couldn't launch default browser");
  }
  DeleteFileA(planted.c_str());
}

// Off line, the logo first asks the system to connect, then opens the page whatever
// came of it; on line it opens the page at once.
TEST_F(Links, OfflineTheLogoAsksToConnectAndOpensThePageAllTheSame) {
  ScopedPageHandler handler;
  handler.Register("\"" + Recorder() + "\" \"%1\"");
  connection_->connected = false;
  ASSERT_TRUE(WaitFor([&] { return !m_->Monitor().internetConnected; }, 3000));
  ClickOn(w_->OvexImage);
  EXPECT_EQ(connection_->attempts, 1);
  EXPECT_EQ(NextStart(), "\"" + Recorder() + "\"  https://www.ovexia.example/tunora");

  connection_->connected = true;
  ASSERT_TRUE(WaitFor([&] { return m_->Monitor().internetConnected; }, 3000));
  ClickOn(w_->OvexImage);
  EXPECT_EQ(connection_->attempts, 1) << "no dial request while connected";
  EXPECT_NE(NextStart(), std::nullopt);
}

// The volume controls start from the system folder by full path only: programs of their
// names on the search path or in the current folder are never started.
TEST_F(Links, MixerStartsTheVolumeControlOfTheSystemFolderTheOldOneFirst) {
  const TestFolder plantedFolder;
  const std::string& planted = plantedFolder.Path();
  const ScopedSearchPath path(planted);
  char current[MAX_PATH] = "";
  GetCurrentDirectoryA(MAX_PATH, current);
  for (const std::string& folder : {planted, std::string(current)})
    for (const char* name : info::kMixerPrograms)
      ASSERT_TRUE(CopyFileA(Recorder().c_str(), (folder + "\\" + name).c_str(), FALSE));
  {
    MessageBoxWatcher boxes;
    LeftClick(w_->VrDemoButtonMixer);
    EXPECT_EQ(NextStart(1000), std::nullopt) << "a volume control from outside the system folder";
    const std::vector<SeenBox> seen = boxes.Seen();
    ASSERT_EQ(seen.size(), 1u) << "this system has no volume control: the user is told once";
    EXPECT_EQ(seen[0].text,
              "No volume control was found on this computer (neither sndvol32.exe nor sndvol.exe could "
              "be started).");
  }
  // The system folder is shared by every test's machine: a folder of this test's own
  // stands in for it.
  EXPECT_EQ(w_->Mixer.Folder, info::SystemFolder());
  const TestFolder systemFolder;
  const std::string system = systemFolder.Path(), saved = w_->Mixer.Folder;
  w_->Mixer.Folder = system;
  const std::string newer = system + "\\sndvol.exe", older = system + "\\sndvol32.exe";
  ASSERT_TRUE(CopyFileA(Recorder().c_str(), newer.c_str(), FALSE));
  MessageBoxWatcher boxes;
  LeftClick(w_->VrDemoButtonMixer);
  std::optional<std::string> started = NextStart();
  ASSERT_NE(started, std::nullopt) << "the newer volume control starts where the old one is missing";
  EXPECT_NE(started->find(newer), std::string::npos) << *started;

  ASSERT_TRUE(CopyFileA(Recorder().c_str(), older.c_str(), FALSE));
  LeftClick(w_->VrDemoButtonMixer);
  started = NextStart();
  ASSERT_NE(started, std::nullopt);
  EXPECT_NE(started->find(older), std::string::npos) << "the old one comes first: " << *started;
  EXPECT_TRUE(boxes.Seen().empty());
  w_->Mixer.Folder = saved;
  for (const std::string& folder : {planted, std::string(current), system})
    for (const char* name : info::kMixerPrograms) DeleteFileA((folder + "\\" + name).c_str());
}

// The box on the screen: its size and place, the two pictures as another decoder reads
// them, the links in underlined navy, the texts in black, all on the display's face.
TEST_F(Links, TheAboutBoxShowsItsPicturesLinksAndTextsOnTheDisplay) {
  TAboutForm& about = *AboutForm;
  ui::Bitmap shot;
  RECT window{};
  InAboutBox([&] {
    GetWindowRect(about.Handle(), &window);
    shot = CaptureClient(about.Handle());
  });
  EXPECT_EQ(window.right - window.left, 560);
  EXPECT_EQ(window.bottom - window.top, 417);
  EXPECT_NEAR((window.left + window.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1) << "centred";
  EXPECT_NEAR((window.top + window.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1) << "centred";
  ASSERT_EQ(shot.Width(), 560);

  const std::pair<ui::Image*, const char*> pictures[] = {{&about.ImageTitle, "about-title-reference.ppm"},
                                                         {&about.ImageLogo, "about-logo-reference.ppm"}};
  for (const auto& [image, name] : pictures) {
    SCOPED_TRACE(name);
    const ReferencePicture reference = ReadReferencePicture(name);
    ASSERT_GT(reference.width, 0);
    EXPECT_EQ(image->Width(), reference.width);
    EXPECT_EQ(image->Height(), reference.height);
    const ui::Point at = image->OriginInWindow();
    EXPECT_LT(at.x, 30) << "at the left";
    EXPECT_LT(at.y + image->Height(), 417 / 2) << "in the top half";
    int differences = 0, distinct = 0;
    for (int y = 0; y < reference.height; y += 3)
      for (int x = 0; x < reference.width; x += 3) {
        const ui::Color seen = shot.PixelAt(at.x + x, at.y + y);
        differences += !NearColor(seen, reference.At(x, y), 6);
        distinct += seen != shot.PixelAt(at.x, at.y);
      }
    EXPECT_EQ(differences, 0);
    EXPECT_GT(distinct, 100) << "a picture, not a plain fill";
  }

  // A link's text is navy, and one of its rows is navy almost all along: the underline.
  for (ui::Label* link : {&about.Label3, &about.Label5, &about.Label7, &about.Label14}) {
    SCOPED_TRACE(link->Caption());
    const ui::Point at = link->OriginInWindow();
    int longestRow = 0, black = 0;
    for (int y = 0; y < link->Height(); ++y) {
      int navy = 0;
      for (int x = 0; x < link->Width(); ++x) {
        const ui::Color c = shot.PixelAt(at.x + x, at.y + y);
        navy += NearColor(c, ui::clNavy, 24);
        black += NearColor(c, ui::clBlack, 24);
      }
      longestRow = std::max(longestRow, navy);
    }
    EXPECT_GT(longestRow, link->Width() * 9 / 10);
    EXPECT_EQ(black, 0);
  }
  for (ui::Label* text : {&about.LabelHeading, &about.LabelProduct, &about.LabelMaker, &about.LabelNotice,
                          &about.Label9, &about.Label10, &about.Label15}) {
    SCOPED_TRACE(text->Caption());
    const ui::Point at = text->OriginInWindow();
    int black = 0, navy = 0;
    for (int y = 0; y < text->Height(); ++y)
      for (int x = 0; x < text->Width(); ++x) {
        black += NearColor(shot.PixelAt(at.x + x, at.y + y), ui::clBlack, 24);
        navy += NearColor(shot.PixelAt(at.x + x, at.y + y), ui::clNavy, 24);
      }
    EXPECT_GT(black, 20);
    EXPECT_EQ(navy, 0);
    EXPECT_LE(at.y + text->Height(), 417 - 12) << "inside the display's frame";
  }
  EXPECT_EQ(shot.PixelAt(450, 380), ui::Color(0x7C9885)) << "the display's face";
  // Nothing on the display covers anything else, whatever length the texts took.
  const auto& parts = about.VrDisplay1.Controls();
  for (std::size_t i = 0; i < parts.size(); ++i)
    for (std::size_t j = i + 1; j < parts.size(); ++j)
      EXPECT_TRUE(parts[i]->BoundsRect().Intersect(parts[j]->BoundsRect()).Empty())
          << parts[i]->Name() << " and " << parts[j]->Name() << " overlap";
  const ui::Rect ok = about.VrDemoButtonOK.BoundsRect();
  EXPECT_LT(ok.left, 40);
  EXPECT_GT(ok.top, 417 - 60) << "OK at the bottom left";
}

// A press on the background drags the box; over a link the pointer is a hand and a
// press opens the link and drags nothing.
TEST_F(Links, TheAboutBoxIsDraggedByItsBackgroundAndItsLinksTakeThePointer) {
  ScopedPageHandler handler;
  handler.Register("\"" + Recorder() + "\" \"%1\"");
  TAboutForm& about = *AboutForm;
  RECT before{}, dragged{}, clicked{};
  HCURSOR overLink = nullptr;
  InAboutBox([&] {
    GetWindowRect(about.Handle(), &before);
    RealDrag({before.left + 450, before.top + 380}, {before.left + 400, before.top + 340});
    GetWindowRect(about.Handle(), &dragged);
    const ui::Point link = about.Label3.ClientToScreen({about.Label3.Width() / 2, about.Label3.Height() / 2});
    SetCursorPos(link.x, link.y);
    WaitFor([&] { return GetCursor() == LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)); }, 1000);
    overLink = GetCursor();
    RealDrag({link.x, link.y}, {link.x, link.y});
    GetWindowRect(about.Handle(), &clicked);
  });
  EXPECT_EQ(dragged.left - before.left, -50);
  EXPECT_EQ(dragged.top - before.top, -40);
  EXPECT_EQ(overLink, LoadCursorA(nullptr, MAKEINTRESOURCEA(32649))) << "the hand cursor";
  EXPECT_EQ(clicked.left, dragged.left);
  EXPECT_EQ(clicked.top, dragged.top);
  EXPECT_EQ(NextStart(), "\"" + Recorder() + "\"  https://www.ovexia.example/");
}

}  // namespace
