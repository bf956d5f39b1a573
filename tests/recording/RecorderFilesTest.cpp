// The recorder's files and options: what is missing, a REC that fails, cue sheets, the
// devices' list, the options dialog, and exporting a recording.
#include "RecorderTesting.h"

namespace {

TEST_F(Recorder, MissingOptionsAreReportedAndTouchNoFile) {
  MessageBoxWatcher boxes;
  OptionsForm->DirectoryEditLogger.SetText("");
  LeftClick(w.VrDemoButtonRec);
  EXPECT_TRUE(TransportReady(m));
  EXPECT_FALSE(w.Recorder.RecordFile());
  EXPECT_FALSE(ProgramFolder().Has("take.wav"));

  // No format selected: the file there keeps its bytes.
  OptionsForm->DirectoryEditLogger.SetText(ProgramFolder() / "take.wav");
  ProgramFolder().Put("take.wav", "keep");
  OptionsForm->FormatBox.SetItemIndex(OptionsForm->FormatBox.Count());
  EXPECT_EQ(OptionsForm->FormatBox.Text(), "");
  LeftClick(w.VrDemoButtonRec);
  EXPECT_TRUE(TransportReady(m));
  EXPECT_EQ(ProgramFolder().Content("take.wav"), "keep");
  Pump(200);  // each REC told at once; a while in which nothing more is told
  const auto seen = boxes.Seen();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].text, "Recording options are missing under 'Options'!");
  EXPECT_EQ(seen[1].text, "Recording options are missing under 'Options'!");
}

// A REC that fails (a folder that does not exist) says why, holds no file and leaves the
// buttons as they were; the next REC records.
TEST_F(Recorder, AFailedRecHoldsNoFileAndTheNextRecRecords) {
  MessageBoxWatcher boxes;
  OptionsForm->DirectoryEditLogger.SetText(ProgramFolder() / "missing\\take.wav");
  LeftClick(w.VrDemoButtonRec);
  Pump(200);  // told at once; a while in which nothing more is told
  const auto seen = boxes.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text.rfind("Cannot create file \"" + (ProgramFolder() / "missing\\take.wav") + "\".", 0), 0u) << seen[0].text;
  EXPECT_TRUE(TransportReady(m));
  EXPECT_FALSE(w.Recorder.RecordFile());
  OptionsForm->DirectoryEditLogger.SetText(ProgramFolder() / "take.wav");
  ASSERT_TRUE(StartRecording());
  LeftClick(w.VrDemoButtonStop);
  EXPECT_GT(ProgramFolder().Content("take.wav").size(), 46u);
}

// A capture that cannot start (a device that refuses its buffer) leaves neither a file
// nor a cue sheet; the REC says why, as one that cannot make its file.
class RefusingSource : public recording::CaptureSource {
 public:
  RefusingSource() { formats_ = recording::ProbeFormats([](const CaptureFormat&) { return true; }); }

 protected:
  void StartCapture(const CaptureFormat&) override {
    throw recording::ESoundCaptureStreamError("Sound Capture Buffer cannot be made.");
  }
  void StopCapture() override {}
};

TEST_F(Recorder, ARecWhoseCaptureCannotStartLeavesNoFile) {
  MessageBoxWatcher boxes;
  TitlesFromTheTest("Artist - Song");
  w.Recorder.SetSourceMaker([] { return std::make_unique<RefusingSource>(); });
  LeftClick(w.VrDemoButtonRec);
  ASSERT_TRUE(WaitFor([&] { return !boxes.Seen().empty(); }, 3000)) << "the REC that failed said nothing";
  Pump(300);  // a while in which nothing more is told
  ASSERT_EQ(boxes.Seen().size(), 1u);
  EXPECT_EQ(boxes.Seen()[0].text, "Sound Capture Buffer cannot be made.");
  EXPECT_TRUE(TransportReady(m));
  for (const char* file : {"take.wav", "take.cue"})
    EXPECT_FALSE(ProgramFolder().Has(file)) << file;
}

// A cue sheet of the recording's name that this program did not write (a CD rip's beside
// its WAVE) is left as it is: ours goes beside it under a free name, which STOP tells; the
// next recording into the file replaces ours, and one without titles removes it.
TEST_F(Recorder, AUsersCueSheetIsLeftAndOursGoesBesideIt) {
  MessageBoxWatcher boxes;
  const std::string users = "FILE \"take.wav\" WAVE\r\n  TRACK 01 AUDIO\r\n    INDEX 01 00:00:00\r\n";
  ProgramFolder().Put("take.cue", users);
  for (const char* title : {"First Song", "Second Song"}) {
    TitlesFromTheTest(title);
    ASSERT_TRUE(StartRecording());
    LeftClick(w.VrDemoButtonStop);
    EXPECT_NE(Told(boxes, "cue sheet").find(ProgramFolder() / "take (2).cue"), std::string::npos) << title;
    const std::string ours = ProgramFolder().Content("take (2).cue");
    EXPECT_NE(ours.find(std::string("TITLE \"") + title), std::string::npos) << ours;
    EXPECT_EQ(ours.find("TRACK 02"), std::string::npos) << ours;
  }
  EXPECT_FALSE(ProgramFolder().Has("take (3).cue"));
  TitlesFromTheTest("");
  Record(0);
  EXPECT_TRUE(WaitFor([&] { return !ProgramFolder().Has("take (2).cue"); },
                        3000))
      << "a recording without titles leaves our stale sheet";
  EXPECT_EQ(ProgramFolder().Content("take.cue"), users);
}

// A station that changes its title at every tick: while it records, the sheet is written
// at most once a second, and never by the tick that heard the title; after STOP it holds
// every title.
TEST_F(Recorder, TitlesAtEveryTickWriteTheSheetAtMostOnceASecond) {
  MessageBoxWatcher boxes;
  TitlesFromTheTest("Title 0");
  ASSERT_TRUE(StartRecording());
  std::set<std::string> versions;
  const DWORD start = GetTickCount();
  for (int i = 1; i < 30; ++i) {
    Pump(100);  // the window's tick: the titles come at its pace
    w.Recorder.TitleHeard("Title " + std::to_string(i));
    versions.insert(ProgramFolder().Content("take.cue"));
  }
  const DWORD seconds = (GetTickCount() - start) / 1000;
  EXPECT_LE(versions.size(), seconds + 2) << "versions of the sheet in " << seconds << " s";
  LeftClick(w.VrDemoButtonStop);
  // At once after STOP as a rule; a busy machine may hold the recording's end up.
  EXPECT_TRUE(WaitFor([&] { return ProgramFolder().Content("take.cue").find("TRACK 30") != std::string::npos; }, 10000))
      << ProgramFolder().Content("take.cue");
  EXPECT_TRUE(boxes.Seen().empty()) << boxes.Seen()[0].text;
}

// An exception while DirectSound lists its devices (memory running out) ends the listing
// and reaches the caller once DirectSound has returned, never through its frames.
TEST_F(Recorder, AFailureWhileTheDevicesAreListedReachesTheCaller) {
  int calls = 0;
  EXPECT_THROW(recording::EnumerateCaptureDevices([&](const GUID*, const std::string&, const std::string&) {
                 ++calls;
                 throw std::bad_alloc();
               }),
               std::bad_alloc);
  EXPECT_EQ(calls, 1) << "the listing ended at the failure";
  int devices = 0;
  recording::EnumerateCaptureDevices([&](const GUID*, const std::string&, const std::string&) { ++devices; });
  EXPECT_GE(devices, 2) << "the primary device and the session's source";
}

// The options dialog's controls where its table puts them.
TEST_F(Recorder, TheOptionsDialogIsLaidOutAsDesigned) {
  TOptionsForm& o = *OptionsForm;
  o.Show();
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(o.Handle()) != FALSE; }));
  struct Place {
    ui::Control* c;
    int left, top, width, height;
  };
  for (const Place& p :
       {Place{&o.VrBlotterOptions, 0, 0, 349, 202}, Place{&o.VrBlotter1, 8, 48, 332, 22},
        Place{&o.FormatBox, 0, 1, 333, 22}, Place{&o.VrBlotter2, 8, 90, 332, 22}, Place{&o.DriverBox, 0, 1, 333, 22},
        Place{&o.VrBlotter3, 8, 132, 333, 27}, Place{&o.DirectoryEditLogger, 5, 4, 326, 21},
        Place{&o.VrDemoButtonExport, 121, 167, 106, 24}, Place{&o.VrDemoButtonExit, 234, 167, 106, 24}}) {
    EXPECT_EQ(p.c->Left(), p.left) << p.c->Name();
    EXPECT_EQ(p.c->Top(), p.top) << p.c->Name();
    EXPECT_EQ(p.c->Width(), p.width) << p.c->Name();
    if (p.c != &o.FormatBox && p.c != &o.DriverBox) {
      EXPECT_EQ(p.c->Height(), p.height) << p.c->Name();
    }
  }
  EXPECT_EQ(o.LabelOptions.GetFont(), ui::MakeFont("Arial", 16, true, ui::clAqua));
  EXPECT_EQ(o.LabelRecFormat.Caption(), "Record Format:");
  EXPECT_EQ(o.LabelTempFile.Caption(), "Temporary Audio File:");
  EXPECT_EQ(o.DirectoryEditLogger.GetColor(), ui::clBlack);
  EXPECT_EQ(o.DirectoryEditLogger.GetFont().color, ui::clAqua);
  EXPECT_EQ(o.VrDemoButtonExport.Caption(), "Export File");
  EXPECT_EQ(o.DirectoryEditLogger.Dialog.title, "Tempor\xE4re Audiodatei ausw\xE4hlen");
  EXPECT_EQ(o.SaveDialogLogger.title, "Export File");
  EXPECT_TRUE(o.SaveDialogLogger.options.overwritePrompt);
  // The browse button sits inside the edit at its right end.
  ASSERT_NE(o.DirectoryEditLogger.BrowseButton(), nullptr);
  RECT edit, button;
  GetWindowRect(o.DirectoryEditLogger.Handle(), &edit);
  GetWindowRect(o.DirectoryEditLogger.BrowseButton(), &button);
  EXPECT_EQ(button.right, edit.right);
  EXPECT_GT(button.left, edit.left + 250);
  o.Hide();
}

// Another device resets the format to the default; a file dropped on the name field
// becomes the recording file.
TEST_F(Recorder, ADeviceChangeResetsTheFormatAndADroppedFileIsTaken) {
  TOptionsForm& o = *OptionsForm;
  o.Show();
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(o.Handle()) != FALSE; }));
  o.FormatBox.SetItemIndex(0);
  SendMessageA(o.DriverBox.Handle(), CB_SETCURSEL, 1, 0);
  SendMessageA(o.VrBlotter2.Handle(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), LPARAM(o.DriverBox.Handle()));
  EXPECT_EQ(o.DriverBox.ItemIndex(), 1);
  EXPECT_EQ(o.FormatBox.Text(), "44100Hz 16bit Stereo");

  const std::string dropped = ProgramFolder() / "dropped.wav";
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + dropped.size() + 2);
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), dropped.c_str(), dropped.size() + 1);
  GlobalUnlock(memory);
  SendMessageA(o.DirectoryEditLogger.Handle(), WM_DROPFILES, WPARAM(memory), 0);
  EXPECT_EQ(o.DirectoryEditLogger.Text(), dropped);
  o.Hide();
}

// Export copies the recording; a copy that fails says so and why.
TEST_F(Recorder, ExportCopiesTheRecordingAndReportsACopyThatFails) {
  const std::string file = Record(100);
  OptionsForm->ExportTo(ProgramFolder() / "copy.wav");
  EXPECT_EQ(ProgramFolder().Content("copy.wav"), file);
  ProgramFolder().Put("copy.wav", "old");
  OptionsForm->ExportTo(ProgramFolder() / "copy.wav");
  EXPECT_EQ(ProgramFolder().Content("copy.wav"), file) << "an existing file is replaced";

  // As the user exports: the button, and a file chosen in its save dialog.
  TOptionsForm& o = *OptionsForm;
  o.Show();
  std::string chosen = ProgramFolder() / "chosen.wav";
  std::thread answer = WhenDialogAppears("Export File", AnswerFileDialog, &chosen);
  LeftClick(o.VrDemoButtonExport);
  answer.join();
  EXPECT_EQ(ReadFileBytes(chosen), file);
  // A dialog cancelled copies nothing.
  answer = WhenDialogAppears(
      "Export File", [](HWND d, void*) { PostMessageA(d, WM_COMMAND, IDCANCEL, 0); }, nullptr);
  DeleteFileA(chosen.c_str());
  LeftClick(o.VrDemoButtonExport);
  answer.join();
  EXPECT_EQ(GetFileAttributesA(chosen.c_str()), INVALID_FILE_ATTRIBUTES);
  o.Hide();

  try {
    OptionsForm->ExportTo(ProgramFolder() / "no such folder\\copy.wav");
    ADD_FAILURE() << "a failed copy must be reported";
  } catch (const std::exception& e) {
    EXPECT_EQ(std::string(e.what()).rfind("The recording \"" + (ProgramFolder() / "take.wav") + "\" could not be copied to \"" +
                                              (ProgramFolder() / "no such folder\\copy.wav") + "\". ",
                                          0),
              0u)
        << e.what();
  }
}

}  // namespace
