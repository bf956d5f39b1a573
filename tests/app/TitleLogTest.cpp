// The title log's own file handling: trimming a log that grew far past its limit.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>

#include "app/TitleLog.h"
#include "playback/TitleLogRules.h"
#include "ui/WindowTesting.h"

using namespace testing_support;

// A log of 70 MB (written by another program, or kept while trimming failed) is cut to
// its newer half of the limit like any other, in whole lines, with the new line at its end.
TEST(TitleLog, ALogFarPastItsLimitIsTrimmedFromItsEnd) {
  const std::string path = ProcessTempDirectory("tunora-titlelog-") + "\\titles.txt";
  {
    std::string line = "2026-01-01 00:00:00\tOld\tOld title 0123456789\r\n", chunk;
    while (chunk.size() < 1024 * 1024) chunk += line;
    std::ofstream f(path, std::ios::binary);
    for (int i = 0; i < 70; ++i) f << chunk;
  }
  {
    app::TitleLog log(path);
    log.Add("Station", "New title");
    log.Drain();
    EXPECT_EQ(log.TakeFailure(), "");
  }
  const std::string kept = ReadFileBytes(path);
  EXPECT_LE(kept.size(), playback::kTitleLogLimit + 100);
  EXPECT_GE(kept.size(), playback::kTitleLogLimit / 2);
  EXPECT_TRUE(kept.starts_with("2026-01-01 00:00:00\tOld\t")) << kept.substr(0, 40);
  EXPECT_TRUE(kept.ends_with("\tStation\tNew title\r\n"));
  DeleteFileA(path.c_str());
}
