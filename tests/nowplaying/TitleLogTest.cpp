// The title log's own file handling: trimming a log that grew far past its limit.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>

#include "nowplaying/TitleLog.h"
#include "support/WindowTesting.h"

using namespace testing_support;

// A log of 70 MB (written by another program, or kept while trimming failed) is cut to
// its newer half of the limit like any other, in whole lines, with the new line at its end.
TEST(TitleLog, ALogFarPastItsLimitIsTrimmedFromItsEnd) {
  const TestFolder folder;
  const std::string path = folder / "titles.txt";
  {
    std::string line = "2026-01-01 00:00:00\tOld\tOld title 0123456789\r\n", chunk;
    while (chunk.size() < 1024 * 1024) chunk += line;
    std::ofstream f(path, std::ios::binary);
    f << "\xEF\xBB\xBF";
    for (int i = 0; i < 70; ++i) f << chunk;
  }
  {
    nowplaying::TitleLog log(path);
    log.Add("Station", "New title");
    log.Drain();
    EXPECT_EQ(log.TakeFailure(), "");
  }
  const std::string kept = ReadFileBytes(path);
  // The log is kept under 1 MB, its newer half when it is cut.
  EXPECT_LE(kept.size(), 1024u * 1024u + 100u);
  EXPECT_GE(kept.size(), 512u * 1024u);
  EXPECT_TRUE(kept.starts_with("\xEF\xBB\xBF" "2026-01-01 00:00:00\tOld\t")) << kept.substr(0, 40);
  EXPECT_TRUE(kept.ends_with("\tStation\tNew title\r\n"));
  DeleteFileA(path.c_str());
}

// A log of an earlier version is in the ANSI code page: it is set aside once, as it is,
// and the new log is UTF-8 behind its byte-order mark; a name that is taken is not reused.
TEST(TitleLog, AnAnsiLogIsSetAsideOnceAndTheNewOneIsUtf8) {
  const TestFolder folder;
  const std::string path = folder / "titles.txt", older = "2025-01-01 00:00:00\tOld\tCaf\xE9\r\n";
  folder.Put("titles-ansi.txt", "taken");
  std::ofstream(path, std::ios::binary) << older;
  for (const char* title : {"Caf\xC3\xA9", "\xE6\x97\xA5\xE6\x9C\xAC"}) {
    nowplaying::TitleLog log(path);  // a new start each time: the UTF-8 log is not set aside
    log.Add("Station", title);
    log.Drain();
    EXPECT_EQ(log.TakeFailure(), "");
  }
  EXPECT_EQ(folder.Content("titles-ansi.txt"), "taken");
  EXPECT_EQ(folder.Content("titles-ansi (2).txt"), older);
  const std::string log = ReadFileBytes(path);
  EXPECT_TRUE(log.starts_with("\xEF\xBB\xBF")) << log;
  EXPECT_NE(log.find("\tStation\tCaf\xC3\xA9\r\n"), std::string::npos) << log;
  EXPECT_TRUE(log.ends_with("\tStation\t\xE6\x97\xA5\xE6\x9C\xAC\r\n")) << log;
}
