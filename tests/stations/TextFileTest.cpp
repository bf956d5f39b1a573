// Whole text files under Wine: byte-exact round trips, and saves that fail without
// harming the old file or leaving a temporary one behind.
#include "stations/TextFile.h"

#include <gtest/gtest.h>

#include "stations/TestFolder.h"

using namespace stations;
using testing_support::TestFolder;
using Names = std::vector<std::string>;

TEST(StationsTextFile, WrittenTextReadsBackByteForByte) {
  TestFolder folder;
  const std::string path = folder / "Pop-Rock12.dat";
  std::string text = "Radio \xE9t\xE9\r\nhttp://h:8000/\r\n\r\n";
  for (int i = 0; i < 3000; ++i) text += "line " + std::to_string(i) + "\r\n";  // over one read buffer
  WriteTextFile(path, text);
  EXPECT_EQ(ReadTextFile(path), text);
  EXPECT_TRUE(FileExists(path));

  WriteTextFile(path, "short\r\n");
  EXPECT_EQ(ReadTextFile(path), "short\r\n") << "a shorter text leaves nothing of the longer one";
  WriteTextFile(path, "");
  EXPECT_EQ(ReadTextFile(path), "");
  EXPECT_EQ(folder.Names(), Names{"Pop-Rock12.dat"}) << "no temporary file stays";

  WriteTextFile(folder / "Others - New3.dat", "x\r\n");
  EXPECT_EQ(folder.Content("Others - New3.dat"), "x\r\n");
}

TEST(StationsTextFile, OnlyAnExistingFileExists) {
  TestFolder folder;
  folder.Put("a.ini", "");
  CreateDirectoryA((folder / "dir.ini").c_str(), nullptr);
  EXPECT_TRUE(FileExists(folder / "a.ini"));
  EXPECT_FALSE(FileExists(folder / "dir.ini"));
  EXPECT_FALSE(FileExists(folder / "missing.ini"));
  EXPECT_FALSE(FileExists(folder / "Band<|>1.dat"));

  EXPECT_EQ(ReadTextFile(folder / "missing.ini"), std::nullopt);
  EXPECT_EQ(ReadTextFile(folder / "no folder\\x.ini"), std::nullopt);
  EXPECT_EQ(ReadTextFile(folder / "Band<|>1.dat"), std::nullopt) << "a name no file can have names no file";
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
    EXPECT_STREQ(e.what(), "File access denied");
    EXPECT_EQ(e.Path(), readOnly);
  }
  EXPECT_EQ(folder.Content("Defaults.ini"), "old\r\n");

  // A folder where the file should be.
  CreateDirectoryA((folder / "stationbands.ini").c_str(), nullptr);
  EXPECT_THROW(WriteTextFile(folder / "stationbands.ini", "Talk\r\n"), EInOutError);
  EXPECT_FALSE(FileExists(folder / "stationbands.ini"));

  // A band name that cannot be part of a file name.
  EXPECT_THROW(WriteTextFile(folder / "Band<|>1.dat", "x\r\n"), EInOutError);
  EXPECT_EQ(folder.Names(), (Names{"Defaults.ini", "stationbands.ini"})) << "no temporary file stays";

  // A folder that does not exist.
  try {
    WriteTextFile(folder / "gone\\Defaults.ini", "x");
    ADD_FAILURE() << "wrote into a missing folder";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.ErrorCode(), unsigned(ERROR_PATH_NOT_FOUND)) << e.what();
  }
}
