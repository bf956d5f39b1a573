// Songs kept from the station that plays, through the real main window and its tray menu,
// on a station of the test's own whose titles it changes. With TUNORA_SONGS_DIR the
// songs folder is kept there for tests/songs/check-songs.sh to read back with ffprobe.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "support/MainWindowView.h"
#include "support/StartedProgram.h"
#include "base/TextFile.h"
#include "support/StationTesting.h"
#include "base/Encoding.h"
#include "support/WindowTesting.h"

using namespace testing_support;

namespace {

// A busy machine's player may run many seconds behind the station: a title reaches it
// that much later, and so does the stream's time after it.
constexpr DWORD kTitleArrivesMs = 45000;
constexpr DWORD kStreamCatchesUpMs = 20000;

std::string InSongs(const std::string& name) { return ProgramFolder() / ("Songs\\Tone Station\\" + name); }
bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class Songs : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* record = std::getenv("TUNORA_RECORD_SONGS");
    base::WriteTextFile(ProgramFolder() / "songs.ini", std::string("Record=") + (record ? record : "0") + "\r\n");
    m_ = &StartedProgram(std::make_shared<TestConnection>());
    w_ = &View(*m_);
  }
  void TearDown() override {
    LeftClick(w_->VrDemoButtonUnplug);
    if (const char* keep = std::getenv("TUNORA_SONGS_DIR"); keep && *keep) {
      // Both lists end with a second NUL.
      const std::string to = std::string(keep) + "\\Songs" + std::string(1, '\0');
      const std::string from = ProgramFolder() / "Songs\\*" + std::string(1, '\0');
      SHFILEOPSTRUCTA op{};
      op.wFunc = FO_COPY;
      op.pFrom = from.c_str();
      op.pTo = to.c_str();
      op.fFlags = FOF_NO_UI;
      CreateDirectoryA(to.c_str(), nullptr);
      EXPECT_EQ(SHFileOperationA(&op), 0);
    }
  }
  void Play(const char* station) {
    w_->VrDemoButtonStation[0].SetCaption("Tone Station");
    w_->EditStationURL[0].SetText(StationAddress(station));
    LeftClick(w_->VrDemoButtonStation[0]);
    ASSERT_TRUE(WaitFor([&] { return Playing(w_->WindowsMediaPlayer); }, 10000)) << station;
  }
  // Plays the station with `title` announced, once the title reached the player and the
  // player has read past the station's burst: a title changed while it still reads the
  // burst is sent inside it, and the song before would then have no second before its
  // start in the stream.
  void PlayTitled(const std::string& title) {
    ASSERT_TRUE(SetStationTitle(title));
    Play("TUNORA_STATION_MP3");
    ASSERT_TRUE(NextTitle(title));
    ASSERT_TRUE(WaitFor([&] { return w_->WindowsMediaPlayer.controls().currentPosition() >= 2.5; },
                          kStreamCatchesUpMs));
  }
  // Lets the station play `seconds` more of its stream: stream time, which a busy
  // machine stretches.
  void PlayOn(double seconds) {
    auto position = [&] { return w_->WindowsMediaPlayer.controls().currentPosition(); };
    const double until = position() + seconds;
    ASSERT_TRUE(WaitFor([&] { return position() >= until; }, DWORD(seconds * 1000) + kStreamCatchesUpMs))
        << "the station stopped playing";
  }
  // With `charset`, Icecast is told the title's charset and sends what its mount's
  // charset (ISO-8859-1) lacks as numeric character references.
  bool NextTitle(const std::string& title, const char* charset = nullptr) {
    return SetStationTitle(title, charset) &&
           WaitFor([&] { return w_->WindowsMediaPlayer.currentMedia().titleUtf8() == title; }, kTitleArrivesMs);
  }
  void Choose(const std::string& item) {
    std::atomic<bool> chosen{false};
    std::thread chooser = ChooseFromMenu({item}, &chosen);
    SendMessageA(w_->TitleTray.Tray().Handle(), nowplaying::TrayIcon::kCallbackMessage, 1, WM_RBUTTONUP);
    chooser.join();
    ASSERT_TRUE(chosen) << item;
  }
  TMainForm* m_ = nullptr;
  MainWindowView* w_ = nullptr;
};

// Record Songs on: the song under way at the start goes to "incomplete", the next one is
// kept whole, the one cut off by Disconnect is too short to keep; nothing half-written
// remains.
TEST_F(Songs, RecordSongsKeepsEverySongOfTheStation) {
  REQUIRE_STATION("TUNORA_STATION_MP3");
  ASSERT_TRUE(w_->Songs.Recording());
  PlayTitled("Opening Act - Under Way");
  PlayOn(31);
  ASSERT_TRUE(NextTitle("Artist One - First Song"));
  // 30 s of its own are kept: a title may reach the player a second late or early.
  PlayOn(34);
  ASSERT_TRUE(NextTitle("Second Song"));
  PlayOn(5);
  LeftClick(w_->VrDemoButtonUnplug);
  EXPECT_TRUE(WaitFor([&] { return w_->Songs.Written().size() >= 2; }, kStreamCatchesUpMs));
  Pump(1000);  // time for a third file, which must not come
  EXPECT_TRUE(Exists(InSongs("incomplete\\Opening Act - Under Way.mp3")));
  EXPECT_TRUE(Exists(InSongs("Artist One - First Song.mp3")));
  EXPECT_EQ(w_->Songs.Written().size(), 2u) << "the 5 s of the song cut off are not kept";
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA(InSongs("*.*").c_str(), &found);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  do EXPECT_EQ(std::string(found.cFileName).find(".part"), std::string::npos) << found.cFileName;
  while (FindNextFileA(find, &found));
  FindClose(find);
}

// Record Songs on, a title in Cyrillic, which Icecast sends as numeric character
// references: the song is kept under its own letters (check-songs.sh reads them in its
// tags too), while the receiver's ANSI windows show '?' for them.
TEST_F(Songs, ACyrillicTitleNamesTheSongKept) {
  REQUIRE_STATION("TUNORA_STATION_MP3");
  ASSERT_TRUE(w_->Songs.Recording());
  const std::string title = "\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE - \xD0\x97\xD0\xB2\xD0\xB5\xD0\xB7\xD0\xB4\xD0\xB0";
  PlayTitled("Opening");
  ASSERT_TRUE(NextTitle(title, "UTF-8"));
  EXPECT_EQ(w_->WindowsMediaPlayer.currentMedia().getItemInfo("Title"), GetACP() == CP_UTF8 ? title : "???? - ??????");
  PlayOn(33);
  ASSERT_TRUE(NextTitle("Closing"));
  PlayOn(3);
  LeftClick(w_->VrDemoButtonUnplug);
  EXPECT_TRUE(WaitFor([&] { return !w_->Songs.Written().empty(); }, kStreamCatchesUpMs));
  EXPECT_EQ(w_->Songs.Written(), std::vector<std::string>{base::Utf8FromAnsi(InSongs("")) + title + ".mp3"});
}

// Record Songs off: Save This Song 20 s into a song keeps it from its start once it ends;
// Save Previous Song and Save Last 10 Minutes write what the past holds at once.
TEST_F(Songs, TheSongThatPlaysIsSavedFromItsStart) {
  REQUIRE_STATION("TUNORA_STATION_MP3");
  ASSERT_FALSE(w_->Songs.Recording());
  PlayTitled("Warm Up");
  PlayOn(4);
  ASSERT_TRUE(NextTitle("Artist Three - Third Song"));
  // The song's length as the station played it (a busy machine may delay the sound but
  // not shorten it): the player's position between the two titles.
  const double began = w_->WindowsMediaPlayer.controls().currentPosition();
  PlayOn(20);
  Choose("Save This &Song");
  PlayOn(11);
  ASSERT_TRUE(NextTitle("After It"));
  const double length = w_->WindowsMediaPlayer.controls().currentPosition() - began;
  ASSERT_TRUE(WaitFor([&] { return Exists(InSongs("Artist Three - Third Song.mp3")); }, kStreamCatchesUpMs));
  Choose("Save &Previous Song");
  ASSERT_TRUE(WaitFor([&] { return w_->Songs.Written().size() == 2; }, kStreamCatchesUpMs));
  EXPECT_EQ(w_->Songs.Written().back(), InSongs("Artist Three - Third Song (2).mp3"));
  // How soon it is written is the benchmark's business (bench/songs.sh).
  Choose("Save &Last 10 Minutes");
  ASSERT_TRUE(WaitFor([&] { return w_->Songs.Written().size() == 3; }, kStreamCatchesUpMs));
  EXPECT_EQ(w_->Songs.Written().back().rfind(InSongs("Tone Station 20"), 0), 0u) << w_->Songs.Written().back();
  EXPECT_TRUE(Playing(w_->WindowsMediaPlayer));
  // With a second of overlap at both ends.
  base::WriteTextFile(ProgramFolder() / "Songs\\expected-length.txt", std::to_string(length + 2));
}

// The frames of the other codecs go into files of their own types.
TEST_F(Songs, EveryCodecIsKeptInAFileOfItsType) {
  for (const auto& [station, extension] : {std::pair{"TUNORA_STATION_AAC", ".aac"}, {"TUNORA_STATION_OGG", ".ogg"},
                                           {"TUNORA_STATION_OPUS", ".opus"}}) {
    REQUIRE_STATION(station);
    Play(station);
    PlayOn(4);
    const std::size_t before = w_->Songs.Written().size();
    Choose("Save &Last 10 Minutes");
    ASSERT_TRUE(WaitFor([&] { return w_->Songs.Written().size() > before; }, kStreamCatchesUpMs)) << station;
    EXPECT_TRUE(w_->Songs.Written().back().ends_with(extension)) << w_->Songs.Written().back();
    Pump(1100);  // a new second for the next file's name
  }
}

// A songs folder on a full disk, and one on a disk mounted read-only: each told once,
// playing goes on, nothing under a song's name.
TEST_F(Songs, AFullDiskOrAReadOnlyFolderIsReportedOnceAndPlayingGoesOn) {
  const char* full = std::getenv("TUNORA_FULL_DIR");
  const char* readOnly = std::getenv("TUNORA_READONLY_DIR");
  if (!full || !readOnly) GTEST_SKIP() << "no small file system to fill";
  REQUIRE_STATION("TUNORA_STATION_MP3");
  HANDLE filler = CreateFileA((std::string(full) + "\\filler").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                              nullptr);
  const std::string block(64 * 1024, 'x');
  DWORD wrote = 1;
  while (wrote > 0 && ::WriteFile(filler, block.data(), DWORD(block.size()), &wrote, nullptr)) {
  }
  CloseHandle(filler);
  Play("TUNORA_STATION_MP3");
  PlayOn(3);
  for (const char* folder : {full, readOnly}) {
    SCOPED_TRACE(folder);
    w_->Songs.SetFolder(folder);
    const int before = w_->TitleTray.Tray().Warnings();
    Choose("Save &Last 10 Minutes");
    ASSERT_TRUE(WaitFor([&] { return w_->TitleTray.Tray().Warnings() > before; }, kStreamCatchesUpMs));
    const std::string warning = w_->TitleTray.Tray().LastWarning();
    EXPECT_NE(warning.find("cannot be kept"), std::string::npos) << warning;
    std::printf("%s\n", warning.c_str());
    Choose("Save &Last 10 Minutes");
    Pump(2000);  // time for a second warning, which must not come
    EXPECT_EQ(w_->TitleTray.Tray().Warnings(), before + 1);
    EXPECT_TRUE(w_->Songs.Written().empty());
    for (const auto& file : std::filesystem::recursive_directory_iterator(folder))
      EXPECT_TRUE(!file.is_regular_file() || file.path().filename() == "filler") << file.path().string();
    EXPECT_TRUE(Playing(w_->WindowsMediaPlayer));
  }
  w_->Songs.SetFolder("");
}

}  // namespace
