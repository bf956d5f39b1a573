// Whole text files under Wine: byte-exact round trips, and saves that fail without
// harming the old file or leaving a temporary one behind.
#include "base/TextFile.h"

#include <gtest/gtest.h>

#include "support/TestFolder.h"

using namespace base;
using testing_support::TestFolder;
using Names = std::vector<std::string>;

TEST(StationsTextFile, WrittenTextReadsBackByteForByte) {
  TestFolder folder;
  const std::string path = folder / "Others - New3.dat";
  std::string text = "Radio \xE9t\xE9\r\n\r\n";
  for (int i = 0; i < 3000; ++i) text += "line " + std::to_string(i) + "\n";  // more than one read
  WriteTextFile(path, text);
  EXPECT_EQ(ReadTextFile(path), text);
  WriteTextFile(path, "short\r\n");
  EXPECT_EQ(ReadTextFile(path), "short\r\n") << "nothing of the longer text stays";
  EXPECT_EQ(folder.Names(), Names{"Others - New3.dat"}) << "no temporary file stays";

  CreateDirectoryA((folder / "dir.ini").c_str(), nullptr);
  EXPECT_TRUE(FileExists(path));
  EXPECT_FALSE(FileExists(folder / "dir.ini"));
  EXPECT_FALSE(FileExists(folder / "Band<|>1.dat"));
  for (const char* missing : {"missing.ini", "no folder\\x.ini", "Band<|>1.dat"})
    EXPECT_EQ(ReadTextFile(folder / missing), std::nullopt) << missing;
}

TEST(StationsTextFile, AFailedSaveKeepsTheOldFileAndLeavesNoTemporary) {
  TestFolder folder;
  folder.Put("Defaults.ini", "old\r\n");
  const std::string readOnly = folder / "Defaults.ini";
  ASSERT_TRUE(SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
  try {
    WriteTextFile(readOnly, "new\r\n");
    ADD_FAILURE() << "a read-only file was replaced";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.what(), "File access denied: " + readOnly + " was not saved and keeps its previous content.");
    EXPECT_EQ(e.ErrorCode(), unsigned(ERROR_ACCESS_DENIED));
    EXPECT_EQ(e.Path(), readOnly);
  }
  EXPECT_EQ(folder.Content("Defaults.ini"), "old\r\n");
  SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);

  CreateDirectoryA((folder / "stationbands.ini").c_str(), nullptr);  // a folder in the way
  EXPECT_THROW(WriteTextFile(folder / "stationbands.ini", "Talk\r\n"), EInOutError);
  EXPECT_THROW(WriteTextFile(folder / "Band<|>1.dat", "x\r\n"), EInOutError);
  try {
    WriteTextFile(folder / "gone\\Defaults.ini", "x");
    ADD_FAILURE() << "wrote into a missing folder";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.what(), "Path not found: " + (folder / "gone\\Defaults.ini") + " was not saved.");
  }
  EXPECT_EQ(folder.Names(), Names{"Defaults.ini"}) << "no temporary file stays";
}

// A file far larger than any the program writes is refused with its name, not read whole.
TEST(StationsTextFile, AHugeFileIsRefusedWithItsName) {
  TestFolder folder;
  const std::string path = folder / "Defaults.ini";
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  LARGE_INTEGER end{};
  end.QuadPart = kMaxTextFileSize + 1;
  ASSERT_TRUE(SetFilePointerEx(h, end, nullptr, FILE_BEGIN) && SetEndOfFile(h));
  CloseHandle(h);
  try {
    ReadTextFile(path);
    ADD_FAILURE() << "a file of " << end.QuadPart << " bytes was read";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.what(), path + " is too large to be read: 16777217 bytes, at most 16777216.");
    EXPECT_EQ(e.Path(), path);
  }
  folder.Put("Defaults.ini", "small\r\n");
  EXPECT_EQ(ReadTextFile(path), "small\r\n");
}
