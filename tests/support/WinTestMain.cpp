// The entry of the Windows test programs: GoogleTest's main, with the user-interface
// thread's hand-over set up first, and the remaining arguments kept for the tests. A run
// without failures that skipped a case (no station, no small file system) ends with
// kSkippedExitCode, which ctest shows as skipped, never as passed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/Application.h"
#include "ui/Synchronize.h"

std::vector<std::string> TestArguments;

namespace {
constexpr int kSkippedExitCode = 77;  // SKIP_RETURN_CODE in tests/CMakeLists.txt
}

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i) TestArguments.emplace_back(argv[i]);
  ui::InitSynchronize();
  ui::App().SetTitle("Tunora Tests");
  const int failed = RUN_ALL_TESTS();
  if (!failed && testing::UnitTest::GetInstance()->skipped_test_count() > 0) return kSkippedExitCode;
  return failed;
}
