// The program as users download it: the exe unpacked from the release zip into a folder
// of its own (tests/release/check-zip.sh made it), far from the build tree. Its
// properties and manifest are read back from the file, and it is started there, plays
// the local test station and saves its settings beside itself.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "support/ProcessDriver.h"
#include "support/UserFiles.h"
#include "base/LineRules.h"
#include "support/SoundCapture.h"
#include "support/WindowTesting.h"
#include "version.h"

using namespace testing_support;

namespace {

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of("\\/")); }

std::string VersionString(const std::vector<char>& info, const char* name) {
  char* value = nullptr;
  UINT size = 0;
  const std::string key = std::string("\\StringFileInfo\\040904B0\\") + name;
  if (!VerQueryValueA(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &size) || !value) return "";
  return value;
}

}  // namespace

TEST(Release, TheExeCarriesItsVersionAndManifest) {
  const std::string exe = ProgramPath();
  DWORD ignored = 0;
  std::vector<char> info(GetFileVersionInfoSizeA(exe.c_str(), &ignored));
  ASSERT_FALSE(info.empty()) << exe << " has no version resource";
  ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, DWORD(info.size()), info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &size));
  const DWORD numbers[] = {TUNORA_VERSION_NUMBERS};
  EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(numbers[1], numbers[0]));
  EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(numbers[3], numbers[2]));
  EXPECT_EQ(VersionString(info, "ProductName"), "Ovexia Tunora");
  // The version of the build's last configuration (the test program itself may be older).
  std::ifstream versionFile(BuildResourcePath("../version.txt"));
  std::string version;
  std::getline(versionFile, version);
  EXPECT_EQ(VersionString(info, "FileVersion"), version);
  EXPECT_EQ(VersionString(info, "ProductVersion"), version);
  EXPECT_NE(VersionString(info, "LegalCopyright").find("Copyright"), std::string::npos);

  HMODULE image = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(image, nullptr);
  HRSRC found = FindResourceA(image, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
  ASSERT_NE(found, nullptr) << "no manifest";
  const char* text = static_cast<const char*>(LockResource(LoadResource(image, found)));
  const std::string manifest(text, SizeofResource(image, found));
  FreeLibrary(image);
  for (const char* part : {"level=\"asInvoker\"", "{e2011457-1546-43c5-a5fe-008deee3d3f0}",
                           "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", ">false</dpiAware>"})
    EXPECT_NE(manifest.find(part), std::string::npos) << part;
}

// A user's first start: the folder holds what the zip gave, and one station group.
TEST(Release, TheUnpackedProgramPlaysAndSavesBesideItself) {
  const char* url = std::getenv("TUNORA_STATION_MP3");
  ASSERT_NE(url, nullptr) << "run with the local test station (tests/playback/with-station.sh)";
  const std::string dir = FolderOf(ProgramPath());
  ASSERT_EQ(GetFileAttributesA((dir + "\\Defaults.ini").c_str()), INVALID_FILE_ATTRIBUTES) << "not a fresh folder";
  WriteFileBytes(dir + "\\Ovexia Radio Network1.dat", GroupFile("Tone", url));
  // A download folder may hold a library named as the system's sound capture. Windows
  // takes a library beside a program before the system's; Wine is told to do the same.
  const std::string planted = dir + "\\DSound.dll", marker = dir + "\\planted-library-loaded";
  ASSERT_TRUE(CopyFileA(BuildResourcePath("../tests/planted_library.dll").c_str(), planted.c_str(), FALSE));
  DeleteFileA(marker.c_str());
  char overrides[1024] = "";
  GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof overrides);
  SetEnvironmentVariableA("WINEDLLOVERRIDES", (std::string(overrides) + ";dsound=n,b").c_str());

  ProcessDriver program(ProgramPath(), dir);
  SetEnvironmentVariableA("WINEDLLOVERRIDES", overrides);
  HWND main = program.WaitWindow("TunoraWindow", "Ovexia Tunora", 30000);
  ASSERT_NE(main, nullptr) << "no main window";
  SoundCapture heard(15000);
  ASSERT_TRUE(heard.WaitUntilRecording(5000)) << "the null sink delivers nothing";
  const DWORD click = GetTickCount();
  ClickWindow(FindDescendant(main, "Tone"));
  EXPECT_TRUE(heard.WaitHeard(click, 10000)) << "the station was never heard";
  ClickWindow(FindDescendant(main, "Exit"));
  ASSERT_EQ(program.WaitExit(20000), 0);
  heard.Finish(false);
  EXPECT_NE(heard.SoundFrom(click), 0u) << "the station was never heard";
  const auto saved = base::SplitLines(ReadFileBytes(dir + "\\Defaults.ini"));
  ASSERT_EQ(saved.size(), 28u) << "no settings saved in " << dir;
  EXPECT_EQ(saved[3], "Tone") << "the press was remembered";
  EXPECT_EQ(GetFileAttributesA(marker.c_str()), INVALID_FILE_ATTRIBUTES) << "the DSound.dll beside the program was loaded";
  DeleteFileA(planted.c_str());
}
